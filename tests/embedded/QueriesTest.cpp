// SQL and structured queries on the default model's tables.
// SPDX-License-Identifier: Apache-2.0
#include "OnBothStorages.h"

#include "CvError.h"

namespace quendra::embedded {
namespace {

class QueriesTest : public test::OnBothStorages {
protected:
    Ptr<CvRecList> Sql(const std::string& text) {
        auto query = store->NewSqlQuery();
        query->SetSqlText(text);
        query->Run();
        return query->Result();
    }

    // The duplicate test of a new parts-tree link: classes F, L, S, and optional primary values on L.
    int32_t LinksBetween(ObjectKey parent, ObjectKey child, std::vector<std::pair<std::string, Value>> primary = {}) {
        int16_t linkClass = meta->LinkClassBetween(parent.classId, child.classId);
        auto query = store->NewQueryDef();
        auto request = query->Specification();
        request->Classes()->AddClass(parent.classId, "F");
        request->Classes()->AddClass(linkClass, "L");
        request->Classes()->AddClass(child.classId, "S");
        for (const char* alias : {"F", "L", "S"}) request->Columns()->AddColumn("CLASS_ID", alias, 0);
        request->Conditions()->AddCondition("", "CLASS_ID", "=", Value::Int16(linkClass), 0, "L");
        request->Conditions()->AddCondition("", "OBJECT_ID", "=", Value::Int32(parent.objectId), 0, "F");
        request->Conditions()->AddCondition("", "OBJECT_ID", "=", Value::Int32(child.objectId), 0, "S");
        for (const auto& [name, value] : primary) {
            request->Columns()->AddColumn(name, "L", 0);
            request->Conditions()->AddCondition("", name, "=", value, 0, "L");
        }
        query->RunWithOptions(store->DefaultUpdateOptions()->Copy());
        return query->RowCount();
    }
};

TEST_P(QueriesTest, DuplicateLinksAreFoundWithAndWithoutPrimaryValues) {
    ObjectKey parent = Part("P-1", "Assembly");
    ObjectKey child = Part("P-2");
    ObjectKey other = Part("P-3");
    EXPECT_EQ(LinksBetween(parent, child), 0);
    db->CreateLink("Parts Tree", parent, child, {{"CN_POSITION", Value::Int32(10)}});
    db->CreateLink("Parts Tree", child, parent, {{"CN_POSITION", Value::Int32(20)}});
    EXPECT_EQ(LinksBetween(parent, child), 1);
    EXPECT_EQ(LinksBetween(parent, other), 0);
    EXPECT_EQ(LinksBetween(parent, child, {{"CN_POSITION", Value::Text("10")}}), 1);
    EXPECT_EQ(LinksBetween(parent, child, {{"CN_POSITION", Value::Int32(20)}}), 0);
    EXPECT_EQ(LinksBetween(parent, child, {{"CN_POSITION", Value::Text("")}}), 0);
    db->CreateLink("Parts Tree", parent, other, {});
    EXPECT_EQ(LinksBetween(parent, other, {{"CN_POSITION", Value::Text("")}}), 1);
    EXPECT_EQ(LinksBetween(parent, other, {{"CN_POSITION", Value::Text("not a number")}}), 0);
    // The same query again with fewer conditions: the last run's fourth one is gone.
    EXPECT_EQ(LinksBetween(parent, other), 1);
}

TEST_P(QueriesTest, QueriesOfOneShapeTakeTheirOwnValuesAndOperators) {
    Part("P-1", "Part", {{"CN_DESCRIPTION", Value::Text("Bolt")}});
    Part("P-2", "Part", {{"CN_DESCRIPTION", Value::Text("Nut")}});
    Part("P-3", "Part", {});
    const int16_t parts = meta->ClassByName("Parts")->ClassId();
    auto count = [&](const std::string& op, const Value& value) {
        auto query = store->NewQueryDef();
        query->Specification()->Classes()->AddClass(parts, "F");
        query->Specification()->Conditions()->AddCondition("", "CN_DESCRIPTION", op, value, 0, "F");
        query->Run();
        return query->RowCount();
    };
    const struct {
        std::string op;
        Value value;
        int32_t rows;
    } cases[] = {{"=", Value::Text("Bolt"), 1},  {"=", Value::Text("Nut"), 1},
                 {"=", Value::Text(""), 1},      {"<>", Value::Text(""), 2},
                 {"<>", Value::Text("Bolt"), 1}, {"LIKE", Value::Text("%t"), 2},
                 {"=", Value::Text("%t"), 0},    {"=", Value(), 1}};
    for (const auto& c : cases) EXPECT_EQ(count(c.op, c.value), c.rows) << c.op << " " << c.value.AsText();
    for (int run = 0; run < 2; ++run) EXPECT_THROW(count("~", Value::Text("Bolt")), CvError) << run;
}

TEST_P(QueriesTest, WrongQueriesFail) {
    auto unknownAttribute = store->NewQueryDef();
    unknownAttribute->Specification()->Classes()->AddClass(meta->ClassByName("Parts")->ClassId(), "F");
    unknownAttribute->Specification()->Conditions()->AddCondition("", "FILE_NAME", "=", Value::Text("x"), 0, "F");
    EXPECT_THROW(unknownAttribute->Run(), CvError);
    auto unknownAlias = store->NewQueryDef();
    unknownAlias->Specification()->Classes()->AddClass(meta->ClassByName("Parts")->ClassId(), "F");
    unknownAlias->Specification()->Columns()->AddColumn("OBJECT_ID", "X", 0);
    EXPECT_THROW(unknownAlias->Run(), CvError);
    EXPECT_THROW(store->NewQueryDef()->RowCount(), CvError);
}

// A session hands a query out again only once nobody holds it or one of its lists, and emptied.
TEST_P(QueriesTest, AQueryIsHandedOutAgainOnlyWhenNobodyHoldsItAndEmpty) {
    ObjectKey part = Part("P-1");
    auto findPart = [&](const Ptr<CvQueryDef>& query, ObjectKey found = {}) {
        if (found.objectId == 0) found = part;
        query->Specification()->Classes()->AddClass(found.classId, "F");
        query->Specification()->Conditions()->AddCondition("", "OBJECT_ID", "=", Value::Int32(found.objectId), 0, "F");
        query->Run();
        return query->RowCount();
    };
    auto first = store->NewQueryDef();
    EXPECT_EQ(findPart(first), 1);
    auto classes = first->Specification()->Classes();
    first.reset();
    // The first query's list is still held: the next query is another one, which a class added there misses.
    auto second = store->NewQueryDef();
    classes->AddClass(part.classId, "S");
    EXPECT_EQ(findPart(second), 1);
    classes.reset();
    second.reset();
    auto third = store->NewQueryDef();
    EXPECT_THROW(third->RowCount(), CvError);
    EXPECT_EQ(findPart(third), 1);
    auto fourth = store->NewQueryDef();
    EXPECT_NE(fourth, third);
    EXPECT_EQ(findPart(fourth), 1);
    // The rows of a query still listed stay as they were when the query is handed out again and run.
    auto listed = fourth->Result();
    fourth.reset();
    auto fifth = store->NewQueryDef();
    EXPECT_EQ(findPart(fifth, Part("P-2")), 1);
    EXPECT_EQ(listed->ValueAsInt32("OBJECT_ID", 0), part.objectId);
}

// The SQL query only reads, on every storage; a refused one leaves a hook's transaction going on.
TEST_P(QueriesTest, TheSqlQueryRefusesWhatWritesOrControlsTheTransaction) {
    ObjectKey part = Part("P-1");
    db->BeginOuterTransaction();
    // Each storage's own ways of changing the connection too: a query_only or journal pragma that went
    // through would stop or change every later write.
    for (const std::string sql :
         {"DELETE FROM PARTS",
          "UPDATE PARTS SET STATE = 0",
          "INSERT INTO USERS (CLASS_ID, OBJECT_ID, LOGIN) VALUES "
          "(50, 999, 'eve')",
          "REPLACE INTO USERS (CLASS_ID, OBJECT_ID, LOGIN) VALUES (50, 1, 'eve')",
          "DROP TABLE PARTS",
          "CREATE TABLE EXTRA (A INTEGER)",
          "select 1; delete from PARTS",
          "WITH doomed AS (SELECT OBJECT_ID FROM PARTS) DELETE FROM PARTS WHERE OBJECT_ID IN (SELECT * FROM doomed)",
          "BEGIN",
          "BEGIN IMMEDIATE",
          "SAVEPOINT hold",
          "COMMIT",
          "ROLLBACK",
          "ATTACH DATABASE ':memory:' AS other",
          "PRAGMA journal_mode = DELETE",
          "PRAGMA user_version = 7",
          "PRAGMA query_only = 1",
          "VACUUM",
          "ANALYZE",
          "REINDEX",

          "",
          "   ;  "})
        EXPECT_THROW(Sql(sql), CvError) << sql;
    // A semicolon inside a quoted text is no second statement.
    auto found =
        Sql("select \"LOGIN\" from \"USERS\" where LOGIN = 'O''Brien; DROP TABLE USERS; --' or LOGIN = 'carl'");
    ASSERT_EQ(found->RowCount(), 1);
    EXPECT_EQ(found->ValueAt(0, 0).AsText(), "carl");
    auto object = Object(part);
    object->Data()->SetValueAsText("CN_DESCRIPTION", "Kept");
    object->Update(store->DefaultUpdateOptions());
    db->CommitOuterTransaction();
    EXPECT_EQ(db->ReadValue(part, "CN_DESCRIPTION"), Value::Text("Kept"));
    EXPECT_EQ(db->CountObjects("Part"), 1);
    EXPECT_EQ(Sql("select count(*) from USERS")->ValueAt(0, 0).AsInt32(), static_cast<int32_t>(db->Users().size()));
}

QUENDRA_ON_BOTH_STORAGES(QueriesTest);

} // namespace
} // namespace quendra::embedded
