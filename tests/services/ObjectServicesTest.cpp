// Object services: workflow start, deletion, search, redraw, user names and the mandatory attribute check.
#include "ClsUtils.h"
#include "PlantWorld.h"

namespace quendra::test {
namespace {

using ObjectServicesTest = PlantWorld;
using Mode = scripted::Answer::SearchMode;

TEST_F(ObjectServicesTest, ANewProcessIsAnnouncedForwardedAndGetsTheObject) {
    const ObjectKey part = MakePart("P-1");
    Answers({Press("Continue")});
    ClsUtils(user).CreateProcess(session, Fetch(part), "New Part Development");
    ASSERT_EQ(user.Windows().size(), 1u);
    EXPECT_EQ(user.Windows()[0].text, "New Part Development process creation for Part P-1-Desc");
    const auto forwards = EventsOf(Event::Kind::Forward);
    ASSERT_EQ(forwards.size(), 1u);
    EXPECT_EQ(forwards[0].text, "New Part Development auto initiated");
    const auto attached = EventsOf(Event::Kind::Attach);
    ASSERT_EQ(attached.size(), 1u);
    EXPECT_EQ(attached[0].objects, std::vector<ObjectKey>{part});
    ExpectAllAnswered();

    // The window comes before any workflow call; failures of the workflow reach the caller.
    for (const char* process : {"No Such Process", "New Part Development"}) {
        if (process == std::string("New Part Development")) db->Harness().FailCall("CvSession.CreateObject", 1);
        Answers({Press("Continue")});
        EXPECT_THROW(ClsUtils(user).CreateProcess(session, Fetch(part), process), CvError);
        EXPECT_EQ(user.Windows().size(), 1u);
        for (const auto& event : db->Harness().Events()) EXPECT_EQ(event.kind, embedded::Event::Kind::Error);
        ExpectAllAnswered();
    }
}

TEST_F(ObjectServicesTest, DeletingTellsTheDesktopAndAFailurePassesToTheCaller) {
    const ObjectKey kept = MakePart("P-1");
    const ObjectKey gone = MakePart("P-2");
    db->Harness().FailCall("CvObject.Delete", 1);
    EXPECT_THROW(ClsUtils(user).DeleteObject(session, Fetch(kept)), CvError);
    EXPECT_EQ(db->CountObjects("Part"), 2);

    Answers({});
    ClsUtils(user).DeleteObject(session, Fetch(gone));
    EXPECT_EQ(db->CountObjects("Part"), 1);
    EXPECT_TRUE(db->FindObjects("Part", "CN_PART_NUMBER", "P-2").empty());
    const auto notified = EventsOf(Event::Kind::Notify);
    ASSERT_EQ(notified.size(), 1u);
    EXPECT_EQ(notified[0].code, 2);
    EXPECT_FALSE(notified[0].flag);
    EXPECT_EQ(notified[0].objects, std::vector<ObjectKey>{gone});
}

TEST_F(ObjectServicesTest, SearchAnswersTheFirstPickedPartOrNothing) {
    const ObjectKey p1 = MakePart("P-1");
    const ObjectKey p2 = MakePart("P-2");
    const ObjectKey document = MakeDocument("D-1");
    const struct {
        scripted::Answer search;
        std::optional<ObjectKey> found;
        std::vector<Shown> shown;
    } cases[] = {
        {Search({p2, p1}), p2, {}},
        {Search({document}), std::nullopt, {{"You Selected an Incorrect Object", "information"}}},
        {Search({}, Mode::CancelQuery), std::nullopt, {}},
        {Search({p1}, Mode::CancelResults), std::nullopt, {}},
    };
    for (const auto& c : cases) {
        std::vector<scripted::Answer> answers = {c.search};
        if (!c.shown.empty()) answers.push_back(Press("OK"));
        Answers(answers);
        auto found = ClsUtils(user).SearchObject(session);
        ASSERT_EQ(found != nullptr, c.found.has_value());
        if (found) {
            EXPECT_EQ((ObjectKey{found->ClassId(), found->ObjectId()}), *c.found);
            EXPECT_EQ(found->Data()->ValueAsText("CN_PART_NUMBER"), "P-2");
        }
        EXPECT_EQ(Boxes(), c.shown);
        ExpectAllAnswered();
    }
    db->Harness().FailCall("CvObject.Retrieve", 1);
    Answers({Search({p1})});
    EXPECT_EQ(ClsUtils(user).SearchObject(session), nullptr);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ObjectServicesTest, RefreshPassesItsActionAndNeverFails) {
    const ObjectKey part = MakePart("P-1");
    Answers({});
    ClsUtils(user).Refresh_Screen(session, Fetch(part), 7);
    const auto refreshes = EventsOf(Event::Kind::Refresh);
    ASSERT_EQ(refreshes.size(), 1u);
    EXPECT_EQ(refreshes[0].code, 7);
    EXPECT_EQ(refreshes[0].objects, std::vector<ObjectKey>{part});

    db->Harness().FailCall("CvSession.CreateObject", 1);
    EXPECT_NO_THROW(ClsUtils(user).Refresh_Screen(session, Fetch(part), 1));
}

TEST_F(ObjectServicesTest, UserNamesComeFromOneRowOfUsers) {
    const std::pair<int32_t, std::string> cases[] = {
        {Id("dora"), "dora"}, {424242, "someone else"}, {-7, "someone else"}};
    for (const auto& [id, name] : cases) {
        Answers({});
        EXPECT_EQ(ClsUtils(user).GetUserName(session, id), name);
        const auto sql = EventsOf(Event::Kind::Sql);
        ASSERT_EQ(sql.size(), 1u);
        EXPECT_EQ(sql[0].text, "select LOGIN from USERS where OBJECT_ID = '" + std::to_string(id) + "'");
    }
    db->Harness().FailCall("CvQuery.Run", 1);
    EXPECT_THROW(ClsUtils(user).GetUserName(session, 1), CvError);
}

TEST_F(ObjectServicesTest, TheFirstEmptyMandatoryAttributeIsReported) {
    const struct {
        std::string className;
        Values values;
        std::vector<Shown> shown;
    } cases[] = {
        {"Part", {{"CN_PART_NUMBER", Value::Text("P-1")}, {"CN_DESCRIPTION", Value::Text(" ")}}, {}},
        {"Part",
         {{"CN_PART_NUMBER", Value::Text("P-1")}},
         {{"Attribute Description is mandatory to create a document", "information"}}},
        {"Part", {}, {{"Attribute Part Number is mandatory to create a document", "information"}}},
        {"Document", {{"FILE_TYPE", Value::Int16(0)}, {"FILE_NAME", Value::Text("a.txt")}}, {}},
        {"Users", {{"LOGIN", Value::Text("x")}}, {}},
    };
    for (const auto& c : cases) {
        auto object = session->ObjectStore()->NewObject(db->ClassId(c.className));
        for (const auto& [name, value] : c.values) object->Data()->SetValue(name, value);
        Answers(std::vector<scripted::Answer>(c.shown.size(), Press("OK")));
        EXPECT_EQ(ClsUtils(user).MandatoryAttributesAreFilled(session, object), c.shown.empty());
        EXPECT_EQ(Boxes(), c.shown);
        ExpectAllAnswered();
    }
    db->Harness().FailCall("CvMetaInfo.ClassById", 1);
    Answers({});
    EXPECT_FALSE(ClsUtils(user).MandatoryAttributesAreFilled(session, Fetch(MakePart("P-9"))));
    EXPECT_TRUE(Boxes().empty());
}

} // namespace
} // namespace quendra::test
