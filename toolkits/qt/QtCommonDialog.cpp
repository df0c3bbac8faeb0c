// QtCommonDialog: the open-file dialog as a Qt file dialog.
// SPDX-License-Identifier: Apache-2.0
#include "QtCommonDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace quendra::qt {

namespace {
constexpr int32_t AllowMultiSelect = 0x200;
}

QtCommonDialog::QtCommonDialog(std::function<int(QDialog&)> runModal, WindowLog& log)
    : runModal_(std::move(runModal)), log_(log) {}

void QtCommonDialog::SetFilter(const std::string& filter) {
    filter_ = filter;
}

void QtCommonDialog::SetFlags(int32_t flags) {
    flags_ = flags;
}

std::string QtCommonDialog::FileName() const {
    return fileName_;
}

QStringList QtCommonDialog::NameFilters(const std::string& filter) {
    QStringList parts = QString::fromStdString(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // Qt reads the patterns from the last parentheses and, with the details hidden, shows the
        // text before them. Letters Qt's pattern reader does not take stand for any one character.
        QString patterns;
        for (QChar c : parts[i + 1]) {
            if (c.isLowSurrogate()) continue;
            patterns += c == ';' ? QChar(' ') : c.unicode() > 0x7F ? QChar('?') : c;
        }
        filters << parts[i] + " (" + patterns + ")";
    }
    return filters;
}

std::string QtCommonDialog::JoinFileNames(const QStringList& paths) {
    if (paths.size() == 1) return QDir::toNativeSeparators(paths.front()).toStdString();
    std::string joined;
    if (paths.isEmpty()) return joined;
    joined = QDir::toNativeSeparators(QFileInfo(paths.front()).absolutePath()).toStdString();
    for (const QString& path : paths) joined += std::string(1, '\0') + QFileInfo(path).fileName().toStdString();
    return joined;
}

void QtCommonDialog::ShowOpen() {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode((flags_ & AllowMultiSelect) ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setNameFilters(NameFilters(filter_));
    fileName_.clear();
    size_t place = log_.Shown({answering::records::OpenFile{filter_}, ""});
    answering::answers::Open open;
    if (runModal_(dialog) == QDialog::Accepted) {
        fileName_ = JoinFileNames(dialog.selectedFiles());
        for (const QString& path : dialog.selectedFiles())
            open.paths.push_back(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdString());
    }
    log_.Answered(place, {open, ""});
}

} // namespace quendra::qt
