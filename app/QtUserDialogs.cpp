#include "app/QtUserDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace kelvra {

void QtUserDialogs::Message(const QString& text, const QString& caption, DialogIcon icon) {
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    switch (icon) {
        case DialogIcon::Error:
            qtIcon = QMessageBox::Critical;
            break;
        case DialogIcon::Information:
            qtIcon = QMessageBox::Information;
            break;
        case DialogIcon::Warning:
            qtIcon = QMessageBox::Warning;
            break;
        case DialogIcon::Question:
            qtIcon = QMessageBox::Question;
            break;
        case DialogIcon::None:
            break;
    }
    QMessageBox box(qtIcon, caption, text, QMessageBox::Ok, parent_);
    box.exec();
}

QString QtUserDialogs::ChooseFile(const QString& folder, const QString& name,
                                  const QString& filter) {
    QFileDialog dialog(parent_, QString(), folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);  // a new name is welcome
    dialog.selectFile(name);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().first()
               : QString();
}

}  // namespace kelvra
