#include "display/TForm3.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "display/Widgets.h"

namespace kelvra {

TForm3::TForm3(DisplayOptions& options, std::function<void()> namesChanged,
               std::function<void()> valuesChanged, QWidget* parent)
    : QDialog(parent),
      options_(options),
      namesChanged_(std::move(namesChanged)),
      valuesChanged_(std::move(valuesChanged)) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Настройки"));
    resize(387, 368);
    setMinimumSize(300, 300);
    setMaximumSize(395, 400);
    setModal(true);

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl1"));
    auto* view = new QWidget(PageControl);
    view->setObjectName(QStringLiteral("TabSheet_VIEW_"));
    RadioGroup_VIEWNAME_ = new RadioGroup(
        QStringLiteral("RadioGroup_VIEWNAME_"), QStringLiteral("Названия параметров"),
        {QStringLiteral("Мнемоимя регистра Modbus"), QStringLiteral("Русское наименование")}, view);
    RadioGroup_VIEWNAME_->setItemIndex(1);
    RadioGroup_VIEWVALUE_ = new RadioGroup(
        QStringLiteral("RadioGroup_VIEWVALUE_"), QStringLiteral("Значения параметров"),
        {QStringLiteral("Значения из регистров Modbus"), QStringLiteral("Приведенные ед. изм.")},
        view);
    auto* viewLayout = new QVBoxLayout(view);
    viewLayout->addWidget(RadioGroup_VIEWNAME_);
    viewLayout->addWidget(RadioGroup_VIEWVALUE_);
    viewLayout->addStretch();

    auto* logPage = new QWidget(PageControl);
    logPage->setObjectName(QStringLiteral("TabSheet1"));
    auto* logGroup = new QGroupBox(QStringLiteral("Запись в файл"), logPage);
    logGroup->setObjectName(QStringLiteral("GroupBox_LOG_"));
    CheckBox_LOGSAVEERROR_ =
        new QCheckBox(QStringLiteral("Сохранять информацию о ошибках связи"), logGroup);
    CheckBox_LOGSAVEERROR_->setObjectName(QStringLiteral("CheckBox_LOGSAVEERROR_"));
    CheckBox_LOGSAVEERROR_->setChecked(true);
    (new QVBoxLayout(logGroup))->addWidget(CheckBox_LOGSAVEERROR_);
    auto* logLayout = new QVBoxLayout(logPage);
    logLayout->addWidget(logGroup);
    logLayout->addStretch();

    PageControl->addTab(view, QStringLiteral("Вид"));
    PageControl->addTab(logPage, QStringLiteral("Лог"));
    PageControl->setCurrentIndex(1);

    Button_FORM3OK_ = new QPushButton(QStringLiteral("OK"), this);
    Button_FORM3OK_->setObjectName(QStringLiteral("Button_FORM3OK_"));
    Button_FORM3CANCEL_ = new QPushButton(QStringLiteral("Cancel"), this);
    Button_FORM3CANCEL_->setObjectName(QStringLiteral("Button_FORM3CANCEL_"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button_FORM3OK_);
    buttons->addWidget(Button_FORM3CANCEL_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl);
    layout->addLayout(buttons);
    connect(Button_FORM3OK_, &QPushButton::clicked, this, &TForm3::Button_FORM3OK_Click);
    connect(Button_FORM3CANCEL_, &QPushButton::clicked, this, &TForm3::Button_FORM3CANCEL_Click);
}

void TForm3::ShowWithCurrentOptions() {
    RadioGroup_VIEWNAME_->setItemIndex(static_cast<int>(options_.names));
    RadioGroup_VIEWVALUE_->setItemIndex(static_cast<int>(options_.values));
    exec();
}

void TForm3::Button_FORM3OK_Click() {
    // Any index other than 0 counts as the second value.
    const NameMode names =
        RadioGroup_VIEWNAME_->itemIndex() == 0 ? NameMode::Mnemonic : NameMode::Russian;
    const ValueMode values =
        RadioGroup_VIEWVALUE_->itemIndex() == 0 ? ValueMode::Raw : ValueMode::Converted;
    if (names != options_.names) {
        options_.names = names;
        if (namesChanged_)
            namesChanged_();
    }
    if (values != options_.values) {
        options_.values = values;
        if (valuesChanged_)
            valuesChanged_();
    }
    options_.logErrors = CheckBox_LOGSAVEERROR_->isChecked();
    accept();
}

void TForm3::Button_FORM3CANCEL_Click() {
    RadioGroup_VIEWNAME_->setItemIndex(static_cast<int>(options_.names));
    RadioGroup_VIEWVALUE_->setItemIndex(static_cast<int>(options_.values));
    CheckBox_LOGSAVEERROR_->setChecked(options_.logErrors);
    reject();
}

}  // namespace kelvra
