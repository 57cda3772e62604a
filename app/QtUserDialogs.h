#pragma once

#include <QWidget>

#include "app/UserDialogs.h"

namespace kelvra {

// The window's dialogs: Qt message boxes with an OK button.
class QtUserDialogs : public UserDialogs {
public:
    explicit QtUserDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    void Message(const QString& text, const QString& caption, DialogIcon icon) override;
    // The file dialog of the data log, in `folder`, proposing `name`;
    // nothing when cancelled.
    virtual QString ChooseFile(const QString& folder, const QString& name, const QString& filter);

private:
    QWidget* parent_;
};

}  // namespace kelvra
