#include "graph/TForm2.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelvra {

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Добавить график"));
    resize(387, 343);
    setMinimumSize(300, 300);
    setMaximumSize(395, 400);
    setModal(true);
    CheckListBox_FORM2_ = new QListWidget(this);
    CheckListBox_FORM2_->setObjectName(QStringLiteral("CheckListBox_FORM2_"));
    Button_FORM2OK_ = new QPushButton(QStringLiteral("OK"), this);
    Button_FORM2OK_->setObjectName(QStringLiteral("Button_FORM2OK_"));
    Button_FORM2CANCEL_ = new QPushButton(QStringLiteral("Cancel"), this);
    Button_FORM2CANCEL_->setObjectName(QStringLiteral("Button_FORM2CANCEL_"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button_FORM2OK_);
    buttons->addWidget(Button_FORM2CANCEL_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CheckListBox_FORM2_);
    layout->addLayout(buttons);
}

void TForm2::SetItems(const QStringList& titles) {
    CheckListBox_FORM2_->clear();
    for (const QString& t : titles) {
        auto* item = new QListWidgetItem(t, CheckListBox_FORM2_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

}  // namespace kelvra
