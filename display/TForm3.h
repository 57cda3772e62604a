#pragma once

#include <QDialog>
#include <functional>

#include "display/DisplayOptions.h"

class QCheckBox;
class QPushButton;
class QTabWidget;

namespace kelvra {

class RadioGroup;

// The options dialog: naming mode, value mode and whether communication
// errors go into the data log.
class TForm3 : public QDialog {
    Q_OBJECT
public:
    // `namesChanged` re-lays out the grids, `valuesChanged` refills them.
    TForm3(DisplayOptions& options, std::function<void()> namesChanged,
           std::function<void()> valuesChanged, QWidget* parent = nullptr);

    // The menu's "Настройки": show the current options, then the dialog.
    void ShowWithCurrentOptions();

    QTabWidget* PageControl;
    RadioGroup* RadioGroup_VIEWNAME_;
    RadioGroup* RadioGroup_VIEWVALUE_;
    QCheckBox* CheckBox_LOGSAVEERROR_;
    QPushButton* Button_FORM3OK_;
    QPushButton* Button_FORM3CANCEL_;

public Q_SLOTS:
    void Button_FORM3OK_Click();
    void Button_FORM3CANCEL_Click();

private:
    DisplayOptions& options_;
    std::function<void()> namesChanged_;
    std::function<void()> valuesChanged_;
};

}  // namespace kelvra
