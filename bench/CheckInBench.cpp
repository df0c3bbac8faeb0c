// AfterCheckInDocuments of a document linked to 10^2 and 10^3 parts of other part numbers, against the same
// queries, removals and the one new link by hand.
// SPDX-License-Identifier: Apache-2.0
#include "BenchWorld.h"
#include "Comparison.h"

namespace quendra::bench {
namespace {

const std::string DocumentNumber = "DOC-1";

void FloorCheckIn(RawSql& sql, int32_t document) {
    std::string number;
    {
        auto row = sql.Prepare("SELECT CN_PART_NUMBER, * FROM DOCUMENTS WHERE OBJECT_ID = ?");
        row.Int(1, document);
        if (!row.Step()) return;
        number = row.ColumnText(0);
    }
    std::vector<int32_t> linked;
    {
        auto parts = sql.Prepare("SELECT S.CLASS_ID, S.OBJECT_ID FROM DOCUMENTS F, PARTS S, TDM_LINKS_00092 L "
                                 "WHERE F.OBJECT_ID = ? AND L.SON_OBJECT_ID = F.OBJECT_ID AND "
                                 "L.PAR_OBJECT_ID = S.OBJECT_ID AND L.CLASS_ID = ? ORDER BY L.OBJECT_ID");
        parts.Int(1, document).Int(2, SpecificationClass);
        while (parts.Step()) linked.push_back(static_cast<int32_t>(parts.ColumnInt(1)));
    }
    for (int32_t part : linked) {
        std::string partNumber;
        {
            auto row = sql.Prepare("SELECT CN_PART_NUMBER, * FROM PARTS WHERE OBJECT_ID = ?");
            row.Int(1, part);
            if (!row.Step()) continue;
            partNumber = row.ColumnText(0);
        }
        if (partNumber == number) continue;
        sql.Prepare("BEGIN IMMEDIATE").Run();
        sql.Prepare("DELETE FROM TDM_LINKS_00092 WHERE (PAR_OBJECT_ID = ?1 AND SON_OBJECT_ID = ?2) OR "
                    "(PAR_OBJECT_ID = ?2 AND SON_OBJECT_ID = ?1)")
            .Int(1, document)
            .Int(2, part)
            .Run();
        sql.Prepare("COMMIT").Run();
    }
    std::vector<int32_t> candidates;
    {
        auto found = sql.Prepare("SELECT OBJECT_ID, CLASS_ID FROM PARTS WHERE CN_PART_NUMBER = ? AND STATE = 5");
        found.Text(1, number);
        while (found.Step()) candidates.push_back(static_cast<int32_t>(found.ColumnInt(0)));
    }
    if (candidates.size() != 1) return;
    {
        auto row = sql.Prepare("SELECT * FROM PARTS WHERE OBJECT_ID = ?");
        row.Int(1, candidates[0]);
        row.Step();
    }
    {
        auto existing = sql.Prepare(
            "SELECT OBJECT_ID FROM TDM_LINKS_00092 WHERE PAR_OBJECT_ID = ? AND SON_OBJECT_ID = ? AND CLASS_ID = ?");
        existing.Int(1, candidates[0]).Int(2, document).Int(3, SpecificationClass);
        if (existing.Step()) return;
    }
    sql.Prepare("BEGIN IMMEDIATE").Run();
    const int64_t id = NextObjectId(sql);
    sql.Prepare("INSERT INTO TDM_LINKS_00092 (OBJECT_ID, CLASS_ID, CLASS_ID1, OBJECT_ID1, CLASS_ID2, OBJECT_ID2, "
                "PAR_OBJECT_ID, SON_OBJECT_ID) VALUES (?, ?, ?, ?, ?, ?, ?, ?)")
        .Int(1, id)
        .Int(2, SpecificationClass)
        .Int(3, PartClass)
        .Int(4, candidates[0])
        .Int(5, DocumentClass)
        .Int(6, document)
        .Int(7, candidates[0])
        .Int(8, document)
        .Run();
    MoveCounterPast(sql, id);
    sql.Prepare("COMMIT").Run();
}

void AfterCheckInDocuments(benchmark::State& state, const std::string& server) {
    const auto count = static_cast<int32_t>(state.range(0));
    BenchWorld world("carl", server);
    auto parts = world.AddParts(count, "A-", false);
    auto candidate = world.Fetch(PartClass, world.AddParts(1, "X-", false)[0]);
    candidate->Data()->SetValueAsText("CN_PART_NUMBER", DocumentNumber);
    candidate->Update(world.session->ObjectStore()->DefaultUpdateOptions());
    auto document = world.db->CreateObject("Document", {{"CN_PART_NUMBER", Value::Text(DocumentNumber)},
                                                        {"FILE_NAME", Value::Text("a.dwg")},
                                                        {"FILE_TYPE", Value::Int16(12)},
                                                        {"STATE", Value::Int16(0)}});
    std::vector<std::pair<int32_t, int32_t>> links;
    for (int32_t part : parts) links.emplace_back(part, document.objectId);
    auto rows = world.RowsOf({document.objectId}, DocumentClass);
    auto relink = [&] {
        world.sql->Exec("DELETE FROM TDM_LINKS_00092");
        world.AddLinks(SpecificationClass, PartClass, DocumentClass, links);
    };
    Comparison comparison(state, [&] { world.Checkpoint(); });
    world.CountRoundTrips(comparison);
    for (auto _ : state) {
        relink();
        world.db->Harness().ClearEvents();
        world.Answers({});
        comparison.Hook([&] {
            if (world.app.AfterCheckInDocuments(world.session, rows) != 0)
                state.SkipWithError("AfterCheckInDocuments found no part");
        });
        world.CheckScriptPlayed();
        relink();
        comparison.Floor([&] { FloorCheckIn(*world.sql, document.objectId); });
    }
    comparison.Report(count);
}

[[maybe_unused]] const bool registered =
    RegisterWorkload("AfterCheckInDocuments", AfterCheckInDocuments, [](benchmark::internal::Benchmark* bench) {
        bench->Arg(100)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
    });

} // namespace
} // namespace quendra::bench
