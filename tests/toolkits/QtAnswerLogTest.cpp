// What a person does in the Qt toolkit's windows, as the answers it logs; each log replays on the
// scripted toolkit to the same outcome.
// SPDX-License-Identifier: Apache-2.0
#ifdef QUENDRA_TEST_WITH_QT

#include "ClsForm.h"
#include "FrmFileType.h"
#include "QtApplication.h"
#include "QtWindowSystem.h"
#include "ScriptedUser.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <functional>

namespace quendra::qt {
namespace {

using Windows = ui::WindowSystem;
using Dialogs = embedded::PlatformDialogs;

// The folder the open-file cases pick from.
const QTemporaryDir& Files() {
    static QTemporaryDir* dir = [] {
        auto* made = new QTemporaryDir;
        for (const char* name : {"frame.dwg", "cost.xls"}) {
            QFile file(made->filePath(name));
            file.open(QIODevice::WriteOnly);
            file.write("content");
        }
        return made;
    }();
    return *dir;
}

// An answer in a short form that the cases compare.
std::string Written(const answering::Answer& answer) {
    namespace answers = answering::answers;
    auto pairs = [](const auto& entries, auto text) {
        std::string joined;
        for (const auto& [name, value] : entries) joined += (joined.empty() ? "" : ", ") + name + "=" + text(value);
        return joined;
    };
    const auto& what = answer.what;
    if (const auto* button = std::get_if<answers::Button>(&what)) return "button " + button->caption;
    if (const auto* key = std::get_if<answers::Key>(&what)) return "key " + key->name;
    if (std::holds_alternative<answers::Close>(what)) return "close";
    if (const auto* set = std::get_if<answers::Set>(&what))
        return "set " + pairs(set->rows, [](const std::string& text) { return text; }) + " / " + set->button;
    if (const auto* choose = std::get_if<answers::Choose>(&what))
        return "choose " + choose->entry.value_or("(none)") + " / " + choose->button;
    if (const auto* open = std::get_if<answers::Open>(&what)) {
        std::string names = "open";
        for (const auto& path : open->paths) names += " " + std::filesystem::path(path).filename().string();
        return names;
    }
    if (const auto* search = std::get_if<answers::Search>(&what)) {
        if (search->mode == answers::Search::Mode::CancelQuery) return "search cancel";
        if (search->mode == answers::Search::Mode::CancelResults) return "search cancel results";
        std::string picks = "search";
        for (const auto& key : search->picks) picks += " " + std::to_string(key.objectId);
        return picks;
    }
    if (const auto* fill = std::get_if<answers::Fill>(&what))
        return "fill " + pairs(fill->values, [](const Value& value) { return value.AsText(); }) + " / " + fill->button;
    return "actions";
}

// What a person does in one dialog.
using Play = std::function<void(QDialog&)>;

QPushButton* ButtonOf(QDialog& dialog, const QString& caption) {
    for (auto* button : dialog.findChildren<QPushButton*>())
        if (button->text() == caption && button->isVisible()) return button;
    return nullptr;
}

Play Press(const QString& caption) {
    return [caption](QDialog& dialog) {
        auto* button = ButtonOf(dialog, caption);
        ASSERT_NE(button, nullptr) << caption.toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    };
}

Play Key(Qt::Key key) {
    return [key](QDialog&) { QTest::keyClick(QApplication::focusWidget(), key); };
}

Play CloseByFrame() {
    return [](QDialog& dialog) { dialog.close(); };
}

Play ClickCell(int row, int col) {
    return [row, col](QDialog& dialog) {
        auto* table = dialog.findChild<QTableWidget*>();
        QRect cell = table->visualRect(table->model()->index(row, col));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    };
}

Play Type(const QString& text) {
    return [text](QDialog&) { QTest::keyClicks(QApplication::focusWidget(), text); };
}

Play Pick(const QString& names) {
    return [names](QDialog& dialog) {
        auto* files = qobject_cast<QFileDialog*>(&dialog);
        ASSERT_NE(files, nullptr);
        files->setDirectory(Files().path());
        auto* edit = files->findChild<QLineEdit*>("fileNameEdit");
        QTest::keyClicks(edit, names);
        QTest::keyClick(edit, Qt::Key_Return);
    };
}

// The OK or Cancel of a platform dialog.
Play Box(QDialogButtonBox::StandardButton which) {
    return [which](QDialog& dialog) {
        QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(which), Qt::LeftButton);
    };
}

Play ClickResult(int row) {
    return [row](QDialog& dialog) {
        auto* list = dialog.findChild<QListWidget*>("Results");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    };
}

Play TypeInto(const char* field, const QString& text) {
    return [field, text](QDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>(field);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    };
}

Play Steps(std::vector<Play> steps) {
    return [steps](QDialog& dialog) {
        for (const auto& step : steps) step(dialog);
    };
}

std::string Said(ui::Answer answer) {
    return answer == ui::Answer::Ok ? "OK" : answer == ui::Answer::Yes ? "Yes" : "No";
}

std::string LinkValues(Windows& windows) {
    ClsForm form(windows);
    std::vector<std::string> values = {"2", ""};
    bool ok = form.ShowLinkAttributes({"Quantity", "Remark"}, values);
    return (ok ? "OK " : "cancelled ") + values[0] + "|" + values[1];
}

std::string FileType(Windows& windows) {
    FrmFileType form(windows);
    for (const char* entry : {"Drawing", "Model", "Sheet"}) form.CmbFileType().AddItem(entry);
    form.CmbFileType().SetListIndex(0);
    form.Show();
    form.Terminate();
    return std::to_string(form.Selection);
}

std::string OpenFiles(Windows& windows) {
    auto dialog = windows.CreateCommonDialog();
    dialog->SetFilter("All Files (*.*)|*.*");
    dialog->SetFlags(0x200);
    dialog->ShowOpen();
    std::string name = dialog->FileName();
    std::replace(name.begin(), name.end(), '\0', '|');
    return name;
}

const std::vector<embedded::SearchCandidate> Found = {
    {{11, 1}, "Part", "P-1"}, {{11, 2}, "Part", "P-2"}, {{11, 3}, "Part", "P-3"}};

std::string Search(Dialogs& dialogs) {
    embedded::SearchQuery query;
    if (!dialogs.RunQueryDialog({{11, "Part"}}, query)) return "no query";
    std::vector<embedded::ObjectKey> picked;
    if (!dialogs.RunResultDialog(Found, picked)) return "no results";
    std::string ids;
    for (const auto& key : picked) ids += std::to_string(key.objectId) + " ";
    return ids;
}

std::string NewObject(Dialogs& dialogs) {
    std::vector<embedded::NewObjectField> fields(3);
    fields[0] = {"CN_DESCRIPTION", "Description", 1, true, {}, Value()};
    fields[1] = {"CN_QUANTITY", "Quantity", 2, false, {}, Value::Int16(1)};
    fields[2] = {"CN_REMARK", "Remark", 1, false, {}, Value::Text("as is")};
    if (!dialogs.RunNewObjectDialog("Part", fields)) return "cancelled";
    std::string values;
    for (const auto& field : fields) values += field.value.AsText() + "|";
    return values;
}

struct PersonCase {
    const char* name;
    std::function<std::string(Windows&, Dialogs&)> run; // shows the windows; what came of them
    std::vector<Play> person;                           // one play per dialog, in order
    std::vector<std::string> answers;                   // the answers logged, as Written
    std::string outcome;
};

void PrintTo(const PersonCase& test, std::ostream* out) {
    *out << test.name;
}

const std::vector<PersonCase>& PersonCases() {
    static const std::vector<PersonCase> cases = {
        {"MessageBoxEscapeIsItsOk",
         [](Windows& w, Dialogs&) {
             return Said(w.MessageBox("Saved", "Quendra", ui::Icon::Critical, ui::Buttons::Ok, ui::Answer::Ok));
         },
         {[](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
         {"button OK"},
         "OK"},
        {"QuestionEnterTakesTheDefault",
         [](Windows& w, Dialogs&) {
             return Said(w.MessageBox("Place it?", "Quendra", ui::Icon::Question, ui::Buttons::YesNo, ui::Answer::No));
         },
         {Key(Qt::Key_Return)},
         {"button No"},
         "No"},
        {"MessageWindowContinue",
         [](Windows& w, Dialogs&) {
             ClsForm(w).ShowMessage("Working");
             return std::string("shown");
         },
         {Press("Continue")},
         {"button Continue"},
         "shown"},
        {"LinkEditorTypedCells",
         [](Windows& w, Dialogs&) { return LinkValues(w); },
         {Steps({ClickCell(0, 1), Type("35"), Key(Qt::Key_Backspace), Key(Qt::Key_Return), Type("zinc"), Press("OK")})},
         {"set Quantity=3, Remark=zinc / OK"},
         "OK 3|zinc"},
        {"LinkEditorValueTypedBackIsNoChange",
         [](Windows& w, Dialogs&) { return LinkValues(w); },
         {Steps({ClickCell(1, 1), Type("x"), ClickCell(0, 1), Type("2"), Press("OK")})},
         {"set Remark=x / OK"},
         "OK 2|x"},
        {"LinkEditorCancelled",
         [](Windows& w, Dialogs&) { return LinkValues(w); },
         {Steps({ClickCell(1, 1), Type("x"), Press("Cancel")})},
         {"set Remark=x / Cancel"},
         "cancelled 2|"},
        {"LinkEditorFrame",
         [](Windows& w, Dialogs&) { return LinkValues(w); },
         {Steps({ClickCell(1, 1), Type("x"), CloseByFrame()})},
         {"close"},
         "cancelled 2|"},
        {"FileTypeEnterAsShown",
         [](Windows& w, Dialogs&) { return FileType(w); },
         {Key(Qt::Key_Return)},
         {"key Enter"},
         "0"},
        {"FileTypeCancel",
         [](Windows& w, Dialogs&) { return FileType(w); },
         {Press("Cancel")},
         {"choose Drawing / Cancel"},
         "-2"},
        {"OpenTwoFiles",
         [](Windows& w, Dialogs&) { return OpenFiles(w); },
         {Pick("\"frame.dwg\" \"cost.xls\"")},
         {"open frame.dwg cost.xls"},
         Files().path().toStdString() + "|frame.dwg|cost.xls"},
        {"OpenCancelled",
         [](Windows& w, Dialogs&) { return OpenFiles(w); },
         {[](QDialog& d) { d.reject(); }},
         {"open"},
         ""},
        // A second click on a result drops its pick.
        {"SearchPicksInOrder",
         [](Windows&, Dialogs& d) { return Search(d); },
         {Steps({TypeInto("Attribute", "CN_PART_NUMBER"), Box(QDialogButtonBox::Ok)}),
          Steps({ClickResult(2), ClickResult(1), ClickResult(0), ClickResult(1), Box(QDialogButtonBox::Ok)})},
         {"search 3 1"},
         "3 1 "},
        {"SearchQueryCancelled",
         [](Windows&, Dialogs& d) { return Search(d); },
         {Box(QDialogButtonBox::Cancel)},
         {"search cancel"},
         "no query"},
        {"SearchResultsCancelled",
         [](Windows&, Dialogs& d) { return Search(d); },
         {Box(QDialogButtonBox::Ok), Steps({ClickResult(1), Box(QDialogButtonBox::Cancel)})},
         {"search cancel results"},
         "no results"},
        {"NewObjectCancelled",
         [](Windows&, Dialogs& d) { return NewObject(d); },
         {Steps({TypeInto("CN_DESCRIPTION", "Seal"), Box(QDialogButtonBox::Cancel)})},
         {"fill  / Cancel"},
         "cancelled"},
    };
    return cases;
}

class PersonAnswers : public testing::TestWithParam<PersonCase> {
protected:
    static void SetUpTestSuite() { test::QtApplication(); }
};

TEST_P(PersonAnswers, AreLoggedAndReplayToTheSameOutcome) {
    const PersonCase& test = GetParam();
    QtWindowSystem windows;
    std::deque<Play> person(test.person.begin(), test.person.end());
    // A dialog left open is closed by its frame, so a wrong play fails the case instead of waiting.
    windows.SetModalHook([&](QDialog& dialog) {
        QPointer<QDialog> alive(&dialog);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        if (person.empty()) {
            ADD_FAILURE() << "a dialog nobody answers: " << dialog.windowTitle().toStdString();
        } else {
            auto play = person.front();
            person.pop_front();
            play(dialog);
        }
        if (alive && alive->isVisible()) {
            ADD_FAILURE() << "the dialog stayed open: " << alive->windowTitle().toStdString();
            alive->close();
        }
    });
    std::string outcome = test.run(windows, windows);
    EXPECT_EQ(outcome, test.outcome);
    EXPECT_TRUE(person.empty());

    std::vector<std::string> logged;
    std::vector<answering::Answer> answers;
    for (const auto& shown : windows.Answered())
        if (shown.answer) {
            logged.push_back(Written(*shown.answer));
            answers.push_back(*shown.answer);
        }
    EXPECT_EQ(logged, test.answers);

    scripted::ScriptedUser replay;
    replay.SetAnswers(answers);
    EXPECT_EQ(test.run(replay, replay), test.outcome);
    EXPECT_EQ(replay.Failure(), std::nullopt);
    EXPECT_EQ(replay.AnswersLeft(), 0u);
    // The windows are noted as the scripted toolkit notes them.
    ASSERT_EQ(replay.Windows().size(), windows.Answered().size());
    for (size_t i = 0; i < replay.Windows().size(); ++i) {
        const auto& real = windows.Answered()[i].window;
        const auto& scripted = replay.Windows()[i];
        EXPECT_TRUE(real.what == scripted.what) << "window " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(QtToolkit, PersonAnswers, testing::ValuesIn(PersonCases()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quendra::qt

#endif
