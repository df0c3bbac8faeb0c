// BenchWorld: a plant database file in WAL mode in a temporary folder (or a schema of its own on a PostgreSQL
// server), a scripted user logged in through the component, and a second plain connection that builds large data
// sets and runs the hand-written floor.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Application.h"
#include "Comparison.h"
#include "Database.h"
#include "RawSql.h"
#include "ScriptedUser.h"
#include "TempFolder.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quendra::bench {

using embedded::ObjectKey;

// Table and class ids of the plant model, as the floor writes them by hand.
inline constexpr int16_t PartClass = 11;
inline constexpr int16_t DocumentClass = 21;
inline constexpr int16_t PartsTreeClass = 91;
inline constexpr int16_t SpecificationClass = 92;

answering::Answer ButtonAnswer(const std::string& caption);

// The floor takes an object id as the platform does: read the counter before the insert, move it on after (on a
// server: take the sequence's next number).
int64_t NextObjectId(RawSql& sql);
void MoveCounterPast(RawSql& sql, int64_t objectId);

struct ChildLink {
    int32_t link;
    int32_t child;
};
// The links below a part in both link tables it may be the parent in, as the platform reads them for a copy.
std::vector<ChildLink> ChildLinks(RawSql& sql, int32_t parent);

class BenchWorld {
public:
    // On a server when its address is given: in a new schema, dropped at the end.
    explicit BenchWorld(const std::string& login = "carl", const std::string& server = "");
    BenchWorld(const BenchWorld&) = delete;
    BenchWorld& operator=(const BenchWorld&) = delete;

    // Object ids taken from the platform's counter, as its own inserts would take them.
    int32_t ReserveIds(int32_t count);
    // Parts of the class Part, state 5, numbered prefix + position, in one transaction.
    std::vector<int32_t> AddParts(int32_t count, const std::string& prefix, bool lockedByUser);
    // Links of a link class (parent id, child id, quantity, position), in one transaction.
    void AddLinks(int16_t linkClass, int16_t parentClass, int16_t childClass,
                  const std::vector<std::pair<int32_t, int32_t>>& ends);
    // The record list a hook receives for these parts.
    Ptr<CvRecList> RowsOf(const std::vector<int32_t>& partIds, int16_t classId = PartClass);
    Ptr<CvObject> Fetch(int16_t classId, int32_t objectId);
    void Answers(std::vector<answering::Answer> answers) { user.SetAnswers(std::move(answers)); }
    // The single number a query answers (a check that the hook did its work).
    int64_t Number(const std::string& select);
    // Every 32nd call: copies the write-ahead log into the database file and starts the log afresh with a write
    // of the benchmark's own table, so that the log stays far below the size at which a commit checkpoints it. Which
    // connection's commit crosses that size is otherwise decided by the order of the writes in an iteration,
    // and the same side would pay for every checkpoint.
    void Checkpoint();
    // Fails the benchmark run when a window went unanswered or answers are left.
    void CheckScriptPlayed() const;
    // On a server: the comparison counts the requests of the hook and of the floor, and runs each hook call as one
    // transaction, as the command and the desktop run a call there.
    void CountRoundTrips(Comparison& comparison) const;

    playback::TempFolder folder; // declared first: removed after everything that uses the file is closed
    std::optional<embedded::ServerSchema> schema; // likewise on a server
    std::string path;
    scripted::ScriptedUser user;
    std::shared_ptr<embedded::Database> db;
    Ptr<CvSession> session;
    Application app{user};
    int32_t userId = 0;
    std::unique_ptr<RawSql> sql;

private:
    int checkpointCalls_ = 0;
};

} // namespace quendra::bench
