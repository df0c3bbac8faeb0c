// QtMessages: a filter in front of whatever message handler was there before.
// SPDX-License-Identifier: Apache-2.0
#include "QtMessages.h"

#ifdef QUENDRA_WITH_QT
#include <QtGlobal>

#include <QString>
#endif

namespace quendra::host {

#ifdef QUENDRA_WITH_QT
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
#else
void QuietQtPlatformNotes() {}
#endif

} // namespace quendra::host
