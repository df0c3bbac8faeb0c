// Linking two parts: the family test, duplicates with and without primary values, the editor, failures.
#include "ClsUtils.h"
#include "PlantWorld.h"

namespace quendra::test {
namespace {

using Outcome = ClsUtils::LinkOutcome;

class LinkTest : public PlantWorld {
protected:
    Outcome Link(ObjectKey parent, ObjectKey child, const StringList& attributes, const StringList* values,
                 bool showDialog) {
        auto collection = std::make_shared<StringList>(attributes);
        return ClsUtils(user).Link2ObjectWithOutcome(session, Fetch(parent), Fetch(child), collection, values,
                                                     showDialog);
    }
    size_t Links(ObjectKey parent, ObjectKey child) { return db->FindLinks("Parts Tree", parent, child).size(); }

    ObjectKey p1 = MakePart("P-1");
    ObjectKey p2 = MakePart("P-2");
};

TEST_F(LinkTest, PartsOnlyAreLinked) {
    const ObjectKey document = MakeDocument("D-1");
    const std::pair<ObjectKey, ObjectKey> ends[] = {{p1, document}, {document, p1}};
    for (const auto& [parent, child] : ends) {
        Answers({Press("OK")});
        EXPECT_EQ(Link(parent, child, {}, nullptr, true), Outcome::NotParts);
        EXPECT_EQ(Boxes(), (std::vector<Shown>{{"Parent and Child can not be linked. They do not belong to the "
                                                "Parts Super Class",
                                                "critical"}}));
        EXPECT_TRUE(EventsOf(Event::Kind::Insert).empty());
        ExpectAllAnswered();
    }
}

TEST_F(LinkTest, TheSameTwoPartsAreLinkedOnceWhenNoValuesAreGiven) {
    Answers({Edit({{"Quantity", "3"}})});
    EXPECT_EQ(Link(p1, p2, {"CN_QUANTITY"}, nullptr, true), Outcome::Linked);
    ASSERT_EQ(Links(p1, p2), 1u);
    EXPECT_EQ(db->ReadValue(db->FindLinks("Parts Tree", p1, p2)[0], "CN_QUANTITY").AsText(), "3");
    const auto refreshes = EventsOf(Event::Kind::Refresh);
    ASSERT_EQ(refreshes.size(), 1u);
    EXPECT_EQ(refreshes[0].code, 0);
    ExpectAllAnswered();

    Answers({Press("OK")});
    EXPECT_EQ(Link(p1, p2, {"CN_QUANTITY"}, nullptr, true), Outcome::AlreadyLinked);
    EXPECT_EQ(Boxes(),
              (std::vector<Shown>{{"Link Between Part P-1-Desc and Part P-2-Desccannot be created", "information"}}));
    EXPECT_EQ(Links(p1, p2), 1u);
    ExpectAllAnswered();
}

TEST_F(LinkTest, PrimaryValuesDecideWhetherACopiedLinkIsADuplicate) {
    db->CreateLink("Parts Tree", p1, p2, {{"CN_POSITION", Value::Int32(10)}, {"CN_QUANTITY", Value::Int16(1)}});
    const std::string already = "A Hierarchichal Link between Parent Part (Part P-1-Desc) and a Son Part\r\n already "
                                "exists with the same values for Primary Attributes.";
    const StringList attributes = {"CN_QUANTITY", "CN_POSITION"};
    struct Case {
        StringList values;
        Outcome outcome;
        size_t linksAfter;
    } cases[] = {
        {{"5", "10"}, Outcome::AlreadyLinked, 1}, // only the primary position is compared
        {{}, Outcome::AlreadyLinked, 1},          // an empty list compares nothing but is still a list
        {{"1", "20"}, Outcome::Linked, 2},
    };
    for (const auto& c : cases) {
        Answers(c.outcome == Outcome::Linked ? std::vector<scripted::Answer>{} : std::vector{Press("OK")});
        EXPECT_EQ(Link(p1, p2, attributes, &c.values, false), c.outcome);
        EXPECT_EQ(Links(p1, p2), c.linksAfter);
        if (c.outcome == Outcome::AlreadyLinked) {
            EXPECT_EQ(Boxes(), (std::vector<Shown>{{already, "information"}}));
        }
        ExpectAllAnswered();
    }
    EXPECT_EQ(db->ReadValue(db->FindLinks("Parts Tree", p1, p2)[1], "CN_POSITION").AsText(), "20");
}

TEST_F(LinkTest, NothingIsStoredWhenTheEditorIsCancelledOrAStepFails) {
    Answers({Edit({{"Quantity", "3"}}, "Cancel")});
    EXPECT_EQ(Link(p1, p2, {"CN_QUANTITY"}, nullptr, true), Outcome::Cancelled);
    EXPECT_TRUE(EventsOf(Event::Kind::Refresh).empty());

    const StringList shortValues = {"1"};
    Answers({});
    EXPECT_EQ(Link(p1, p2, {"CN_QUANTITY", "CN_POSITION"}, &shortValues, false), Outcome::Failed);

    db->Harness().FailCall("CvObject.Insert", 1);
    Answers({});
    EXPECT_EQ(Link(p1, p2, {}, nullptr, false), Outcome::Failed);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Links(p1, p2), 0u);
    ExpectAllAnswered();
}

TEST_F(LinkTest, TheLinkOfALinkHooksRecordList) {
    const ObjectKey link = db->CreateLink("Parts Tree", p1, p2, {});
    embedded::HookRow row;
    row.kind = embedded::HookRow::Kind::Link;
    row.key = link;
    auto found = ClsUtils(user).GetLinkFromRecordList(session, db->MakeRecList({row}));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->ClassId(), link.classId);
    EXPECT_EQ(found->ObjectId(), link.objectId);

    Answers({Press("OK")});
    EXPECT_EQ(ClsUtils(user).GetLinkFromRecordList(session, db->MakeRecList({})), nullptr);
    EXPECT_EQ(Boxes(), (std::vector<Shown>{{"Impossible to Execute This Command in This Context.", "exclamation"}}));
    ExpectAllAnswered();
}

} // namespace
} // namespace quendra::test
