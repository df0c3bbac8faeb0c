// Database: the embedded platform on one SQLite database, and what hosts and tests do with it
// directly (make objects and links, read what is stored, build record lists), and its test harness.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "PlatformDialogs.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace quendra::embedded {

// A wrong model file, database file or name: says which file, where and what is wrong.
class EmbeddedError : public std::runtime_error {
public:
    EmbeddedError(std::string file, std::string jsonPath, const std::string& message)
        : std::runtime_error(message), file(std::move(file)), jsonPath(std::move(jsonPath)) {}
    std::string file;     // the model or database file concerned, may be empty
    std::string jsonPath; // JSON pointer of the mistake in a model file, may be empty
};

// A data model as a model file describes it (parsed and checked).
class Model;
// Reads a model file; throws EmbeddedError naming the file and JSON path of a mistake.
std::shared_ptr<const Model> LoadModelFile(const std::string& path);
// Parses model text; `source` names it in errors.
std::shared_ptr<const Model> ParseModel(const std::string& jsonText, const std::string& source);
// A model shipped with the command ("plant"); throws EmbeddedError for an unknown name.
std::shared_ptr<const Model> BuiltInModel(const std::string& name);
std::vector<std::string> BuiltInModelNames();

// What the platform was asked to do that a person would see, one struct per kind. Each kind's
// name is the one scenario files and transcripts give it.
namespace events {
struct Sql {
    static constexpr const char* kind = "sql";
    std::string statement;
};
struct Notify {
    static constexpr const char* kind = "notify";
    int32_t code = 0;
    std::vector<ObjectKey> objects;
    bool flag = false;
};
struct Refresh {
    static constexpr const char* kind = "refresh";
    int32_t action = 0;
    std::vector<ObjectKey> objects;
    bool flag = false;
};
struct Forward {
    static constexpr const char* kind = "forward";
    std::string comment;
    ObjectKey process;
};
struct Show {
    static constexpr const char* kind = "show";
    ObjectKey object;
    bool flag = false;
};
// The kinds that name one object and nothing more.
template <const char* Name> struct OnObject {
    static constexpr const char* kind = Name;
    ObjectKey object;
};
inline constexpr char AttachName[] = "attach", InsertName[] = "insert", UpdateName[] = "update",
                      DeleteName[] = "delete";
using Attach = OnObject<AttachName>;
using Insert = OnObject<InsertName>;
using Update = OnObject<UpdateName>;
using Delete = OnObject<DeleteName>;
// A platform operation failed, whether or not the component caught the failure.
struct Error {
    static constexpr const char* kind = "error";
    std::string operation; // as "CvObject.Update"
    std::string text;      // the failure's text
};
} // namespace events

using Event = std::variant<events::Sql, events::Notify, events::Refresh, events::Forward, events::Attach, events::Show,
                           events::Insert, events::Update, events::Delete, events::Error>;

// The kinds' names in the order of the variant.
inline constexpr auto EventKinds = []<class... Kinds>(std::variant<Kinds...>*) {
    return std::array<const char*, sizeof...(Kinds)>{Kinds::kind...};
}(static_cast<Event*>(nullptr));

inline const char* KindOf(const Event& event) {
    return EventKinds[event.index()];
}

// Every operation name that fault injection can make fail ("CvObject.Update", ...), sorted.
std::vector<std::string> FailableCalls();

// The machine or the server stopped the work, not anything the user gave: a full disk, no permission on the
// file or its folder, an input/output error, a server that cannot be reached or was lost.
class MachineFailure : public EmbeddedError {
public:
    MachineFailure(const std::string& database, const std::string& message) : EmbeddedError(database, "", message) {}
};

// A database server that cannot be reached: not running, a wrong address, no network or no access.
class UnreachableServer : public MachineFailure {
public:
    using MachineFailure::MachineFailure;
};

// Whether a failure the platform let pass is one of the machine or the server (see MachineFailure).
bool IsMachineFailure(const std::exception& failure);

// A schema of its own on a database server for a database that lives only as long as this object (a scenario,
// a test): made on construction (refused when it exists), dropped with all it holds on destruction.
class ServerSchema {
public:
    ServerSchema(const std::string& address, const std::string& name);
    ServerSchema(const ServerSchema&) = delete;
    ServerSchema& operator=(const ServerSchema&) = delete;
    ~ServerSchema();
    // The server address that selects the schema.
    const std::string& Address() const { return address_; }

private:
    std::string server_, name_, address_;
};

// Gives a team's role on the database server at the address what working needs (the object, link and work
// tables, the sequences) and no write on who is who or the model; admin: makes it an administrator too. The
// address's role must be the database's owner. Throws EmbeddedError (UnreachableServer) saying what is wrong.
void GrantTeamRole(const std::string& address, const std::string& role, bool admin);

// ReadOnly never writes the file: no journal change, no schema write; a session's writes fail.
enum class OpenMode { ReadWrite, ReadOnly };

// Whether the text names a database server (a PostgreSQL connection URI: postgresql://… or postgres://…)
// rather than a database file.
bool IsServerAddress(const std::string& address);

// One row of a record list a hook receives.
struct HookRow {
    enum class Kind { Object, Link, PendingLink };
    Kind kind = Kind::Object;
    ObjectKey key;                                     // Object: the object; Link: the link
    std::optional<std::vector<std::string>> columns;   // Object: only these columns (all when absent)
    std::vector<std::pair<std::string, Value>> values; // Object: these values in place of the stored ones
    std::string linkClass;                             // PendingLink: the link class's name
    ObjectKey parent, child;                           // PendingLink: the ends
};

// What tests and scenarios do to a database beside the platform's own operations: read what sessions
// were asked to do, make chosen operations fail, refuse every write.
class Harness {
public:
    virtual ~Harness() = default;

    // What sessions of this database were asked to do, in order.
    virtual const std::vector<Event>& Events() const = 0;
    virtual void ClearEvents() = 0;
    // The first failure of the machine or the server (see MachineFailure) among the events, whether or not
    // the component caught it; nothing when there was none.
    virtual std::optional<std::string> MachineFailureText() const = 0;
    // Called with each event as it is recorded, so a host can show long work as it goes; empty: nobody.
    virtual void SetEventListener(std::function<void(const Event&)> listener) = 0;

    // Fault injection: the n-th call (from 1, counted from now) of the named operation
    // ("CvObject.Update", "CvObjectStore.ObjectById", ...) throws CvError. A name not among
    // FailableCalls() throws std::invalid_argument.
    virtual void FailCall(const std::string& operation, int nth) = 0;
    virtual void ClearFaults() = 0;
    // The faults injected since the last ClearFaults that have not fired yet (operation, nth).
    virtual std::vector<std::pair<std::string, int>> UnfiredFaults() const = 0;

    // While on, every write through a session is refused with CvError.
    virtual void SetReadOnly(bool on) = 0;
};

class Database {
public:
    // A new database from a model: a file path (must not exist yet), ":memory:", or a server address (the
    // schema the address selects must hold no tables of the platform yet).
    // fill (may be empty) adds to the new database before anyone else can see it: on a server the tables,
    // the model and what fill adds are one transaction, so that a failure leaves the schema as it was.
    static std::shared_ptr<Database> Create(const std::string& path, std::shared_ptr<const Model> model,
                                            const std::function<void(Database&)>& fill = {});
    // An existing database file or server; a missing, unwritable (for ReadWrite), locked, damaged or foreign
    // file, or a server that cannot be reached, throws EmbeddedError saying what is wrong and what to do.
    static std::shared_ptr<Database> Open(const std::string& path, OpenMode mode = OpenMode::ReadWrite);
    virtual ~Database() = default;

    // A platform session for that user, whose platform dialogs the given toolkit shows.
    virtual Ptr<CvSession> Login(const std::string& login, PlatformDialogs& dialogs) = 0;

    // Data made and read directly, outside any session (no events recorded).
    virtual int32_t AddUser(const std::string& login, bool admin,
                            const std::vector<std::pair<std::string, Value>>& values) = 0;
    virtual ObjectKey CreateObject(const std::string& className,
                                   const std::vector<std::pair<std::string, Value>>& values) = 0;
    virtual ObjectKey CreateLink(const std::string& linkClassName, ObjectKey parent, ObjectKey child,
                                 const std::vector<std::pair<std::string, Value>>& values) = 0;
    virtual Value ReadValue(ObjectKey key, const std::string& attribute) = 0;
    // Objects of that class or a class below it whose attribute reads as that text.
    virtual std::vector<ObjectKey> FindObjects(const std::string& className, const std::string& attribute,
                                               const std::string& text) = 0;
    // Stored links of that link class between the two ends, in the order they were made.
    virtual std::vector<ObjectKey> FindLinks(const std::string& linkClassName, ObjectKey parent, ObjectKey child) = 0;
    // Objects of exactly that class.
    virtual int64_t CountObjects(const std::string& className) = 0;
    virtual std::string ClassName(int16_t classId) = 0;
    virtual int16_t ClassId(const std::string& className) = 0;
    // The display text of a stored object with that separator.
    virtual std::string DisplayText(ObjectKey key, const std::string& separator) = 0;
    virtual std::optional<int32_t> UserId(const std::string& login) = 0;
    // The login a server's authenticated role works as; nothing for a file, where anyone may be anyone.
    virtual std::optional<std::string> ServerLogin() = 0;
    // (object id, login) of every user, in the order they were made.
    virtual std::vector<std::pair<int32_t, std::string>> Users() = 0;

    // The record list a hook receives for these rows.
    virtual Ptr<CvRecList> MakeRecList(const std::vector<HookRow>& rows) = 0;

    // The event log, fault injection and read-only switch of this database.
    virtual embedded::Harness& Harness() = 0;
    virtual const embedded::Harness& Harness() const = 0;

    // One transaction around many operations (a whole hook call): while it is open every platform write
    // runs inside it, and rolling it back leaves the database exactly as it was at its beginning.
    // Recorded events stay.
    virtual void BeginOuterTransaction() = 0;
    virtual void CommitOuterTransaction() = 0;
    virtual void RollbackOuterTransaction() = 0;
    // Inside the outer transaction: until it ends, another call that holds one of these objects waits for it
    // (up to the busy wait, then fails as busy), so that two calls on the same objects never both pass a check
    // only one of them could pass. A file's outer transaction holds the whole database already.
    virtual void HoldObjects(const std::vector<ObjectKey>& objects) = 0;
    // Runs reads that must see one state of the database (one read transaction, unless one is open).
    virtual void ReadTogether(const std::function<void()>& reads) = 0;
};

} // namespace quendra::embedded
