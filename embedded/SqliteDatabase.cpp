// Making and opening databases, sessions, and the direct reads and writes of hosts and tests.
#include "SqliteDatabase.h"

#include "CvError.h"
#include "EmbeddedClass.h"
#include "EmbeddedRecList.h"
#include "EmbeddedRecord.h"
#include "EmbeddedSession.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>

namespace quendra::embedded {

namespace {

// With a write-ahead log, NORMAL keeps the file consistent after a crash of the process or the
// machine (a power loss may only drop the last commits) and spares a disk flush per platform write.
const char* kSynchronous = "PRAGMA synchronous=NORMAL";

// The format of the tables this version makes and reads (PRAGMA user_version; 0 for databases made before
// it was kept, which have the same tables).
constexpr int64_t kFormat = 1;

bool IsMemory(const std::string& path) {
    return path == ":memory:";
}

// A failure of SQLite while the file is opened, said without the path: the error names the file already.
EmbeddedError OpenFailure(const std::string& path, SqliteConnection& connection, const CvError& error) {
    std::string text = error.what();
    const char* file = sqlite3_db_filename(connection.Handle(), "main");
    const std::string named = std::string(" ") + (file ? file : "");
    if (auto at = text.find(named); file && *file && at != std::string::npos) text.erase(at, named.size());
    return EmbeddedError(path, "", text);
}

} // namespace

std::shared_ptr<Database> Database::Create(const std::string& path, std::shared_ptr<const Model> model) {
    if (!model) throw EmbeddedError(path, "", "a database needs a model");
    struct stat info {};
    if (!IsMemory(path) && stat(path.c_str(), &info) == 0)
        throw EmbeddedError(path, "", "the database file exists already");
    std::unique_ptr<SqliteConnection> connection;
    try {
        connection = std::make_unique<SqliteConnection>(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        if (!IsMemory(path)) {
            connection->Execute("PRAGMA journal_mode=WAL");
            connection->Execute(kSynchronous);
        }
        auto storage = std::make_shared<Storage>(std::move(connection), std::move(model));
        storage->CreateSchema();
        storage->Sql().Execute("PRAGMA user_version=" + std::to_string(kFormat));
        return std::make_shared<SqliteDatabase>(storage);
    } catch (const CvError& error) {
        throw EmbeddedError(path, "", std::string("the database cannot be made: ") + error.what());
    }
}

namespace {

// Refuses a file, or the folder where SQLite keeps the write-ahead log beside it, that cannot be written.
// A file or folder without any write permission counts as unwritable even for the superuser, who may
// write anything: writing it would surprise whoever made it read-only.
void CheckWritable(const std::string& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    if ((info.st_mode & 0222) == 0)
        throw EmbeddedError(path, "", "the database file is read-only: make it writable (chmod u+w), then try again");
    if (access(path.c_str(), W_OK) != 0) {
        if (errno == EROFS)
            throw EmbeddedError(path, "",
                                "the database file is on a read-only file system: copy it to a writable folder");
        throw EmbeddedError(path, "",
                            "no permission to write the database file: ask its owner for write access, then try "
                            "again");
    }
    std::string folder = std::filesystem::path(path).parent_path().string();
    if (folder.empty()) folder = ".";
    struct stat folderInfo {};
    if (stat(folder.c_str(), &folderInfo) != 0 || (folderInfo.st_mode & 0222) == 0 ||
        access(folder.c_str(), W_OK | X_OK) != 0)
        throw EmbeddedError(path, "",
                            "no permission to write in the folder " + folder +
                                ", where the database keeps its log beside the file: ask for write access to the "
                                "folder, or move the file to a folder you can write");
}

// The model text kept in the database; the failure says whether the file is locked, no database, damaged,
// of another program or of a newer format.
std::string ReadModelText(SqliteConnection& connection, const std::string& path) {
    try {
        {
            Statement version = connection.Prepare("PRAGMA user_version");
            version.Step();
            if (version.Int(0) > kFormat)
                throw EmbeddedError(path, "",
                                    "the database was made by a newer version of this platform (format " +
                                        std::to_string(version.Int(0)) + ", this version reads format " +
                                        std::to_string(kFormat) + "): open it with that version");
        }
        Statement known =
            connection.Prepare("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = 'PLATFORM_MODEL'");
        if (!known.Step())
            throw EmbeddedError(path, "", "the file is a database of another program, not one of this platform");
        Statement statement = connection.Prepare("SELECT MODEL_TEXT FROM PLATFORM_MODEL");
        if (!statement.Step())
            throw EmbeddedError(path, "", "the database is damaged: it holds no data model; restore it from a backup");
        return statement.Text(0);
    } catch (const CvError& error) {
        throw OpenFailure(path, connection, error);
    }
}

// Every table and column of the model must be in the database; a database whose tables do not fit the
// model it keeps was made for another model (or changed by another program).
void CheckTables(SqliteConnection& connection, const Model& model, const std::string& path) {
    try {
        for (const auto& table : model.tables) {
            Statement columns = connection.Prepare("SELECT name FROM pragma_table_info(?)");
            columns.BindText(1, table.name);
            std::vector<std::string> stored;
            while (columns.Step()) stored.push_back(columns.Text(0));
            if (stored.empty())
                throw EmbeddedError(path, "",
                                    "the database does not fit its data model: the table " + table.name +
                                        " is missing; it belongs to another model or was changed by another program");
            for (const auto& column : table.columns)
                if (std::find(stored.begin(), stored.end(), column.name) == stored.end())
                    throw EmbeddedError(path, "",
                                        "the database does not fit its data model: the table " + table.name +
                                            " has no column " + column.name +
                                            "; it belongs to another model or was changed by another program");
        }
    } catch (const CvError& error) {
        throw OpenFailure(path, connection, error);
    }
}

// A file nobody may write, without a write-ahead log beside it: no other program can change it while it is
// read, so it is read as it lies, without the log and shared-memory files SQLite would otherwise leave
// beside it (with the file's own read-only permissions, in the way of whoever makes it writable later).
bool Unwritable(const std::string& path, const struct stat& info) {
    struct stat log {};
    return (info.st_mode & 0222) == 0 && stat((path + "-wal").c_str(), &log) != 0;
}

std::string ImmutableUri(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string uri = "file:";
    std::error_code unknownFolder; // a working folder that was removed: the path is taken as it is
    const auto full = std::filesystem::absolute(path, unknownFolder);
    for (unsigned char c : unknownFolder ? path : full.string()) {
        if (std::isalnum(c) || c == '/' || c == '.' || c == '-' || c == '_' || c == '~') {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri + "?immutable=1";
}

} // namespace

std::pair<std::string, int> ReadingOpenArguments(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && Unwritable(path, info))
        return {ImmutableUri(path), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI};
    return {path, SQLITE_OPEN_READONLY};
}

std::shared_ptr<Database> Database::Open(const std::string& path, OpenMode mode) {
    struct stat info {};
    if (IsMemory(path)) throw EmbeddedError(path, "", "a database in memory cannot be opened again");
    if (stat(path.c_str(), &info) != 0) throw EmbeddedError(path, "", "the database file does not exist");
    if (!S_ISREG(info.st_mode)) throw EmbeddedError(path, "", "the database path is not a file");
    const bool reading = mode == OpenMode::ReadOnly;
    if (!reading) CheckWritable(path);
    std::unique_ptr<SqliteConnection> connection;
    try {
        auto [name, flags] = reading ? ReadingOpenArguments(path) : std::pair(path, SQLITE_OPEN_READWRITE);
        connection = std::make_unique<SqliteConnection>(name, flags);
    } catch (const CvError& error) {
        throw EmbeddedError(path, "", std::string("the database cannot be opened: ") + error.what());
    }
    std::string modelText = ReadModelText(*connection, path);
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
            connection->Execute("PRAGMA journal_mode=WAL");
            connection->Execute(kSynchronous);
        } catch (const CvError& error) {
            throw OpenFailure(path, *connection, error);
        }
    }
    auto storage = std::make_shared<Storage>(std::move(connection), std::move(model));
    if (reading) storage->SetOpenedForReading();
    return std::make_shared<SqliteDatabase>(storage);
}

const ClassInfo& SqliteDatabase::NamedClass(const std::string& name) const {
    const ClassInfo* cls = storage_->GetModel().ClassByName(name);
    if (!cls) throw EmbeddedError("", "", "there is no class named \"" + name + "\"");
    return *cls;
}

RecordData SqliteDatabase::Stored(ObjectKey key) {
    if (!storage_->GetModel().ClassById(key.classId))
        throw EmbeddedError("", "", "there is no class with the id " + std::to_string(key.classId));
    auto stored = storage_->Load(key.classId, key.objectId);
    if (!stored)
        throw EmbeddedError("", "",
                            "there is no object " + std::to_string(key.objectId) + " of the class \"" +
                                storage_->Class(key.classId).name + "\"");
    return std::move(*stored);
}

void SqliteDatabase::SetValues(RecordData& data, const std::vector<std::pair<std::string, Value>>& values) const {
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

Ptr<CvSession> SqliteDatabase::Login(const std::string& login, PlatformDialogs& dialogs) {
    auto user = storage_->UserByLogin(login);
    if (!user) throw EmbeddedError("", "", "there is no user with the login \"" + login + "\"");
    auto context = std::make_shared<SessionContext>();
    context->storage = storage_;
    context->classes = std::make_shared<ClassViews>(storage_);
    context->userId = user->objectId;
    context->admin = user->admin;
    context->login = login;
    context->dialogs = &dialogs;
    return std::make_shared<EmbeddedSession>(context);
}

int32_t SqliteDatabase::AddUser(const std::string& login, bool admin,
                                const std::vector<std::pair<std::string, Value>>& values) {
    if (login.empty()) throw EmbeddedError("", "", "a user needs a login");
    if (storage_->UserByLogin(login)) throw EmbeddedError("", "", "the login \"" + login + "\" is taken");
    try {
        return storage_->AddUser(login, admin, values);
    } catch (const CvError& error) {
        throw EmbeddedError("", "", error.what());
    }
}

ObjectKey SqliteDatabase::CreateObject(const std::string& className,
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

ObjectKey SqliteDatabase::CreateLink(const std::string& linkClassName, ObjectKey parent, ObjectKey child,
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

Value SqliteDatabase::ReadValue(ObjectKey key, const std::string& attribute) {
    RecordData stored = Stored(key);
    if (!stored.Has(attribute))
        throw EmbeddedError("", "", "the class \"" + stored.cls->name + "\" has no attribute \"" + attribute + "\"");
    return stored.Get(attribute);
}

std::vector<ObjectKey> SqliteDatabase::FindObjects(const std::string& className, const std::string& attribute,
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

std::vector<ObjectKey> SqliteDatabase::FindLinks(const std::string& linkClassName, ObjectKey parent, ObjectKey child) {
    const ClassInfo& link = NamedClass(linkClassName);
    if (link.kind != ClassKind::Link) throw EmbeddedError("", "", "\"" + linkClassName + "\" is not a link class");
    std::vector<ObjectKey> keys;
    for (const auto& row : storage_->LinksByEnds(link, parent.objectId, child.objectId))
        keys.push_back({row.linkClassId, row.linkId});
    return keys;
}

int64_t SqliteDatabase::CountObjects(const std::string& className) {
    const ClassInfo& cls = NamedClass(className);
    Statement statement = storage_->Sql().Prepare("SELECT COUNT(*) FROM " + SqlName(cls.table) + " WHERE CLASS_ID = ?");
    statement.BindInt(1, cls.id);
    statement.Step();
    return statement.Int(0);
}

std::string SqliteDatabase::ClassName(int16_t classId) {
    const ClassInfo* cls = storage_->GetModel().ClassById(classId);
    if (!cls) throw EmbeddedError("", "", "there is no class with the id " + std::to_string(classId));
    return cls->name;
}

int16_t SqliteDatabase::ClassId(const std::string& className) {
    return NamedClass(className).id;
}

std::string SqliteDatabase::DisplayText(ObjectKey key, const std::string& separator) {
    RecordData stored = Stored(key);
    return storage_->DisplayText(*stored.cls, key.objectId, &stored, separator);
}

std::optional<int32_t> SqliteDatabase::UserId(const std::string& login) {
    auto user = storage_->UserByLogin(login);
    if (!user) return std::nullopt;
    return user->objectId;
}

Ptr<CvRecList> SqliteDatabase::MakeRecList(const std::vector<HookRow>& rows) {
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

void SqliteDatabase::BeginOuterTransaction() {
    storage_->Sql().BeginOuterTransaction();
}

void SqliteDatabase::CommitOuterTransaction() {
    storage_->Sql().CommitOuterTransaction();
}

void SqliteDatabase::RollbackOuterTransaction() {
    storage_->Sql().RollbackOuterTransaction();
}

} // namespace quendra::embedded
