// The scripted user: how it answers the open-file and platform dialogs, and how it reports
// answers that do not fit the windows that appear.
#include "ClsForm.h"
#include "World.h"

namespace quendra::test {

using scripted::Answer;
using scripted::ScriptedUser;
using scripted::WindowRecord;
namespace {

std::string PickFiles(ScriptedUser& user, std::vector<std::string> paths, int32_t flags = 0x80204) {
    user.SetAnswers({Open(std::move(paths))});
    auto dialog = user.CreateCommonDialog();
    dialog->SetFilter("All Files (*.*)|*.*");
    dialog->SetFlags(flags);
    dialog->ShowOpen();
    return dialog->FileName();
}

TEST(ScriptedUser, OpenFileDialogAnswersOnePathOrFolderAndNames) {
    ScriptedUser user;
    EXPECT_EQ(PickFiles(user, {}), "");
    EXPECT_EQ(PickFiles(user, {"/data/in/a.dwg"}), "/data/in/a.dwg");
    EXPECT_EQ(PickFiles(user, {"/data/in/a.dwg", "/data/in/b.txt"}), std::string("/data/in\0a.dwg\0b.txt", 20));
    ASSERT_EQ(user.Windows().size(), 1u);
    EXPECT_EQ(user.Windows()[0].kind, WindowRecord::Kind::OpenFile);
    EXPECT_EQ(user.Windows()[0].filter, "All Files (*.*)|*.*");
    EXPECT_FALSE(user.Failure());

    // Files of two folders, or several files without multiple selection, cannot be picked.
    EXPECT_EQ(PickFiles(user, {"/data/in/a.dwg", "/data/out/b.txt"}), "");
    EXPECT_TRUE(user.Failure());
    EXPECT_EQ(PickFiles(user, {"/data/in/a.dwg", "/data/in/b.txt"}, 0), "");
    EXPECT_TRUE(user.Failure());
}

TEST(ScriptedUser, SearchAnswerServesQueryAndResultDialogs) {
    const embedded::ObjectKey p2{11, 2}, p3{11, 3}, p4{11, 4};
    const std::vector<embedded::SearchCandidate> found = {{p2, "Part", "P-2"}, {p3, "Part", "P-3"}};
    struct SearchCase {
        const char* name;
        Answer answer;
        bool queryConfirmed;
        bool resultConfirmed;
        std::vector<embedded::ObjectKey> picked;
        bool fails;
    };
    const std::vector<SearchCase> cases = {
        {"picks in the given order", Search({p3, p2}), true, true, {p3, p2}, false},
        {"cancels the results", Search({}, Answer::SearchMode::CancelResults), true, false, {}, false},
        {"picks what the results do not list", Search({p4}), true, false, {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedUser user;
        user.SetAnswers({c.answer});
        embedded::SearchQuery query;
        EXPECT_EQ(user.RunQueryDialog({{11, "Part"}}, query), c.queryConfirmed);
        EXPECT_EQ(query.objects, c.answer.picks);
        std::vector<embedded::ObjectKey> picked;
        EXPECT_EQ(user.RunResultDialog(found, picked), c.resultConfirmed);
        EXPECT_EQ(picked, c.picked);
        EXPECT_EQ(user.Failure().has_value(), c.fails);
        ASSERT_EQ(user.Windows().size(), 2u);
        EXPECT_EQ(user.Windows()[0].platform, "query");
        EXPECT_EQ(user.Windows()[1].platform, "results");
    }

    ScriptedUser user;
    user.SetAnswers({Search({}, Answer::SearchMode::CancelQuery)});
    embedded::SearchQuery query;
    EXPECT_FALSE(user.RunQueryDialog({}, query));
    EXPECT_EQ(user.AnswersLeft(), 0u);
    EXPECT_FALSE(user.Failure());
}

TEST(ScriptedUser, NewObjectDialogFillsByAttributeName) {
    auto fields = [] {
        std::vector<embedded::NewObjectField> f(2);
        f[0].name = "CN_PART_NUMBER";
        f[0].displayName = "Part Number";
        f[1].name = "CN_DESCRIPTION";
        f[1].displayName = "Description";
        return f;
    };
    Answer fill = Fill({{"CN_DESCRIPTION", Value::Text("Bracket")}});

    ScriptedUser user;
    auto accepted = fields();
    user.SetAnswers({fill});
    EXPECT_TRUE(user.RunNewObjectDialog("Part", accepted));
    EXPECT_EQ(accepted[1].value, Value::Text("Bracket"));
    EXPECT_TRUE(accepted[0].value.IsNull());
    ASSERT_EQ(user.Windows().size(), 1u);
    EXPECT_EQ(user.Windows()[0].className, "Part");

    fill.button = "Cancel";
    auto cancelled = fields();
    user.SetAnswers({fill});
    EXPECT_FALSE(user.RunNewObjectDialog("Part", cancelled));
    EXPECT_FALSE(user.Failure());

    fill.button = "OK";
    fill.fill = {{"Description", Value::Text("by display name")}};
    auto unknown = fields();
    user.SetAnswers({fill});
    EXPECT_FALSE(user.RunNewObjectDialog("Part", unknown));
    EXPECT_EQ(*user.Failure(),
              "the answer {\"fill\": {\"Description\": \"by display name\"}, \"button\": \"OK\"} fills "
              "\"Description\", which the new-object dialog of \"Part\" does not show");
}

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

    ScriptedUser user;
    user.SetAnswers({Press("Yes")});
    EXPECT_EQ(user.MessageBox("Part P-1 is locked", "Quendra", ui::Icon::Information, ui::Buttons::Ok, ui::Answer::Ok),
              ui::Answer::Ok);
    EXPECT_EQ(user.Failure(), "the answer {\"button\": \"Yes\"} does not fit the message box \"Part P-1 is locked\"");
    user.SetAnswers({});
    EXPECT_EQ(
        user.MessageBox("Unlock all children?", "Quendra", ui::Icon::Question, ui::Buttons::YesNo, ui::Answer::No),
        ui::Answer::No);
    EXPECT_EQ(user.Failure(), "the message box \"Unlock all children?\" appeared with no answer left");
}

} // namespace
} // namespace quendra::test
