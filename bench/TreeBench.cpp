// `quendra tree` of a part with 10^4 and 10^5 children, against reading the same rows by hand and writing the
// same lines.
// SPDX-License-Identifier: Apache-2.0
#include "BenchWorld.h"
#include "Comparison.h"
#include "TreeCommand.h"

#include <map>
#include <ostream>
#include <streambuf>

namespace quendra::bench {
namespace {

// Counts what is written and keeps none of it, so that memory measures the command and not its output.
class CountingBuffer : public std::streambuf {
public:
    size_t Bytes() const { return bytes_; }

protected:
    std::streamsize xsputn(const char*, std::streamsize count) override {
        bytes_ += static_cast<size_t>(count);
        return count;
    }
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) ++bytes_;
        return traits_type::not_eof(c);
    }

private:
    size_t bytes_ = 0;
};

// The columns of a parts-tree link after its ends, with their display names.
const std::pair<const char*, const char*> LinkValueColumns[] = {
    {"CN_QUANTITY", "Quantity"},     {"CN_POSITION", "Position"},
    {"CN_LENGTH", "Length"},         {"CN_REMARK", "Remark"},
    {"CN_OPTIONAL", "Optional"},     {"CN_UNIT", "Unit"},
    {"CN_VALID_FROM", "Valid From"}, {"CN_DRAWING_REF", "Drawing Reference"}};

struct FloorTree {
    RawSql& sql;
    std::ostream& out;
    std::map<int64_t, std::string> logins;
    const std::map<int64_t, std::string> classNames{{PartClass, "Part"}, {12, "Assembly"}};

    // The part's line: class, number and description, the link above it, the lock holder.
    void PrintPart(size_t depth, int64_t id, const std::string& link) {
        auto row = sql.Prepare("SELECT CLASS_ID, CN_PART_NUMBER, CN_DESCRIPTION, CN_LOCKED, USER_OBJECT_ID, * FROM "
                               "PARTS WHERE OBJECT_ID = ?");
        row.Int(1, id);
        if (!row.Step()) return;
        std::string line(depth * 2, ' ');
        line += classNames.at(row.ColumnInt(0)) + " " + row.ColumnText(1) + " - " + row.ColumnText(2) + link;
        if (row.ColumnInt(3) != 0) line += " locked by " + logins.at(row.ColumnInt(4));
        line += '\n';
        out << line;
    }

    // Every link below the part, then each child with its own children (the data set has no cycles).
    void PrintBelow(size_t depth, int64_t parent) {
        struct Child {
            int64_t id;
            std::string link;
        };
        std::vector<Child> children;
        {
            auto links = sql.Prepare("SELECT OBJECT_ID, SON_OBJECT_ID, CN_QUANTITY, CN_POSITION, CN_LENGTH, CN_REMARK, "
                                     "CN_OPTIONAL, CN_UNIT, CN_VALID_FROM, CN_DRAWING_REF, * FROM TDM_LINKS_00091 "
                                     "WHERE PAR_OBJECT_ID = ? ORDER BY OBJECT_ID");
            links.Int(1, parent);
            while (links.Step()) {
                std::string link = " (Parts Tree#" + std::to_string(links.ColumnInt(0));
                bool first = true;
                for (int i = 0; i < 8; ++i) {
                    if (links.IsNull(2 + i)) continue;
                    link += first ? ": " : ", ";
                    first = false;
                    link += LinkValueColumns[i].second;
                    link += '=';
                    link += i < 2 ? std::to_string(links.ColumnInt(2 + i)) : links.ColumnText(2 + i);
                }
                link += ')';
                children.push_back({links.ColumnInt(1), std::move(link)});
            }
        }
        {
            auto documents = sql.Prepare("SELECT * FROM TDM_LINKS_00092 WHERE PAR_OBJECT_ID = ? ORDER BY OBJECT_ID");
            documents.Int(1, parent);
            documents.Run();
        }
        for (const auto& child : children) {
            PrintPart(depth, child.id, child.link);
            PrintBelow(depth + 1, child.id);
        }
    }
};

void Floor(RawSql& sql, std::ostream& out, const std::string& number) {
    FloorTree tree{sql, out, {}};
    auto users = sql.Prepare("SELECT OBJECT_ID, LOGIN FROM USERS ORDER BY OBJECT_ID");
    while (users.Step()) tree.logins.emplace(users.ColumnInt(0), users.ColumnText(1));
    auto top = sql.Prepare("SELECT OBJECT_ID FROM PARTS WHERE CN_PART_NUMBER = ?");
    top.Text(1, number);
    while (top.Step()) {
        tree.PrintPart(0, top.ColumnInt(0), "");
        tree.PrintBelow(1, top.ColumnInt(0));
    }
}

void Tree(benchmark::State& state, const std::string& server) {
    const auto count = static_cast<int32_t>(state.range(0));
    BenchWorld world("carl", server);
    auto top = world.AddParts(1, "A-", false)[0];
    auto children = world.AddParts(count, "K-", false);
    std::vector<std::pair<int32_t, int32_t>> links;
    for (int32_t child : children) links.emplace_back(top, child);
    world.AddLinks(PartsTreeClass, PartClass, PartClass, links);
    world.sql->Exec("UPDATE PARTS SET CN_LOCKED = 1 WHERE CN_PART_NUMBER = 'K-7'");
    Comparison comparison(state, [&] { world.Checkpoint(); });
    world.CountRoundTrips(comparison);
    for (auto _ : state) {
        CountingBuffer hookBuffer;
        std::ostream hookOut(&hookBuffer);
        comparison.Hook([&] { host::TreeCommand::Print(world.path, "A-0", hookOut); });
        CountingBuffer floorBuffer;
        std::ostream floorOut(&floorBuffer);
        comparison.Floor([&] { Floor(*world.sql, floorOut, "A-0"); });
        if (hookBuffer.Bytes() != floorBuffer.Bytes()) state.SkipWithError("the floor printed other lines");
    }
    comparison.Report(count);
}

[[maybe_unused]] const bool registered = RegisterWorkload("Tree", Tree, [](benchmark::internal::Benchmark* bench) {
    bench->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Apply(RunFor<500>);
});

} // namespace
} // namespace quendra::bench
