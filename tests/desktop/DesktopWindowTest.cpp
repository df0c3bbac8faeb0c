// The desktop driven as a person would: search, open the tree, the context menu, the user menu.
#include "DesktopWindow.h"
#include "CommandLine.h"
#include "DatabaseFile.h"
#include "QtApplication.h"
#include "TempFolder.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <sstream>

namespace quendra::desktop {
namespace {

void Choose(QMenu* menu, const QString& caption) {
    for (auto* action : menu->actions())
        if (action->text() == caption) return action->trigger();
    FAIL() << "no menu entry " << caption.toStdString();
}

class DesktopWindowTest : public testing::Test {
protected:
    void SetUp() override {
        test::QtApplication();
        std::ostringstream out, errors;
        const char* arguments[] = {"quendra", "init", path.c_str(), "--sample"};
        ASSERT_EQ(host::CommandLine::Run(4, arguments, out, errors), 0) << errors.str();
        database = host::DatabaseFile::Open(path);
        window = std::make_unique<DesktopWindow>(database, path, "carl", DesktopConfig::PlantDefault());
        // Every message box is noted and answered with its first button (OK, or Yes).
        window->Windows().SetModalHook([this](QDialog& dialog) {
            auto* box = qobject_cast<QMessageBox*>(&dialog);
            ASSERT_NE(box, nullptr);
            messages.push_back(box->text().toStdString());
            box->buttons().front()->click();
        });
    }
    bool Locked(const char* partNumber) {
        return database->ReadValue(database->FindObjects("Parts", "CN_PART_NUMBER", partNumber).front(), "CN_LOCKED")
            .AsBool();
    }
    void SwitchUser(const QString& login) {
        for (auto* action : window->menuBar()->actions().front()->menu()->actions())
            if (action->text() == login) action->trigger();
    }

    host::TempFolder folder;
    std::string path = folder.Path() + "/sample.db";
    std::shared_ptr<embedded::Database> database;
    std::unique_ptr<DesktopWindow> window;
    std::vector<std::string> messages;
};

TEST_F(DesktopWindowTest, LocksFromTheMenuAndMeetsTheRefusalAsAnotherUser) {
    window->Search("Assembly", "gear");
    ASSERT_EQ(window->Results()->count(), 1);
    EXPECT_EQ(window->Results()->item(0)->text().toStdString(), "Assembly P-100000-Gear box");
    window->OpenResult(0);

    // The sample's output shaft, two levels down, is dora's.
    window->Expand(window->FindItem("P-100020"));
    auto* shaft = window->FindItem("P-100021");
    ASSERT_NE(shaft, nullptr);
    EXPECT_EQ(shaft->text(DesktopWindow::LockColumn).toStdString(), "dora");
    EXPECT_FALSE(shaft->icon(DesktopWindow::LockColumn).isNull());

    Choose(window->MenuFor(window->FindItem("P-100030")), "Lock");
    auto* housing = window->FindItem("P-100030");
    EXPECT_EQ(housing->text(DesktopWindow::LockColumn).toStdString(), "carl");
    EXPECT_FALSE(housing->icon(DesktopWindow::LockColumn).isNull());
    EXPECT_TRUE(Locked("P-100030"));
    EXPECT_TRUE(messages.empty());

    SwitchUser("dora");
    EXPECT_EQ(window->User(), "dora");
    Choose(window->MenuFor(window->FindItem("P-100030")), "Unlock");
    EXPECT_EQ(messages, std::vector<std::string>{"Part P-100030-Housing is locked by Carl Berg"});
    EXPECT_TRUE(Locked("P-100030"));
    EXPECT_EQ(window->FindItem("P-100030")->text(DesktopWindow::LockColumn).toStdString(), "carl");

    SwitchUser("carl");
    Choose(window->MenuFor(window->FindItem("P-100030")), "Unlock");
    EXPECT_FALSE(Locked("P-100030"));
    EXPECT_EQ(window->FindItem("P-100030")->text(DesktopWindow::LockColumn).toStdString(), "");
    EXPECT_TRUE(window->FindItem("P-100030")->icon(DesktopWindow::LockColumn).isNull());
    // The log tells each call as `quendra play` does, the refusal's message box and answer included.
    EXPECT_EQ(window->Log()->toPlainText().toStdString(),
              "logged in as carl\n"
              "-- step 1: carl calls LockObject\n"
              "   rows [\"Part(OBJECT_ID=11)\"]\n"
              "   event update Part#11\n"
              "   event notify 1 [Part#11] false\n"
              "   result 1 \u2014 always 1 for this hook; see the events\n"
              "logged in as dora\n"
              "-- step 2: dora calls UnLockObject\n"
              "   rows [\"Part(OBJECT_ID=11)\"]\n"
              "   message box \"Quendra\" [information, OK]: \"Part P-100030-Housing is locked by Carl Berg\"\n"
              "     answer: {\"button\": \"OK\"}\n"
              "   result 1 \u2014 always 1 for this hook; see the events\n"
              "logged in as carl\n"
              "-- step 3: carl calls UnLockObject\n"
              "   rows [\"Part(OBJECT_ID=11)\"]\n"
              "   message box \"Quendra\" [question, YesNo]: \"Do You Want To Propagate Unlock To All Children ?\"\n"
              "     answer: {\"button\": \"Yes\"}\n"
              "   event update Part#11\n"
              "   event notify 1 [Part#11] false\n"
              "   result 1 \u2014 always 1 for this hook; see the events");
}

TEST_F(DesktopWindowTest, DeletesALinkAndTheTreeLosesItsRow) {
    window->Search("Assembly", "P-100000");
    window->OpenResult(0);
    auto gearBox = database->FindObjects("Parts", "CN_PART_NUMBER", "P-100000").front();
    auto cover = database->FindObjects("Parts", "CN_PART_NUMBER", "P-100031").front();
    ASSERT_EQ(database->FindLinks("Parts Tree", gearBox, cover).size(), 1u);

    Choose(window->MenuFor(window->FindItem("P-100031")), "Delete Link");
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(database->FindLinks("Parts Tree", gearBox, cover).empty());
    EXPECT_EQ(window->FindItem("P-100031"), nullptr);
    EXPECT_NE(window->FindItem("P-100030"), nullptr);
}

} // namespace
} // namespace quendra::desktop
