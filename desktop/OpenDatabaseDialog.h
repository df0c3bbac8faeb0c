// OpenDatabaseDialog: asks which database the desktop opens when the command named none: a file, or a
// database server's address.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QLineEdit;
class QPushButton;

namespace quendra::desktop {

class OpenDatabaseDialog : public QDialog {
    Q_OBJECT
public:
    // `open` opens the named database and throws, with the message the user sees, when it cannot;
    // the dialog closes only once `open` went through, or when the user cancels.
    explicit OpenDatabaseDialog(std::function<void(const std::string&)> open, QWidget* parent = nullptr);

    void accept() override;

private:
    std::function<void(const std::string&)> open_;
    QLineEdit* database_;
    QPushButton* openButton_;
};

} // namespace quendra::desktop
