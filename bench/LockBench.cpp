// LockObject on a selection of 1 and 1 000 parts, against the same reads and writes by hand.
// SPDX-License-Identifier: Apache-2.0
#include "BenchWorld.h"
#include "Comparison.h"

namespace quendra::bench {
namespace {

// Per part: read its row, check the lock state, write the lock in a transaction of its own.
void FloorLock(RawSql& sql, const std::vector<int32_t>& ids, int32_t userId) {
    for (int32_t id : ids) {
        bool locked = false;
        {
            auto row = sql.Prepare("SELECT STATE, CN_LOCKED, USER_OBJECT_ID, * FROM PARTS WHERE OBJECT_ID = ?");
            row.Int(1, id);
            if (!row.Step()) continue;
            locked = row.ColumnInt(1) != 0;
        }
        if (locked) continue;
        sql.Prepare("BEGIN IMMEDIATE").Run();
        sql.Prepare("UPDATE PARTS SET CN_LOCKED = 1, USER_OBJECT_ID = ?, USER_ID_MOD = ? WHERE OBJECT_ID = ?")
            .Int(1, userId)
            .Int(2, userId)
            .Int(3, id)
            .Run();
        sql.Prepare("COMMIT").Run();
    }
}

void LockObject(benchmark::State& state, const std::string& server) {
    const auto count = static_cast<int32_t>(state.range(0));
    BenchWorld world("carl", server);
    auto ids = world.AddParts(count, "L-", false);
    auto rows = world.RowsOf(ids);
    Comparison comparison(state, [&] { world.Checkpoint(); });
    world.CountRoundTrips(comparison);
    for (auto _ : state) {
        world.sql->Exec("UPDATE PARTS SET CN_LOCKED = 0");
        world.db->Harness().ClearEvents();
        world.Answers({});
        comparison.Hook([&] { world.app.LockObject(world.session, rows); });
        world.CheckScriptPlayed();
        if (world.Number("SELECT COUNT(*) FROM PARTS WHERE CN_LOCKED = 1") != count)
            state.SkipWithError("LockObject left parts unlocked");
        world.sql->Exec("UPDATE PARTS SET CN_LOCKED = 0");
        comparison.Floor([&] { FloorLock(*world.sql, ids, world.userId); });
    }
    comparison.Report(count);
}

[[maybe_unused]] const bool registered =
    RegisterWorkload("LockObject", LockObject, [](benchmark::internal::Benchmark* bench) {
        bench->Arg(1)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond)->Apply(RunFor<500>);
    });

} // namespace
} // namespace quendra::bench
