// DesktopRun: the picture opens the first assembly two levels deep, where the sample's locked part shows.
// SPDX-License-Identifier: Apache-2.0
#include "DesktopRun.h"

#include "CommandError.h"
#include "DatabaseFile.h"
#include "DesktopWindow.h"
#include "OpenDatabaseDialog.h"
#include "QtMessages.h"

#include <QApplication>
#include <QTreeView>

#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace quendra::desktop {

namespace {

struct Opened {
    std::shared_ptr<embedded::Database> database;
    std::string user;
};

// The database with the user to log in as; throws saying why not.
Opened Open(const std::string& path, const std::string& login) {
    auto database = playback::DatabaseFile::Open(path);
    std::string user = playback::DatabaseFile::WorkingLogin(*database, path, login);
    return {std::move(database), std::move(user)};
}

} // namespace

int RunDesktop(const DesktopOptions& options, std::ostream& out) {
    static int argc = 1;
    static char name[] = "quendra";
    static char* argv[] = {name, nullptr};
    std::optional<QApplication> application;
    auto startQt = [&] {
        qt::QuietQtPlatformNotes();
        if (!qApp) application.emplace(argc, argv);
    };
    auto config = options.config.empty() ? DesktopConfig::PlantDefault() : DesktopConfig::ReadFile(options.config);
    // A database named on the command line is opened before Qt starts, so a mistake is said without a display.
    std::string path = options.database;
    Opened opened;
    if (path.empty()) {
        // Started from the application menu: the user names the database.
        if (auto noDisplay = qt::NoDisplay(); !noDisplay.empty() && options.screenshot.empty())
            throw playback::EnvironmentError("no database was named to open, and none can be asked for: " + noDisplay);
        startQt();
        OpenDatabaseDialog ask([&](const std::string& chosen) {
            opened = Open(chosen, options.user);
            path = chosen;
        });
        if (ask.exec() != QDialog::Accepted) return playback::Done;
    } else {
        opened = Open(path, options.user);
        startQt();
    }
    DesktopWindow window(opened.database, path, opened.user, std::move(config));
    window.resize(1200, 720);
    if (options.screenshot.empty()) {
        window.show();
        return QApplication::exec();
    }
    // The picture: the first object of the first class, two levels open.
    window.Search("Assembly", "");
    window.OpenResult(0);
    auto* tree = window.Tree();
    auto* model = tree->model();
    if (auto top = model->index(0, 0); top.isValid()) {
        int children = model->rowCount(top);
        for (int row = 0; row < children; ++row) window.Expand(model->index(row, 0, top));
        // The first row that shows a lock is selected, so the attributes show its holder; else the first child.
        auto locked = [](const QModelIndex& item) {
            return !item.siblingAtColumn(DesktopWindow::LockColumn).data().toString().isEmpty();
        };
        auto shown = model->index(0, 0, top);
        for (auto item = top; item.isValid() && shown.isValid() && !locked(shown); item = tree->indexBelow(item))
            if (locked(item)) shown = item;
        if (shown.isValid()) tree->setCurrentIndex(shown);
    }
    window.show();
    QApplication::processEvents();
    if (!window.grab().save(QString::fromStdString(options.screenshot), "PNG"))
        throw playback::CommandError("cannot write the picture " + options.screenshot);
    out << "wrote " << options.screenshot << '\n';
    return 0;
}

} // namespace quendra::desktop
