// Who the server says the user is, from tables only the database's owner controls: the schema that holds
// the data is trusted only when the owner owns everything in it, and every name is then looked up there alone.
// SPDX-License-Identifier: Apache-2.0
#include "PostgresConnection.h"

#include "PostgresText.h"

#include <iterator>

namespace quendra::embedded {

namespace {

// What decides who a user is and what the model is: a team role may read them, never change them.
constexpr const char* kIdentityTables[] = {"users", "platform_role_logins", "platform_model", "platform_format"};

// Whether the connection's role is an administrator: a superuser, a member of the administrators' role, or
// the database's owner (who made the tables).
constexpr const char* kAdministratorSql =
    "(r.rolsuper OR pg_has_role(r.oid, d.datdba, 'MEMBER') OR EXISTS (SELECT 1 FROM pg_roles a WHERE "
    "a.rolname = 'quendra_admin' AND pg_has_role(r.oid, a.oid, 'MEMBER')))";

std::string Listed(const char* const* names, size_t count, const char* separator) {
    std::string list;
    for (size_t i = 0; i < count; ++i) list += (i ? separator : "") + std::string(names[i]);
    return list;
}

} // namespace

void PostgresConnection::TrustSchema() {
    std::string schema, owner, foreign;
    {
        // The schema is the one where the search path finds the model; nothing in it may belong to anyone but
        // the database's owner, or a role could put a table or view of its own where the platform looks.
        Statement found =
            Prepare("SELECT n.nspname, o.rolname, (SELECT min(c.relname) FROM pg_class c WHERE c.relnamespace = n.oid "
                    "AND c.relkind IN ('r', 'v', 'm', 'p', 'f', 'S') AND c.relowner <> d.datdba) "
                    "FROM pg_class m JOIN pg_namespace n ON n.oid = m.relnamespace, pg_database d JOIN pg_roles o ON "
                    "o.oid = d.datdba WHERE m.oid = to_regclass('platform_model') AND d.datname = current_database()");
        if (!found.Step()) throw StorageError("the server holds no database of this platform where the address says");
        schema = found.Text(0);
        owner = found.Text(1);
        foreign = found.Text(2);
    }
    if (!foreign.empty())
        throw StorageError("the schema " + schema + " holds \"" + foreign + "\", which the database's owner \"" +
                           owner +
                           "\" does not own: the platform trusts only the owner's tables there (who is who "
                           "is read from them); let the owner drop it, or select the team's own schema");
    // From now on every name the platform uses is found in that schema alone (and temporary tables, which
    // only this connection could make, last).
    Command(("SET search_path = " + Quoted(schema) + ", pg_temp").c_str());
    schema_ = schema;
    authenticated_.reset();
    const auto user = AuthenticatedUser();
    if (user->admin) return;
    Statement writable =
        Prepare("SELECT t FROM unnest(string_to_array('" + Listed(kIdentityTables, std::size(kIdentityTables), ",") +
                "', ',')) AS t WHERE to_regclass(t) IS NOT NULL AND (has_table_privilege(to_regclass(t), "
                "'INSERT, UPDATE, DELETE, TRUNCATE, TRIGGER, REFERENCES') OR has_any_column_privilege(to_regclass(t), "
                "'INSERT, UPDATE, REFERENCES')) ORDER BY 1 LIMIT 1");
    if (writable.Step())
        throw StorageError("the database role \"" + user->role + "\" may change the table " + writable.Text(0) +
                           " in the schema " + schema +
                           ", which says who is who and what the model is: with such "
                           "grants anyone of the team could work as anyone; let the owner \"" +
                           owner + "\" give the team's roles their rights with quendra grant ADDRESS ROLE");
}

void PostgresConnection::MakeAsOwner() {
    // Tables another role made would not be trusted: the owner makes them, also when a role that may act as
    // the owner (a superuser) runs init.
    Statement owner = Prepare("SELECT o.rolname, o.rolname = current_user, pg_has_role(current_user, o.oid, 'MEMBER') "
                              "FROM pg_database d JOIN pg_roles o ON o.oid = d.datdba "
                              "WHERE d.datname = current_database()");
    if (!owner.Step()) throw StorageError("the server does not know the owner of this database");
    if (owner.Int(1)) return;
    const std::string name = owner.Text(0);
    if (!owner.Int(2))
        throw StorageError("only the database's owner \"" + name +
                           "\" may make a database of this platform in it (the platform trusts only the owner's "
                           "tables): connect as that role");
    Command(("SET ROLE " + Quoted(name)).c_str());
}

std::optional<ServerUser> PostgresConnection::AuthenticatedUser() {
    if (authenticated_) return authenticated_;
    ServerUser user;
    {
        Statement role = Prepare(std::string("SELECT r.rolname, ") + kAdministratorSql +
                                 ", to_regclass('platform_role_logins') IS NOT NULL FROM pg_roles r, pg_database d "
                                 "WHERE r.rolname = current_user AND d.datname = current_database()");
        if (!role.Step()) throw CvError("the server does not know the role of this connection");
        user.role = role.Text(0);
        user.login = user.role;
        user.admin = role.Int(1) != 0;
        if (!role.Int(2) || schema_.empty()) return authenticated_ = user;
    }
    Statement mapped = Prepare("SELECT login FROM platform_role_logins WHERE role_name = ?");
    mapped.BindText(1, user.role);
    if (mapped.Step()) user.login = mapped.Text(0);
    return authenticated_ = user;
}

void GrantOnServer(const std::string& address, const std::string& role, bool admin) {
    PostgresConnection connection(address, false);
    connection.StoredModelText();
    connection.GrantTeamRole(role, admin);
}

void PostgresConnection::GrantTeamRole(const std::string& role, bool admin) {
    {
        Statement known = Prepare("SELECT pg_has_role(current_user, d.datdba, 'MEMBER') FROM pg_database d "
                                  "WHERE d.datname = current_database()");
        known.Step();
        if (!known.Int(0))
            throw StorageError("only the database's owner may give a role its rights: connect as the owner");
        Statement exists = Prepare("SELECT 1 FROM pg_roles WHERE rolname = ?");
        exists.BindText(1, role);
        if (!exists.Step())
            throw StorageError("the server has no role \"" + role + "\": make it first (CREATE ROLE " + role + ")");
    }
    const std::string schema = Quoted(schema_), grantee = Quoted(role);
    std::string identity;
    for (const char* table : kIdentityTables) identity += (identity.empty() ? "" : ", ") + Quoted(table);
    BeginOuterTransaction();
    try {
        // What the role had before is taken back first, so that hand-written grants do not stay beside these.
        Command(("REVOKE ALL ON ALL TABLES IN SCHEMA " + schema + " FROM " + grantee +
                 "; REVOKE ALL ON ALL "
                 "SEQUENCES IN SCHEMA " +
                 schema + " FROM " + grantee + "; GRANT USAGE ON SCHEMA " + schema + " TO " + grantee +
                 "; GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA " + schema + " TO " + grantee +
                 "; REVOKE INSERT, UPDATE, DELETE ON " + identity + " FROM " + grantee +
                 "; GRANT USAGE ON ALL SEQUENCES IN SCHEMA " + schema + " TO " + grantee)
                    .c_str());
        if (admin) {
            Statement made = Prepare("SELECT 1 FROM pg_roles WHERE rolname = 'quendra_admin'");
            const bool exists = made.Step();
            try {
                if (!exists) Command("CREATE ROLE quendra_admin NOLOGIN");
                Command(("GRANT quendra_admin TO " + grantee).c_str());
            } catch (const PostgresError& error) {
                throw StorageError("the role \"" + role + "\" cannot be made an administrator (" + error.what() +
                                   "): let the server's administrator run " +
                                   (exists ? "" : "CREATE ROLE quendra_admin NOLOGIN; ") + "GRANT quendra_admin TO " +
                                   role);
            }
        }
        CommitOuterTransaction();
    } catch (...) {
        if (InOuterTransaction()) RollbackOuterTransaction();
        throw;
    }
}

} // namespace quendra::embedded
