// Values of every attribute type written, stored and read back as text; direct data errors; sequence formats.
// SPDX-License-Identifier: Apache-2.0
#include "Model.h"
#include "PlantFixture.h"

#include "CvError.h"

namespace quendra::embedded {
namespace {

using ValuesTest = test::PlantFixture;

// The link attribute editor's texts as stored are tests/scenarios/link-values.json's, quotes and wildcards
// BadValuesTest's; here the kind each type reads as, before and after storing.
TEST_F(ValuesTest, LinkAttributesOfEveryTypeKeepTheirValueThroughStoring) {
    struct Case {
        std::string attribute;
        std::string written;
        Value::Kind kind;
        std::string readBack;
    };
    const std::vector<Case> cases = {
        {"CN_QUANTITY", "3", Value::Kind::Int16, "3"},
        {"CN_QUANTITY", " 4 ", Value::Kind::Int16, "4"},
        {"CN_POSITION", "-120", Value::Kind::Int32, "-120"},
        {"CN_LENGTH", "12", Value::Kind::Double, "12"},
        {"CN_OPTIONAL", "TRUE", Value::Kind::Bool, "True"},
        {"CN_VALID_FROM", "2026-12-05", Value::Kind::Text, "2026-12-05"},
    };
    auto parent = Object(Part("P-1"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attribute + " = " + c.written);
        auto child = Object(Part("C"));
        auto link = parent->NewLink(db->ClassId("Parts Tree"), child);
        link->InitialiseNew();
        link->Data()->SetValueAsText(c.attribute, c.written);
        EXPECT_EQ(link->Data()->GetValue(c.attribute).GetKind(), c.kind);
        link->Insert(store->DefaultUpdateOptions());
        auto stored = store->ObjectById(link->ClassId(), link->ObjectId());
        EXPECT_EQ(stored->Data()->GetValue(c.attribute).GetKind(), c.kind);
        EXPECT_EQ(stored->Data()->ValueAsText(c.attribute), c.readBack);
    }
}

TEST_F(ValuesTest, ValuesTheTypeRefusesFailAndChangeNothing) {
    auto object = Object(Part("P-1", "Part", {{"STATE", Value::Int32(1)}}));
    auto data = object->Data();
    EXPECT_THROW(data->SetValueAsText("STATE", "70000"), CvError);
    EXPECT_THROW(data->SetValueAsText("STATE", "five"), CvError);
    EXPECT_THROW(data->SetValueAsText("CN_LOCKED", "maybe"), CvError);
    EXPECT_THROW(data->SetValueAsDouble("USER_OBJECT_ID", 1e12), CvError);
    EXPECT_EQ(data->GetValue("STATE"), Value::Int16(1));
    data->SetValue("STATE", Value());
    EXPECT_TRUE(data->GetValue("STATE").IsNull());
    object->Update(store->DefaultUpdateOptions());
    EXPECT_TRUE(db->ReadValue({object->ClassId(), object->ObjectId()}, "STATE").IsNull());

    // A cleared field is no value, for numbers and Booleans alike.
    data->SetValueAsInt16("STATE", 3);
    data->SetValueAsInt32("USER_OBJECT_ID", 3);
    data->SetValueAsBool("CN_LOCKED", true);
    object->Update(store->DefaultUpdateOptions());
    for (const char* name : {"STATE", "USER_OBJECT_ID", "CN_LOCKED"}) {
        data->SetValueAsText(name, "");
        EXPECT_TRUE(data->GetValue(name).IsNull()) << name;
    }
    object->Update(store->DefaultUpdateOptions());
    for (const char* name : {"STATE", "USER_OBJECT_ID", "CN_LOCKED"})
        EXPECT_TRUE(db->ReadValue({object->ClassId(), object->ObjectId()}, name).IsNull()) << name;
}

TEST_F(ValuesTest, DirectDataMistakesAreReportedByName) {
    EXPECT_THROW(db->CreateObject("Widget", {}), EmbeddedError);
    EXPECT_THROW(db->CreateObject("Parts Tree", {}), EmbeddedError);
    EXPECT_THROW(db->CreateObject("Part", {{"FILE_NAME", Value::Text("x")}}), EmbeddedError);
    EXPECT_THROW(db->CreateObject("Part", {{"STATE", Value::Text("x")}}), EmbeddedError);
    EXPECT_THROW(db->CreateObject("Part", {{"OBJECT_ID", Value::Int32(5)}}), EmbeddedError);
    ObjectKey part = Part("P-1");
    ObjectKey document = db->CreateObject("Document", {});
    EXPECT_THROW(db->CreateLink("Parts Tree", part, document, {}), EmbeddedError);
    EXPECT_THROW(db->CreateLink("Parts Tree", part, {part.classId, 999999}, {}), EmbeddedError);
    EXPECT_THROW(db->ReadValue(part, "FILE_NAME"), EmbeddedError);
    EXPECT_THROW(db->ClassId("Widget"), EmbeddedError);
    EXPECT_THROW(db->ClassName(999), EmbeddedError);
    EXPECT_THROW(db->AddUser("carl", false, {}), EmbeddedError);
    EXPECT_THROW(db->AddUser("erik", false, {{"SHOE_SIZE", Value::Int32(44)}}), EmbeddedError);
    EXPECT_THROW(db->AddUser("erik", false, {{"LOGIN", Value::Text("zed")}}), EmbeddedError);
    EXPECT_FALSE(db->UserId("zed").has_value());
    EXPECT_EQ(db->CountObjects("Part"), 1);

    int32_t erik = db->AddUser("erik", true, {{"FIRST_NAME", Value::Text("Erik")}});
    EXPECT_EQ(db->UserId("erik"), erik);
    auto session = db->Login("erik", dialogs);
    EXPECT_TRUE(session->CurrentUser()->IsAdministrator());
    EXPECT_EQ(session->CurrentUser()->UserObjectId(), erik);
    EXPECT_EQ(db->DisplayText({db->ClassId("Users"), erik}, " "), "Erik ");
}

TEST(SequenceFormatTest, NumbersAreWrittenAsTheFormatSays) {
    struct Case {
        std::string format;
        int64_t number;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"P-%06d", 1, "P-000001"}, {"P-%06d", 1234567, "P-1234567"}, {"%d", 42, "42"},
        {"N%4d.", 7, "N   7."},    {"%%%03d%%", 5, "%005%"},         {"X%02d", -3, "X-3"},
    };
    for (const auto& c : cases) {
        std::string model = R"({"classes": [{"id": 1, "name": "Users", "attributes": [{"name": "LOGIN"}]}],
                                "sequences": [{"name": "S", "format": ")" +
                            c.format + R"("}]})";
        EXPECT_EQ(ParseModel(model, "m")->sequences[0].Format(c.number), c.expected) << c.format;
    }
}

TEST(DisplayTextTest, AClassWithoutDisplayAttributesShowsTheObjectId) {
    auto db = Database::Create(":memory:", ParseModel(R"({"classes": [
        {"id": 1, "name": "Users", "attributes": [{"name": "LOGIN"}]},
        {"id": 2, "name": "Bins", "attributes": [{"name": "LABEL"}]}]})",
                                                      "bins"));
    ObjectKey bin = db->CreateObject("Bins", {{"LABEL", Value::Text("north")}});
    EXPECT_EQ(db->DisplayText(bin, "-"), std::to_string(bin.objectId));
}

} // namespace
} // namespace quendra::embedded
