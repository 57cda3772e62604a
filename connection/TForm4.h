#pragma once

#include <QDialog>

#include "app/UserDialogs.h"
#include "link/ConnectionSettings.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace kelvra {

// The connection dialog. Its controls are the connection settings: every
// user reads them at the moment of use through the ConnectionSettings view.
class TForm4 : public QDialog, public ConnectionSettings {
    Q_OBJECT
public:
    TForm4(UserDialogs& dialogs, QWidget* parent = nullptr);

    // Fills the port list with the ports the system knows; selects the first.
    void ScanPorts();
    // The address rule of the dialog and the connect button: true when the
    // text is a number 0..255, else its message box.
    bool ValidateAddress();
    // Selects a port by name, adding it when the scan did not find it (the
    // simulated unit's pseudo-terminal).
    void SelectPort(const QString& name);
    // Enables or disables the settings controls (during a monitoring run).
    void SetSettingsEnabled(bool enabled);

    QString PortName() const override;
    int BaudIndex() const override;
    int FormatIndex() const override;
    QString AddressText() const override;
    QString PeriodText() const override;

    QComboBox* ComboBox_PORT_;
    QComboBox* ComboBox_BAUDRATE_;
    QComboBox* ComboBox_FORMAT_;
    QLineEdit* Edit_ADDRESS_;
    QComboBox* ComboBox_FREQ_;
    QPushButton* BitBtn_PORTSCAN_;
    QPushButton* Button_FORM4OK_;
    QPushButton* Button_FORM4CANCEL_;

public Q_SLOTS:
    void Button_FORM4OK_Click();
    void Button_FORM4CANCEL_Click();
    void BitBtn_PORTSCAN_Click() { ScanPorts(); }

private:
    UserDialogs& dialogs_;
};

}  // namespace kelvra
