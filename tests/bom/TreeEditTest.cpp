// Copying a parts tree, deleting and updating links, replacing a part.
#include "Application.h"
#include "TestWorld.h"

#include <gtest/gtest.h>

namespace quendra::testing {
namespace {

class TreeEditTest : public ::testing::Test {
protected:
    TestWorld world;
    Application app{world.user};
    ObjectKey top = world.Part("P-1");
    ObjectKey wheel = world.Part("P-2");
    ObjectKey axle = world.Part("P-3");
    ObjectKey frame = world.Part("P-4");

    int16_t Copy(ObjectKey target, Ptr<CvObject>& from, const std::string& linkAttributes) {
        auto session = world.session;
        auto obj = world.Fetch(target);
        std::string text = linkAttributes;
        return app.CopyTreeFrom(session, obj, from, text);
    }
    int16_t DeleteLink(ObjectKey link) {
        auto session = world.session;
        auto rows = world.RowOfLink(link);
        return app.DeleteLink(session, rows);
    }
    int16_t UpdateLink(ObjectKey link, const std::string& linkAttributes) {
        auto session = world.session;
        auto rows = world.RowOfLink(link);
        std::string text = linkAttributes;
        return app.LinkUpdate(session, rows, text);
    }
    int16_t Replace(ObjectKey link, const std::string& linkAttributes) {
        auto session = world.session;
        auto rows = world.RowOfLink(link);
        std::string text = linkAttributes;
        return app.ReplacePart(session, rows, text);
    }
    int16_t ReplaceByNew(ObjectKey link, const std::string& linkAttributes, Ptr<CvObject>& myNewPart) {
        auto session = world.session;
        auto rows = world.RowOfLink(link);
        std::string text = linkAttributes;
        return app.ReplacePartByNewPart(session, rows, text, myNewPart);
    }
    ObjectKey Locked(const std::string& number) {
        auto dora = world.UserId("dora");
        return world.Part(number, "Part",
                          {{names::CN_LOCKED, Value::Bool(true)},
                           {names::USER_OBJECT_ID, Value::Int32(dora)},
                           {names::USER_ID_MOD, Value::Int32(dora)}});
    }
};

TEST_F(TreeEditTest, CopyAddsTheSourceChildrenWithTheirValuesBesideExistingOnes) {
    world.TreeLink(top, wheel, {{"CN_QUANTITY", Value::Int16(4)}, {"CN_POSITION", Value::Int32(10)}});
    world.TreeLink(top, axle, {{"CN_QUANTITY", Value::Int16(2)}, {"CN_POSITION", Value::Int32(20)}});
    world.TreeLink(frame, wheel, {{"CN_QUANTITY", Value::Int16(9)}, {"CN_POSITION", Value::Int32(10)}});
    world.db->Harness().ClearEvents();

    Ptr<CvObject> from = world.Fetch(top);
    world.Answers({Button("OK")});
    EXPECT_EQ(Copy(frame, from, "CN_QUANTITY,CN_POSITION"), 0);
    world.ExpectScriptPlayed();

    // The wheel is already there with the same position; the axle is new and carries its values.
    EXPECT_EQ((Texts{"information/OK: A Hierarchichal Link between Parent Part (Part P-4-Item P-4) and a Son Part\r\n"
                     " already exists with the same values for Primary Attributes."}),
              world.Shown());
    auto wheels = world.TreeLinks(frame, wheel);
    ASSERT_EQ(wheels.size(), 1u);
    EXPECT_EQ(world.Text(wheels[0], "CN_QUANTITY"), "9");
    auto axles = world.TreeLinks(frame, axle);
    ASSERT_EQ(axles.size(), 1u);
    EXPECT_EQ(world.Text(axles[0], "CN_QUANTITY"), "2");
    EXPECT_EQ(world.Text(axles[0], "CN_POSITION"), "20");

    auto refreshed = world.EventsOf(embedded::Event::Kind::Refresh);
    ASSERT_FALSE(refreshed.empty());
    EXPECT_EQ(refreshed.back().code, 1);
    EXPECT_EQ(refreshed.back().objects, std::vector<ObjectKey>{frame});
}

TEST_F(TreeEditTest, CopyFromAPickedPartHandsThePickBack) {
    world.TreeLink(top, wheel, {{"CN_REMARK", Value::Text("front")}});
    Ptr<CvObject> from;
    world.Answers({Search({top})});
    EXPECT_EQ(Copy(frame, from, ""), 0);
    world.ExpectScriptPlayed();
    ASSERT_NE(from, nullptr);
    EXPECT_EQ(from->ObjectId(), top.objectId);
    // With no link attributes named, nothing is carried over.
    auto links = world.TreeLinks(frame, wheel);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(world.Text(links[0], "CN_REMARK"), "");
}

TEST_F(TreeEditTest, CopyRefusals) {
    world.TreeLink(top, wheel);
    auto assembly = world.Part("A-1", "Assembly");
    auto locked = Locked("P-9");

    struct Case {
        const char* name;
        ObjectKey target;
        bool pickFrom;
        std::vector<scripted::Answer> answers;
        Texts shown;
    };
    const std::vector<Case> cases{
        {"search cancelled", frame, false, {CancelSearch()}, {"platform query"}},
        {"source of another class",
         assembly,
         true,
         {Button("OK")},
         {"information/OK: You must select Assembly for such operation"}},
        {"target locked", locked, true, {Button("OK")}, {"information/OK: Part P-9-Item P-9 is locked by Dora Lind"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Ptr<CvObject> from = c.pickFrom ? world.Fetch(top) : nullptr;
        world.Answers(c.answers);
        EXPECT_EQ(Copy(c.target, from, "CN_QUANTITY"), 1);
        world.ExpectScriptPlayed();
        EXPECT_EQ(c.shown, world.Shown());
        EXPECT_TRUE(world.TreeLinks(c.target, wheel).empty());
    }
}

TEST_F(TreeEditTest, CopyFailingPartWayKeepsWhatWasCopied) {
    world.TreeLink(top, wheel);
    world.TreeLink(top, axle);
    auto session = world.session;
    auto obj = world.Fetch(frame);
    Ptr<CvObject> from = world.Fetch(top);
    std::string text;
    // The child of the second entry cannot be fetched.
    world.db->Harness().FailCall("CvObjectStore.ObjectById", 3);
    world.Answers({});
    EXPECT_EQ(app.CopyTreeFrom(session, obj, from, text), 1);
    world.ExpectScriptPlayed();
    EXPECT_EQ(world.TreeLinks(frame, wheel).size(), 1u);
    EXPECT_TRUE(world.TreeLinks(frame, axle).empty());
}

TEST_F(TreeEditTest, DeleteLinkRemovesTheLinkAndTheHookStillRefuses) {
    auto link = world.TreeLink(top, wheel);
    world.Answers({});
    EXPECT_EQ(DeleteLink(link), 1);
    world.ExpectScriptPlayed();
    EXPECT_TRUE(world.TreeLinks(top, wheel).empty());
    EXPECT_EQ(world.db->CountObjects("Part"), 4);
    auto notified = world.EventsOf(embedded::Event::Kind::Notify);
    ASSERT_EQ(notified.size(), 1u);
    EXPECT_EQ(notified[0].code, 2);
}

TEST_F(TreeEditTest, DeleteAndUpdateRefuseLinksTheyMayNotTouch) {
    auto document = world.db->CreateObject(
        "Document",
        {{"FILE_NAME", Value::Text("a.dwg")}, {"FILE_TYPE", Value::Int16(12)}, {names::STATE, Value::Int16(0)}});
    auto specification = world.db->CreateLink(names::LinkClassSpecification, top, document, {});
    auto locked = Locked("P-9");
    auto lockedLink = world.TreeLink(locked, wheel, {{"CN_QUANTITY", Value::Int16(1)}});

    struct Case {
        const char* name;
        ObjectKey link;
        Texts deleteShown;
        Texts updateShown;
    };
    const std::vector<Case> cases{
        {"link to a document",
         specification,
         {"exclamation/OK: Delete Link must be done between 2 Parts Objects\r\nImpossible to Delete Link"},
         {"exclamation/OK: Update Link must be done between 2 Parts Objects\r\nImpossible to Update Link"}},
        {"parent locked by somebody else",
         lockedLink,
         {"information/OK: Part P-9-Item P-9 is locked by Dora Lind"},
         {"information/OK: Part P-9-Item P-9 is locked by Dora Lind"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        world.Answers({Button("OK")});
        EXPECT_EQ(DeleteLink(c.link), 1);
        world.ExpectScriptPlayed();
        EXPECT_EQ(c.deleteShown, world.Shown());

        world.Answers({Button("OK")});
        EXPECT_EQ(UpdateLink(c.link, "CN_QUANTITY"), 1);
        world.ExpectScriptPlayed();
        EXPECT_EQ(c.updateShown, world.Shown());
    }
    EXPECT_EQ(world.db->FindLinks(names::LinkClassSpecification, top, document).size(), 1u);
    EXPECT_EQ(world.Text(lockedLink, "CN_QUANTITY"), "1");
}

TEST_F(TreeEditTest, EmptyRecordListIsTheWrongContext) {
    const Texts wrongContext{"exclamation/OK: Impossible to Execute This Command in This Context."};
    auto session = world.session;
    auto empty = world.db->MakeRecList({});
    std::string text = "CN_QUANTITY";
    world.Answers({Button("OK")});
    EXPECT_EQ(app.DeleteLink(session, empty), 1);
    EXPECT_EQ(wrongContext, world.Shown());
    world.Answers({Button("OK")});
    EXPECT_EQ(app.LinkUpdate(session, empty, text), 1);
    EXPECT_EQ(wrongContext, world.Shown());
    world.Answers({Button("OK")});
    EXPECT_EQ(app.ReplacePart(session, empty, text), 1);
    EXPECT_EQ(wrongContext, world.Shown());
    world.ExpectScriptPlayed();
}

TEST_F(TreeEditTest, UpdateStoresTheEditedValuesOnlyWhenAccepted) {
    auto link = world.TreeLink(top, wheel, {{"CN_QUANTITY", Value::Int16(4)}});

    world.Answers({SetRows({{"Quantity", "6"}}, "Cancel")});
    EXPECT_EQ(UpdateLink(link, "CN_QUANTITY"), 1);
    world.ExpectScriptPlayed();
    EXPECT_EQ(world.Text(link, "CN_QUANTITY"), "4");

    world.db->Harness().ClearEvents();
    world.Answers({SetRows({{"Quantity", "6"}})});
    EXPECT_EQ(UpdateLink(link, "CN_QUANTITY"), 0);
    world.ExpectScriptPlayed();
    EXPECT_EQ(world.Text(link, "CN_QUANTITY"), "6");
    auto refreshed = world.EventsOf(embedded::Event::Kind::Refresh);
    ASSERT_EQ(refreshed.size(), 1u);
    EXPECT_EQ(refreshed[0].code, 1);
    EXPECT_EQ(refreshed[0].objects, std::vector<ObjectKey>{link});

    // A store that fails is a refusal, not a failure of the call.
    world.db->Harness().FailCall("CvObject.Update", 1);
    world.Answers({SetRows({{"Quantity", "8"}})});
    EXPECT_EQ(UpdateLink(link, "CN_QUANTITY"), 1);
    EXPECT_EQ(world.Text(link, "CN_QUANTITY"), "6");
}

TEST_F(TreeEditTest, ReplaceByExistingPartCarriesValuesAndRecordsTheOrigin) {
    auto assembly = world.Part("A-1", "Assembly");
    struct Case {
        const char* name;
        ObjectKey replacement;
        std::string issuedFrom; // empty: the replacement has no such attribute
    };
    const std::vector<Case> cases{{"part", axle, "P-2"}, {"assembly without origin attribute", assembly, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto old = world.TreeLink(top, wheel, {{"CN_QUANTITY", Value::Int16(4)}, {"CN_REMARK", Value::Text("left")}});
        world.Answers({Search({c.replacement})});
        EXPECT_EQ(Replace(old, "CN_QUANTITY,CN_REMARK"), 0);
        world.ExpectScriptPlayed();

        EXPECT_TRUE(world.TreeLinks(top, wheel).empty());
        auto links = world.TreeLinks(top, c.replacement);
        ASSERT_EQ(links.size(), 1u);
        EXPECT_EQ(world.Text(links[0], "CN_QUANTITY"), "4");
        EXPECT_EQ(world.Text(links[0], "CN_REMARK"), "left");
        if (!c.issuedFrom.empty()) {
            EXPECT_EQ(world.Text(c.replacement, "CN_ISSUED_FROM"), c.issuedFrom);
        }
        EXPECT_EQ(world.db->FindObjects("Part", "CN_PART_NUMBER", "P-2").size(), 1u);
    }
}

TEST_F(TreeEditTest, ReplaceByNewPartHandsTheNewPartBack) {
    auto old = world.TreeLink(top, wheel, {{"CN_QUANTITY", Value::Int16(4)}});
    Ptr<CvObject> myNewPart;
    world.Answers({Fill({{"CN_DESCRIPTION", Value::Text("Rim")}}), Button("Continue")});
    EXPECT_EQ(ReplaceByNew(old, "CN_QUANTITY", myNewPart), 0);
    world.ExpectScriptPlayed();

    auto created = world.db->FindObjects("Part", "CN_PART_NUMBER", "P-000001");
    ASSERT_EQ(created.size(), 1u);
    ASSERT_NE(myNewPart, nullptr);
    EXPECT_EQ(myNewPart->ObjectId(), created[0].objectId);
    EXPECT_EQ(world.Text(created[0], "CN_ISSUED_FROM"), "P-2");
    auto links = world.TreeLinks(top, created[0]);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(world.Text(links[0], "CN_QUANTITY"), "4");
    EXPECT_TRUE(world.TreeLinks(top, wheel).empty());
}

TEST_F(TreeEditTest, ReplaceThatMakesNoNewLinkKeepsOrDropsTheOldOne) {
    auto old = world.TreeLink(top, wheel, {{"CN_POSITION", Value::Int32(10)}});

    // Cancelled: nothing changes and the script's object stays as it was.
    Ptr<CvObject> myNewPart = world.Fetch(frame);
    world.Answers({Fill({}, "Cancel")});
    EXPECT_EQ(ReplaceByNew(old, "CN_POSITION", myNewPart), 1);
    world.ExpectScriptPlayed();
    EXPECT_EQ(myNewPart->ObjectId(), frame.objectId);
    EXPECT_EQ(world.TreeLinks(top, wheel).size(), 1u);

    // Storing the new link fails: the old link stays, so the parent keeps its child.
    world.db->Harness().FailCall("CvObject.Insert", 1);
    world.Answers({Search({axle})});
    EXPECT_EQ(Replace(old, "CN_POSITION"), 1);
    world.ExpectScriptPlayed();
    EXPECT_EQ(world.TreeLinks(top, wheel).size(), 1u);
    EXPECT_TRUE(world.TreeLinks(top, axle).empty());

    // An equal link exists already: the old link goes all the same.
    world.TreeLink(top, axle, {{"CN_POSITION", Value::Int32(10)}});
    world.Answers({Search({axle}), Button("OK")});
    EXPECT_EQ(Replace(old, "CN_POSITION"), 0);
    world.ExpectScriptPlayed();
    EXPECT_TRUE(world.TreeLinks(top, wheel).empty());
    EXPECT_EQ(world.TreeLinks(top, axle).size(), 1u);
}

TEST_F(TreeEditTest, ReplaceBelowALockedParentDoesNotAskForAReplacement) {
    auto locked = Locked("P-9");
    auto old = world.TreeLink(locked, wheel);
    world.Answers({Button("OK")});
    EXPECT_EQ(Replace(old, ""), 1);
    world.ExpectScriptPlayed();
    EXPECT_EQ((Texts{"information/OK: Part P-9-Item P-9 is locked by Dora Lind"}), world.Shown());
    EXPECT_EQ(world.TreeLinks(locked, wheel).size(), 1u);
}

// Parts whose tree goes one class deeper: a "Special Part" is a "Part", not directly a "Parts".
constexpr const char* DeepModel = R"({
  "classes": [
    { "id": 10, "name": "Parts", "display": "Parts", "displayText": ["CN_PART_NUMBER"],
      "attributes": [
        { "name": "CN_PART_NUMBER", "display": "Part Number", "type": 1 },
        { "name": "STATE", "display": "State", "type": 2 },
        { "name": "CN_LOCKED", "display": "Locked", "type": 15 },
        { "name": "USER_OBJECT_ID", "display": "Locked By", "type": 3 },
        { "name": "CN_ISSUED_FROM", "display": "Issued From", "type": 1 } ] },
    { "id": 11, "name": "Part", "display": "Part", "super": "Parts", "attributes": [] },
    { "id": 12, "name": "Special Part", "display": "Special Part", "super": "Part", "attributes": [] },
    { "id": 20, "name": "Documents", "display": "Documents", "attributes": [] },
    { "id": 50, "name": "Users", "display": "Users", "attributes": [ { "name": "LOGIN", "display": "Login", "type": 1 } ] }
  ],
  "links": [ { "id": 91, "name": "Parts Tree", "parent": "Parts", "child": "Parts", "table": "TDM_LINKS_00091",
               "attributes": [ { "name": "CN_QUANTITY", "display": "Quantity", "type": 2 } ] } ],
  "users": [ { "login": "carl", "admin": false } ]
})";

TEST(ReplaceClassCheckTest, RefusedReplacementAlreadyCarriesItsOrigin) {
    TestWorld world(embedded::ParseModel(DeepModel, "deep"));
    Application app{world.user};
    auto part = [&](const std::string& className, const std::string& number) {
        return world.db->CreateObject(className, {{"CN_PART_NUMBER", Value::Text(number)}, {"STATE", Value::Int16(5)}});
    };
    auto parent = part("Special Part", "S-1");
    auto replaced = part("Part", "P-2");
    auto replacement = part("Part", "P-3");
    auto old = world.TreeLink(parent, replaced, {{"CN_QUANTITY", Value::Int16(2)}});

    world.Answers({Search({replacement}), Button("OK")});
    auto session = world.session;
    auto rows = world.RowOfLink(old);
    std::string text = "CN_QUANTITY";
    EXPECT_EQ(app.ReplacePart(session, rows, text), 1);
    world.ExpectScriptPlayed();
    EXPECT_EQ((Texts{"platform query", "platform results",
                     "information/OK: You must select Special Part for such operation"}),
              world.Shown());
    EXPECT_EQ(world.Text(replacement, "CN_ISSUED_FROM"), "P-2");
    EXPECT_EQ(world.TreeLinks(parent, replaced).size(), 1u);
    EXPECT_TRUE(world.TreeLinks(parent, replacement).empty());
}

} // namespace
} // namespace quendra::testing
