// Making and opening databases, sessions, and the direct reads and writes of hosts and tests.
// SPDX-License-Identifier: Apache-2.0
#include "PlatformDatabase.h"

#include "CvError.h"
#include "EmbeddedClass.h"
#include "EmbeddedRecList.h"
#include "EmbeddedRecord.h"
#include "EmbeddedSession.h"
#include "ReadSnapshot.h"
#include "SqliteFiles.h"
#ifdef QUENDRA_WITH_POSTGRES
#include "PostgresStorage.h"
#endif

#include <algorithm>
#include <cctype>

namespace quendra::embedded {

namespace {

// A failure of the database engine while the database is opened, said without its name: the error names
// the database already.
[[noreturn]] void ThrowOpenFailure(const std::string& path, const Connection& connection, const CvError& error) {
    std::string text = error.what();
    const std::string named = " " + connection.Name();
    if (auto at = text.find(named); named.size() > 1 && at != std::string::npos) text.erase(at, named.size());
    if (dynamic_cast<const MachineFault*>(&error)) throw MachineFailure(path, text);
    throw EmbeddedError(path, "", text);
}

bool SameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

// Every table and column of the model must be in the database; a database whose tables do not fit the
// model it keeps was made for another model (or changed by another program).
void CheckTables(Connection& connection, const Model& model, const std::string& path) {
    try {
        for (const auto& table : model.tables) {
            std::vector<std::string> stored = connection.TableColumns(table.name);
            if (stored.empty())
                throw EmbeddedError(path, "",
                                    "the database does not fit its data model: the table " + table.name +
                                        " is missing; it belongs to another model or was changed by another program");
            for (const auto& column : table.columns)
                if (std::none_of(stored.begin(), stored.end(),
                                 [&](const std::string& name) { return SameName(name, column.name); }))
                    throw EmbeddedError(path, "",
                                        "the database does not fit its data model: the table " + table.name +
                                            " has no column " + column.name +
                                            "; it belongs to another model or was changed by another program");
        }
    } catch (const CvError& error) {
        ThrowOpenFailure(path, connection, error);
    }
}

std::unique_ptr<Connection> ServerConnection([[maybe_unused]] const std::string& address, [[maybe_unused]] bool create,
                                             [[maybe_unused]] bool reading) {
#ifdef QUENDRA_WITH_POSTGRES
    return OpenPostgres(address, create, reading);
#else
    throw StorageError("this build of the platform has no PostgreSQL storage: use a database file");
#endif
}

// Runs work on the database at path and says what failed as the platform's errors do: an unreachable server,
// a storage's own text, or `failing` followed by the failure.
template <typename Work> auto InTermsOfThePlatform(const std::string& path, const char* failing, Work work) {
    try {
        return work();
#ifdef QUENDRA_WITH_POSTGRES
    } catch (const ServerUnreachable& error) {
        throw UnreachableServer(path, error.what());
#endif
    } catch (const StorageError& error) {
        if (IsMachineFailure(error)) throw MachineFailure(path, error.what());
        throw EmbeddedError(path, "", error.what());
    } catch (const CvError& error) {
        if (IsMachineFailure(error)) throw MachineFailure(path, failing + std::string(error.what()));
        throw EmbeddedError(path, "", failing + std::string(error.what()));
    }
}

} // namespace

bool IsMachineFailure(const std::exception& failure) {
    return dynamic_cast<const MachineFailure*>(&failure) || dynamic_cast<const MachineFault*>(&failure);
}

bool IsServerAddress(const std::string& address) {
    return address.starts_with("postgresql://") || address.starts_with("postgres://");
}

ServerSchema::ServerSchema(const std::string& address, const std::string& name) : server_(address), name_(name) {
#ifdef QUENDRA_WITH_POSTGRES
    try {
        CreateSchemaOnServer(address, name);
    } catch (const ServerUnreachable& error) {
        throw UnreachableServer(address, error.what());
    } catch (const CvError& error) {
        throw EmbeddedError(address, "", std::string("the schema ") + name + " cannot be made: " + error.what());
    }
    address_ = AddressWithSchema(address, name);
#else
    throw EmbeddedError(address, "", "this build of the platform has no PostgreSQL storage: use a database file");
#endif
}

ServerSchema::~ServerSchema() {
#ifdef QUENDRA_WITH_POSTGRES
    try {
        DropSchemaOnServer(server_, name_);
    } catch (const std::exception&) {
        // A server gone meanwhile keeps the schema; nothing else can be done about it here.
    }
#endif
}

void GrantTeamRole([[maybe_unused]] const std::string& address, [[maybe_unused]] const std::string& role,
                   [[maybe_unused]] bool admin) {
#ifdef QUENDRA_WITH_POSTGRES
    InTermsOfThePlatform(address,
                         "the role cannot be given its rights: ", [&] { GrantOnServer(address, role, admin); });
#else
    throw EmbeddedError(address, "", "this build of the platform has no PostgreSQL storage: use a database file");
#endif
}

std::shared_ptr<Database> Database::Create(const std::string& path, std::shared_ptr<const Model> model,
                                           const std::function<void(Database&)>& fill) {
    if (!model) throw EmbeddedError(path, "", "a database needs a model");
    return InTermsOfThePlatform(path, "the database cannot be made: ", [&]() -> std::shared_ptr<Database> {
        const bool server = IsServerAddress(path);
        auto storage = std::make_shared<Storage>(server ? ServerConnection(path, true, false) : CreateSqliteFile(path),
                                                 std::move(model));
        auto database = std::make_shared<PlatformDatabase>(storage);
        // A file gets its name only once it is complete; a schema on a server is seen at once, so all of it
        // is one transaction, undone with the connection when anything fails.
        if (server) storage->Sql().BeginOuterTransaction();
        storage->CreateSchema();
        storage->Sql().MarkFormat(kStorageFormat);
        if (fill) fill(*database);
        if (server) storage->Sql().CommitOuterTransaction();
        return database;
    });
}

std::shared_ptr<Database> Database::Open(const std::string& path, OpenMode mode) {
    const bool reading = mode == OpenMode::ReadOnly;
    std::unique_ptr<Connection> connection =
        InTermsOfThePlatform(path, "the database cannot be opened: ", [&]() -> std::unique_ptr<Connection> {
            if (IsServerAddress(path)) return ServerConnection(path, false, reading);
            return OpenSqliteFile(path, reading);
        });
    std::string modelText;
    try {
        modelText = connection->StoredModelText();
    } catch (const StorageError& error) {
        throw EmbeddedError(path, "", error.what());
    } catch (const CvError& error) {
        ThrowOpenFailure(path, *connection, error);
    }
    std::shared_ptr<const Model> model;
    try {
        model = ParseModel(modelText, path);
    } catch (const EmbeddedError& error) {
        throw EmbeddedError(path, error.jsonPath,
                            std::string("the data model kept in the database is wrong: ") + error.what());
    }
    CheckTables(*connection, *model, path);
    if (!reading) {
        try {
            connection->ReadyForWriting();
        } catch (const CvError& error) {
            ThrowOpenFailure(path, *connection, error);
        }
    }
    auto storage = std::make_shared<Storage>(std::move(connection), std::move(model));
    if (reading) storage->SetOpenedForReading();
    return std::make_shared<PlatformDatabase>(storage);
}

const ClassInfo& PlatformDatabase::NamedClass(const std::string& name) const {
    const ClassInfo* cls = storage_->GetModel().ClassByName(name);
    if (!cls) throw EmbeddedError("", "", "there is no class named \"" + name + "\"");
    return *cls;
}

RecordData PlatformDatabase::Stored(ObjectKey key) {
    if (!storage_->GetModel().ClassById(key.classId))
        throw EmbeddedError("", "", "there is no class with the id " + std::to_string(key.classId));
    auto stored = storage_->Load(key.classId, key.objectId);
    if (!stored)
        throw EmbeddedError("", "",
                            "there is no object " + std::to_string(key.objectId) + " of the class \"" +
                                storage_->Class(key.classId).name + "\"");
    return std::move(*stored);
}

void PlatformDatabase::SetValues(RecordData& data, const std::vector<std::pair<std::string, Value>>& values) const {
    for (const auto& [name, value] : values) {
        const AttributeInfo* attribute = data.cls->Attribute(name);
        if (!attribute || (attribute->system && data.cls->kind != ClassKind::Object))
            throw EmbeddedError("", "", "the class \"" + data.cls->name + "\" has no attribute \"" + name + "\"");
        try {
            data.Set(name, value);
        } catch (const CvError& error) {
            throw EmbeddedError("", "", "the value of \"" + name + "\" is wrong: " + error.what());
        }
    }
}

Ptr<CvSession> PlatformDatabase::Login(const std::string& login, PlatformDialogs& dialogs) {
    // On a server the authenticated role says who works: its own login, or for an administrator's role any
    // other user; whether the user is an administrator is the server's word for the role's own login.
    std::optional<ServerUser> server;
    try {
        server = storage_->Sql().AuthenticatedUser();
    } catch (const CvError& error) {
        throw EmbeddedError(storage_->Sql().Name(), "", error.what());
    }
    if (server && login != server->login && !server->admin)
        throw EmbeddedError("", "",
                            "the database role \"" + server->role + "\" works as the user \"" + server->login +
                                "\" only: only an administrator's role may work as \"" + login + "\"");
    auto user = storage_->UserByLogin(login);
    if (!user) throw EmbeddedError("", "", "there is no user with the login \"" + login + "\"");
    if (server && login == server->login) user->admin = server->admin;
    auto context = std::make_shared<SessionContext>();
    context->storage = storage_;
    context->classes = std::make_shared<ClassViews>(storage_);
    context->userId = user->objectId;
    context->admin = user->admin;
    context->login = login;
    context->dialogs = &dialogs;
    return std::make_shared<EmbeddedSession>(context);
}

int32_t PlatformDatabase::AddUser(const std::string& login, bool admin,
                                  const std::vector<std::pair<std::string, Value>>& values) {
    if (login.empty()) throw EmbeddedError("", "", "a user needs a login");
    if (storage_->UserByLogin(login)) throw EmbeddedError("", "", "the login \"" + login + "\" is taken");
    try {
        return storage_->AddUser(login, admin, values);
    } catch (const CvError& error) {
        throw EmbeddedError("", "", error.what());
    }
}

ObjectKey PlatformDatabase::CreateObject(const std::string& className,
                                         const std::vector<std::pair<std::string, Value>>& values) {
    const ClassInfo& cls = NamedClass(className);
    if (cls.kind != ClassKind::Object) throw EmbeddedError("", "", "\"" + className + "\" is not a class of objects");
    RecordData data;
    data.cls = &cls;
    SetValues(data, values);
    for (const char* system : {"CLASS_ID", "OBJECT_ID"})
        if (data.Has(system))
            throw EmbeddedError("", "", std::string("the value of ") + system + " is given by the platform");
    Transaction transaction(storage_->Sql());
    int32_t objectId = storage_->Insert(cls, data);
    transaction.Commit();
    return {cls.id, objectId};
}

ObjectKey PlatformDatabase::CreateLink(const std::string& linkClassName, ObjectKey parent, ObjectKey child,
                                       const std::vector<std::pair<std::string, Value>>& values) {
    const ClassInfo& link = NamedClass(linkClassName);
    if (link.kind != ClassKind::Link) throw EmbeddedError("", "", "\"" + linkClassName + "\" is not a link class");
    const ClassInfo& parentClass = *Stored(parent).cls;
    const ClassInfo& childClass = *Stored(child).cls;
    const Model& model = storage_->GetModel();
    if (!model.Includes(link.parentId, parentClass.id) || !model.Includes(link.childId, childClass.id))
        throw EmbeddedError("", "",
                            "a link of \"" + linkClassName + "\" cannot join \"" + parentClass.name + "\" to \"" +
                                childClass.name + "\"");
    RecordData data;
    data.cls = &link;
    SetValues(data, values);
    data.Put("CLASS_ID1", Value::Int16(parentClass.id));
    data.Put("OBJECT_ID1", Value::Int32(parent.objectId));
    data.Put("CLASS_ID2", Value::Int16(childClass.id));
    data.Put("OBJECT_ID2", Value::Int32(child.objectId));
    data.Put("PAR_OBJECT_ID", Value::Int32(parent.objectId));
    data.Put("SON_OBJECT_ID", Value::Int32(child.objectId));
    Transaction transaction(storage_->Sql());
    int32_t objectId = storage_->Insert(link, data);
    transaction.Commit();
    return {link.id, objectId};
}

Value PlatformDatabase::ReadValue(ObjectKey key, const std::string& attribute) {
    RecordData stored = Stored(key);
    if (!stored.Has(attribute))
        throw EmbeddedError("", "", "the class \"" + stored.cls->name + "\" has no attribute \"" + attribute + "\"");
    return stored.Get(attribute);
}

std::vector<ObjectKey> PlatformDatabase::FindObjects(const std::string& className, const std::string& attribute,
                                                     const std::string& text) {
    const ClassInfo& cls = NamedClass(className);
    const Model& model = storage_->GetModel();
    const AttributeInfo* found = nullptr;
    for (int16_t id : cls.family)
        if (!found) found = model.ClassById(id)->Attribute(attribute);
    if (!found) throw EmbeddedError("", "", "the class \"" + className + "\" has no attribute \"" + attribute + "\"");
    std::string family;
    for (int16_t id : cls.family) family += (family.empty() ? "" : ", ") + std::to_string(id);
    Statement statement =
        storage_->Sql().Prepare("SELECT CLASS_ID, OBJECT_ID, " + SqlName(attribute) + " FROM " + SqlName(cls.table) +
                                " WHERE CLASS_ID IN (" + family + ") ORDER BY OBJECT_ID");
    std::vector<ObjectKey> keys;
    while (statement.Step()) {
        const ClassInfo* own = model.ClassById(static_cast<int16_t>(statement.Int(0)));
        if (!own || !own->Attribute(attribute)) continue;
        if (statement.Get(2, found->type).AsText() == text)
            keys.push_back({own->id, static_cast<int32_t>(statement.Int(1))});
    }
    return keys;
}

std::vector<ObjectKey> PlatformDatabase::FindLinks(const std::string& linkClassName, ObjectKey parent,
                                                   ObjectKey child) {
    const ClassInfo& link = NamedClass(linkClassName);
    if (link.kind != ClassKind::Link) throw EmbeddedError("", "", "\"" + linkClassName + "\" is not a link class");
    std::vector<ObjectKey> keys;
    for (const auto& row : storage_->LinksByEnds(link, parent.objectId, child.objectId))
        keys.push_back({row.linkClassId, row.linkId});
    return keys;
}

int64_t PlatformDatabase::CountObjects(const std::string& className) {
    const ClassInfo& cls = NamedClass(className);
    Statement statement = storage_->Sql().Prepare("SELECT COUNT(*) FROM " + SqlName(cls.table) + " WHERE CLASS_ID = ?");
    statement.BindInt(1, cls.id);
    statement.Step();
    return statement.Int(0);
}

std::string PlatformDatabase::ClassName(int16_t classId) {
    const ClassInfo* cls = storage_->GetModel().ClassById(classId);
    if (!cls) throw EmbeddedError("", "", "there is no class with the id " + std::to_string(classId));
    return cls->name;
}

int16_t PlatformDatabase::ClassId(const std::string& className) {
    return NamedClass(className).id;
}

std::string PlatformDatabase::DisplayText(ObjectKey key, const std::string& separator) {
    RecordData stored = Stored(key);
    return storage_->DisplayText(*stored.cls, key.objectId, &stored, separator);
}

std::optional<int32_t> PlatformDatabase::UserId(const std::string& login) {
    auto user = storage_->UserByLogin(login);
    if (!user) return std::nullopt;
    return user->objectId;
}

std::optional<std::string> PlatformDatabase::ServerLogin() {
    try {
        auto server = storage_->Sql().AuthenticatedUser();
        if (!server) return std::nullopt;
        return server->login;
    } catch (const CvError& error) {
        throw EmbeddedError(storage_->Sql().Name(), "", error.what());
    }
}

std::vector<std::pair<int32_t, std::string>> PlatformDatabase::Users() {
    Statement statement = storage_->Sql().Prepare("SELECT OBJECT_ID, LOGIN FROM USERS ORDER BY OBJECT_ID");
    std::vector<std::pair<int32_t, std::string>> users;
    while (statement.Step()) users.emplace_back(static_cast<int32_t>(statement.Int(0)), statement.Text(1));
    return users;
}

Ptr<CvRecList> PlatformDatabase::MakeRecList(const std::vector<HookRow>& rows) {
    std::vector<RecListRow> built;
    for (const auto& wanted : rows) {
        RecListRow row;
        auto record = std::make_shared<RecordData>();
        switch (wanted.kind) {
        case HookRow::Kind::Object: {
            RecordData stored = Stored(wanted.key);
            record->cls = stored.cls;
            if (wanted.columns) {
                for (const auto& column : *wanted.columns) {
                    if (!stored.Has(column))
                        throw EmbeddedError(
                            "", "", "the class \"" + stored.cls->name + "\" has no attribute \"" + column + "\"");
                    record->Put(column, stored.Get(column));
                }
            } else {
                *record = stored;
            }
            SetValues(*record, wanted.values);
            break;
        }
        case HookRow::Kind::Link: {
            auto link = std::make_shared<RecordData>(Stored(wanted.key));
            if (link->cls->kind != ClassKind::Link) throw EmbeddedError("", "", "a link row needs a link");
            record->Put("OBJECT_ID1", Value::Int32(link->Get("OBJECT_ID1").AsInt32()));
            record->Put("PAR_CLASS_ID", Value::Int16(link->Get("CLASS_ID1").AsInt16()));
            row.link = std::move(link);
            break;
        }
        case HookRow::Kind::PendingLink: {
            const ClassInfo& link = NamedClass(wanted.linkClass);
            if (link.kind != ClassKind::Link)
                throw EmbeddedError("", "", "\"" + wanted.linkClass + "\" is not a link class");
            const ClassInfo& parentClass = *Stored(wanted.parent).cls;
            const ClassInfo& childClass = *Stored(wanted.child).cls;
            const Model& model = storage_->GetModel();
            if (!model.Includes(link.parentId, parentClass.id) || !model.Includes(link.childId, childClass.id))
                throw EmbeddedError("", "",
                                    "a link of \"" + wanted.linkClass + "\" cannot join \"" + parentClass.name +
                                        "\" to \"" + childClass.name + "\"");
            record->Put("OBJECT_ID1", Value::Int32(wanted.parent.objectId));
            record->Put("PAR_CLASS_ID", Value::Int16(parentClass.id));
            break;
        }
        }
        row.record = std::move(record);
        built.push_back(std::move(row));
    }
    return std::make_shared<EmbeddedRecList>(storage_, std::move(built));
}

void PlatformDatabase::BeginOuterTransaction() {
    storage_->ForgetCallReads();
    storage_->Sql().BeginOuterTransaction();
}

void PlatformDatabase::CommitOuterTransaction() {
    storage_->ForgetCallReads();
    storage_->Sql().CommitOuterTransaction();
}

void PlatformDatabase::RollbackOuterTransaction() {
    storage_->ForgetCallReads();
    storage_->Sql().RollbackOuterTransaction();
}

void PlatformDatabase::HoldObjects(const std::vector<ObjectKey>& objects) {
    std::vector<int64_t> keys;
    for (const auto& key : objects) keys.push_back(key.objectId);
    try {
        storage_->Sql().HoldKeys(keys);
    } catch (const CvError& error) {
        if (IsMachineFailure(error)) throw MachineFailure(storage_->Sql().Name(), error.what());
        throw EmbeddedError(storage_->Sql().Name(), "", error.what());
    }
}

void PlatformDatabase::ReadTogether(const std::function<void()>& reads) {
    ReadSnapshot snapshot(storage_->Sql());
    reads();
}

} // namespace quendra::embedded
