// PostgreSQL connections: kept statements, transactions and savepoints, server sequences, failing with CvError.
// SPDX-License-Identifier: Apache-2.0
#include "PostgresConnection.h"

#include "AttributeType.h"
#include "PostgresServer.h"
#include "PostgresText.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace quendra::embedded {

namespace {

std::atomic<int64_t> roundTrips{0};

// The transaction control that is queued (known by these pointers).
constexpr const char* kBegin = "BEGIN";
constexpr const char* kBeginRead = "BEGIN ISOLATION LEVEL REPEATABLE READ";
constexpr const char* kSavepoint = "SAVEPOINT platform_write";
constexpr const char* kRelease = "RELEASE platform_write";

} // namespace

int64_t PostgresRoundTrips() {
    return roundTrips.load(std::memory_order_relaxed);
}

void PostgresConnection::CountRoundTrip() {
    roundTrips.fetch_add(1, std::memory_order_relaxed);
}

std::unique_ptr<Connection> OpenPostgres(const std::string& address, bool create, bool reading) {
    auto connection = std::make_unique<PostgresConnection>(address, reading);
    if (create) {
        connection->CheckEmpty();
        connection->MakeAsOwner();
    }
    return connection;
}

PostgresConnection::PostgresConnection(const std::string& address, bool reading)
    : connection_(ConnectToServer(address)), name_(ShownAddress(address)) {
    std::string settings = "SET lock_timeout = " + std::to_string(BusyWaitMilliseconds());
    // The platform's statements are short: compiling a plan (the server does for a large estimate, as of a
    // subtree's select) costs more than it saves, up to a second where the select reads in a tenth of it.
    if (PQserverVersion(connection_) >= 110000) settings += "; SET jit = off";
    if (reading) settings += "; SET default_transaction_read_only = on";
    Command(settings.c_str());
}

PostgresConnection::~PostgresConnection() {
    cache_.clear();
    PQfinish(connection_);
}

void PostgresConnection::Fail(PGresult* result, const std::string& prefix) {
    std::string state = SqlState(result);
    std::string text;
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    if (!prefix.empty() && primary && PQstatus(connection_) == CONNECTION_OK && state.starts_with("42"))
        text = prefix + ": " + primary;
    else
        text = PostgresFailureText(connection_, result, name_);
    PQclear(result);
    if (state == "40001" || state == "40P01") throw PostgresConflict(text, state);
    if (PQstatus(connection_) != CONNECTION_OK || state.starts_with("08") || state.starts_with("53") ||
        state.starts_with("57P"))
        throw PostgresMachineFailure(text, state);
    throw PostgresError(text, state);
}

std::string PostgresConnection::Quoted(const std::string& name) const {
    return QuotedName(connection_, name);
}

void PostgresConnection::Command(const char* sql) {
    // Several statements in one text only go on their own.
    if (std::strchr(sql, ';')) Settle();
    PGresult* result =
        Request([&] { return PQexec(connection_, sql); },
                [&] { return PQsendQueryParams(connection_, sql, 0, nullptr, nullptr, nullptr, nullptr, 0); });
    if (!Succeeded(result)) Fail(result);
    PQclear(result);
}

PGTransactionStatusType PostgresConnection::Status() const {
    // Queued transaction control begins or goes on with a transaction; what is unread ended one.
    if (std::any_of(queued_.begin(), queued_.end(), [](const Queued& q) { return q.command; })) return PQTRANS_INTRANS;
    if (unread_ > 0) return PQTRANS_IDLE;
    return PQtransactionStatus(connection_);
}

bool PostgresConnection::DropTransaction(const char* begin) {
    auto first = std::find_if(queued_.begin(), queued_.end(), [](const Queued& q) { return q.command; });
    if (first == queued_.end() || first->command != begin) return false;
    // Nothing of the transaction was sent: all the transaction control queued is its own.
    std::erase_if(queued_, [](const Queued& q) { return q.command; });
    return true;
}

bool PostgresConnection::DropLast(const char* command) {
    auto last = std::find_if(queued_.rbegin(), queued_.rend(), [](const Queued& q) { return q.command; });
    if (last == queued_.rend() || last->command != command) return false;
    queued_.erase(std::next(last).base());
    return true;
}

std::vector<PGresult*> PostgresConnection::ReadPipeline() {
    std::vector<PGresult*> results;
    bool ended = false; // the last call ended the results of one request
    for (;;) {
        PGresult* result = PQgetResult(connection_);
        if (!result) {
            if (ended || PQstatus(connection_) != CONNECTION_OK) break;
            ended = true;
            continue;
        }
        ended = false;
        if (PQresultStatus(result) == PGRES_PIPELINE_SYNC) {
            PQclear(result);
            break;
        }
        results.push_back(result);
    }
    return results;
}

template <class Send> PGresult* PostgresConnection::Pipeline(Send send, bool request) {
    const std::vector<Queued> queued = std::exchange(queued_, {});
    const int unread = std::exchange(unread_, 0);
    bool sent = PQpipelineStatus(connection_) != PQ_PIPELINE_OFF || PQenterPipelineMode(connection_);
    for (const Queued& q : queued)
        sent = sent && (q.command ? PQsendQueryParams(connection_, q.command, 0, nullptr, nullptr, nullptr, nullptr, 0)
                                  : PQsendPrepare(connection_, q.statement->name.c_str(), q.statement->text.c_str(),
                                                  q.statement->parameters, nullptr));
    if (request) sent = sent && send();
    if (!queued.empty() || request) sent = sent && PQpipelineSync(connection_);
    for (int i = 0; i < unread; ++i)
        for (PGresult* result : ReadPipeline()) PQclear(result);
    std::vector<PGresult*> results;
    if (sent && (!queued.empty() || request)) results = ReadPipeline();
    PQexitPipelineMode(connection_);
    // The first queued command that failed fails the request; a statement that was not prepared is prepared
    // again when next used.
    PGresult* failure = nullptr;
    const Queued* failed = nullptr;
    PGresult* answer = nullptr;
    for (size_t i = 0; i < results.size(); ++i) {
        if (i < queued.size() && !failure && !Succeeded(results[i])) {
            failure = results[i];
            failed = &queued[i];
        } else if (i == queued.size() && request) {
            answer = results[i];
        } else {
            PQclear(results[i]);
        }
    }
    for (size_t i = results.size(); i < queued.size(); ++i)
        if (queued[i].statement) queued[i].statement->prepared = false;
    if (failure) {
        PQclear(answer);
        for (size_t i = failed - queued.data(); i < queued.size(); ++i)
            if (queued[i].statement) queued[i].statement->prepared = false;
        if (failed->command) Fail(failure);
        Fail(failure, "the statement cannot be prepared");
    }
    if (!sent || (request && !answer)) Fail(nullptr);
    return answer;
}

template <class Exec, class Send> PGresult* PostgresConnection::Request(Exec exec, Send send) {
    CountRoundTrip();
    if (queued_.empty() && unread_ == 0) return exec();
    return Pipeline(send, true);
}

void PostgresConnection::Settle() {
    if (queued_.empty() && unread_ == 0) return;
    CountRoundTrip();
    Pipeline([] { return 1; }, false);
}

void PostgresConnection::Execute(const std::string& sql) {
    int parameters = 0;
    Command(PostgresSql(sql, parameters).c_str());
}

PostgresConnection::Kept& PostgresConnection::Keep(const std::string& sql) {
    Kept& kept = cache_[sql];
    kept.name = "platform_" + std::to_string(cache_.size());
    kept.text = PostgresSql(sql, kept.parameters);
    kept.body = std::make_unique<PostgresStatement>(*this, kept.name, kept.parameters);
    return kept;
}

Statement PostgresConnection::Prepare(const std::string& sql) {
    auto found = cache_.find(sql);
    return Prepare(found != cache_.end() ? found->second : Keep(sql));
}

Statement PostgresConnection::Prepare(KeptStatement& pinned) {
    auto& kept = static_cast<Kept&>(pinned);
    // Prepared on the server along with its first use.
    if (!kept.prepared) {
        queued_.push_back({nullptr, &kept});
        kept.prepared = true;
    }
    // A nested use of the same SQL reads rows of its own from the same prepared statement.
    if (kept.busy) return Statement(std::make_unique<PostgresStatement>(*this, kept.name, kept.parameters));
    return Statement(*kept.body, kept.busy);
}

KeptStatement& PostgresConnection::Pin(const std::string& sql) {
    auto found = cache_.find(sql);
    return found != cache_.end() ? found->second : Keep(sql);
}

PGresult* PostgresConnection::Run(const std::string& name, const std::vector<const char*>& values) {
    const int count = static_cast<int>(values.size());
    PGresult* result = Request(
        [&] { return PQexecPrepared(connection_, name.c_str(), count, values.data(), nullptr, nullptr, 0); },
        [&] { return PQsendQueryPrepared(connection_, name.c_str(), count, values.data(), nullptr, nullptr, 0); });
    if (!Succeeded(result)) Fail(result);
    const char* changed = PQcmdTuples(result);
    changes_ = changed && *changed ? std::atoll(changed) : 0;
    return result;
}

PGresult* PostgresConnection::Describe(const std::string& name) {
    PGresult* result = Request([&] { return PQdescribePrepared(connection_, name.c_str()); },
                               [&] { return PQsendDescribePrepared(connection_, name.c_str()); });
    if (!Succeeded(result)) Fail(result);
    return result;
}

// SQL text from outside runs in a transaction that only reads: a savepoint switched to reading inside an open
// transaction (undone afterwards, so the transaction goes on as before), else a read-only transaction of its
// own. It must be one statement that gives rows.
std::unique_ptr<Statement> PostgresConnection::PrepareReading(const std::string& sql) {
    const std::string refused = "only statements that read can be run as a query: " + sql;
    const bool inside = InTransaction();
    Command(inside ? "SAVEPOINT platform_query; SET TRANSACTION READ ONLY" : "BEGIN READ ONLY");
    auto end = [&] {
        CountRoundTrip();
        PGresult* ended =
            PQexec(connection_, inside ? "ROLLBACK TO platform_query; RELEASE platform_query" : "ROLLBACK");
        PQclear(ended);
    };
    try {
        int parameters = 0;
        const std::string text = PostgresSql(sql, parameters);
        if (text.find_first_not_of(" \t\r\n;") == std::string::npos) throw CvError("the SQL text holds no statement");
        CountRoundTrip();
        PGresult* prepared = PQprepare(connection_, "", text.c_str(), 0, nullptr);
        if (!Succeeded(prepared)) {
            if (SqlState(prepared) == "42601" &&
                std::string(PQresultErrorMessage(prepared)).find("multiple") != std::string::npos) {
                PQclear(prepared);
                throw CvError("the SQL text holds more than one statement");
            }
            Fail(prepared, "the statement cannot be prepared");
        }
        PQclear(prepared);
        ResultGuard shape{Describe("")};
        if (PQnfields(shape.result) == 0) throw CvError(refused);
        auto body = std::make_unique<PostgresStatement>(*this, "", 0);
        try {
            PGresult* rows = Run("", {});
            std::vector<std::string> names;
            for (int column = 0; column < PQnfields(rows); ++column)
                names.push_back(SpelledAsInText(PQfname(rows, column), sql));
            body->Adopt(rows, std::move(names));
        } catch (const PostgresError& error) {
            if (error.state == "25006") throw CvError(refused);
            throw;
        }
        end();
        return std::make_unique<Statement>(std::move(body));
    } catch (...) {
        end();
        throw;
    }
}

bool PostgresConnection::InTransaction() const {
    return Status() != PQTRANS_IDLE;
}

void PostgresConnection::BeginOuterTransaction() {
    if (outer_ || InTransaction()) throw CvError("a transaction is open already");
    queued_.push_back({kBegin});
    outer_ = true;
}

void PostgresConnection::CommitOuterTransaction() {
    if (!outer_) throw CvError("no transaction is open");
    outer_ = false;
    // A transaction that ran nothing was never sent.
    if (DropTransaction(kBegin)) return;
    if (Status() == PQTRANS_INERROR) {
        Command("ROLLBACK");
        throw CvError("the database undid the open transaction after a failure");
    }
    Command("COMMIT");
}

void PostgresConnection::RollbackOuterTransaction() {
    if (!outer_) throw CvError("no transaction is open");
    outer_ = false;
    if (DropTransaction(kBegin)) return;
    // A lost connection took its transaction with it.
    if (PQstatus(connection_) == CONNECTION_OK && InTransaction()) Command("ROLLBACK");
}

bool PostgresConnection::BeginWrite() {
    if (!outer_) {
        queued_.push_back({kBegin});
        return false;
    }
    if (Status() == PQTRANS_INERROR)
        throw CvError("the database undid the open transaction after a failure: nothing more is written");
    queued_.push_back({kSavepoint});
    return true;
}

void PostgresConnection::CommitWrite(bool savepoint) {
    if (Status() == PQTRANS_INERROR)
        throw CvError("the database undid the write after a failure: nothing of it is kept");
    if (savepoint) {
        // The release goes with the next request; a savepoint that saw no statement was never sent.
        if (!DropLast(kSavepoint)) queued_.push_back({kRelease});
        return;
    }
    if (DropTransaction(kBegin)) return;
    Command("COMMIT");
}

void PostgresConnection::AbandonWrite(bool savepoint) noexcept {
    if (savepoint ? DropLast(kSavepoint) : DropTransaction(kBegin)) return;
    if (!InTransaction()) return;
    try {
        Settle();
    } catch (...) {
        // The undo below fails the same way, or undoes what failed.
    }
    CountRoundTrip();
    PQclear(PQexec(connection_, savepoint ? "ROLLBACK TO platform_write; RELEASE platform_write" : "ROLLBACK"));
}

// A transaction-level advisory lock per key, in the order of the keys so that two calls never wait for each
// other; the server lets them go when the transaction ends, also when the client is gone.
void PostgresConnection::HoldKeys(const std::vector<int64_t>& keys) {
    if (!outer_ || keys.empty()) return;
    std::string list;
    for (int64_t key : keys) list += (list.empty() ? "" : ",") + std::to_string(key);
    Statement held = Prepare("SELECT count(pg_advisory_xact_lock(k)) FROM (SELECT DISTINCT unnest(string_to_array(?, "
                             "',')::bigint[]) AS k ORDER BY 1) AS keys");
    held.BindText(1, list);
    held.Step();
}

bool PostgresConnection::BeginRead() {
    if (InTransaction()) return false;
    queued_.push_back({kBeginRead});
    return true;
}

void PostgresConnection::EndRead() noexcept {
    if (DropLast(kBeginRead)) return;
    if (!InTransaction()) return;
    // A transaction that only read loses nothing when it is rolled back, and nothing waits for that: the
    // rollback is sent now and its result read with the next request.
    if (PQpipelineStatus(connection_) != PQ_PIPELINE_OFF || PQenterPipelineMode(connection_)) {
        if (PQsendQueryParams(connection_, "ROLLBACK", 0, nullptr, nullptr, nullptr, nullptr, 0))
            PQpipelineSync(connection_);
        ++unread_;
        return;
    }
    CountRoundTrip();
    PQclear(PQexec(connection_, "ROLLBACK"));
}

std::string PostgresConnection::ColumnType(int32_t attributeType) const {
    switch (static_cast<AttributeType>(attributeType)) {
    case AttributeType::Int16:
    case AttributeType::Int32:
    case AttributeType::Bool:
        return "INTEGER";
    case AttributeType::Double:
        return "DOUBLE PRECISION";
    default:
        return "TEXT";
    }
}

void PostgresConnection::CreateNumberSources(const std::vector<std::pair<std::string, int64_t>>& sequences) {
    Command("CREATE SEQUENCE platform_object_ids");
    for (size_t i = 0; i < sequences.size(); ++i) {
        const int64_t next = sequences[i].second;
        Command(("CREATE SEQUENCE platform_sequence_" + std::to_string(i) + " MINVALUE " +
                 std::to_string(next < 1 ? next : 1) + " START WITH " + std::to_string(next))
                    .c_str());
    }
}

void PostgresConnection::MarkFormat(int64_t format) {
    Command(("CREATE TABLE platform_format (format INTEGER NOT NULL); INSERT INTO platform_format VALUES (" +
             std::to_string(format) + ")")
                .c_str());
    Command(kRoleLoginsTable);
}

int32_t PostgresConnection::TakeObjectId() {
    Statement next = Prepare("SELECT nextval('platform_object_ids')");
    if (!next.Step()) throw CvError("the object counter is missing");
    return static_cast<int32_t>(next.Int(0));
}

std::optional<int64_t> PostgresConnection::NextSequenceNumber(const std::string&, size_t position) {
    try {
        Statement next = Prepare("SELECT nextval('platform_sequence_" + std::to_string(position) + "')");
        next.Step();
        return next.Int(0);
    } catch (const PostgresError& error) {
        if (error.state == "42P01") return std::nullopt; // no such sequence
        throw;
    }
}

void PostgresConnection::CheckEmpty() {
    Statement found = Prepare("SELECT to_regclass('platform_model') IS NOT NULL, current_schema()");
    found.Step();
    if (found.Int(0)) throw StorageError("the schema " + found.Text(1) + " holds a database of this platform already");
}

std::string PostgresConnection::StoredModelText() {
    {
        Statement known = Prepare("SELECT to_regclass('platform_model') IS NOT NULL, "
                                  "to_regclass('platform_format') IS NOT NULL, current_schema()");
        known.Step();
        if (!known.Int(0)) {
            // The server passes over a schema of the search path that the role may not use (no USAGE), as if it
            // did not exist: the schema meant is then the first such one.
            Statement closed = Prepare(
                "WITH path AS (SELECT array_replace(string_to_array(replace(replace(current_setting('search_path'), "
                "'\"', ''), ' ', ''), ','), '$user', current_user::text) AS names) "
                "SELECT n.nspname, current_user FROM pg_namespace n, path WHERE n.nspname = ANY (path.names) AND "
                "NOT has_schema_privilege(n.oid, 'USAGE') ORDER BY array_position(path.names, n.nspname::text)");
            if (closed.Step())
                throw StorageError("the role " + closed.Text(1) + " may not use the schema " + closed.Text(0) +
                                   " on the server (it has no USAGE on it): ask the database's owner to grant it");
            throw StorageError("the schema " + (known.IsNull(2) ? std::string("(none)") : known.Text(2)) +
                               " on the server holds no database of this platform: make one with quendra init");
        }
        TrustSchema();
        if (known.Int(1)) {
            Statement version = Prepare("SELECT MAX(format) FROM platform_format");
            version.Step();
            if (version.Int(0) > kStorageFormat)
                throw StorageError("the database was made by a newer version of this platform (format " +
                                   std::to_string(version.Int(0)) + ", this version reads format " +
                                   std::to_string(kStorageFormat) + "): open it with that version");
        }
    }
    Statement statement = Prepare("SELECT MODEL_TEXT FROM PLATFORM_MODEL");
    if (!statement.Step())
        throw StorageError("the database is damaged: it holds no data model; restore it from a backup");
    return statement.Text(0);
}

std::vector<std::string> PostgresConnection::TableColumns(const std::string& table) {
    Statement columns = Prepare("SELECT column_name FROM information_schema.columns WHERE table_schema = "
                                "current_schema() AND table_name = lower(?) ORDER BY ordinal_position");
    columns.BindText(1, table);
    std::vector<std::string> stored;
    while (columns.Step()) stored.push_back(columns.Text(0));
    return stored;
}

} // namespace quendra::embedded
