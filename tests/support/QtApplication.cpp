// SPDX-License-Identifier: Apache-2.0
#include "QtApplication.h"

#include <QApplication>

namespace quendra::test {

QApplication& QtApplication() {
    static int argc = 1;
    static char name[] = "quendra-test";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qApp) new QApplication(argc, argv);
    return *static_cast<QApplication*>(qApp);
}

} // namespace quendra::test
