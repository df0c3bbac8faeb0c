// OpenDatabaseDialog: a refused database keeps the dialog open with the reason, so the user can try again.
// SPDX-License-Identifier: Apache-2.0
#include "OpenDatabaseDialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>
#include <utility>

namespace quendra::desktop {

OpenDatabaseDialog::OpenDatabaseDialog(std::function<void(const std::string&)> open, QWidget* parent)
    : QDialog(parent), open_(std::move(open)), database_(new QLineEdit(this)) {
    setWindowTitle("Open Database");
    database_->setObjectName("Database");
    database_->setMinimumWidth(420);
    auto* browse = new QPushButton("&Browse...", this);
    connect(browse, &QPushButton::clicked, this, [this] {
        QFileDialog files(this, "Open Database");
        files.setOption(QFileDialog::DontUseNativeDialog);
        files.setFileMode(QFileDialog::ExistingFile);
        files.setNameFilters({"Databases (*.db)", "All files (*)"});
        if (files.exec() == QDialog::Accepted && !files.selectedFiles().isEmpty())
            database_->setText(files.selectedFiles().front());
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    openButton_ = buttons->button(QDialogButtonBox::Open);
    openButton_->setEnabled(false);
    connect(database_, &QLineEdit::textChanged, this,
            [this](const QString& text) { openButton_->setEnabled(!text.trimmed().isEmpty()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* row = new QHBoxLayout;
    row->addWidget(database_);
    row->addWidget(browse);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("A database file, or a database server's address (postgresql://...):", this));
    layout->addLayout(row);
    layout->addWidget(buttons);
}

void OpenDatabaseDialog::accept() {
    const auto database = database_->text().trimmed().toStdString();
    if (database.empty()) return;
    try {
        open_(database);
    } catch (const std::exception& failure) {
        QMessageBox::warning(this, "Open Database", QString::fromStdString(failure.what()));
        return;
    }
    QDialog::accept();
}

} // namespace quendra::desktop
