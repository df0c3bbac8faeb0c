// The component's windows as native Win32 windows, answered with clicks and keys under Wine, beside
// the scripted user answering the same windows: both must end alike. The behaviour every toolkit
// shares is tests/dialogs/FormBehaviourTest.cpp, built into the same program.
// SPDX-License-Identifier: Apache-2.0
#ifdef QUENDRA_TEST_WITH_WIN32

#include "ClsForm.h"
#include "TestWorld.h"
#include "Win32WindowSystem.h"
#include "WindowBackend.h"

#include <windows.h>
#undef CreateWindow
#undef MessageBox

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace quendra::test {
namespace {

using answering::Action;
using answering::Answer;

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
        EXPECT_EQ(std::get<answering::records::MessageBox>(shown[0].what),
                  (answering::records::MessageBox{c.text, "Quendra", c.icon, c.buttons}));
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

// A form's event handler runs inside a window procedure, under the frames of Windows: its failure
// must leave ShowModal, where the form's caller expects it, and the process live on.
TEST_P(Win32Windows, AFailureOfAFormHandlerLeavesShowModal) {
    struct Failing : ui::WindowEvents {
        void Click(ui::Control&) override { throw std::out_of_range("no entry 0"); }
    } events;
    backend_->Answer({Acts({Button("Go")})});
    auto window = backend_->Windows().CreateWindow("Failing", 3000, 1500, events);
    window->AddButton("cmdGo", {120, 120, 1200, 400}, "Go", 0);
    try {
        window->ShowModal();
        ADD_FAILURE() << "ShowModal returned";
    } catch (const std::out_of_range& error) {
        EXPECT_STREQ(error.what(), "no entry 0");
    }
}

// Empty lists and grids, an entry that does not exist, a cell outside the grid: refused alike, and
// nothing changed by the refusal.
TEST_P(Win32Windows, ListsAndGridsRefuseWhatTheyDoNotHold) {
    ui::WindowEvents none;
    auto window = backend_->Windows().CreateWindow("Edges", 4000, 3000, none);
    auto& list = window->AddComboBox("cboFileType", {120, 120, 2000, 300}, 0);
    EXPECT_EQ(list.ListCount(), 0);
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_THROW(list.SetListIndex(0), std::out_of_range);
    EXPECT_THROW(list.List(0), std::out_of_range);
    list.SetListIndex(-1);
    list.AddItem("Drawing");
    for (int index : {1, -2}) EXPECT_THROW(list.SetListIndex(index), std::out_of_range) << index;
    EXPECT_EQ(list.ListIndex(), -1);
    list.SetListIndex(0);
    EXPECT_EQ(list.List(0), "Drawing");

    auto& grid = window->AddGrid("MSFlexGrid1", {120, 600, 3000, 2000}, 1);
    grid.SetRows(0);
    grid.SetCols(0);
    EXPECT_THROW(grid.TextMatrix(0, 0), std::out_of_range);
    grid.SetCols(2);
    grid.SetRows(3);
    grid.SetTextMatrix(2, 1, "3");
    const std::vector<std::pair<int, int>> outside = {{3, 0}, {0, 2}, {-1, 0}, {0, -1}};
    for (auto [row, col] : outside) {
        SCOPED_TRACE(std::to_string(row) + "," + std::to_string(col));
        EXPECT_THROW(grid.TextMatrix(row, col), std::out_of_range);
        EXPECT_THROW(grid.SetTextMatrix(row, col, "x"), std::out_of_range);
    }
    EXPECT_THROW(grid.SetRow(3), std::out_of_range);
    EXPECT_THROW(grid.SetCol(2), std::out_of_range);
    EXPECT_THROW(grid.ColWidth(2), std::out_of_range);
    EXPECT_EQ(grid.TextMatrix(2, 1), "3");
    EXPECT_EQ(grid.Rows(), 3);
    EXPECT_EQ(grid.Cols(), 2);
}

INSTANTIATE_TEST_SUITE_P(Toolkits, Win32Windows, ::testing::ValuesIn(BackendNames()),
                         [](const auto& info) { return info.param; });

} // namespace
} // namespace quendra::test

#endif
