#include "connection/TForm4.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QVBoxLayout>

namespace kelvra {

namespace {
QComboBox* Combo(const QString& name, const QStringList& items, int index, const QString& hint,
                 QWidget* parent) {
    auto* c = new QComboBox(parent);
    c->setObjectName(name);
    c->addItems(items);
    c->setCurrentIndex(index);
    c->setToolTip(hint);
    return c;
}
}  // namespace

TForm4::TForm4(UserDialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Настройки связи"));
    resize(395, 395);
    setModal(true);

    auto* group = new QGroupBox(QStringLiteral("Настройки связи"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    BitBtn_PORTSCAN_ = new QPushButton(QStringLiteral("Поиск портов"), group);
    BitBtn_PORTSCAN_->setObjectName(QStringLiteral("BitBtn_PORTSCAN_"));
    ComboBox_PORT_ =
        Combo(QStringLiteral("ComboBox_PORT_"), {}, -1, QStringLiteral("Номер порта"), group);
    ComboBox_BAUDRATE_ =
        Combo(QStringLiteral("ComboBox_BAUDRATE_"),
              {QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400"),
               QStringLiteral("57600"), QStringLiteral("115200")},
              4, QStringLiteral("Скорость"), group);
    ComboBox_FORMAT_ = Combo(QStringLiteral("ComboBox_FORMAT_"),
                             {QStringLiteral("8N1"), QStringLiteral("8E1"), QStringLiteral("8O1")},
                             0, QStringLiteral("Формат"), group);
    Edit_ADDRESS_ = new QLineEdit(QStringLiteral("238"), group);
    Edit_ADDRESS_->setObjectName(QStringLiteral("Edit_ADDRESS_"));
    Edit_ADDRESS_->setToolTip(QStringLiteral("Адрес (от 1 до 247))"));
    ComboBox_FREQ_ = Combo(
        QStringLiteral("ComboBox_FREQ_"),
        {QStringLiteral("0,25"), QStringLiteral("0,5"), QStringLiteral("1"), QStringLiteral("2"),
         QStringLiteral("5"), QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("60"),
         QStringLiteral("120"), QStringLiteral("300"), QStringLiteral("600")},
        2, QStringLiteral("Период опроса, с"), group);

    auto* form = new QFormLayout(group);
    form->addRow(BitBtn_PORTSCAN_, ComboBox_PORT_);
    auto label = [group](const QString& name, const QString& text) {
        auto* l = new QLabel(text, group);
        l->setObjectName(name);
        return l;
    };
    form->addRow(label(QStringLiteral("Label_BAUDRATE_"), QStringLiteral("Скорость порта")),
                 ComboBox_BAUDRATE_);
    form->addRow(label(QStringLiteral("Label_FORMAT_"), QStringLiteral("Параметры передачи")),
                 ComboBox_FORMAT_);
    form->addRow(label(QStringLiteral("Label_ADDRESS_"), QStringLiteral("Адрес  Modbus")),
                 Edit_ADDRESS_);
    form->addRow(label(QStringLiteral("Label_FREQ_"), QStringLiteral("Период опроса")),
                 ComboBox_FREQ_);

    Button_FORM4OK_ = new QPushButton(QStringLiteral("OK"), this);
    Button_FORM4OK_->setObjectName(QStringLiteral("Button_FORM4OK_"));
    Button_FORM4CANCEL_ = new QPushButton(QStringLiteral("Cancel"), this);
    Button_FORM4CANCEL_->setObjectName(QStringLiteral("Button_FORM4CANCEL_"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button_FORM4OK_);
    buttons->addWidget(Button_FORM4CANCEL_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);

    connect(Button_FORM4OK_, &QPushButton::clicked, this, &TForm4::Button_FORM4OK_Click);
    connect(Button_FORM4CANCEL_, &QPushButton::clicked, this, &TForm4::Button_FORM4CANCEL_Click);
    connect(BitBtn_PORTSCAN_, &QPushButton::clicked, this, &TForm4::BitBtn_PORTSCAN_Click);
    ScanPorts();  // the creation handler's scan
}

void TForm4::ScanPorts() {
    ComboBox_PORT_->clear();
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ComboBox_PORT_->addItem(info.portName());
    ComboBox_PORT_->setCurrentIndex(ComboBox_PORT_->count() > 0 ? 0 : -1);
}

void TForm4::SelectPort(const QString& name) {
    int i = ComboBox_PORT_->findText(name);
    if (i < 0) {
        ComboBox_PORT_->insertItem(0, name);
        i = 0;
    }
    ComboBox_PORT_->setCurrentIndex(i);
}

bool TForm4::ValidateAddress() {
    const QString problem = AddressProblem(Edit_ADDRESS_->text());
    if (problem.isEmpty())
        return true;
    dialogs_.Message(problem, QStringLiteral("Ошибка!"), DialogIcon::Error);
    return false;
}

void TForm4::Button_FORM4OK_Click() {
    if (ValidateAddress())
        accept();
}

void TForm4::Button_FORM4CANCEL_Click() {
    reject();
}

void TForm4::SetSettingsEnabled(bool enabled) {
    for (QWidget* w :
         {static_cast<QWidget*>(ComboBox_PORT_), static_cast<QWidget*>(ComboBox_BAUDRATE_),
          static_cast<QWidget*>(ComboBox_FORMAT_), static_cast<QWidget*>(Edit_ADDRESS_),
          static_cast<QWidget*>(ComboBox_FREQ_), static_cast<QWidget*>(BitBtn_PORTSCAN_)})
        w->setEnabled(enabled);
}

QString TForm4::PortName() const {
    return ComboBox_PORT_->currentText();
}
int TForm4::BaudIndex() const {
    return ComboBox_BAUDRATE_->currentIndex();
}
int TForm4::FormatIndex() const {
    return ComboBox_FORMAT_->currentIndex();
}
QString TForm4::AddressText() const {
    return Edit_ADDRESS_->text();
}
QString TForm4::PeriodText() const {
    return ComboBox_FREQ_->currentText();
}

}  // namespace kelvra
