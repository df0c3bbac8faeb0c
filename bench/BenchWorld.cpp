// Building the benchmark's database file and the data sets of the workloads.
// SPDX-License-Identifier: Apache-2.0
#include "BenchWorld.h"

#include "OuterTransaction.h"
#include "PostgresStorage.h"

#include <unistd.h>

#include <stdexcept>

namespace quendra::bench {

answering::Answer ButtonAnswer(const std::string& caption) {
    return {answering::answers::Button{caption}, "button " + caption};
}

int64_t NextObjectId(RawSql& sql) {
    // A server gives object ids from a sequence, as it does to the platform.
    auto counter =
        sql.Prepare(sql.OnServer() ? "SELECT nextval('platform_object_ids')" : "SELECT NEXT_ID FROM PLATFORM_COUNTER");
    if (!counter.Step()) throw std::runtime_error("no object counter");
    return counter.ColumnInt(0);
}

void MoveCounterPast(RawSql& sql, int64_t objectId) {
    if (sql.OnServer()) return;
    sql.Prepare("UPDATE PLATFORM_COUNTER SET NEXT_ID = ?").Int(1, objectId + 1).Run();
}

std::vector<ChildLink> ChildLinks(RawSql& sql, int32_t parent) {
    std::vector<ChildLink> children;
    for (const char* select : {"SELECT OBJECT_ID, SON_OBJECT_ID FROM TDM_LINKS_00091 WHERE PAR_OBJECT_ID = ? "
                               "ORDER BY OBJECT_ID",
                               "SELECT OBJECT_ID, SON_OBJECT_ID FROM TDM_LINKS_00092 WHERE PAR_OBJECT_ID = ? "
                               "ORDER BY OBJECT_ID"}) {
        auto links = sql.Prepare(select);
        links.Int(1, parent);
        while (links.Step())
            children.push_back({static_cast<int32_t>(links.ColumnInt(0)), static_cast<int32_t>(links.ColumnInt(1))});
    }
    return children;
}

BenchWorld::BenchWorld(const std::string& login, const std::string& server) {
    path = folder.Path() + "/plant.db";
    if (!server.empty()) {
        static int worlds = 0;
        schema.emplace(server, "bench_" + std::to_string(getpid()) + "_" + std::to_string(++worlds));
        path = schema->Address();
    }
    db = embedded::Database::Create(path, embedded::BuiltInModel("plant"));
    session = db->Login(login, user);
    userId = *db->UserId(login);
    sql = std::make_unique<RawSql>(path);
    sql->Exec("CREATE TABLE BENCH_SETTLE (N INTEGER NOT NULL)");
    sql->Exec("INSERT INTO BENCH_SETTLE (N) VALUES (0)");
}

void BenchWorld::CountRoundTrips(Comparison& comparison) const {
    if (!schema) return;
    RawSql* floor = sql.get();
    comparison.CountRoundTrips([] { return embedded::PostgresRoundTrips(); }, [floor] { return floor->RoundTrips(); });
    embedded::Database* database = db.get();
    comparison.RunHookIn([database](const std::function<void()>& run) {
        playback::OuterTransaction unit(*database);
        run();
        unit.Commit();
    });
}

int32_t BenchWorld::ReserveIds(int32_t count) {
    if (sql->OnServer()) {
        auto next =
            sql->Prepare("SELECT setval('platform_object_ids', nextval('platform_object_ids') + ? - 1) - ? + 1");
        next.Int(1, count).Int(2, count);
        if (!next.Step()) throw std::runtime_error("no object counter");
        return static_cast<int32_t>(next.ColumnInt(0));
    }
    auto next = sql->Prepare("UPDATE PLATFORM_COUNTER SET NEXT_ID = NEXT_ID + ? RETURNING NEXT_ID - ?");
    next.Int(1, count).Int(2, count);
    if (!next.Step()) throw std::runtime_error("no object counter");
    int32_t first = static_cast<int32_t>(next.ColumnInt(0));
    next.Run();
    return first;
}

std::vector<int32_t> BenchWorld::AddParts(int32_t count, const std::string& prefix, bool lockedByUser) {
    sql->Exec("BEGIN IMMEDIATE");
    int32_t first = ReserveIds(count);
    std::vector<int32_t> ids;
    ids.reserve(count);
    for (int32_t i = 0; i < count; ++i) {
        auto insert = sql->Prepare("INSERT INTO PARTS (CLASS_ID, OBJECT_ID, CN_PART_NUMBER, CN_DESCRIPTION, STATE, "
                                   "CN_LOCKED, USER_OBJECT_ID, USER_ID_MOD) VALUES (?, ?, ?, ?, 5, ?, ?, ?)");
        insert.Int(1, PartClass).Int(2, first + i).Text(3, prefix + std::to_string(i)).Text(4, "Item");
        insert.Int(5, lockedByUser ? 1 : 0).Int(6, userId).Int(7, userId).Run();
        ids.push_back(first + i);
    }
    sql->Exec("COMMIT");
    return ids;
}

void BenchWorld::AddLinks(int16_t linkClass, int16_t parentClass, int16_t childClass,
                          const std::vector<std::pair<int32_t, int32_t>>& ends) {
    const std::string table = linkClass == PartsTreeClass ? "TDM_LINKS_00091" : "TDM_LINKS_00092";
    const std::string values = linkClass == PartsTreeClass
                                   ? ", CN_QUANTITY, CN_POSITION) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"
                                   : ") VALUES (?, ?, ?, ?, ?, ?, ?, ?)";
    sql->Exec("BEGIN IMMEDIATE");
    int32_t first = ReserveIds(static_cast<int32_t>(ends.size()));
    for (size_t i = 0; i < ends.size(); ++i) {
        auto insert = sql->Prepare("INSERT INTO " + table +
                                   " (OBJECT_ID, CLASS_ID, CLASS_ID1, OBJECT_ID1, CLASS_ID2, OBJECT_ID2, "
                                   "PAR_OBJECT_ID, SON_OBJECT_ID" +
                                   values);
        insert.Int(1, first + static_cast<int32_t>(i)).Int(2, linkClass).Int(3, parentClass).Int(4, ends[i].first);
        insert.Int(5, childClass).Int(6, ends[i].second).Int(7, ends[i].first).Int(8, ends[i].second);
        if (linkClass == PartsTreeClass) insert.Int(9, static_cast<int64_t>(i % 100)).Int(10, static_cast<int64_t>(i));
        insert.Run();
    }
    sql->Exec("COMMIT");
}

Ptr<CvRecList> BenchWorld::RowsOf(const std::vector<int32_t>& partIds, int16_t classId) {
    std::vector<embedded::HookRow> rows;
    rows.reserve(partIds.size());
    for (int32_t id : partIds) {
        embedded::HookRow row;
        row.kind = embedded::HookRow::Kind::Object;
        row.key = {classId, id};
        rows.push_back(std::move(row));
    }
    return db->MakeRecList(rows);
}

Ptr<CvObject> BenchWorld::Fetch(int16_t classId, int32_t objectId) {
    auto object = session->ObjectStore()->ObjectById(classId, objectId)->WorkingObject();
    object->Retrieve();
    return object;
}

int64_t BenchWorld::Number(const std::string& select) {
    auto statement = sql->Prepare(select);
    return statement.Step() ? statement.ColumnInt(0) : -1;
}

void BenchWorld::Checkpoint() {
    if (sql->OnServer()) return;
    if (++checkpointCalls_ % 32 != 0) return;
    sql->Exec("PRAGMA wal_checkpoint(PASSIVE)");
    sql->Exec("UPDATE BENCH_SETTLE SET N = N + 1");
}

void BenchWorld::CheckScriptPlayed() const {
    if (user.Failure()) throw std::runtime_error("scripted user: " + *user.Failure());
    if (user.AnswersLeft() != 0) throw std::runtime_error("scripted user: answers left over");
}

} // namespace quendra::bench
