// The component's windows as native Win32 windows, answered with clicks and keys under Wine, beside
// the scripted user answering the same windows: both must end alike. The behaviour every toolkit
// shares is tests/dialogs/FormBehaviourTest.cpp, built into the same program.
#ifdef QUENDRA_TEST_WITH_WIN32

#include "ClsForm.h"
#include "TestWorld.h"
#include "Win32WindowSystem.h"
#include "WindowBackend.h"

#include <windows.h>
#undef CreateWindow
#undef MessageBox

#include <gtest/gtest.h>

#include <variant>

namespace quendra::test {
namespace {

using scripted::Action;
using scripted::Answer;

using namespace actions;

class Win32Windows : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override { backend_ = MakeBackend(GetParam()); }
    void TearDown() override { EXPECT_EQ(backend_->Failure(), std::nullopt); }
    std::unique_ptr<WindowBackend> backend_;
};

// What the shared window behaviour suite (tests/dialogs) does not say: texts outside ASCII and
// over several lines, shown and typed as UTF-16, and Windows paths.
TEST_P(Win32Windows, MessageBoxesShowTextsOutsideAsciiAndOverSeveralLines) {
    const std::string configuration =
        "Please Contact your Administrator\r\nUpload Configuration in the Script is wrong\r\nFile Type \"Drawing\" is "
        "wrongly defined for the extension \"dwg\"";
    const std::string question = "Do you want to place Document 'D-000003-B\xC3\xBCgel \xE2\x80\x9E"
                                 "drawing\xE2\x80\x9C' "
                                 "on the CORVANT desktop?";
    struct Case {
        ui::Icon icon;
        ui::Buttons buttons;
        ui::Answer defaultButton;
        Answer answer;
        ui::Answer expected;
        std::string text;
    };
    const std::vector<Case> cases = {
        {ui::Icon::Exclamation, ui::Buttons::Ok, ui::Answer::Ok, KeyAnswer("Enter"), ui::Answer::Ok, configuration},
        {ui::Icon::Question, ui::Buttons::YesNo, ui::Answer::Yes, Press("No"), ui::Answer::No, question},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        backend_->Answer({c.answer});
        EXPECT_EQ(backend_->Windows().MessageBox(c.text, "Quendra", c.icon, c.buttons, c.defaultButton), c.expected);
        auto shown = backend_->Shown();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(std::get<scripted::records::MessageBox>(shown[0].what),
                  (scripted::records::MessageBox{c.text, "Quendra", c.icon, c.buttons}));
    }
}

TEST_P(Win32Windows, LinkAttributeEditorTakesTextOutsideAscii) {
    std::vector<std::string> values = {"1", "2", "3"};
    backend_->Answer({Acts({Click(0, 1), Type("4"), Key("Down"),
                            Type("\xC3\x9C"
                                 "ber 12"),
                            Button("OK")})});
    EXPECT_TRUE(ClsForm(backend_->Windows()).ShowLinkAttributes({"Quantity", "Position", "Remark"}, values));
    EXPECT_EQ(values, (std::vector<std::string>{"4",
                                                "\xC3\x9C"
                                                "ber 12",
                                                "3"}));
}

// Windows paths: a drive letter, backslashes, names with spaces and letters outside ASCII.
TEST_P(Win32Windows, OpenFileDialogAnswersOneFileOrTheFolderAndTheNames) {
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
