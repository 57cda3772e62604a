#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

namespace kelvra {

// The add-graph dialog: which of the 17 parameters the trend graph plots.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    // Item i stands for series i + 1; the titles follow the naming mode.
    void SetItems(const QStringList& titles);

    QListWidget* CheckListBox_FORM2_;
    QPushButton* Button_FORM2OK_;
    QPushButton* Button_FORM2CANCEL_;
};

}  // namespace kelvra
