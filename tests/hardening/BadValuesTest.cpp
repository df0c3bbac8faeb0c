// Quotes, semicolons, wildcards, non-ASCII and very long texts travel through every query and back unchanged.
// SPDX-License-Identifier: Apache-2.0
#include "Application.h"
#include "Model.h"
#include "Names.h"
#include "PlantFixture.h"
#include "Processes.h"
#include "TestWorld.h"

namespace quendra::test {
namespace {

struct BadValue {
    const char* label;
    std::string text;
};

void PrintTo(const BadValue& value, std::ostream* out) {
    *out << value.label;
}

const std::vector<BadValue> BadValues{
    {"Quotes", "O'Brien \"the\" `third`"},
    {"Semicolons", "x'; DELETE FROM PARTS; --"},
    {"Wildcards", "100% _of_ [it] \\ *"},
    {"NonAscii", "Gr\xC3\xBC\xC3\x9F"
                 "e \xE2\x80\x93 \xE6\x97\xA5\xE6\x9C\xAC \xE2\x88\x91"},
    {"Long", std::string(70000, 'L') + "|end"},
};

// A text a search for the value must not find: its wildcards replaced, or else its first letter.
std::string Decoy(std::string text) {
    const std::string original = text;
    for (char& c : text)
        if (c == '%' || c == '_' || c == '*' || c == '[' || c == '\'') c = 'Z';
    if (text == original) text[0] = 'Z';
    return text;
}

// The plant model with the link's remark as a primary attribute, so that its value takes part in the
// duplicate test.
std::shared_ptr<const embedded::Model> PlantWithPrimaryRemark() {
    std::string text = embedded::BuiltInModel("plant")->jsonText;
    const std::string remark = "\"display\": \"Remark\", \"type\": 1";
    const auto at = text.find(remark);
    if (at == std::string::npos) throw std::runtime_error("the plant model has no remark");
    text.insert(at + remark.size(), ", \"primary\": true");
    return embedded::ParseModel(text, "plant with primary remark");
}

class BadValuesTest : public ::testing::TestWithParam<BadValue> {
protected:
    const std::string& Text() const { return GetParam().text; }
    ObjectKey Part(const std::string& number, Values extra = {}) {
        extra.emplace_back(names::CN_PART_NUMBER, Value::Text(number));
        extra.emplace_back("CN_DESCRIPTION", Value::Text("Item"));
        extra.emplace_back(names::STATE, Value::Int16(5));
        return db->CreateObject(names::ClassPart, extra);
    }
    Ptr<CvRecList> RowOf(ObjectKey key) {
        embedded::HookRow row;
        row.key = key;
        return db->MakeRecList({row});
    }
    Ptr<CvObject> Fetch(ObjectKey key) {
        auto object = session->ObjectStore()->ObjectById(key.classId, key.objectId)->WorkingObject();
        object->Retrieve();
        return object;
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& window : user.Windows())
            if (const auto* box = std::get_if<answering::records::MessageBox>(&window.what)) texts.push_back(box->text);
        return texts;
    }

    scripted::ScriptedUser user;
    std::shared_ptr<embedded::Database> db = embedded::Database::Create(":memory:", PlantWithPrimaryRemark());
    Ptr<CvSession> session = db->Login("carl", user);
    Application app{user};
};

TEST_P(BadValuesTest, PartNumberFindsTheOneReleasedPartAfterCheckIn) {
    auto document = db->CreateObject(names::ClassDocument, {{names::CN_PART_NUMBER, Value::Text(Text())},
                                                            {names::FILE_NAME, Value::Text(Text() + ".dwg")},
                                                            {names::FILE_TYPE, Value::Int16(12)},
                                                            {names::STATE, Value::Int16(0)}});
    auto part = Part(Text());
    auto decoy = Part(Decoy(Text()));
    auto padded = Part(Text() + " ");
    db->CreateLink(names::LinkClassSpecification, decoy, document, {});
    db->CreateLink(names::LinkClassSpecification, padded, document, {});

    auto rows = RowOf(document);
    EXPECT_EQ(app.AfterCheckInDocuments(session, rows), 0);
    EXPECT_EQ(db->FindLinks(names::LinkClassSpecification, part, document).size(), 1u);
    EXPECT_TRUE(db->FindLinks(names::LinkClassSpecification, decoy, document).empty());
    EXPECT_TRUE(db->FindLinks(names::LinkClassSpecification, padded, document).empty());
    EXPECT_EQ(db->ReadValue(part, names::CN_PART_NUMBER).AsText(), Text());
    EXPECT_EQ(db->ReadValue(document, names::FILE_NAME).AsText(), Text() + ".dwg");
    EXPECT_EQ(db->FindObjects(names::ClassPart, names::CN_PART_NUMBER, Text()), std::vector<ObjectKey>{part});
}

TEST_P(BadValuesTest, SearchFindsThePartByItsNumberAndTheEditorStoresTheRemark) {
    auto parent = Part("PARENT");
    auto part = Part(Text());
    Part(Decoy(Text()));
    // The query dialog asks for parts whose number contains the text; the result dialog picks the part.
    TestDialogs search;
    search.nextQuery.conditions = {{names::CN_PART_NUMBER, Text()}};
    search.pick = {part};
    auto searching = db->Login("carl", search);
    user.SetAnswers({SetRows({{"Remark", Text()}})});
    auto rows = RowOf(parent);
    std::string attributes = "CN_REMARK";
    app.AddExistingPart(searching, rows, attributes);

    EXPECT_FALSE(user.Failure().has_value()) << *user.Failure();
    ASSERT_EQ(search.candidates.size(), 1u);
    EXPECT_EQ(search.candidates[0].key, part);
    auto links = db->FindLinks(names::LinkClassPartsTree, parent, part);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(db->ReadValue(links[0], "CN_REMARK").AsText(), Text());
}

TEST_P(BadValuesTest, CopiedRemarkIsStoredAndFoundAsADuplicate) {
    auto source = Part("SOURCE");
    auto target = Part("TARGET");
    auto child = Part(Text());
    db->CreateLink(names::LinkClassPartsTree, source, child, {{"CN_REMARK", Value::Text(Text())}});
    for (int copy = 0; copy < 2; ++copy) {
        auto obj = Fetch(target);
        auto from = Fetch(source);
        std::string attributes = "CN_REMARK";
        user.SetAnswers(copy == 0 ? std::vector<answering::Answer>{} : std::vector<answering::Answer>{Press("OK")});
        EXPECT_EQ(app.CopyTreeFrom(session, obj, from, attributes), 0);
    }
    EXPECT_EQ(Messages(), std::vector<std::string>{"A Hierarchichal Link between Parent Part (Part TARGET-Item) and a "
                                                   "Son Part\r\n already exists with the same values for Primary "
                                                   "Attributes."});
    auto links = db->FindLinks(names::LinkClassPartsTree, target, child);
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(db->ReadValue(links[0], "CN_REMARK").AsText(), Text());
}

TEST_P(BadValuesTest, LockRefusalNamesThePartByItsNumber) {
    const int32_t dora = *db->UserId("dora");
    auto part = Part(Text(), {{names::CN_LOCKED, Value::Bool(true)},
                              {names::USER_OBJECT_ID, Value::Int32(dora)},
                              {names::USER_ID_MOD, Value::Int32(dora)}});
    user.SetAnswers({Press("OK")});
    auto rows = RowOf(part);
    app.LockObject(session, rows);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Part " + Text() + "-Item is locked by Dora Lind"});
    EXPECT_EQ(db->ReadValue(part, names::USER_OBJECT_ID).AsInt32(), dora);
}

INSTANTIATE_TEST_SUITE_P(Texts, BadValuesTest, ::testing::ValuesIn(BadValues),
                         [](const auto& info) { return std::string(info.param.label); });

} // namespace
} // namespace quendra::test
