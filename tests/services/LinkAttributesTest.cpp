// Link attributes: parsing the script's list, cleaning it against "Parts Tree", editing and writing values back.
#include "ClsUtils.h"
#include "PlantWorld.h"

#include <optional>

namespace quendra::test {
namespace {

class LinkAttributesTest : public PlantWorld {
protected:
    // A new, unstored link between two parts, as Link2Object hands it to the editor.
    Ptr<CvObject> NewLink() {
        auto parent = Fetch(MakePart("P-1"));
        auto link = parent->NewLink(db->ClassId("Parts Tree"), Fetch(MakePart("P-2")));
        link->InitialiseNew();
        return link;
    }
};

TEST_F(LinkAttributesTest, TheScriptsListIsSplitAtEveryCommaAndTrimmedOfBlanks) {
    const std::pair<std::string, StringList> cases[] = {
        {"", {}},
        {" Qty , Qty,Pos", {"Qty", "Qty", "Pos"}},
        {"A,,B", {"A", "", "B"}},
        {"A,", {"A", ""}},
        {"   ", {""}},
        {"\tA ,A=1", {"\tA", "A=1"}},
    };
    for (const auto& [text, expected] : cases) {
        auto parsed = ClsUtils(user).GetAttributesFromScript(text);
        ASSERT_NE(parsed, nullptr);
        EXPECT_EQ(*parsed, expected) << '"' << text << '"';
    }
}

TEST_F(LinkAttributesTest, CleaningKeepsFirstOccurrencesOfSupportedAttributesAndReportsUnsupportedTypes) {
    const std::string report = "The following attributes cannot be treated because their types is not supported :\r\n";
    const struct {
        StringList in;
        StringList out;
        std::vector<Shown> shown;
    } cases[] = {
        {{}, {}, {}},
        {{"CN_QUANTITY", "CN_QUANTITY", "CN_POSITION"}, {"CN_QUANTITY", "CN_POSITION"}, {}},
        {{"CN_REMARK", "CN_QUANTITY", "CN_REMARK", "CN_REMARK"}, {"CN_REMARK", "CN_QUANTITY"}, {}},
        {{"CN_QUANTITY", "cn_quantity", "", "A=1"}, {"CN_QUANTITY"}, {}},
        {{"CN_VALID_FROM", "CN_UNIT", "CN_DRAWING_REF", "CN_OPTIONAL", "CN_LENGTH"},
         {"CN_UNIT", "CN_OPTIONAL", "CN_LENGTH"},
         {{report + "CN_VALID_FROM, CN_DRAWING_REF\r\nPlease Contact your Administrator", "exclamation"}}},
    };
    for (const auto& c : cases) {
        Answers(std::vector<scripted::Answer>(c.shown.size(), Press("OK")));
        auto list = std::make_shared<StringList>(c.in);
        EXPECT_EQ(ClsUtils(user).CleanLinkAttributes(session, list), list);
        EXPECT_EQ(*list, c.out);
        EXPECT_EQ(Boxes(), c.shown);
        ExpectAllAnswered();
    }
    Answers({});
    EXPECT_EQ(ClsUtils(user).CleanLinkAttributes(session, nullptr), nullptr);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(LinkAttributesTest, CleaningThatFailsSaysSoAndKeepsWhatItRemoved) {
    auto list = std::make_shared<StringList>(StringList{"CN_REMARK", "CN_REMARK", "CN_QUANTITY"});
    db->Harness().FailCall("CvMetaInfo.ClassByName", 2);
    Answers({Press("OK")});
    EXPECT_EQ(ClsUtils(user).CleanLinkAttributes(session, list), nullptr);
    EXPECT_EQ(*list, (StringList{"CN_REMARK", "CN_QUANTITY"}));
    EXPECT_EQ(Boxes(),
              (std::vector<Shown>{{"An Error Occured to Clean Link Atrributes Configured in the Script", "critical"}}));
    ExpectAllAnswered();
}

TEST_F(LinkAttributesTest, EditedTextsAreConvertedToEachAttributesType) {
    // Each case edits one attribute that held 1 (Unit: "pcs"); nullopt: rejected, the value stays.
    const struct {
        const char* attribute;
        const char* display;
        const char* typed;
        std::optional<std::string> stored;
    } cases[] = {
        {"CN_QUANTITY", "Quantity", "12.5", "12"},
        {"CN_QUANTITY", "Quantity", "13.5", "14"},
        {"CN_QUANTITY", "Quantity", "-12.5", "-12"},
        {"CN_QUANTITY", "Quantity", "-13.5", "-14"},
        {"CN_QUANTITY", "Quantity", "32767", "32767"},
        {"CN_QUANTITY", "Quantity", "32768", std::nullopt},
        {"CN_QUANTITY", "Quantity", "-32768", "-32768"},
        {"CN_QUANTITY", "Quantity", "-32769", std::nullopt},
        {"CN_QUANTITY", "Quantity", "40000", std::nullopt},
        {"CN_QUANTITY", "Quantity", "", std::nullopt},
        {"CN_QUANTITY", "Quantity", "x", std::nullopt},
        {"CN_POSITION", "Position", "2147483647", "2147483647"},
        {"CN_POSITION", "Position", "2147483648", std::nullopt},
        {"CN_POSITION", "Position", "-2147483648", "-2147483648"},
        {"CN_POSITION", "Position", "2.5", "2"},
        {"CN_LENGTH", "Length", "2.75", "2.75"},
        {"CN_LENGTH", "Length", "", std::nullopt},
        {"CN_LENGTH", "Length", "long", std::nullopt},
        {"CN_REMARK", "Remark", " as typed ", " as typed "},
        {"CN_REMARK", "Remark", "", ""},
        {"CN_OPTIONAL", "Optional", "tRuE", "True"},
        {"CN_OPTIONAL", "Optional", "FALSE", "False"},
        {"CN_OPTIONAL", "Optional", "0", "False"},
        {"CN_OPTIONAL", "Optional", "-2", "True"},
        {"CN_OPTIONAL", "Optional", "yes", std::nullopt},
        {"CN_OPTIONAL", "Optional", "", std::nullopt},
        {"CN_UNIT", "Unit", "kg", "pcs"}, // shown, never written
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.attribute) + " <- \"" + c.typed + "\"");
        auto link = NewLink();
        link->Data()->SetValueAsText(c.attribute, c.attribute == std::string("CN_UNIT") ? "pcs" : "1");
        const std::string before = link->Data()->ValueAsText(c.attribute);
        std::vector<scripted::Answer> answers = {Edit({{c.display, c.typed}})};
        if (!c.stored) answers.push_back(Press("OK"));
        Answers(answers);
        EXPECT_TRUE(ClsUtils(user).ManageLinkAttributes(link, std::make_shared<StringList>(StringList{c.attribute})));
        EXPECT_EQ(link->Data()->ValueAsText(c.attribute), c.stored.value_or(before));
        std::vector<Shown> expected;
        if (!c.stored)
            expected.push_back(
                {std::string("The value of the Attribute ") + c.attribute + " is not correct", "exclamation"});
        EXPECT_EQ(Boxes(), expected);
        ExpectAllAnswered();
    }
}

TEST_F(LinkAttributesTest, ARejectedValueDoesNotStopTheOthers) {
    auto link = NewLink();
    link->Data()->SetValueAsText("CN_REMARK", "old");
    Answers({Edit({{"Remark", "new"}, {"Quantity", "40000"}, {"Position", "7"}}), Press("OK")});
    auto collection = std::make_shared<StringList>(StringList{"CN_QUANTITY", "CN_REMARK", "CN_POSITION"});
    EXPECT_TRUE(ClsUtils(user).ManageLinkAttributes(link, collection));
    ASSERT_EQ(user.Windows().size(), 2u);
    EXPECT_EQ(user.Windows()[0].rows, (std::vector<std::pair<std::string, std::string>>{
                                          {"Quantity", ""}, {"Remark", "old"}, {"Position", ""}}));
    EXPECT_EQ(link->Data()->ValueAsText("CN_REMARK"), "new");
    EXPECT_EQ(link->Data()->ValueAsText("CN_POSITION"), "7");
    ExpectAllAnswered();
}

TEST_F(LinkAttributesTest, AWriteThePlatformRefusesIsReportedLikeABadValue) {
    auto link = NewLink();
    db->Harness().FailCall("CvRecord.SetValueAsInt16", 1);
    Answers({Edit({{"Quantity", "4"}, {"Remark", "r"}}), Press("OK")});
    EXPECT_TRUE(ClsUtils(user).ManageLinkAttributes(
        link, std::make_shared<StringList>(StringList{"CN_QUANTITY", "CN_REMARK"})));
    EXPECT_EQ(Boxes(), (std::vector<Shown>{{"The value of the Attribute CN_QUANTITY is not correct", "exclamation"}}));
    EXPECT_EQ(link->Data()->ValueAsText("CN_REMARK"), "r");
    ExpectAllAnswered();
}

TEST_F(LinkAttributesTest, TheEditorIsNotShownForAnEmptyOrWrongCollectionAndCancellingWritesNothing) {
    auto link = NewLink();
    for (const StringList& attributes : {StringList{}, StringList{"CN_QUANTITY", "NOT_THERE"}}) {
        Answers({Press("OK")});
        EXPECT_FALSE(ClsUtils(user).ManageLinkAttributes(link, std::make_shared<StringList>(attributes)));
        EXPECT_EQ(Boxes(), (std::vector<Shown>{
                               {"An Error Occured to Manage Link Atrributes Configured in the Script", "critical"}}));
        EXPECT_EQ(user.Windows().size(), 1u);
        ExpectAllAnswered();
    }
    Answers({Edit({{"Quantity", "9"}}, "Cancel")});
    EXPECT_FALSE(ClsUtils(user).ManageLinkAttributes(link, std::make_shared<StringList>(StringList{"CN_QUANTITY"})));
    EXPECT_EQ(link->Data()->ValueAsText("CN_QUANTITY"), "");
    ExpectAllAnswered();
}

} // namespace
} // namespace quendra::test
