// DesktopRun: the picture opens the first assembly two levels deep, where the sample's locked part shows.
#include "DesktopRun.h"

#include "CommandError.h"
#include "DatabaseFile.h"
#include "DesktopWindow.h"
#include "QtMessages.h"

#include <QApplication>
#include <QTreeWidget>

#include <optional>

namespace quendra::desktop {

int RunDesktop(const DesktopOptions& options, std::ostream& out) {
    auto database = host::DatabaseFile::Open(options.database);
    const std::string user = host::DatabaseFile::WorkingLogin(*database, options.database, options.user);
    auto config = options.config.empty() ? DesktopConfig::PlantDefault() : DesktopConfig::ReadFile(options.config);

    static int argc = 1;
    static char name[] = "quendra";
    static char* argv[] = {name, nullptr};
    qt::QuietQtPlatformNotes();
    std::optional<QApplication> application;
    if (!qApp) application.emplace(argc, argv);
    DesktopWindow window(database, options.database, user, std::move(config));
    window.resize(1200, 720);
    if (options.screenshot.empty()) {
        window.show();
        return QApplication::exec();
    }
    // The picture: the first object of the first class, two levels open.
    window.Search("Assembly", "");
    window.OpenResult(0);
    if (auto* top = window.Tree()->topLevelItem(0)) {
        for (int i = 0; i < top->childCount(); ++i) window.Expand(top->child(i));
        // The first row that shows a lock is selected, so the attributes show its holder; else the first child.
        QTreeWidgetItem* shown = top->childCount() > 0 ? top->child(0) : nullptr;
        for (auto* item = top; item && shown && shown->text(DesktopWindow::LockColumn).isEmpty();
             item = window.Tree()->itemBelow(item))
            if (!item->text(DesktopWindow::LockColumn).isEmpty()) shown = item;
        if (shown) window.Tree()->setCurrentItem(shown);
    }
    window.show();
    QApplication::processEvents();
    if (!window.grab().save(QString::fromStdString(options.screenshot), "PNG"))
        throw host::CommandError("cannot write the picture " + options.screenshot);
    out << "wrote " << options.screenshot << '\n';
    return 0;
}

} // namespace quendra::desktop
