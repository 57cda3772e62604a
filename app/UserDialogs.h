#pragma once

#include <QString>

namespace kelvra {

enum class DialogIcon { None, Error, Information, Warning, Question };

// Every modal interaction with the user goes through this interface: the GUI
// shows Qt dialogs, the command-line tool prints, tests record and answer from
// a script. Core code never shows a dialog itself.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // A message box with only an OK button.
    virtual void Message(const QString& text, const QString& caption, DialogIcon icon) = 0;

    // The application's standard box for a text that is not a valid integer:
    // "'<text>' is not a valid integer value".
    virtual void ConversionError(const QString& text) {
        Message(QStringLiteral("'%1' is not a valid integer value").arg(text), QString(),
                DialogIcon::Error);
    }
};

}  // namespace kelvra
