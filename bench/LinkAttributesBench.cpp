// CleanLinkAttributes of 10^2 and 10^3 script names (reached through CopyTreeFrom of a part without children),
// against the same parsing, cleaning and reads by hand.
// SPDX-License-Identifier: Apache-2.0
#include "BenchWorld.h"
#include "Comparison.h"

#include <unordered_map>
#include <unordered_set>

namespace quendra::bench {
namespace {

// Every tenth name is an attribute of the parts-tree link (two of them of types that are not supported);
// the others are no attributes, many of them repeated.
std::string ScriptNames(int32_t count) {
    static const char* attributes[] = {"CN_QUANTITY", "CN_POSITION",   "CN_LENGTH",      "CN_REMARK",
                                       "CN_OPTIONAL", "CN_VALID_FROM", "CN_DRAWING_REF", "CN_UNIT"};
    std::string text;
    for (int32_t i = 0; i < count; ++i) {
        if (i > 0) text += ", ";
        text += i % 10 == 0 ? attributes[(i / 10) % 8] : "X" + std::to_string(i % (count * 2 / 5 + 1));
    }
    return text;
}

// The link class's attribute types, read once like a prepared statement.
using TypeCodes = std::unordered_map<std::string, int32_t>;

std::vector<std::string> FloorClean(const std::string& text, const TypeCodes& types, std::string& report) {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    size_t start = 0;
    while (true) {
        size_t comma = text.find(',', start);
        std::string piece = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        size_t first = piece.find_first_not_of(' ');
        piece = first == std::string::npos ? "" : piece.substr(first, piece.find_last_not_of(' ') - first + 1);
        if (seen.insert(piece).second) names.push_back(std::move(piece));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    std::vector<std::string> kept;
    for (auto& name : names) {
        auto type = types.find(name);
        if (type == types.end()) continue;
        int32_t code = type->second;
        if (code == 0 || (code >= 5 && code <= 13) || (code >= 16 && code <= 20)) {
            report += (report.empty() ? "" : ", ") + name;
            continue;
        }
        kept.push_back(std::move(name));
    }
    return kept;
}

void CleanLinkAttributes(benchmark::State& state, const std::string& server) {
    const auto count = static_cast<int32_t>(state.range(0));
    BenchWorld world("carl", server);
    auto ends = world.AddParts(2, "C-", false);
    const std::string names = ScriptNames(count);
    const TypeCodes types{{"CN_QUANTITY", 2},  {"CN_POSITION", 3}, {"CN_LENGTH", 4},     {"CN_REMARK", 1},
                          {"CN_OPTIONAL", 15}, {"CN_UNIT", 14},    {"CN_VALID_FROM", 7}, {"CN_DRAWING_REF", 12}};
    Comparison comparison(state, [&] { world.Checkpoint(); });
    world.CountRoundTrips(comparison);
    for (auto _ : state) {
        world.db->Harness().ClearEvents();
        world.Answers({ButtonAnswer("OK")});
        auto target = world.Fetch(PartClass, ends[0]);
        auto source = world.Fetch(PartClass, ends[1]);
        std::string attributes = names;
        comparison.Hook([&] {
            if (world.app.CopyTreeFrom(world.session, target, source, attributes) != 0)
                state.SkipWithError("CopyTreeFrom refused");
        });
        world.CheckScriptPlayed();
        comparison.Floor([&] {
            std::string report;
            benchmark::DoNotOptimize(FloorClean(names, types, report));
            benchmark::DoNotOptimize(ChildLinks(*world.sql, ends[1]));
        });
    }
    comparison.Report(count);
}

[[maybe_unused]] const bool registered =
    RegisterWorkload("CleanLinkAttributes", CleanLinkAttributes, [](benchmark::internal::Benchmark* bench) {
        bench->Arg(100)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond)->Apply(RunFor<300>);
    });

} // namespace
} // namespace quendra::bench
