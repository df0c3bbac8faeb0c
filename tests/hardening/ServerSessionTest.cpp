// Sessions on a server: the authenticated role, not the login a program names, says who works and whether
// as an administrator; a row another transaction holds makes a write fail as busy after the busy wait.
// SPDX-License-Identifier: Apache-2.0
#include "Application.h"
#include "Names.h"
#include "Processes.h"
#include "ServerRoles.h"
#include "TestWorld.h"

#include <cstdlib>

namespace quendra::test {
namespace {

class ServerSessionTest : public testing::Test {
protected:
    void SetUp() override {
        if (TestServer.empty()) GTEST_SKIP() << "no PostgreSQL server for the tests";
        schema.emplace(TestServer, SchemaName);
        auto db = embedded::Database::Create(schema->Address(), embedded::BuiltInModel("plant"));
        // cara is an administrator by the users' table only: her role is no member of the administrators'.
        db->AddUser("cara", true, {{"FIRST_NAME", Value::Text("Cara")}, {"LAST_NAME", Value::Text("Vik")}});
        const Value dora = Value::Int32(*db->UserId("dora"));
        held = db->CreateObject(names::ClassPart, {{names::CN_PART_NUMBER, Value::Text("H-1")},
                                                   {"CN_DESCRIPTION", Value::Text("Held")},
                                                   {names::STATE, Value::Int16(5)},
                                                   {names::CN_LOCKED, Value::Bool(true)},
                                                   {names::USER_OBJECT_ID, dora},
                                                   {names::USER_ID_MOD, dora}});
        free = db->CreateObject(names::ClassPart, {{names::CN_PART_NUMBER, Value::Text("F-1")},
                                                   {"CN_DESCRIPTION", Value::Text("Free")},
                                                   {names::STATE, Value::Int16(5)}});
        cara = roles.Make("cara");
        chief = roles.Make("chief");
        for (const auto& role : {cara, chief}) embedded::GrantTeamRole(schema->Address(), role, false);
        OnServer("DO $$ BEGIN CREATE ROLE quendra_admin NOLOGIN; EXCEPTION WHEN duplicate_object THEN NULL; END $$");
        OnServer("GRANT quendra_admin TO " + chief);
        OnServer("INSERT INTO " + SchemaName + ".platform_role_logins VALUES ('" + cara + "', 'cara'), ('" + chief +
                 "', 'admin')");
    }

    std::string As(const std::string& role) const { return AsRole(schema->Address(), role); }

    const std::string SchemaName = "identity_" + std::to_string(getpid());
    ServerRoles roles; // dropped after the schema, which holds their grants
    std::optional<embedded::ServerSchema> schema;
    ObjectKey held, free;
    std::string cara, chief;
};

TEST_F(ServerSessionTest, ARoleWithoutAdministratorRightsCannotPassAnotherUsersLock) {
    auto db = embedded::Database::Open(As(cara));
    scripted::ScriptedUser user;
    EXPECT_THROW(db->Login("admin", user), embedded::EmbeddedError); // the refusal's text: IdentityTest
    // As herself she is no administrator, whatever the users' table says: dora's lock holds.
    auto session = db->Login("cara", user);
    Application app(user);
    embedded::HookRow row;
    row.key = held;
    auto rows = db->MakeRecList({row});
    user.SetAnswers({Press("OK")});
    EXPECT_EQ(app.LockObject(session, rows), 1);
    ASSERT_EQ(user.Windows().size(), 1u);
    EXPECT_EQ(Line(user.Windows()[0]), "information/OK: Part H-1-Held is locked by Dora Lind");
    EXPECT_TRUE(db->ReadValue(held, names::CN_LOCKED).AsBool());
    EXPECT_EQ(db->ReadValue(held, names::USER_OBJECT_ID).AsInt32(), *db->UserId("dora"));
}

// The server passes over a schema its role may not use: the database is there, the right to reach it is not.
TEST_F(ServerSessionTest, ARoleThatMayNotUseTheSchemaIsToldSoNotToMakeADatabase) {
    const std::string stranger = roles.Make("stranger");
    try {
        embedded::Database::Open(As(stranger), embedded::OpenMode::ReadOnly);
        ADD_FAILURE() << "opened without USAGE on the schema";
    } catch (const embedded::EmbeddedError& error) {
        EXPECT_EQ(std::string(error.what()), "the role " + stranger + " may not use the schema " + SchemaName +
                                                 " on the server (it has no USAGE on it): ask the database's owner "
                                                 "to grant it");
    }
}

TEST_F(ServerSessionTest, AnAdministratorsRoleMayWorkAsAnotherUser) {
    auto db = embedded::Database::Open(As(chief));
    scripted::ScriptedUser user;
    auto session = db->Login("dora", user);
    Application app(user);
    embedded::HookRow row;
    row.key = held;
    auto rows = db->MakeRecList({row});
    user.SetAnswers({Press("Yes"), Press("OK")});
    app.UnLockObject(session, rows);
    for (const auto& window : user.Windows()) ADD_FAILURE() << Line(window);
    EXPECT_FALSE(db->ReadValue(held, names::CN_LOCKED).AsBool());
}

TEST_F(ServerSessionTest, ARowAnotherTransactionHoldsIsReportedAsBusyAndNothingChanges) {
    setenv("QUENDRA_BUSY_WAIT_MS", "200", 1);
    auto db = embedded::Database::Open(schema->Address());
    PGconn* holder = PQconnectdb(schema->Address().c_str());
    PQclear(PQexec(holder, "BEGIN"));
    PQclear(PQexec(holder, "SELECT * FROM parts FOR UPDATE"));
    scripted::ScriptedUser user;
    auto session = db->Login("carl", user);
    Application app(user);
    embedded::HookRow row;
    row.key = free;
    auto rows = db->MakeRecList({row});
    user.SetAnswers({Press("OK")});
    app.LockObject(session, rows);
    PQclear(PQexec(holder, "ROLLBACK"));
    PQfinish(holder);
    std::vector<std::string> errors;
    for (const auto& event : db->Harness().Events())
        if (auto* error = std::get_if<embedded::events::Error>(&event)) errors.push_back(error->text);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors[0].starts_with("the database ")) << errors[0];
    EXPECT_NE(errors[0].find(" is busy with another user's change ("), std::string::npos) << errors[0];
    EXPECT_FALSE(db->ReadValue(free, names::CN_LOCKED).AsBool());
}

} // namespace
} // namespace quendra::test
