// The scripted user: how it reports answers that do not fit the windows that appear.
// SPDX-License-Identifier: Apache-2.0
#include "ClsForm.h"
#include "TestWorld.h"

namespace quendra::test {

using answering::Answer;
using scripted::ScriptedUser;
namespace {

// What scenario files play of these dialogs works; these are the answers that cannot serve them.
TEST(ScriptedUser, AnswersThatThePlatformDialogsCannotTakeFail) {
    // Files of two folders, or several files without multiple selection, cannot be picked.
    for (const auto& [paths, flags] :
         {std::pair{std::vector<std::string>{"/data/in/a.dwg", "/data/out/b.txt"}, 0x80204},
          std::pair{std::vector<std::string>{"/data/in/a.dwg", "/data/in/b.txt"}, 0}}) {
        ScriptedUser user;
        user.SetAnswers({Open(paths)});
        auto dialog = user.CreateCommonDialog();
        dialog->SetFlags(flags);
        dialog->ShowOpen();
        EXPECT_EQ(dialog->FileName(), "");
        EXPECT_TRUE(user.Failure());
    }

    ScriptedUser user;
    user.SetAnswers({Search({{11, 4}})});
    embedded::SearchQuery query;
    EXPECT_TRUE(user.RunQueryDialog({{11, "Part"}}, query));
    std::vector<embedded::ObjectKey> picked;
    EXPECT_FALSE(user.RunResultDialog({{{11, 2}, "Part", "P-2"}}, picked));
    EXPECT_TRUE(picked.empty());
    EXPECT_TRUE(user.Failure());

    std::vector<embedded::NewObjectField> fields(1);
    fields[0].name = "CN_DESCRIPTION";
    fields[0].displayName = "Description";
    user.SetAnswers({Fill({{"Description", Value::Text("by display name")}})});
    EXPECT_FALSE(user.RunNewObjectDialog("Part", fields));
    EXPECT_EQ(*user.Failure(),
              "the answer {\"fill\": {\"Description\": \"by display name\"}, \"button\": \"OK\"} fills "
              "\"Description\", which the new-object dialog of \"Part\" does not show");
}

// Of a message box, CommandLineTest's AnswersThatDoNotFit.
TEST(ScriptedUser, AnswersThatDoNotFitAreReportedAndTheWindowEndsAsItsFrameWould) {
    struct MismatchCase {
        const char* name;
        std::vector<Answer> answers;
        std::string failure;
    };
    Answer described = Open({});
    described.description = "{\"open\": [\"in/a.dwg\"]}";
    const std::vector<MismatchCase> cases = {
        {"no answer left", {}, "the window \"Link Relation Input\" appeared with no answer left"},
        {"an answer of another window",
         {described},
         "the answer {\"open\": [\"in/a.dwg\"]} does not fit the window \"Link Relation Input\""},
        {"a button the window lacks",
         {Press("Continue")},
         "the answer {\"button\": \"Continue\"} does not fit the window \"Link Relation Input\""},
        {"a key that leaves it open",
         {KeyAnswer("Escape")},
         "the answer {\"key\": \"Escape\"} left the window \"Link Relation Input\" open"},
        {"a row it does not show",
         {SetRows({{"Colour", "red"}})},
         "the answer {\"set\": {\"Colour\": \"red\"}, \"button\": \"OK\"} names no row \"Colour\" of the window "
         "\"Link Relation Input\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedUser user;
        user.SetAnswers(c.answers);
        std::vector<std::string> values = {"2"};
        EXPECT_FALSE(ClsForm(user).ShowLinkAttributes({"Quantity"}, values));
        EXPECT_EQ(values, std::vector<std::string>{"2"});
        EXPECT_EQ(user.Failure(), c.failure);
    }
}

} // namespace
} // namespace quendra::test
