// `quendra desktop` without a database, as the application menu starts it: it asks for one first.
// SPDX-License-Identifier: Apache-2.0
#include "CommandLine.h"
#include "DesktopRun.h"
#include "QtApplication.h"
#include "TempFolder.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>

namespace quendra::desktop {
namespace {

// Answers the next modal window once it shows; `T` is the kind of window expected.
template <typename T> void WhenShown(std::function<void(T&)> answer) {
    QTimer::singleShot(0, [answer] {
        if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget())) return answer(*window);
        WhenShown(answer);
    });
}

class OpenDatabaseTest : public testing::Test {
protected:
    void SetUp() override {
        test::QtApplication();
        std::ostringstream out, errors;
        const char* arguments[] = {"quendra", "init", database.c_str(), "--sample"};
        ASSERT_EQ(host::CommandLine::Run(4, arguments, out, errors), 0) << errors.str();
    }
    static QPushButton* Open(QDialog& dialog) {
        return dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
    }

    playback::TempFolder folder;
    std::string database = folder.Path() + "/plant.db";
    std::string picture = folder.Path() + "/desktop.png";
    std::ostringstream out;
};

TEST_F(OpenDatabaseTest, AsksUntilADatabaseOpensThenShowsTheDesktop) {
    const std::string missing = folder.Path() + "/missing.db";
    std::string shownTitle, refusal;
    bool openAtFirst = true, stillAsking = false;
    WhenShown<QDialog>([&](QDialog& dialog) {
        shownTitle = dialog.windowTitle().toStdString();
        openAtFirst = Open(dialog)->isEnabled();
        auto* typed = dialog.findChild<QLineEdit*>("Database");
        typed->setText(QString::fromStdString(missing));
        WhenShown<QMessageBox>([&](QMessageBox& box) {
            refusal = box.windowTitle().toStdString() + ": " + box.text().toStdString();
            box.button(QMessageBox::Ok)->click();
        });
        Open(dialog)->click();
        stillAsking = dialog.isVisible();
        typed->setText(QString::fromStdString(database));
        Open(dialog)->click();
    });
    EXPECT_EQ(RunDesktop({.database = "", .user = "", .config = "", .screenshot = picture}, out), 0);
    EXPECT_EQ(shownTitle, "Open Database");
    EXPECT_FALSE(openAtFirst) << "nothing typed yet";
    EXPECT_EQ(refusal, "Open Database: no database file " + missing + " exists");
    EXPECT_TRUE(stillAsking);
    EXPECT_EQ(out.str(), "wrote " + picture + "\n");
    EXPECT_TRUE(std::filesystem::exists(picture));
}

TEST_F(OpenDatabaseTest, CancelEndsWithoutAWindow) {
    WhenShown<QDialog>([](QDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(RunDesktop({.database = "", .user = "", .config = "", .screenshot = picture}, out), 0);
    EXPECT_EQ(out.str(), "");
    EXPECT_FALSE(std::filesystem::exists(picture));
}

} // namespace
} // namespace quendra::desktop
