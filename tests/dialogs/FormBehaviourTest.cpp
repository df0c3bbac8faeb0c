// The component's three windows behave alike on every window toolkit.
// SPDX-License-Identifier: Apache-2.0
#include "ClsForm.h"
#include "TestWorld.h"
#include "WindowBackend.h"

#include <gtest/gtest.h>

#include <utility>

namespace quendra::test {
namespace {

using answering::Action;
using answering::Answer;

using namespace actions;

// The file types of the built-in plant, and a lookup table without entries.
Ptr<CvLookupTable> FileTypes(World& world) {
    return world.session->ObjectStore()->LookupTable(300);
}
World EmptyTableWorld() {
    return World(embedded::ParseModel(R"({
      "classes": [ { "id": 50, "name": "Users", "attributes": [ { "name": "LOGIN", "display": "Login", "type": 1 } ] } ],
      "lookups": [ { "id": 300, "name": "EMPTY", "entries": [] } ],
      "users": [ { "login": "carl", "admin": false } ] })",
                                      "empty"));
}

class FormBehaviour : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override { backend_ = MakeBackend(GetParam()); }
    void TearDown() override { EXPECT_EQ(backend_->Failure(), std::nullopt); }

    bool Edit(const std::vector<std::string>& names, std::vector<std::string>& values, std::vector<Answer> answers) {
        backend_->Answer(std::move(answers));
        ClsForm form(backend_->Windows());
        return form.ShowLinkAttributes(names, values);
    }

    std::unique_ptr<WindowBackend> backend_;
};

const std::vector<std::string> Names = {"Quantity", "Position", "Remark"};

struct EditorCase {
    const char* name;
    std::vector<Action> actions;
    bool accepted;
    std::vector<std::string> values;
};

TEST_P(FormBehaviour, LinkAttributeEditorKeysClicksAndButtons) {
    const std::vector<EditorCase> cases = {
        {"enter walks down the rows, then a second enter presses OK",
         {Click(0, 1), Type("a"), Key("Enter"), Type("b"), Key("Enter"), Type("c"), Key("Enter"), Key("Enter")},
         true,
         {"a", "b", "c"}},
        {"down from the first row edits the second",
         {Click(0, 1), Type("a"), Key("Down"), Type("b"), Button("OK")},
         true,
         {"a", "b", "3"}},
        {"up on the first row moves to OK", {Click(0, 1), Type("a"), Key("Up"), Key("Enter")}, true, {"a", "2", "3"}},
        {"up from a middle row", {Click(1, 1), Type("m"), Key("Up"), Type("u"), Button("OK")}, true, {"u", "m", "3"}},
        {"enter on the last row moves to OK without accepting",
         {Click(2, 1), Type("z"), Key("Enter"), Key("Space")},
         true,
         {"1", "2", "z"}},
        {"up from the last row", {Click(2, 1), Type("z"), Key("Up"), Type("y"), Button("OK")}, true, {"1", "y", "z"}},
        {"a name cell commits and does not edit",
         {Click(1, 1), Type("m"), Click(1, 0), Type("lost"), Button("OK")},
         true,
         {"1", "m", "3"}},
        {"OK commits an edit still open", {Click(0, 1), Type("k"), Button("OK")}, true, {"k", "2", "3"}},
        {"typing before any click reaches no cell", {Type("x"), Button("OK")}, true, {"1", "2", "3"}},
        {"an emptied cell comes back empty", {Click(1, 1), Type(""), Button("OK")}, true, {"1", "", "3"}},
        {"cancel after edits keeps the values",
         {Click(0, 1), Type("k"), Key("Enter"), Type("l"), Button("Cancel")},
         false,
         {"1", "2", "3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> values = {"1", "2", "3"};
        EXPECT_EQ(Edit(Names, values, {Acts(c.actions)}), c.accepted);
        EXPECT_EQ(values, c.values);
    }
}

TEST_P(FormBehaviour, LinkAttributeEditorWithOneRow) {
    for (const char* key : {"Enter", "Down", "Up"}) {
        SCOPED_TRACE(key);
        std::vector<std::string> values = {"2"};
        // Every key commits and moves to OK, where Enter presses it.
        EXPECT_TRUE(Edit({"Quantity"}, values, {Acts({Click(0, 1), Type("5"), Key(key), Key("Enter")})}));
        EXPECT_EQ(values, std::vector<std::string>{"5"});
    }
}

TEST_P(FormBehaviour, LinkAttributeEditorClosedByItsFrameIsCancel) {
    std::vector<std::string> values = {"1", "", "3"};
    EXPECT_FALSE(Edit(Names, values, {Acts({Click(0, 1), Type("k"), Key("Down"), CloseByFrame()})}));
    EXPECT_EQ(values, (std::vector<std::string>{"1", "", "3"}));
}

TEST_P(FormBehaviour, LinkAttributeEditorRefusesListsOfDifferentLength) {
    std::vector<std::string> values = {"1"};
    EXPECT_FALSE(Edit(Names, values, {}));
    EXPECT_TRUE(backend_->Shown().empty());
}

TEST_P(FormBehaviour, FileTypeWindowAnswersTheChosenCode) {
    World world;
    auto table = FileTypes(world);
    struct FileTypeCase {
        const char* name;
        Answer answer;
        int32_t code;
    };
    const std::vector<FileTypeCase> cases = {
        {"OK on the preselected entry", Press("OK"), 12},
        {"a later entry answers its code, not its position", Choose("Model", "OK"), 1},
        {"cancel", Choose("Picture", "Cancel"), -2},
        {"closing by the frame", CloseAnswer(), -2},
        {"enter in the combo box", KeyAnswer("Enter"), 12},
        {"down then enter in the combo box", Acts({Key("Down"), Key("Enter")}), 3},
        {"OK with nothing selected", Choose(std::nullopt, "OK"), -2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        backend_->Answer({c.answer});
        EXPECT_EQ(ClsForm(backend_->Windows()).ShowFileType(table, "dwg"), c.code);
        auto shown = backend_->Shown();
        ASSERT_EQ(shown.size(), 1u);
        const auto& window = std::get<answering::records::Window>(shown[0].what);
        EXPECT_EQ(window.title, "Select File Type");
        EXPECT_EQ(window.text, "This Extension \"dwg\" is unknown.");
        EXPECT_EQ(window.choices, (std::vector<std::string>{"Drawing", "Document", "Spreadsheet", "Model", "Picture"}));
    }
}

TEST_P(FormBehaviour, FileTypeWindowWithAnEmptyTableIsNotShown) {
    backend_->Answer({});
    World world = EmptyTableWorld();
    EXPECT_EQ(ClsForm(backend_->Windows()).ShowFileType(FileTypes(world), "txt"), -2);
    EXPECT_TRUE(backend_->Shown().empty());
}

TEST_P(FormBehaviour, MessageWindowClosesByContinueEnterOrFrame) {
    for (const std::string message : {"Process New Part Development created for Part P-000001-Bracket", ""}) {
        for (const auto& answer : {Press("Continue"), KeyAnswer("Enter"), CloseAnswer()}) {
            backend_->Answer({answer});
            ClsForm(backend_->Windows()).ShowMessage(message);
            auto shown = backend_->Shown();
            ASSERT_EQ(shown.size(), 1u);
            const auto& window = std::get<answering::records::Window>(shown[0].what);
            EXPECT_EQ(window.title, "Quendra");
            EXPECT_EQ(window.text, message);
        }
    }
}

TEST_P(FormBehaviour, MessageBoxesOfEveryIconAndButtonSet) {
    struct BoxCase {
        ui::Icon icon;
        const char* iconName;
        ui::Buttons buttons;
        ui::Answer defaultButton;
        Answer answer;
        ui::Answer expected;
    };
    const std::vector<BoxCase> cases = {
        {ui::Icon::Information, "information", ui::Buttons::Ok, ui::Answer::Ok, Press("OK"), ui::Answer::Ok},
        {ui::Icon::Exclamation, "exclamation", ui::Buttons::Ok, ui::Answer::Ok, KeyAnswer("Enter"), ui::Answer::Ok},
        {ui::Icon::Critical, "critical", ui::Buttons::Ok, ui::Answer::Ok, CloseAnswer(), ui::Answer::Ok},
        {ui::Icon::Question, "question", ui::Buttons::YesNo, ui::Answer::Yes, Press("Yes"), ui::Answer::Yes},
        {ui::Icon::Question, "question", ui::Buttons::YesNo, ui::Answer::Yes, Press("No"), ui::Answer::No},
        {ui::Icon::Question, "question", ui::Buttons::YesNo, ui::Answer::Yes, KeyAnswer("Enter"), ui::Answer::Yes},
        {ui::Icon::Question, "question", ui::Buttons::YesNo, ui::Answer::No, KeyAnswer("Enter"), ui::Answer::No},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.iconName);
        backend_->Answer({c.answer});
        const std::string text = "Please Contact your Administrator\r\nUpload Configuration in the Script is wrong";
        EXPECT_EQ(backend_->Windows().MessageBox(text, "Quendra", c.icon, c.buttons, c.defaultButton), c.expected);
        auto shown = backend_->Shown();
        ASSERT_EQ(shown.size(), 1u);
        const auto& box = std::get<answering::records::MessageBox>(shown[0].what);
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.title, "Quendra");
        EXPECT_EQ(box.icon, c.icon);
        EXPECT_EQ(box.buttons, c.buttons);
    }
}

INSTANTIATE_TEST_SUITE_P(Toolkits, FormBehaviour, ::testing::ValuesIn(BackendNames()),
                         [](const auto& info) { return info.param; });

} // namespace
} // namespace quendra::test
