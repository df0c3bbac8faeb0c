// QtMessages: a filter in front of whatever message handler was there before.
// SPDX-License-Identifier: Apache-2.0
#include "QtMessages.h"

#include <QtGlobal>

#include <QApplication>
#include <QString>

#include <cstdlib>

namespace quendra::qt {

namespace {

QtMessageHandler previous = nullptr;

void Filter(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("propagateSizeHints")) || message.contains(QLatin1String("XDG_RUNTIME_DIR")))
        return;
    if (previous) previous(type, context, message);
}

} // namespace

void QuietQtPlatformNotes() {
    static const bool installed = [] {
        previous = qInstallMessageHandler(Filter);
        return true;
    }();
    (void)installed;
}

std::string NoDisplay() {
    // Inside a program that runs Qt already (a test at the screen), its windows are seen where it shows them.
    if (qApp) return "";
    std::string platform = std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "";
    if (platform == "offscreen" || platform == "minimal")
        return "QT_QPA_PLATFORM=" + platform + " shows windows to nobody";
    if (platform.empty() && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        return "there is no display to show windows on (neither DISPLAY nor WAYLAND_DISPLAY is set)";
    return "";
}

} // namespace quendra::qt
