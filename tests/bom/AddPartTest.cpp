// Adding existing, new and main parts below a part, numbering and the workflow of new parts.
#include "Application.h"
#include "ClsBOM.h"
#include "TestWorld.h"

#include <gtest/gtest.h>

namespace quendra::testing {
namespace {

const std::string Editor = "window Link Relation Input";
const std::string Process = "window Quendra: New Part Development process creation for Part ";

class AddPartTest : public ::testing::Test {
protected:
    TestWorld world;
    Application app{world.user};
    ObjectKey parent = world.Part("P-1");
    ObjectKey other = world.Part("P-2");

    int16_t AddExisting(const std::string& linkAttributes) {
        auto session = world.session;
        auto rows = world.RowOf(parent);
        std::string text = linkAttributes;
        return app.AddExistingPart(session, rows, text);
    }
    int16_t AddNew(const std::string& linkAttributes) {
        auto session = world.session;
        auto rows = world.RowOf(parent);
        std::string text = linkAttributes;
        return app.AddNewPart(session, rows, text);
    }
    int16_t AddMain() {
        auto session = world.session;
        auto rows = world.RowOf(parent);
        return app.AddMainPart(session, rows);
    }
    std::vector<ObjectKey> NewParts() { return world.db->FindObjects("Part", "CN_PART_NUMBER", "P-000001"); }
};

TEST_F(AddPartTest, ExistingPartIsLinkedWithTheEditedValuesAndTheHookStillRefuses) {
    world.Answers({Search({other}), SetRows({{"Quantity", "3"}, {"Remark", "spare"}})});
    EXPECT_EQ(AddExisting("CN_QUANTITY, CN_REMARK"), 1);
    world.ExpectScriptPlayed();

    auto links = world.TreeLinks(parent, other);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(world.Text(links[0], "CN_QUANTITY"), "3");
    EXPECT_EQ(world.Text(links[0], "CN_REMARK"), "spare");
    EXPECT_EQ((Texts{"platform query", "platform results", Editor}), world.Shown());
}

TEST_F(AddPartTest, ExistingPartIsRefusedWithoutALink) {
    auto document = world.db->CreateObject(
        "Document",
        {{"FILE_NAME", Value::Text("a.dwg")}, {"FILE_TYPE", Value::Int16(12)}, {names::STATE, Value::Int16(0)}});
    auto dora = world.UserId("dora");
    auto locked = world.Part("P-3", "Part",
                             {{names::CN_LOCKED, Value::Bool(true)},
                              {names::USER_OBJECT_ID, Value::Int32(dora)},
                              {names::USER_ID_MOD, Value::Int32(dora)}});
    world.TreeLink(parent, other);

    struct Case {
        const char* name;
        ObjectKey target;
        std::vector<scripted::Answer> answers;
        Texts shown;
    };
    const std::vector<Case> cases{
        {"search cancelled", parent, {CancelSearch()}, {"platform query"}},
        {"already linked",
         parent,
         {Search({other}), Button("OK")},
         {"platform query", "platform results",
          "information/OK: Link Between Part P-1-Item P-1 and Part P-2-Item P-2cannot be created"}},
        {"parent of another super class",
         document,
         {Search({other}), Button("OK")},
         {"platform query", "platform results", "information/OK: You must select Document for such operation"}},
        {"parent locked by somebody else",
         locked,
         {Button("OK")},
         {"information/OK: Part P-3-Item P-3 is locked by Dora Lind"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        world.Answers(c.answers);
        auto session = world.session;
        auto rows = world.RowOf(c.target);
        std::string text = "CN_QUANTITY";
        EXPECT_EQ(app.AddExistingPart(session, rows, text), 1);
        world.ExpectScriptPlayed();
        EXPECT_EQ(c.shown, world.Shown());
        EXPECT_EQ(world.TreeLinks(c.target, other).size(), c.target == parent ? 1u : 0u);
    }
}

TEST_F(AddPartTest, NewPartIsNumberedFilledInUntilCompleteStartedAndLinked) {
    world.Answers({Fill({}), Button("OK"), Fill({{"CN_DESCRIPTION", Value::Text("Bolt")}}), Button("Continue"),
                   SetRows({{"Quantity", "4"}})});
    EXPECT_EQ(AddNew("CN_QUANTITY"), 1);
    world.ExpectScriptPlayed();

    EXPECT_EQ(
        (Texts{"platform newObject Part", "information/OK: Attribute Description is mandatory to create a document",
               "platform newObject Part", Process + "P-000001-Bolt", Editor}),
        world.Shown());
    auto created = NewParts();
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(world.Text(created[0], "CN_DESCRIPTION"), "Bolt");
    auto links = world.TreeLinks(parent, created[0]);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(world.Text(links[0], "CN_QUANTITY"), "4");

    auto forwards = world.EventsOf(embedded::Event::Kind::Forward);
    ASSERT_EQ(forwards.size(), 1u);
    EXPECT_EQ(forwards[0].text, "New Part Development auto initiated");
    auto attached = world.EventsOf(embedded::Event::Kind::Attach);
    ASSERT_EQ(attached.size(), 1u);
    EXPECT_EQ(attached[0].objects.at(0), created[0]);
}

TEST_F(AddPartTest, CancelledNewPartDialogStoresNothing) {
    world.Answers({Fill({{"CN_DESCRIPTION", Value::Text("Bolt")}}, "Cancel")});
    EXPECT_EQ(AddNew("CN_QUANTITY"), 1);
    world.ExpectScriptPlayed();
    EXPECT_EQ(world.db->CountObjects("Part"), 2);
    EXPECT_TRUE(world.EventsOf(embedded::Event::Kind::Forward).empty());
}

TEST_F(AddPartTest, CancelledEditorLeavesTheNewPartStoredButUnlinked) {
    world.Answers(
        {Fill({{"CN_DESCRIPTION", Value::Text("Bolt")}}), Button("Continue"), SetRows({{"Quantity", "4"}}, "Cancel")});
    EXPECT_EQ(AddNew("CN_QUANTITY"), 1);
    world.ExpectScriptPlayed();
    auto created = NewParts();
    ASSERT_EQ(created.size(), 1u);
    EXPECT_TRUE(world.TreeLinks(parent, created[0]).empty());
}

TEST_F(AddPartTest, WorkflowFailureKeepsThePartButLinksNothing) {
    world.db->Harness().FailCall("CvFlowStore.NewProcess", 1);
    world.Answers({Fill({{"CN_DESCRIPTION", Value::Text("Bolt")}}), Button("Continue")});
    EXPECT_EQ(AddNew("CN_QUANTITY"), 1);
    world.ExpectScriptPlayed();
    auto created = NewParts();
    ASSERT_EQ(created.size(), 1u);
    EXPECT_TRUE(world.TreeLinks(parent, created[0]).empty());
}

TEST_F(AddPartTest, MainPartIsLinkedByThePlatformAndAnnounced) {
    world.Answers({Fill({{"CN_DESCRIPTION", Value::Text("Frame")}}), Button("Continue")});
    EXPECT_EQ(AddMain(), 0);
    world.ExpectScriptPlayed();
    EXPECT_EQ((Texts{"platform newObject Part", Process + "P-000001-Frame"}), world.Shown());

    auto created = NewParts();
    ASSERT_EQ(created.size(), 1u);
    auto links = world.TreeLinks(parent, created[0]);
    ASSERT_EQ(links.size(), 1u);
    auto notified = world.EventsOf(embedded::Event::Kind::Notify);
    ASSERT_EQ(notified.size(), 1u);
    EXPECT_EQ(notified[0].code, 0);
    EXPECT_TRUE(notified[0].flag);
    EXPECT_EQ(notified[0].objects, std::vector<ObjectKey>{links[0]});
    EXPECT_EQ(world.EventsOf(embedded::Event::Kind::Forward).size(), 1u);
}

TEST_F(AddPartTest, MainPartCancelledOrFailingAnswersOne) {
    world.Answers({Fill({}, "Cancel")});
    EXPECT_EQ(AddMain(), 1);
    world.ExpectScriptPlayed();
    EXPECT_EQ(world.db->CountObjects("Part"), 2);

    // A failure after the store leaves the stored part, unlinked, and no message.
    world.db->Harness().FailCall("CvObject.LinkUnderParent", 1);
    world.Answers({Fill({{"CN_DESCRIPTION", Value::Text("Frame")}})});
    EXPECT_EQ(AddMain(), 1);
    world.ExpectScriptPlayed();
    EXPECT_EQ((Texts{"platform newObject Part"}), world.Shown());
    EXPECT_EQ(world.db->CountObjects("Part"), 3);
}

// A model without the "Part Number" sequence.
constexpr const char* UnnumberedModel = R"({
  "classes": [
    { "id": 10, "name": "Parts", "display": "Parts", "displayText": ["CN_PART_NUMBER"],
      "attributes": [
        { "name": "CN_PART_NUMBER", "display": "Part Number", "type": 1, "mandatory": true },
        { "name": "STATE", "display": "State", "type": 2 },
        { "name": "CN_LOCKED", "display": "Locked", "type": 15 },
        { "name": "USER_OBJECT_ID", "display": "Locked By", "type": 3 } ] },
    { "id": 11, "name": "Part", "display": "Part", "super": "Parts", "attributes": [] },
    { "id": 50, "name": "Users", "display": "Users", "attributes": [
        { "name": "LOGIN", "display": "Login", "type": 1 } ] }
  ],
  "links": [ { "id": 91, "name": "Parts Tree", "parent": "Parts", "child": "Parts", "table": "TDM_LINKS_00091",
               "attributes": [] } ],
  "processes": [ { "id": 200, "name": "New Part Development", "steps": ["Initiate", "Design"] } ],
  "users": [ { "login": "carl", "admin": false } ]
})";

TEST(CreateNewPartTest, WithoutSequenceThePartKeepsWhatTheUserEntered) {
    TestWorld world(embedded::ParseModel(UnnumberedModel, "unnumbered"));
    world.Answers({Fill({}), Button("OK"), Fill({{"CN_PART_NUMBER", Value::Text("X-7")}}), Button("Continue")});
    ClsBOM bom(world.user);
    auto part = bom.CreateNewPart(world.session);
    world.ExpectScriptPlayed();
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->Data()->ValueAsText("CN_PART_NUMBER"), "X-7");
    EXPECT_EQ(world.db->FindObjects("Part", "CN_PART_NUMBER", "X-7").size(), 1u);
    EXPECT_EQ(
        (Texts{"platform newObject Part", "information/OK: Attribute Part Number is mandatory to create a document",
               "platform newObject Part", "window Quendra: New Part Development process creation for Part X-7"}),
        world.Shown());
}

} // namespace
} // namespace quendra::testing
