// UnLockObject with propagation over trees of 10^3 to 10^5 parts and a chain 10^5 deep, against the same walk by hand.
// SPDX-License-Identifier: Apache-2.0
#include "BenchWorld.h"
#include "Comparison.h"

namespace quendra::bench {
namespace {

// The children of a part in the order the links were made, from every link table a part can be the parent in.
std::vector<int32_t> ChildrenOf(RawSql& sql, int32_t id) {
    std::vector<int32_t> children;
    for (const char* select :
         {"SELECT SON_OBJECT_ID FROM TDM_LINKS_00091 WHERE PAR_OBJECT_ID = ? ORDER BY OBJECT_ID",
          "SELECT SON_OBJECT_ID FROM TDM_LINKS_00092 WHERE PAR_OBJECT_ID = ? ORDER BY OBJECT_ID"}) {
        auto links = sql.Prepare(select);
        links.Int(1, id);
        while (links.Step()) children.push_back(static_cast<int32_t>(links.ColumnInt(0)));
    }
    return children;
}

// True when the part is locked; the check of the holder needs the row, so the whole row is read.
bool ReadLocked(RawSql& sql, int32_t id) {
    auto row = sql.Prepare("SELECT STATE, CN_LOCKED, USER_OBJECT_ID, * FROM PARTS WHERE OBJECT_ID = ?");
    row.Int(1, id);
    return row.Step() && row.ColumnInt(1) != 0;
}

void Unlock(RawSql& sql, int32_t id, int32_t userId, bool writeHolder) {
    sql.Prepare("BEGIN IMMEDIATE").Run();
    if (writeHolder)
        sql.Prepare("UPDATE PARTS SET CN_LOCKED = 0, USER_OBJECT_ID = ?, USER_ID_MOD = ? WHERE OBJECT_ID = ?")
            .Int(1, userId)
            .Int(2, userId)
            .Int(3, id)
            .Run();
    else
        sql.Prepare("UPDATE PARTS SET CN_LOCKED = 0, USER_ID_MOD = ? WHERE OBJECT_ID = ?")
            .Int(1, userId)
            .Int(2, id)
            .Run();
    sql.Prepare("COMMIT").Run();
}

// Depth first with an explicit stack: descendants are unlocked before their parent, the root last.
void FloorUnlockTree(RawSql& sql, int32_t root, int32_t userId) {
    const bool rootLocked = ReadLocked(sql, root);
    struct Level {
        int32_t owner;
        bool ownerLocked;
        std::vector<int32_t> children;
        size_t next = 0;
    };
    std::vector<Level> levels;
    levels.push_back({root, rootLocked, ChildrenOf(sql, root)});
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.next < level.children.size()) {
            int32_t child = level.children[level.next++];
            bool locked = ReadLocked(sql, child);
            levels.push_back({child, locked, ChildrenOf(sql, child)});
            continue;
        }
        const int32_t owner = level.owner;
        const bool locked = level.ownerLocked;
        levels.pop_back();
        if (locked) Unlock(sql, owner, userId, levels.empty());
    }
}

enum class Shape { Tree, Chain };

// Parts 0..n-1; in a tree part i has the children 10i+1 .. 10i+10, in a chain part i+1.
void UnLockObject(benchmark::State& state, Shape shape, const std::string& server) {
    const auto count = static_cast<int32_t>(state.range(0));
    BenchWorld world("carl", server);
    auto ids = world.AddParts(count, "U-", true);
    std::vector<std::pair<int32_t, int32_t>> ends;
    for (int32_t i = 1; i < count; ++i) ends.emplace_back(ids[shape == Shape::Tree ? (i - 1) / 10 : i - 1], ids[i]);
    world.AddLinks(PartsTreeClass, PartClass, PartClass, ends);
    auto rows = world.RowsOf({ids[0]});
    const std::string relock = "UPDATE PARTS SET CN_LOCKED = 1, USER_OBJECT_ID = " + std::to_string(world.userId);
    Comparison comparison(state, [&] { world.Checkpoint(); });
    world.CountRoundTrips(comparison);
    for (auto _ : state) {
        world.sql->Exec(relock);
        world.db->Harness().ClearEvents();
        world.Answers({ButtonAnswer("Yes")});
        comparison.Hook([&] { world.app.UnLockObject(world.session, rows); });
        world.CheckScriptPlayed();
        if (world.Number("SELECT COUNT(*) FROM PARTS WHERE CN_LOCKED = 1") != 0)
            state.SkipWithError("UnLockObject left parts locked");
        world.sql->Exec(relock);
        comparison.Floor([&] { FloorUnlockTree(*world.sql, ids[0], world.userId); });
    }
    comparison.Report(count);
}

// Fewer iterations for the larger sizes keep each run within seconds; on a server (QUENDRA_BENCH_POSTGRES), where
// every row is a round trip, the trees of 10^3 and 10^4 parts and a chain 10^4 deep.
const bool registered = [] {
    if (const char* server = std::getenv("QUENDRA_BENCH_POSTGRES"); server && *server && Delayed()) {
        for (auto [name, shape] : {std::pair{"UnLockObject/tree/postgres", Shape::Tree},
                                   std::pair{"UnLockObject/chain/postgres", Shape::Chain}})
            benchmark::RegisterBenchmark(name, UnLockObject, shape, std::string(server))
                ->Arg(kDelayedUnits)
                ->Iterations(1)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        return true;
    }
    for (auto [size, iterations] : {std::pair{1000, 10}, std::pair{10000, 3}, std::pair{100000, 1}})
        benchmark::RegisterBenchmark("UnLockObject/tree", UnLockObject, Shape::Tree, std::string())
            ->Arg(size)
            ->Iterations(iterations)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("UnLockObject/chain", UnLockObject, Shape::Chain, std::string())
        ->Arg(100000)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    if (const char* server = std::getenv("QUENDRA_BENCH_POSTGRES"); server && *server) {
        for (auto [size, iterations] : {std::pair{1000, 5}, std::pair{10000, 1}})
            benchmark::RegisterBenchmark("UnLockObject/tree/postgres", UnLockObject, Shape::Tree, std::string(server))
                ->Arg(size)
                ->Iterations(iterations)
                ->Repetitions(ServerRepetitions())
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("UnLockObject/chain/postgres", UnLockObject, Shape::Chain, std::string(server))
            ->Arg(10000)
            ->Iterations(1)
            ->Repetitions(ServerRepetitions())
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
} // namespace quendra::bench
