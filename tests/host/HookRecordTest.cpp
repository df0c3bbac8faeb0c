// A hook called on a database file, answered by a person in real Qt windows (or by a script), recorded,
// then replayed by play: the recording names what was answered and passes.
// SPDX-License-Identifier: Apache-2.0
#ifdef QUENDRA_WITH_QT

#include "CommandRun.h"
#include "DatabaseFile.h"
#include "JsonCursor.h"
#include "QtApplication.h"
#include "TempFolder.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace quendra::host {
namespace {

using test::Quendra;

// What the person does in one dialog; `folder` is the test's fresh folder.
using Play = std::function<void(QDialog&, const std::string& folder)>;

// Sits at the screen while a command runs: each modal dialog that becomes active gets the next play.
class Person {
public:
    explicit Person(std::vector<Play> plays, std::string folder)
        : plays_(plays.begin(), plays.end()), folder_(std::move(folder)) {
        QObject::connect(&watch_, &QTimer::timeout, [this] { Look(); });
        watch_.start(5);
    }
    size_t PlaysLeft() const { return plays_.size(); }

private:
    // A dialog shown from inside a play is answered from inside it, with the next play. A dialog
    // with no play left, or left open, is closed by its frame, so the command never waits.
    void Look() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || !dialog->isActiveWindow() || answered_ == dialog) return;
        answered_ = dialog;
        QPointer<QDialog> alive(dialog);
        if (plays_.empty()) {
            ADD_FAILURE() << "a dialog nobody answers: " << dialog->windowTitle().toStdString();
        } else {
            auto play = plays_.front();
            plays_.pop_front();
            play(*dialog, folder_);
        }
        if (alive && alive->isVisible()) {
            ADD_FAILURE() << "the dialog stayed open: " << alive->windowTitle().toStdString();
            alive->close();
        }
    }

    std::deque<Play> plays_;
    std::string folder_;
    QTimer watch_;
    QPointer<QDialog> answered_;
};

void Press(QDialog& dialog, const QString& caption) {
    for (auto* button : dialog.findChildren<QPushButton*>())
        if (button->text() == caption && button->isVisible()) return QTest::mouseClick(button, Qt::LeftButton);
    ADD_FAILURE() << "no button " << caption.toStdString();
}

void Confirm(QDialog& dialog) {
    QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

void TypeInto(QDialog& dialog, const char* field, const QString& text) {
    auto* edit = dialog.findChild<QLineEdit*>(field);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

struct RecordCase {
    const char* name;
    std::vector<std::string> arguments; // after --db and --user; FOLDER stands for the fresh folder
    std::vector<Play> person;
    const char* script; // when given: the --answers file, and no person
    // The recorded answers; HOUSING stands for the housing part's object id. An empty Boolean
    // of the new-object dialog comes back as false from its check box, so it is filled too.
    const char* answers;
    const char* dialogs;
    const char* files;
};

void PrintTo(const RecordCase& test, std::ostream* out) {
    *out << test.name;
}

// The windows of an upload of cost.xls by the sample's file types.
const char* UploadDialogs = R"json([{"openFile": "All Basic Supported Types(*.dwg)|*.dwg|All Files (*.*)|*.*"},
    {"window": "Select File Type", "text": "This Extension \"xls\" is unknown.",
     "choices": ["Drawing", "Document", "Spreadsheet", "Model", "Picture"]},
    {"platform": "newObject", "class": "Document"}])json";

// Answers for that upload, kept in the recording as written.
const char* ScriptedUpload = R"json([{"open": ["in/cost.xls"]}, {"choose": "Spreadsheet", "button": "OK"},
    {"fill": {"CN_PART_NUMBER": "P-100030"}, "button": "OK"}])json";

const RecordCase RecordCases[] = {
    {"SearchAndLinkValues",
     {"AddExistingPart", "--row", "Assembly(CN_PART_NUMBER=P-100010)", "--link-attributes", "CN_QUANTITY,CN_REMARK"},
     {[](QDialog& dialog, const std::string&) {
          auto* classes = dialog.findChild<QComboBox*>("Class");
          classes->setCurrentIndex(classes->findText("Part"));
          TypeInto(dialog, "Attribute", "CN_DESCRIPTION");
          TypeInto(dialog, "Text", "Housing");
          Confirm(dialog);
      },
      [](QDialog& dialog, const std::string&) {
          auto* list = dialog.findChild<QListWidget*>("Results");
          ASSERT_EQ(list->count(), 1);
          QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
          Confirm(dialog);
      },
      [](QDialog& dialog, const std::string&) {
          auto* table = dialog.findChild<QTableWidget*>();
          QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                            table->visualRect(table->model()->index(0, 1)).center());
          QTest::keyClicks(QApplication::focusWidget(), "4");
          QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
          QTest::keyClicks(QApplication::focusWidget(), "bolted");
          Press(dialog, "OK");
      }},
     nullptr,
     R"json([{"search": ["Part(OBJECT_ID=HOUSING)"]}, {"set": {"Quantity": "4", "Remark": "bolted"}, "button": "OK"}])json",
     R"json([{"platform": "query"}, {"platform": "results"},
         {"window": "Link Relation Input", "text": "", "rows": [["Quantity", ""], ["Remark", ""]]}])json",
     "{}"},
    {"FileTypeAndNewDocument",
     {"UploadDocument", "--row", "Part(CN_PART_NUMBER=P-100030)", "--extensions", "dwg", "--file-types", "Drawing"},
     {[](QDialog& dialog, const std::string& folder) {
          auto* files = qobject_cast<QFileDialog*>(&dialog);
          ASSERT_NE(files, nullptr);
          files->setDirectory(QString::fromStdString(folder + "/in"));
          auto* edit = files->findChild<QLineEdit*>("fileNameEdit");
          QTest::keyClicks(edit, "cost.xls");
          QTest::keyClick(edit, Qt::Key_Return);
      },
      [](QDialog& dialog, const std::string&) {
          QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
          QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
          Press(dialog, "OK");
      },
      [](QDialog& dialog, const std::string&) {
          TypeInto(dialog, "CN_PART_NUMBER", "P-100030");
          TypeInto(dialog, "CN_DESCRIPTION", "Costs");
          Confirm(dialog);
      }},
     nullptr,
     R"json([{"open": ["in/cost.xls"]}, {"choose": "Spreadsheet", "button": "OK"},
         {"fill": {"CN_PART_NUMBER": "P-100030", "CN_DESCRIPTION": "Costs", "CN_LOCKED": false,
                   "CN_STANDARD": false}, "button": "OK"}])json",
     UploadDialogs,
     R"json({"in/cost.xls": "cost sheet"})json"},
    {"ScriptedAnswersAreKeptAsWritten",
     {"UploadDocument", "--row", "Part(CN_PART_NUMBER=P-100030)", "--extensions", "dwg", "--file-types", "Drawing"},
     {},
     ScriptedUpload,
     ScriptedUpload,
     UploadDialogs,
     R"json({"in/cost.xls": "cost sheet"})json"},
};

class HookRecord : public testing::TestWithParam<RecordCase> {
protected:
    static void SetUpTestSuite() { test::QtApplication(); }
};

TEST_P(HookRecord, RecordedCallReplaysWithPlay) {
    const RecordCase& test = GetParam();
    playback::TempFolder folder;
    folder.Write("in/cost.xls", "cost sheet");
    auto db = folder.Path() + "/plant.db";
    auto recording = folder.Path() + "/recorded.json";
    ASSERT_EQ(Quendra({"init", db, "--sample"}).status, 0);
    auto housing = playback::DatabaseFile::Open(db)->FindObjects("Part", "CN_PART_NUMBER", "P-100030");
    ASSERT_EQ(housing.size(), 1u);

    std::vector<std::string> arguments = {"hook", test.arguments[0], "--db", db, "--user", "carl"};
    arguments.insert(arguments.end(), test.arguments.begin() + 1, test.arguments.end());
    arguments.insert(arguments.end(), {"--record", recording});
    if (test.script) {
        folder.Write("answers.json", test.script);
        arguments.insert(arguments.end(), {"--answers", folder.Path() + "/answers.json"});
    }
    Person person(test.person, folder.Path());
    auto called = Quendra(arguments);
    ASSERT_EQ(called.status, 0) << called.errors;
    EXPECT_EQ(called.errors, "");
    EXPECT_EQ(person.PlaysLeft(), 0u);

    auto recorded = JsonCursor::ReadFile(recording);
    std::string answers = test.answers;
    if (auto at = answers.find("HOUSING"); at != std::string::npos)
        answers.replace(at, 7, std::to_string(housing[0].objectId));
    EXPECT_EQ(recorded["database"], "recorded.db");
    EXPECT_EQ(recorded.value("files", Json::object()), Json::parse(test.files));
    ASSERT_EQ(recorded["steps"].size(), 1u);
    const auto& step = recorded["steps"][0];
    EXPECT_EQ(step["user"], "carl");
    EXPECT_EQ(step["hook"], test.arguments[0]);
    EXPECT_EQ(step["answers"], Json::parse(answers));
    EXPECT_EQ(step["expect"]["dialogs"], Json::parse(test.dialogs));
    // The transcript shows each window with the answer given.
    EXPECT_NE(called.out.find("answer: " + JsonText(step["answers"][0])), std::string::npos) << called.out;

    // Played on the database as it was before the call, from another folder than the files'.
    auto played = Quendra({"play", recording});
    EXPECT_EQ(played.status, 0) << played.out << played.errors;
}

INSTANTIATE_TEST_SUITE_P(Commands, HookRecord, testing::ValuesIn(RecordCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quendra::host

#endif
