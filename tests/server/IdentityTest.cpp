// Who works on a server cannot be forged: a team role can neither write who is who or the model, nor put
// tables or views of its own where the platform looks, and the database's owner works as an administrator.
// SPDX-License-Identifier: Apache-2.0
#include "CommandError.h"
#include "CommandRun.h"
#include "DatabaseFile.h"
#include "ServerRoles.h"
#include "World.h"

#include <optional>

namespace quendra::test {
namespace {

class IdentityTest : public testing::Test {
protected:
    void SetUp() override {
        if (TestServer.empty()) GTEST_SKIP() << "no PostgreSQL server for the tests";
        schema.emplace(TestServer, team);
        embedded::Database::Create(schema->Address(), embedded::BuiltInModel("plant"));
        member = roles.Make("member");
        OnServer("INSERT INTO " + team + ".platform_role_logins VALUES ('" + member + "', 'carl')");
    }

    // The member's error when the team's database is opened as him, empty when it opens.
    std::string OpeningAsMember(const std::string& address) {
        try {
            embedded::Database::Open(AsRole(address, member));
            return "";
        } catch (const embedded::EmbeddedError& error) {
            return error.what();
        }
    }

    const std::string team = "team_" + std::to_string(getpid());
    ServerRoles roles; // dropped after the schema, which holds their grants
    std::optional<embedded::ServerSchema> schema;
    std::string member;
};

TEST_F(IdentityTest, AMemberWhoMayWriteWhoIsWhoIsRefusedUntilGrantGivesHimHisRights) {
    // The grants a team was once told to write: every table, the users and the model among them.
    OnServer("GRANT USAGE ON SCHEMA " + team + " TO " + member +
             "; GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES "
             "IN SCHEMA " +
             team + " TO " + member + "; GRANT USAGE ON ALL SEQUENCES IN SCHEMA " + team + " TO " + member);
    EXPECT_EQ(OpeningAsMember(schema->Address()),
              "the database role \"" + member + "\" may change the table platform_format in the schema " + team +
                  ", which says who is who and what the model is: with such grants anyone of the team could work as "
                  "anyone; let the owner \"quendra\" give the team's roles their rights with quendra grant ADDRESS "
                  "ROLE");

    auto granted = Quendra({"grant", schema->Address(), member});
    EXPECT_EQ(granted.status, 0) << granted.errors;
    EXPECT_EQ(granted.out, "granted " + member + " the work of a team on " + schema->Address() + "\n");
    EXPECT_EQ(OpeningAsMember(schema->Address()), "");
    // Swapping logins, mapping himself to another login, rewriting the model: each refused by the server.
    const std::string asMember = AsRole(schema->Address(), member);
    for (const std::string attack :
         {"UPDATE users SET login = CASE login WHEN 'carl' THEN 'dora' ELSE 'carl' END "
          "WHERE login IN ('carl', 'dora')",
          "UPDATE platform_role_logins SET login = 'dora'", "INSERT INTO platform_role_logins VALUES ('x', 'admin')",
          "UPDATE platform_model SET model_text = '{}'", "DELETE FROM platform_format"})
        EXPECT_NE(SqlAt(asMember, attack).find("permission denied"), std::string::npos) << attack;
    // What working needs stays: the parts, the links and the numbers.
    EXPECT_EQ(SqlAt(asMember, "UPDATE parts SET cn_locked = 0 WHERE false"), "");
    EXPECT_EQ(SqlAt(asMember, "SELECT nextval('platform_object_ids')"), "");
    auto db = embedded::Database::Open(schema->Address());
    EXPECT_EQ(db->ServerLogin(), "quendra");
    EXPECT_TRUE(db->UserId("carl") && db->UserId("dora"));
}

TEST_F(IdentityTest, AMembersOwnSchemaCannotGiveHimAnotherLogin) {
    ASSERT_EQ(Quendra({"grant", schema->Address(), member}).status, 0);
    OnServer("GRANT CREATE ON DATABASE quendra TO " + member);
    const std::string own = member + "_own";
    const std::string asMember = AsRole(schema->Address(), member);
    ASSERT_EQ(SqlAt(asMember, "CREATE SCHEMA " + own + "; CREATE TABLE " + own +
                                  ".platform_role_logins (role_name TEXT, login TEXT); INSERT INTO " + own +
                                  ".platform_role_logins VALUES ('" + member + "', 'dora')"),
              "");
    // A search path that puts his schema first still selects the team's: the mapping there is not read.
    const std::string ownFirst = TestServer + "?options=-csearch_path%3D" + own + "," + team;
    {
        auto db = embedded::Database::Open(AsRole(ownFirst, member));
        EXPECT_EQ(db->ServerLogin(), "carl");
        scripted::ScriptedUser user;
        EXPECT_THROW(db->Login("dora", user), embedded::EmbeddedError);
    }
    // Views of every table of the team's in his schema make his schema the one with the data: refused.
    ASSERT_EQ(SqlAt(asMember, "DO $$ DECLARE t text; BEGIN FOR t IN SELECT tablename FROM pg_tables WHERE schemaname "
                              "= '" +
                                  team +
                                  "' AND tablename <> 'platform_role_logins' LOOP EXECUTE format('CREATE "
                                  "VIEW " +
                                  own + ".%I AS SELECT * FROM " + team + ".%I', t, t); END LOOP; END $$"),
              "");
    const std::string refusal = OpeningAsMember(ownFirst);
    EXPECT_TRUE(refusal.starts_with("the schema " + own + " holds \"")) << refusal;
    EXPECT_TRUE(refusal.ends_with("\", which the database's owner \"quendra\" does not own: the platform trusts only "
                                  "the owner's tables there (who is who is read from them); let the owner drop it, or "
                                  "select the team's own schema"))
        << refusal;
}

// The desktop's login: the role's own unless the role may work as the one asked for.
TEST_F(IdentityTest, APersonWorksAsTheLoginOfHisRoleUnlessHeMayWorkAsAnother) {
    ASSERT_EQ(Quendra({"grant", schema->Address(), member}).status, 0);
    const std::string address = AsRole(schema->Address(), member);
    auto db = embedded::Database::Open(address);
    EXPECT_EQ(playback::DatabaseFile::WorkingLogin(*db, address, ""), "carl");
    EXPECT_EQ(playback::DatabaseFile::WorkingLogin(*db, address, "carl"), "carl");
    try {
        playback::DatabaseFile::WorkingLogin(*db, address, "dora");
        ADD_FAILURE() << "worked as dora";
    } catch (const playback::CommandError& refused) {
        EXPECT_EQ(std::string(refused.what()), address + ": the database role \"" + member +
                                                   "\" works as the user \"carl\" only: only an administrator's "
                                                   "role may work as \"dora\"");
    }
    // A superuser has no login of his name: the first user, or any he names.
    auto owners = embedded::Database::Open(schema->Address());
    EXPECT_EQ(playback::DatabaseFile::WorkingLogin(*owners, schema->Address(), ""), "admin");
    EXPECT_EQ(playback::DatabaseFile::WorkingLogin(*owners, schema->Address(), "dora"), "dora");
}

TEST_F(IdentityTest, TheOwnerWorksAsAnAdministratorAndInitIsOneTransaction) {
    const std::string owner = roles.Make("owner");
    const std::string database = "plant_" + std::to_string(getpid());
    OnServer("CREATE DATABASE " + database + " OWNER " + owner);
    struct Dropped {
        std::string name;
        ~Dropped() { SqlAt(TestServer, "DROP DATABASE IF EXISTS " + name + " WITH (FORCE)"); }
    } dropped{database};
    std::string address = AsRole(TestServer, owner);
    address.replace(address.rfind('/') + 1, std::string::npos, database);
    // A table of the owner's where the model wants one: init fails part way and leaves the schema as it was.
    ASSERT_EQ(SqlAt(address, "CREATE TABLE users (login TEXT)"), "");
    auto failed = Quendra({"init", address, "--sample"});
    EXPECT_EQ(failed.status, 2);
    EXPECT_EQ(SqlAt(address, "SELECT 1 FROM platform_model"), "ERROR:  relation \"platform_model\" does not exist\n"
                                                              "LINE 1: SELECT 1 FROM platform_model\n"
                                                              "                      ^\n");
    ASSERT_EQ(SqlAt(address, "DROP TABLE users"), "");
    // The owner makes the sample product (as the model's administrator) and plays scenarios.
    auto made = Quendra({"init", address, "--sample"});
    EXPECT_EQ(made.status, 0) << made.errors;
    auto db = embedded::Database::Open(address);
    EXPECT_GT(db->CountObjects("Assembly"), 0);
    EXPECT_EQ(db->ServerLogin(), owner);
    auto again = Quendra({"init", address});
    EXPECT_EQ(again.status, 2);
    EXPECT_EQ(again.errors,
              "quendra init: " + address + ": the schema public holds a database of this platform already\n");
}

} // namespace
} // namespace quendra::test
