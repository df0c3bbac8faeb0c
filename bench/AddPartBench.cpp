// AddExistingPart refused as a duplicate among 10^3 and 10^4 children, and AddNewPart with its workflow start,
// each against the same reads and writes by hand.
// SPDX-License-Identifier: Apache-2.0
#include "BenchWorld.h"
#include "Comparison.h"

namespace quendra::bench {
namespace {

void ReadRow(RawSql& sql, int32_t id) {
    auto row = sql.Prepare("SELECT STATE, CN_LOCKED, USER_OBJECT_ID, * FROM PARTS WHERE OBJECT_ID = ?");
    row.Int(1, id);
    row.Step();
}

// The parent, the picked part as the result list shows it and as it is picked, then the duplicate test.
bool FloorAddExisting(RawSql& sql, int32_t parent, int32_t picked) {
    ReadRow(sql, parent);
    ReadRow(sql, picked);
    ReadRow(sql, picked);
    auto equal =
        sql.Prepare("SELECT 1 FROM TDM_LINKS_00091 WHERE PAR_OBJECT_ID = ? AND SON_OBJECT_ID = ? AND CLASS_ID = ?");
    equal.Int(1, parent).Int(2, picked).Int(3, PartsTreeClass);
    return equal.Step();
}

answering::Answer SearchAnswer(int32_t picked) {
    return {answering::answers::Search{answering::answers::Search::Mode::Pick, {{PartClass, picked}}}, "search"};
}

void AddExistingPart(benchmark::State& state, const std::string& server) {
    const auto count = static_cast<int32_t>(state.range(0));
    BenchWorld world("carl", server);
    auto parent = world.AddParts(1, "P-", false)[0];
    auto children = world.AddParts(count, "K-", false);
    std::vector<std::pair<int32_t, int32_t>> links;
    for (int32_t child : children) links.emplace_back(parent, child);
    world.AddLinks(PartsTreeClass, PartClass, PartClass, links);
    const int32_t picked = children[count / 2];
    auto rows = world.RowsOf({parent});
    Comparison comparison(state, [&] { world.Checkpoint(); });
    world.CountRoundTrips(comparison);
    for (auto _ : state) {
        world.db->Harness().ClearEvents();
        world.Answers({SearchAnswer(picked), ButtonAnswer("OK")});
        std::string attributes = "CN_QUANTITY";
        comparison.Hook([&] { world.app.AddExistingPart(world.session, rows, attributes); });
        world.CheckScriptPlayed();
        comparison.Floor([&] {
            if (!FloorAddExisting(*world.sql, parent, picked)) state.SkipWithError("floor found no duplicate");
        });
    }
    comparison.Report(count);
}

[[maybe_unused]] const bool registered =
    RegisterWorkload("AddExistingPart", AddExistingPart, [](benchmark::internal::Benchmark* bench) {
        bench->Arg(1000)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Apply(RunFor<300>);
    });

// Number, part, process with its first work entry, taking and forwarding it, attaching the part, the
// duplicate test and the link: each write in a transaction of its own, as the platform makes them. On a
// server the number comes from the model's first sequence (the part numbers), which moves on outside any
// transaction, and the history's time from the server's clock.
void FloorAddNew(RawSql& sql, int32_t parent, int32_t userId) {
    ReadRow(sql, parent);
    int64_t number = 0;
    if (sql.OnServer()) {
        auto sequence = sql.Prepare("SELECT nextval('platform_sequence_0')");
        sequence.Step();
        number = sequence.ColumnInt(0);
    } else {
        sql.Prepare("BEGIN IMMEDIATE").Run();
        auto sequence = sql.Prepare(
            "UPDATE PLATFORM_SEQUENCES SET NEXT_VALUE = NEXT_VALUE + 1 WHERE NAME = ? RETURNING NEXT_VALUE - 1");
        sequence.Text(1, "Part Number");
        sequence.Step();
        number = sequence.ColumnInt(0);
        sequence.Run();
        sql.Prepare("COMMIT").Run();
    }

    sql.Prepare("BEGIN IMMEDIATE").Run();
    const int64_t part = NextObjectId(sql);
    sql.Prepare("INSERT INTO PARTS (CLASS_ID, OBJECT_ID, CN_PART_NUMBER, CN_DESCRIPTION, USER_ID_MOD) "
                "VALUES (?, ?, ?, ?, ?)")
        .Int(1, PartClass)
        .Int(2, part)
        .Text(3, "F-" + std::to_string(number))
        .Text(4, "Bolt")
        .Int(5, userId)
        .Run();
    MoveCounterPast(sql, part);
    sql.Prepare("COMMIT").Run();

    sql.Prepare("BEGIN IMMEDIATE").Run();
    const int64_t process = NextObjectId(sql);
    sql.Prepare("INSERT INTO PLATFORM_PROCESSES (CLASS_ID, OBJECT_ID, STEP) VALUES (200, ?, 0)").Int(1, process).Run();
    MoveCounterPast(sql, process);
    sql.Prepare("INSERT INTO PLATFORM_WORK_ENTRIES (PROCESS_ID, STEP, USER_ID) VALUES (?, 0, ?)")
        .Int(1, process)
        .Int(2, userId)
        .Run();
    sql.Prepare("COMMIT").Run();

    int64_t entry = 0;
    {
        auto open = sql.Prepare("SELECT ENTRY_ID FROM PLATFORM_WORK_ENTRIES WHERE PROCESS_ID = ? AND OPEN = 1");
        open.Int(1, process);
        if (open.Step()) entry = open.ColumnInt(0);
    }
    sql.Prepare("BEGIN IMMEDIATE").Run();
    sql.Prepare("UPDATE PLATFORM_WORK_ENTRIES SET TAKEN = 1 WHERE ENTRY_ID = ? AND OPEN = 1").Int(1, entry).Run();
    sql.Prepare("COMMIT").Run();

    sql.Prepare("BEGIN IMMEDIATE").Run();
    sql.Prepare("UPDATE PLATFORM_WORK_ENTRIES SET OPEN = 0 WHERE ENTRY_ID = ? AND OPEN = 1").Int(1, entry).Run();
    sql.Prepare("UPDATE PLATFORM_PROCESSES SET STEP = 1 WHERE OBJECT_ID = ?").Int(1, process).Run();
    sql.Prepare(std::string("INSERT INTO PLATFORM_FLOW_HISTORY (PROCESS_ID, FROM_STEP, TO_STEP, COMMENT, WHEN_TIME, "
                            "USER_ID) VALUES (?, 0, 1, ?, ") +
                (sql.OnServer() ? "to_char(now(), 'YYYY-MM-DD HH24:MI:SS')" : "datetime('now')") + ", ?)")
        .Int(1, process)
        .Text(2, "New Part Development auto initiated")
        .Int(3, userId)
        .Run();
    sql.Prepare("INSERT INTO PLATFORM_WORK_ENTRIES (PROCESS_ID, STEP, USER_ID) VALUES (?, 1, ?)")
        .Int(1, process)
        .Int(2, userId)
        .Run();
    sql.Prepare("COMMIT").Run();

    sql.Prepare("BEGIN IMMEDIATE").Run();
    sql.Prepare("INSERT INTO PLATFORM_ATTACHMENTS (PROCESS_ID, CLASS_ID, OBJECT_ID) VALUES (?, ?, ?)")
        .Int(1, process)
        .Int(2, PartClass)
        .Int(3, part)
        .Run();
    sql.Prepare("COMMIT").Run();

    {
        auto equal =
            sql.Prepare("SELECT 1 FROM TDM_LINKS_00091 WHERE PAR_OBJECT_ID = ? AND SON_OBJECT_ID = ? AND CLASS_ID = ?");
        equal.Int(1, parent).Int(2, part).Int(3, PartsTreeClass);
        if (equal.Step()) return;
    }
    sql.Prepare("BEGIN IMMEDIATE").Run();
    const int64_t link = NextObjectId(sql);
    sql.Prepare("INSERT INTO TDM_LINKS_00091 (OBJECT_ID, CLASS_ID, CLASS_ID1, OBJECT_ID1, CLASS_ID2, OBJECT_ID2, "
                "PAR_OBJECT_ID, SON_OBJECT_ID, CN_QUANTITY) VALUES (?, ?, ?, ?, ?, ?, ?, ?, 4)")
        .Int(1, link)
        .Int(2, PartsTreeClass)
        .Int(3, PartClass)
        .Int(4, parent)
        .Int(5, PartClass)
        .Int(6, part)
        .Int(7, parent)
        .Int(8, part)
        .Run();
    MoveCounterPast(sql, link);
    sql.Prepare("COMMIT").Run();
}

void AddNewPart(benchmark::State& state, const std::string& server) {
    BenchWorld world("carl", server);
    auto parent = world.AddParts(1, "P-", false)[0];
    auto rows = world.RowsOf({parent});
    Comparison comparison(state, [&] { world.Checkpoint(); });
    world.CountRoundTrips(comparison);
    for (auto _ : state) {
        world.sql->Exec("UPDATE PLATFORM_WORK_ENTRIES SET OPEN = 0");
        world.db->Harness().ClearEvents();
        answering::Answer fill{answering::answers::Fill{{{"CN_DESCRIPTION", Value::Text("Bolt")}}, "OK"}, ""};
        answering::Answer editor{answering::answers::Set{{{"Quantity", "4"}}, "OK"}, ""};
        world.Answers({fill, ButtonAnswer("Continue"), editor});
        std::string attributes = "CN_QUANTITY";
        comparison.Hook([&] { world.app.AddNewPart(world.session, rows, attributes); });
        world.CheckScriptPlayed();
        world.sql->Exec("UPDATE PLATFORM_WORK_ENTRIES SET OPEN = 0");
        comparison.Floor([&] { FloorAddNew(*world.sql, parent, world.userId); });
    }
    comparison.Report(1);
}

[[maybe_unused]] const bool registeredNew =
    RegisterWorkload("AddNewPart", AddNewPart, [](benchmark::internal::Benchmark* bench) {
        bench->UseManualTime()->Unit(benchmark::kMillisecond)->Apply(RunFor<300>);
    });

} // namespace
} // namespace quendra::bench
