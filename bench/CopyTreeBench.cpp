// CopyTreeFrom of a part with 10^3 and 10^4 children, against the same reads, checks and inserts by hand.
// SPDX-License-Identifier: Apache-2.0
#include "BenchWorld.h"
#include "Comparison.h"

namespace quendra::bench {
namespace {

void FloorCopy(RawSql& sql, int32_t target, int32_t source) {
    for (const auto& entry : ChildLinks(sql, source)) {
        {
            auto child = sql.Prepare("SELECT * FROM PARTS WHERE OBJECT_ID = ?");
            child.Int(1, entry.child);
            child.Step();
        }
        int64_t quantity = 0;
        int64_t position = 0;
        {
            auto link = sql.Prepare("SELECT CN_QUANTITY, CN_POSITION, * FROM TDM_LINKS_00091 WHERE OBJECT_ID = ?");
            link.Int(1, entry.link);
            if (!link.Step()) continue;
            quantity = link.ColumnInt(0);
            position = link.ColumnInt(1);
        }
        {
            auto equal = sql.Prepare("SELECT 1 FROM TDM_LINKS_00091 WHERE PAR_OBJECT_ID = ? AND SON_OBJECT_ID = ? "
                                     "AND CLASS_ID = ? AND CN_POSITION = ?");
            equal.Int(1, target).Int(2, entry.child).Int(3, PartsTreeClass).Int(4, position);
            if (equal.Step()) continue;
        }
        sql.Prepare("BEGIN IMMEDIATE").Run();
        const int64_t id = NextObjectId(sql);
        sql.Prepare("INSERT INTO TDM_LINKS_00091 (OBJECT_ID, CLASS_ID, CLASS_ID1, OBJECT_ID1, CLASS_ID2, OBJECT_ID2, "
                    "PAR_OBJECT_ID, SON_OBJECT_ID, CN_QUANTITY, CN_POSITION) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
            .Int(1, id)
            .Int(2, PartsTreeClass)
            .Int(3, PartClass)
            .Int(4, target)
            .Int(5, PartClass)
            .Int(6, entry.child)
            .Int(7, target)
            .Int(8, entry.child)
            .Int(9, quantity)
            .Int(10, position)
            .Run();
        MoveCounterPast(sql, id);
        sql.Prepare("COMMIT").Run();
    }
}

void CopyTreeFrom(benchmark::State& state, const std::string& server) {
    const auto count = static_cast<int32_t>(state.range(0));
    BenchWorld world("carl", server);
    auto ends = world.AddParts(2, "C-", false);
    auto children = world.AddParts(count, "K-", false);
    std::vector<std::pair<int32_t, int32_t>> links;
    for (int32_t child : children) links.emplace_back(ends[1], child);
    world.AddLinks(PartsTreeClass, PartClass, PartClass, links);
    const std::string clear = "DELETE FROM TDM_LINKS_00091 WHERE PAR_OBJECT_ID = " + std::to_string(ends[0]);
    Comparison comparison(state, [&] { world.Checkpoint(); });
    world.CountRoundTrips(comparison);
    for (auto _ : state) {
        world.sql->Exec(clear);
        world.db->Harness().ClearEvents();
        world.Answers({});
        auto target = world.Fetch(PartClass, ends[0]);
        auto source = world.Fetch(PartClass, ends[1]);
        std::string attributes = "CN_QUANTITY,CN_POSITION";
        comparison.Hook([&] {
            if (world.app.CopyTreeFrom(world.session, target, source, attributes) != 0)
                state.SkipWithError("CopyTreeFrom refused");
        });
        world.CheckScriptPlayed();
        if (world.Number("SELECT COUNT(*) FROM TDM_LINKS_00091 WHERE PAR_OBJECT_ID = " + std::to_string(ends[0])) !=
            count)
            state.SkipWithError("CopyTreeFrom left links out");
        world.sql->Exec(clear);
        comparison.Floor([&] { FloorCopy(*world.sql, ends[0], ends[1]); });
    }
    comparison.Report(count);
}

[[maybe_unused]] const bool registered =
    RegisterWorkload("CopyTreeFrom", CopyTreeFrom, [](benchmark::internal::Benchmark* bench) {
        bench->Arg(1000)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
    });
[[maybe_unused]] const bool registeredLarge =
    RegisterWorkload("CopyTreeFrom", CopyTreeFrom, [](benchmark::internal::Benchmark* bench) {
        bench->Arg(10000)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);
    });

} // namespace
} // namespace quendra::bench
