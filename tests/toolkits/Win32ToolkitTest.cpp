// The component's windows as native Win32 windows, answered with clicks and keys under Wine, beside
// the scripted user answering the same windows: both must end alike.
#ifdef QUENDRA_TEST_WITH_WIN32

#include "ClsForm.h"
#include "Win32WindowSystem.h"
#include "WindowBackend.h"
#include "World.h"

#include <windows.h>
#undef CreateWindow
#undef MessageBox

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <variant>

namespace quendra::test {
namespace {

using scripted::Action;
using scripted::Answer;

using namespace actions;

// The file types as the platform's lookup table lists them: text and code.
class FileTypeTable : public CvLookupTable {
    struct Entry : CvLookupEntry {
        Entry(std::string text, int32_t code) : text(std::move(text)), code(code) {}
        std::string Text() override { return text; }
        int32_t Code() override { return code; }
        std::string text;
        int32_t code;
    };

public:
    int32_t Count() override { return 3; }
    Ptr<CvLookupEntry> Item(int16_t position) override {
        static const std::pair<const char*, int32_t> entries[] = {{"Drawing", 12}, {"Document", 3}, {"Model", 1}};
        return std::make_shared<Entry>(entries[position].first, entries[position].second);
    }
    Ptr<CvLookupEntry> ItemByText(const std::string&) override { return nullptr; }
};

class Win32Windows : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override { backend_ = MakeBackend(GetParam()); }
    void TearDown() override { EXPECT_EQ(backend_->Failure(), std::nullopt); }
    std::unique_ptr<WindowBackend> backend_;
};

TEST_P(Win32Windows, MessageBoxesShowTheirIconAndAnswerTheButtonPressed) {
    const std::string configuration =
        "Please Contact your Administrator\r\nUpload Configuration in the Script is wrong";
    // An object's name may hold any letter: the box shows the text as UTF-16.
    const std::string question = "Do you want to place Document 'D-000003-B\xC3\xBCgel \xE2\x80\x9E"
                                 "drawing\xE2\x80\x9C' "
                                 "on the CORVANT desktop?";
    struct Case {
        ui::Icon icon;
        const char* iconName;
        ui::Buttons buttons;
        ui::Answer defaultButton;
        Answer answer;
        ui::Answer expected;
        std::string text;
    };
    const std::vector<Case> cases = {
        {ui::Icon::Information, "information", ui::Buttons::Ok, ui::Answer::Ok, Press("OK"), ui::Answer::Ok,
         "You Selected an Incorrect Object"},
        {ui::Icon::Exclamation, "exclamation", ui::Buttons::Ok, ui::Answer::Ok, KeyAnswer("Enter"), ui::Answer::Ok,
         configuration + "\r\nFile Type \"Drawing\" is wrongly defined for the extension \"dwg\""},
        {ui::Icon::Critical, "critical", ui::Buttons::Ok, ui::Answer::Ok, CloseAnswer(), ui::Answer::Ok, configuration},
        {ui::Icon::Question, "question", ui::Buttons::YesNo, ui::Answer::Yes, Press("No"), ui::Answer::No, question},
        {ui::Icon::Question, "question", ui::Buttons::YesNo, ui::Answer::No, KeyAnswer("Enter"), ui::Answer::No,
         question},
        {ui::Icon::Question, "question", ui::Buttons::YesNo, ui::Answer::Yes, KeyAnswer("Enter"), ui::Answer::Yes,
         question},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.iconName);
        backend_->Answer({c.answer});
        EXPECT_EQ(backend_->Windows().MessageBox(c.text, "Quendra", c.icon, c.buttons, c.defaultButton), c.expected);
        auto shown = backend_->Shown();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(std::get<scripted::records::MessageBox>(shown[0].what),
                  (scripted::records::MessageBox{c.text, "Quendra", c.icon, c.buttons}));
    }
}

TEST_P(Win32Windows, MessageWindowClosesByContinueEnterOrFrame) {
    for (const auto& answer : {Press("Continue"), KeyAnswer("Enter"), CloseAnswer()}) {
        backend_->Answer({answer});
        ClsForm(backend_->Windows()).ShowMessage("New Part Development process creation for Part P-000013-Bracket");
        auto shown = backend_->Shown();
        ASSERT_EQ(shown.size(), 1u);
        const auto& window = std::get<scripted::records::Window>(shown[0].what);
        EXPECT_EQ(window.title, "Quendra");
        EXPECT_EQ(window.text, "New Part Development process creation for Part P-000013-Bracket");
    }
}

TEST_P(Win32Windows, FileTypeWindowAnswersTheChosenCode) {
    const std::vector<std::pair<Answer, int32_t>> cases = {
        {Press("OK"), 12},
        {Choose("Model", "OK"), 1},
        {Choose("Document", "Cancel"), -2},
        {CloseAnswer(), -2},
        {KeyAnswer("Enter"), 12},
        {Acts({Key("Down"), Key("Enter")}), 3},
        {Choose(std::nullopt, "OK"), -2},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const auto& [answer, code] = cases[i];
        SCOPED_TRACE("case " + std::to_string(i));
        backend_->Answer({answer});
        EXPECT_EQ(ClsForm(backend_->Windows()).ShowFileType(std::make_shared<FileTypeTable>(), "dwg"), code);
        auto shown = backend_->Shown();
        ASSERT_EQ(shown.size(), 1u);
        const auto& window = std::get<scripted::records::Window>(shown[0].what);
        EXPECT_EQ(window.title, "Select File Type");
        EXPECT_EQ(window.text, "This Extension \"dwg\" is unknown.");
        EXPECT_EQ(window.choices, (std::vector<std::string>{"Drawing", "Document", "Model"}));
    }
}

TEST_P(Win32Windows, LinkAttributeEditorEditsInPlace) {
    struct Case {
        const char* name;
        std::vector<Action> actions;
        bool accepted;
        std::vector<std::string> values;
    };
    const std::vector<Case> cases = {
        {"enter walks down the rows, then a second enter presses OK",
         {Click(0, 1), Type("a"), Key("Enter"), Type("b"), Key("Enter"), Type("c"), Key("Enter"), Key("Enter")},
         true,
         {"a", "b", "c"}},
        {"up on the first row moves to OK", {Click(0, 1), Type("a"), Key("Up"), Key("Enter")}, true, {"a", "2", "3"}},
        {"a name cell commits and does not edit",
         {Click(1, 1), Type("m"), Click(1, 0), Type("lost"), Button("OK")},
         true,
         {"1", "m", "3"}},
        {"enter on the last row moves to OK without accepting",
         {Click(2, 1), Type("z"), Key("Enter"), Key("Space")},
         true,
         {"1", "2", "z"}},
        {"typing before any click reaches no cell", {Type("x"), Button("OK")}, true, {"1", "2", "3"}},
        {"an emptied cell comes back empty", {Click(1, 1), Type(""), Button("OK")}, true, {"1", "", "3"}},
        {"the second value pictured while edited",
         {Click(0, 1), Type("4"), Key("Down"),
          Type("\xC3\x9C"
               "ber 12"),
          Button("OK")},
         true,
         {"4",
          "\xC3\x9C"
          "ber 12",
          "3"}},
        {"cancel after edits keeps the values",
         {Click(0, 1), Type("k"), Key("Enter"), Type("l"), Button("Cancel")},
         false,
         {"1", "2", "3"}},
        {"closed by its frame", {Click(0, 1), Type("k"), Key("Down"), {"close", 0, 0, ""}}, false, {"1", "2", "3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> values = {"1", "2", "3"};
        backend_->Answer({Acts(c.actions)});
        EXPECT_EQ(ClsForm(backend_->Windows()).ShowLinkAttributes({"Quantity", "Position", "Remark"}, values),
                  c.accepted);
        EXPECT_EQ(values, c.values);
        auto shown = backend_->Shown();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(std::get<scripted::records::Window>(shown[0].what).title, "Link Relation Input");
    }
}

// Windows paths: a drive letter, backslashes, names with spaces and letters outside ASCII.
TEST_P(Win32Windows, OpenFileDialogAnswersOneFileOrTheFolderAndTheNames) {
    // The scripted user splits its answer's paths in the process's code page on Windows, not UTF-8.
    if (GetParam() == "scripted") GTEST_SKIP() << "the scripted user's path splitting on Windows";
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::string folder = win32::Narrow(temp) + "quendra open";
    CreateDirectoryW(win32::Wide(folder).c_str(), nullptr);
    const std::vector<std::string> names = {"plan 1.dwg", "Gr\xC3\xB6\xC3\x9F"
                                                          "e.txt"};
    for (const auto& name : names)
        CloseHandle(CreateFileW(win32::Wide(folder + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                nullptr));
    struct Case {
        std::vector<std::string> picked;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {{folder + "\\" + names[0]}, folder + "\\" + names[0]},
        {{folder + "\\" + names[0], folder + "\\" + names[1]}, folder + '\0' + names[0] + '\0' + names[1]},
        {{}, ""},
    };
    for (const auto& c : cases) {
        backend_->Answer({Open(c.picked)});
        auto dialog = backend_->Windows().CreateCommonDialog();
        dialog->SetFilter("All Basic Supported Types(*.dwg;*.txt)|*.dwg;*.txt|All Files (*.*)|*.*");
        dialog->SetFlags(524804);
        dialog->ShowOpen();
        EXPECT_EQ(dialog->FileName(), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Toolkits, Win32Windows, ::testing::ValuesIn(BackendNames()),
                         [](const auto& info) { return info.param; });

} // namespace
} // namespace quendra::test

#endif
