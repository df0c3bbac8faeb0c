// QtMessages: a filter in front of whatever message handler was there before.
#include "QtMessages.h"

#include <QtGlobal>

#include <QString>

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

} // namespace quendra::qt
