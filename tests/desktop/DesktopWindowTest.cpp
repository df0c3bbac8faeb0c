// The desktop driven as a person would: search, open the tree, the context menu, the user menu.
// SPDX-License-Identifier: Apache-2.0
#include "DesktopWindow.h"
#include "CommandLine.h"
#include "DatabaseFile.h"
#include "QtApplication.h"
#include "TempFolder.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

namespace quendra::desktop {
namespace {

void Choose(QMenu* menu, const QString& caption) {
    for (auto* action : menu->actions())
        if (action->text() == caption) return action->trigger();
    QStringList entries;
    for (auto* action : menu->actions()) entries << action->text();
    FAIL() << "no menu entry " << caption.toStdString() << " among " << entries.join(", ").toStdString();
}

// What a row of the tree shows in a column: its text, after "[icon] " when it shows an icon there.
std::string Text(const QModelIndex& item, int column) {
    auto cell = item.siblingAtColumn(column);
    bool icon = !cell.data(Qt::DecorationRole).value<QIcon>().isNull();
    return (icon ? "[icon] " : "") + cell.data().toString().toStdString();
}

std::vector<std::string> Entries(const QList<QAction*>& actions) {
    std::vector<std::string> entries;
    for (auto* action : actions)
        if (!action->isSeparator()) entries.push_back(action->text().toStdString());
    return entries;
}

class DesktopWindowTest : public testing::Test {
protected:
    void SetUp() override {
        test::QtApplication();
        path = folder.Path() + "/sample" + std::to_string(++opened) + ".db";
        std::ostringstream out, errors;
        const char* arguments[] = {"quendra", "init", path.c_str(), "--sample"};
        ASSERT_EQ(host::CommandLine::Run(4, arguments, out, errors), 0) << errors.str();
        database = playback::DatabaseFile::Open(path);
        window = std::make_unique<DesktopWindow>(database, path, "carl", DesktopConfig::PlantDefault());
        // Every window is noted and answered: message boxes with their first button (OK, or Yes), the
        // search with `searchFor` as a part number and its first result, the edit dialog and the new-object
        // dialog with `edits`, the message window with Continue, the link attribute editor with `typed` from
        // its first row on.
        window->SetModalHook([this](QDialog& dialog) {
            titles.push_back(dialog.windowTitle().toStdString());
            if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
                messages.push_back(box->text().toStdString());
                box->buttons().front()->click();
            } else if (dialog.windowTitle() == "Search") {
                dialog.findChild<QLineEdit*>("Attribute")->setText("CN_PART_NUMBER");
                dialog.findChild<QLineEdit*>("Text")->setText(searchFor);
                dialog.accept();
            } else if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
                files->selectFile(QString::fromStdString(recordTo));
                dialog.accept();
            } else if (dialog.windowTitle() == "Edit Values") {
                auto* grid = dialog.findChild<QTableWidget*>("Values");
                for (const auto& [name, text] : edits)
                    for (int row = 0; row < grid->rowCount(); ++row)
                        if (grid->item(row, 0)->text() == name) grid->item(row, 1)->setText(text);
                dialog.accept();
            } else if (dialog.windowTitle() == "Search Results") {
                dialog.findChild<QListWidget*>("Results")->item(0)->setSelected(true);
                dialog.accept();
            } else if (dialog.windowTitle().startsWith("New ")) {
                for (const auto& [name, text] : edits)
                    if (auto* editor = dialog.findChild<QLineEdit*>(name)) editor->setText(text);
                dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
            } else if (auto* go = Button(dialog, "Continue")) {
                go->click();
            } else {
                ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
                auto* grid = dialog.findChild<QTableWidget*>();
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                                  grid->visualRect(grid->model()->index(0, 1)).center());
                for (size_t i = 0; i < typed.size(); ++i) {
                    if (i > 0) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                    QTest::keyClicks(QApplication::focusWidget(), typed[i]);
                }
                for (auto* button : dialog.findChildren<QPushButton*>())
                    if (button->text() == "OK") QTest::mouseClick(button, Qt::LeftButton);
            }
        });
    }
    static QPushButton* Button(QDialog& dialog, const QString& caption) {
        for (auto* button : dialog.findChildren<QPushButton*>())
            if (button->text() == caption) return button;
        return nullptr;
    }
    std::string Stored(const char* className, const char* partNumber, const char* attribute) {
        auto found = database->FindObjects(className, "CN_PART_NUMBER", partNumber);
        return found.empty() ? "(gone)" : database->ReadValue(found.front(), attribute).AsText();
    }
    // The hooks the log says were called, in order.
    std::vector<std::string> HooksCalled() {
        std::vector<std::string> hooks;
        for (const auto& line : window->Log()->toPlainText().split('\n'))
            if (line.startsWith("-- step")) hooks.push_back(line.section(' ', -1).toStdString());
        return hooks;
    }
    void SwitchUser(const QString& login) {
        for (auto* action : window->menuBar()->actions().back()->menu()->actions())
            if (action->text() == login) action->trigger();
    }

    playback::TempFolder folder;
    int opened = 0;
    std::string path; // a new sample database for each SetUp
    std::shared_ptr<embedded::Database> database;
    std::unique_ptr<DesktopWindow> window;
    std::vector<std::string> titles, messages;
    QString searchFor;
    std::vector<QString> typed;
    // The edit dialog's changes by attribute's display name, the new-object dialog's by attribute's name.
    std::vector<std::pair<QString, QString>> edits;
    std::string recordTo; // the file the record dialog, or the open-file dialog, names
};

TEST_F(DesktopWindowTest, LocksFromTheMenuAndMeetsTheRefusalAsAnotherUser) {
    window->Search("Assembly", "gear");
    ASSERT_EQ(window->Results()->count(), 1);
    EXPECT_EQ(window->Results()->item(0)->text().toStdString(), "Assembly P-100000-Gear box");
    window->OpenResult(0);

    // The sample's output shaft, two levels down, is dora's.
    window->Expand(window->FindItem("P-100020"));
    auto shaft = window->FindItem("P-100021");
    EXPECT_EQ(Text(shaft, DesktopWindow::LockColumn), "[icon] dora");

    Choose(window->MenuFor(window->FindItem("P-100030")), "Lock");
    auto housing = window->FindItem("P-100030");
    EXPECT_EQ(Text(housing, DesktopWindow::LockColumn), "[icon] carl");
    EXPECT_EQ(Stored("Parts", "P-100030", "CN_LOCKED"), "True");
    EXPECT_TRUE(messages.empty());
    // The attribute pane names the users by their logins.
    std::map<std::string, std::string> shown;
    for (int row = 0; row < window->Attributes()->rowCount(); ++row)
        shown[window->Attributes()->item(row, 0)->text().toStdString()] =
            window->Attributes()->item(row, 1)->text().toStdString();
    EXPECT_EQ(shown["Locked By"], "carl");
    EXPECT_EQ(shown["Modified By"], "carl");

    SwitchUser("dora");
    EXPECT_EQ(window->User(), "dora");
    Choose(window->MenuFor(window->FindItem("P-100030")), "Unlock");
    EXPECT_EQ(messages, std::vector<std::string>{"Part P-100030-Housing is locked by Carl Berg"});
    EXPECT_EQ(Stored("Parts", "P-100030", "CN_LOCKED"), "True");
    EXPECT_EQ(Text(window->FindItem("P-100030"), DesktopWindow::LockColumn), "[icon] carl");

    SwitchUser("carl");
    Choose(window->MenuFor(window->FindItem("P-100030")), "Unlock");
    EXPECT_EQ(Stored("Parts", "P-100030", "CN_LOCKED"), "False");
    EXPECT_EQ(Text(window->FindItem("P-100030"), DesktopWindow::LockColumn), "");
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
              "     answer: {\"button\":\"OK\"}\n"
              "   result 1 \u2014 always 1 for this hook; see the events\n"
              "logged in as carl\n"
              "-- step 3: carl calls UnLockObject\n"
              "   rows [\"Part(OBJECT_ID=11)\"]\n"
              "   message box \"Quendra\" [question, YesNo]: \"Do You Want To Propagate Unlock To All Children ?\"\n"
              "     answer: {\"button\":\"Yes\"}\n"
              "   event update Part#11\n"
              "   event notify 1 [Part#11] false\n"
              "   result 1 \u2014 always 1 for this hook; see the events");

    // The administrator unlocking the output assembly with its tree frees dora's shaft below it, and its
    // row shows it.
    SwitchUser("admin");
    Choose(window->MenuFor(window->FindItem("P-100020")), "Unlock");
    EXPECT_EQ(Stored("Parts", "P-100021", "CN_LOCKED"), "False");
    EXPECT_EQ(Text(window->FindItem("P-100021"), DesktopWindow::LockColumn), "");
}

TEST_F(DesktopWindowTest, AddsAnExistingPartThroughTheSearchAndTheLinkEditor) {
    window->Search("Assembly", "P-100000");
    window->OpenResult(0);
    window->Expand(window->FindItem("P-100030"));
    searchFor = "P-100031";
    typed = {"2", "50"};
    Choose(window->MenuFor(window->FindItem("P-100030")), "Add Existing Part...");

    auto housing = database->FindObjects("Parts", "CN_PART_NUMBER", "P-100030").front();
    auto cover = database->FindObjects("Parts", "CN_PART_NUMBER", "P-100031").front();
    EXPECT_EQ(titles, (std::vector<std::string>{"Search", "Search Results", "Link Relation Input"}));
    EXPECT_EQ(messages, std::vector<std::string>{});
    auto links = database->FindLinks("Parts Tree", housing, cover);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(database->ReadValue(links.front(), "CN_QUANTITY").AsText(), "2");
    EXPECT_EQ(database->ReadValue(links.front(), "CN_POSITION").AsText(), "50");
    auto added = window->Tree()->model()->index(1, 0, window->FindItem("P-100030"));
    EXPECT_EQ(Text(added, DesktopWindow::ObjectColumn), "Part P-100031 - Cover");
    // The link's values show in the columns named after the attributes of the links in the tree.
    auto* model = window->Tree()->model();
    std::vector<std::string> columns;
    for (int column = DesktopWindow::FirstLinkColumn; column < model->columnCount(); ++column)
        columns.push_back(model->headerData(column, Qt::Horizontal).toString().toStdString() + "=" +
                          Text(added, column));
    EXPECT_EQ(columns, (std::vector<std::string>{"Quantity=2", "Position=50", "Remark=", "Optional="}));
}

TEST_F(DesktopWindowTest, EditsALinkInTheLinkEditorThenDeletesItAndTheTreeLosesItsRow) {
    window->Search("Assembly", "P-100000");
    window->OpenResult(0);
    auto gearBox = database->FindObjects("Parts", "CN_PART_NUMBER", "P-100000").front();
    auto cover = database->FindObjects("Parts", "CN_PART_NUMBER", "P-100031").front();
    typed = {"3"};
    Choose(window->MenuFor(window->FindItem("P-100031")), "Edit Link...");
    EXPECT_EQ(titles, std::vector<std::string>{"Link Relation Input"});
    EXPECT_EQ(database->ReadValue(database->FindLinks("Parts Tree", gearBox, cover).front(), "CN_QUANTITY").AsText(),
              "3");
    EXPECT_EQ(Text(window->FindItem("P-100031"), DesktopWindow::FirstLinkColumn), "3");

    Choose(window->MenuFor(window->FindItem("P-100031")), "Delete Link");
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(database->FindLinks("Parts Tree", gearBox, cover).empty());
    EXPECT_FALSE(window->FindItem("P-100031").isValid());
    EXPECT_TRUE(window->FindItem("P-100030").isValid());
}

// The platform's own operations run only when the check called before them answers 0; a refusal stores nothing.
TEST_F(DesktopWindowTest, GuardedOperationsRunOnlyWhenTheirCheckLetsThem) {
    struct Case {
        const char* item;  // the tree row, by the start of its display text
        const char* entry; // the context menu's entry
        std::vector<std::pair<QString, QString>> edits;
        std::vector<std::string> hooks, messages;
        const char *className, *partNumber, *attribute, *stored; // the value stored afterwards
    };
    const Case cases[] = {
        {"P-100030",
         "Edit Values...",
         {{"Description", "Housing, cast"}},
         {"IsLockedForUpdate", "BeforeUpdate"},
         {},
         "Parts",
         "P-100030",
         "CN_DESCRIPTION",
         "Housing, cast"},
        {"P-100021",
         "Edit Values...",
         {{"Description", "Shaft"}},
         {"IsLockedForUpdate"},
         {"Part P-100021-Output shaft has been locked by 'dora'\r\rYou cannot update any atrribute in this "
          "situation"},
         "Parts",
         "P-100021",
         "CN_DESCRIPTION",
         "Output shaft"},
        {"P-100010",
         "Edit Values...",
         {{"Standard", "True"}},
         {"IsLockedForUpdate", "BeforeUpdate"},
         {"Child Part P-100011-Input shaft must be set to standard first"},
         "Parts",
         "P-100010",
         "CN_STANDARD",
         ""},
        {"P-100031", "Release", {}, {"BeforeNewReleaseObj"}, {}, "Parts", "P-100031", "STATE", "5"},
        {"P-100012",
         "Release",
         {},
         {"BeforeNewReleaseObj"},
         {"Part P-100012-Ball bearing 6204 is standard"},
         "Parts",
         "P-100012",
         "STATE",
         "6"},
        {"P-100000 - gearbox",
         "Check Out",
         {},
         {"BeforeCheckOutReleaseDocs"},
         {},
         "Documents",
         "P-100000",
         "STATE",
         "1"},
        {"P-100030 - housing", "Check In", {}, {"AfterCheckInDocuments"}, {}, "Documents", "P-100030", "STATE", "2"},
        {"P-100000 - gearbox", "Approve", {}, {"BeforeCheckOutReleaseDocs"}, {}, "Documents", "P-100000", "STATE", "5"},
        {"P-100000 - gearbox",
         "Delete Document",
         {},
         {"BeforeDeleteDocuments"},
         {"This Document is referenced by others.\nConfirm deletion of Drawing P-100000-gearbox.dwg"},
         "Documents",
         "P-100000",
         "STATE",
         "(gone)"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.entry) + " on " + test.item);
        SetUp();
        window->Search("Assembly", "P-100000");
        window->OpenResult(0);
        window->Expand(window->FindItem("P-100010"));
        window->Expand(window->FindItem("P-100020"));
        window->Expand(window->FindItem("P-100030"));
        edits = test.edits;
        Choose(window->MenuFor(window->FindItem(test.item)), test.entry);
        EXPECT_EQ(HooksCalled(), test.hooks);
        EXPECT_EQ(messages, test.messages);
        EXPECT_EQ(Stored(test.className, test.partNumber, test.attribute), test.stored);
        if (std::string(test.stored) != "(gone)")
            EXPECT_TRUE(window->FindItem(test.item).isValid());
        else
            EXPECT_FALSE(window->FindItem(test.item).isValid());
        window.reset();
        messages.clear();
        titles.clear();
    }
}

TEST_F(DesktopWindowTest, LinksASearchResultBelowAPartTheLockLets) {
    window->Search("Assembly", "P-100000");
    window->OpenResult(0);
    window->Expand(window->FindItem("P-100020"));
    window->Search("Part", "P-100031");
    auto housing = database->FindObjects("Parts", "CN_PART_NUMBER", "P-100030").front();
    auto shaft = database->FindObjects("Parts", "CN_PART_NUMBER", "P-100021").front();
    auto cover = database->FindObjects("Parts", "CN_PART_NUMBER", "P-100031").front();

    // The cover is not offered below itself.
    auto offered = Entries(window->MenuFor(window->FindItem("P-100031"))->actions());
    EXPECT_EQ(std::count(offered.begin(), offered.end(), "Link Part P-100031-Cover Below"), 0);
    Choose(window->MenuFor(window->FindItem("P-100021")), "Link Part P-100031-Cover Below");
    EXPECT_EQ(messages, std::vector<std::string>{"Part P-100021-Output shaft is locked by Dora Lind"});
    EXPECT_TRUE(database->FindLinks("Parts Tree", shaft, cover).empty());

    Choose(window->MenuFor(window->FindItem("P-100030")), "Link Part P-100031-Cover Below");
    EXPECT_EQ(database->FindLinks("Parts Tree", housing, cover).size(), 1u);
    EXPECT_EQ(HooksCalled(), (std::vector<std::string>{"BeforeAddPartsTreeLink", "BeforeAddPartsTreeLink"}));
    window->Expand(window->FindItem("P-100030"));
    ASSERT_EQ(window->Tree()->model()->rowCount(window->FindItem("P-100030")), 2);
    EXPECT_EQ(Text(window->Tree()->model()->index(1, 0, window->FindItem("P-100030")), DesktopWindow::ObjectColumn),
              "Part P-100031 - Cover");
}

// Unlocking a large tree from the toolbar: the status bar counts the platform's writes as they happen and
// nothing else starts meanwhile; the rows below show the change once it ends.
TEST_F(DesktopWindowTest, UnlocksALargeTreeCountingItsWritesWhileNothingElseStarts) {
    auto housing = database->FindObjects("Parts", "CN_PART_NUMBER", "P-100030").front();
    for (int i = 0; i < 250; ++i) {
        auto part = database->CreateObject("Part", {{"CN_PART_NUMBER", Value::Text("P-" + std::to_string(200000 + i))},
                                                    {"CN_DESCRIPTION", Value::Text("Screw")},
                                                    {"STATE", Value::Int16(5)},
                                                    {"CN_LOCKED", Value::Bool(true)},
                                                    {"USER_OBJECT_ID", Value::Int32(*database->UserId("carl"))}});
        database->CreateLink("Parts Tree", housing, part, {});
    }
    window->Search("Assembly", "P-100000");
    window->OpenResult(0);
    window->Expand(window->FindItem("P-100030"));
    EXPECT_EQ(Text(window->FindItem("P-200062"), DesktopWindow::LockColumn), "[icon] carl");
    window->Tree()->setCurrentIndex(window->FindItem("P-100030"));
    auto offered = Entries(window->Tools()->actions());
    EXPECT_EQ(offered, Entries(window->MenuFor(window->FindItem("P-100030"))->actions()));

    // Once the count shows, the test tries another operation, as a person clicking would.
    std::vector<std::string> seen;
    bool ended = false;
    std::function<void()> watch = [&] {
        if (ended) return;
        if (window->BusyText()->isHidden()) return QTimer::singleShot(0, watch);
        seen.push_back(window->BusyText()->text().toStdString());
        seen.push_back(window->Tree()->isEnabled() ? "tree enabled" : "tree disabled");
        Choose(window->MenuFor(window->FindItem("P-100031")), "Lock");
    };
    QTimer::singleShot(0, watch);
    QAction* unlock = nullptr;
    for (auto* action : window->Tools()->actions())
        if (action->text() == "Unlock") unlock = action;
    ASSERT_NE(unlock, nullptr);
    unlock->trigger();
    ended = true;

    EXPECT_EQ(seen, (std::vector<std::string>{"UnLockObject: 100 platform writes so far", "tree disabled"}));
    EXPECT_EQ(Stored("Parts", "P-200000", "CN_LOCKED"), "False");
    EXPECT_EQ(Stored("Parts", "P-200249", "CN_LOCKED"), "False");
    EXPECT_EQ(Stored("Parts", "P-100031", "CN_LOCKED"), "False");
    EXPECT_TRUE(window->BusyText()->isHidden());
    EXPECT_TRUE(window->Tree()->isEnabled());
    EXPECT_EQ(Text(window->FindItem("P-200062"), DesktopWindow::LockColumn), "");
    EXPECT_TRUE(window->Log()->toPlainText().contains("\nbusy with UnLockObject: wait until it ends\n"));
}

// The operations that add, replace, copy or upload through the hook's own windows; each stores what was answered.
TEST_F(DesktopWindowTest, AddsReplacesCopiesAndUploadsThroughTheHooks) {
    struct Link {
        const char *className, *parent, *child; // objects by part number, description or file name
        size_t count;
        const char* quantity = nullptr; // the link's CN_QUANTITY, where it is checked
    };
    struct Case {
        const char* item;  // the tree row, by the start of its display text
        const char* entry; // the context menu's entry
        QString searchFor;
        std::vector<QString> typed;
        std::vector<std::pair<QString, QString>> edits;
        std::vector<std::string> hooks, titles, messages;
        std::vector<Link> links; // stored afterwards
    };
    const std::vector<std::pair<QString, QString>> gasket = {{"CN_DESCRIPTION", "Gasket"}};
    const Case cases[] = {
        {"P-100030",
         "Add New Part...",
         "",
         {"4", "60"},
         gasket,
         {"AddNewPart"},
         {"New Part", "Quendra", "Link Relation Input"},
         {},
         {{"Parts Tree", "P-100030", "Gasket", 1, "4"}}},
        {"P-100030",
         "Add Main Part...",
         "",
         {},
         gasket,
         {"AddMainPart"},
         {"New Part", "Quendra"},
         {},
         {{"Parts Tree", "P-100030", "Gasket", 1}}},
        {"P-100020",
         "Copy Children From...",
         "P-100010",
         {},
         {},
         {"CopyTreeFrom"},
         {"Search", "Search Results"},
         {},
         {{"Parts Tree", "P-100020", "P-100011", 1, "1"}, {"Parts Tree", "P-100020", "P-100012", 1, "2"}}},
        {"P-100031",
         "Replace by Existing Part...",
         "P-100012",
         {},
         {},
         {"ReplacePart"},
         {"Search", "Search Results"},
         {},
         {{"Parts Tree", "P-100000", "P-100012", 1, "1"}, {"Parts Tree", "P-100000", "P-100031", 0}}},
        {"P-100031",
         "Replace by New Part...",
         "",
         {},
         gasket,
         {"ReplacePartByNewPart"},
         {"New Part", "Quendra"},
         {},
         {{"Parts Tree", "P-100000", "Gasket", 1, "1"}, {"Parts Tree", "P-100000", "P-100031", 0}}},
        {"P-100030 - housing",
         "Upload Documents...",
         "",
         {},
         {},
         {"UploadDocument"},
         {"Open", "New Document"},
         {},
         {{"Document Structure", "housing-spec.txt", "notes.txt", 1}}},
    };
    auto find = [this](const char* text) {
        for (const char* attribute : {"CN_PART_NUMBER", "CN_DESCRIPTION"})
            if (auto found = database->FindObjects("Parts", attribute, text); !found.empty()) return found.front();
        auto found = database->FindObjects("Documents", "FILE_NAME", text);
        EXPECT_EQ(found.size(), 1u) << text;
        return found.at(0);
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.entry) + " on " + test.item);
        SetUp();
        recordTo = folder.Path() + "/notes.txt";
        std::ofstream(recordTo) << "notes";
        window->Search("Assembly", "P-100000");
        window->OpenResult(0);
        window->Expand(window->FindItem("P-100030"));
        searchFor = test.searchFor;
        typed = test.typed;
        edits = test.edits;
        Choose(window->MenuFor(window->FindItem(test.item)), test.entry);
        EXPECT_EQ(HooksCalled(), test.hooks);
        EXPECT_EQ(titles, test.titles);
        EXPECT_EQ(messages, test.messages);
        for (const auto& link : test.links) {
            auto found = database->FindLinks(link.className, find(link.parent), find(link.child));
            EXPECT_EQ(found.size(), link.count) << link.parent << " -> " << link.child;
            if (link.quantity && !found.empty()) {
                EXPECT_EQ(database->ReadValue(found.front(), "CN_QUANTITY").AsText(), link.quantity)
                    << link.parent << " -> " << link.child;
            }
        }
        window.reset();
        messages.clear();
        titles.clear();
    }
}

// A session recorded from the File menu plays back with `quendra play`: the same windows, answers and results.
TEST_F(DesktopWindowTest, RecordsASessionThatPlaysBack) {
    window->Search("Assembly", "P-100000");
    window->OpenResult(0);
    recordTo = folder.Path() + "/session.json";
    auto* file = window->menuBar()->actions().front()->menu();
    Choose(file, "&Record...");
    Choose(window->MenuFor(window->FindItem("P-100030")), "Lock");
    SwitchUser("dora");
    Choose(window->MenuFor(window->FindItem("P-100030")), "Unlock");
    Choose(file, "&Record...");
    EXPECT_FALSE(window->IsRecording());
    EXPECT_TRUE(window->Log()->toPlainText().endsWith("recorded 2 hook calls in " + QString::fromStdString(recordTo)));

    std::ostringstream out, errors;
    const char* arguments[] = {"quendra", "play", recordTo.c_str()};
    EXPECT_EQ(host::CommandLine::Run(3, arguments, out, errors), 0) << out.str() << errors.str();
    EXPECT_NE(out.str().find("-- step 2: dora calls UnLockObject\n"
                             "   rows [\"Part(OBJECT_ID=11)\"]\n"
                             "   message box \"Quendra\" [information, OK]: \"Part P-100030-Housing is locked by Carl "
                             "Berg\"\n"
                             "     answer: {\"button\":\"OK\"}\n"),
              std::string::npos)
        << out.str();
}

TEST_F(DesktopWindowTest, RefreshShowsAnotherProcesssChanges) {
    window->Search("Assembly", "P-100000");
    window->OpenResult(0);
    window->Expand(window->FindItem("P-100030"));
    auto other = playback::DatabaseFile::Open(path);
    auto housing = other->FindObjects("Parts", "CN_PART_NUMBER", "P-100030").front();
    auto bearing = other->FindObjects("Parts", "CN_PART_NUMBER", "P-100012").front();
    other->CreateLink("Parts Tree", housing, bearing, {});
    EXPECT_EQ(window->Tree()->model()->rowCount(window->FindItem("P-100030")), 1);

    window->Refresh();
    auto item = window->FindItem("P-100030");
    ASSERT_EQ(window->Tree()->model()->rowCount(item), 2);
    EXPECT_EQ(Text(item.model()->index(1, 0, item), DesktopWindow::ObjectColumn), "Part P-100012 - Ball bearing 6204");
    EXPECT_TRUE(window->Tree()->isExpanded(window->FindItem("P-100000")));
}

} // namespace
} // namespace quendra::desktop
