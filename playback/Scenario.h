// Scenario: a scenario file as read, before anything is resolved against a database.
//
// Values stay as the file writes them (with their JSON path) until the world knows the
// attribute types; refs stay as text until they are used.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "JsonCursor.h"

#include "ScriptedUser.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace quendra::playback {

// A value as the file writes it: a scalar, {"user": login}, {"id": ref} or {"file": path}.
struct WrittenValue {
    Json json;
    std::string path;
};
// Attribute name -> value, in file order.
using ValueMap = std::vector<std::pair<std::string, WrittenValue>>;

struct ScenarioUser {
    std::string login;
    bool admin = false;
    ValueMap values;
    std::string path;
};

struct ScenarioObject {
    std::string ref;
    std::string className;
    ValueMap values;
    std::string path;
};

struct ScenarioLink {
    std::string ref;
    std::string className;
    std::string parent, child; // refs
    ValueMap values;
    std::string path;
};

// One row of a hook's record list.
struct RowArg {
    enum class Kind { Ref, Record, PendingLink };
    Kind kind = Kind::Ref;
    std::string ref;                                 // Ref, Record
    std::optional<std::vector<std::string>> columns; // Record
    ValueMap values;                                 // Record
    std::string className, parent, child;            // PendingLink
    std::string path;
    Json written; // the row as the file writes it, for transcripts and recordings
};

// An object argument: absent, null (empty) or a ref.
struct ObjectArg {
    std::optional<std::string> ref; // nullopt: empty
    std::string path;
};

// One answer, shape checked; refs, file paths and values resolved when the step runs.
struct ScenarioAnswer {
    answering::Answer answer;            // everything but picks, open paths and fill values
    std::vector<std::string> searchRefs; // Search with Pick
    std::vector<std::string> openFiles;  // Open: paths relative to the scenario's file folder
    ValueMap fill;                       // Fill
    std::string path;
    Json written;
};

struct DialogExpect {
    decltype(answering::WindowRecord::what) kind; // the kind of window, by an empty record of it
    std::optional<std::string> text, title, icon, buttons, filter, platform, className;
    std::optional<std::vector<std::pair<std::string, std::string>>> rows;
    std::optional<std::vector<std::string>> choices;
    std::string path;
    Json written;
};

struct ValuesExpect {
    std::string ref;
    ValueMap values;
    std::string path;
};

struct LinksExpect {
    std::string className, parent, child;
    ValueMap values;
    std::optional<int64_t> count;
    std::string path;
};

struct ObjectsExpect {
    std::string className;
    int64_t count = 0;
    std::string path;
};

struct EventExpect {
    std::string kind;                             // one of embedded::EventKinds
    std::optional<std::string> text;              // sql, forward; error: the failure's text when given
    std::optional<std::string> operation;         // error: the operation that failed
    std::optional<int64_t> code;                  // notify: the code; refresh: the action
    std::optional<bool> flag;                     // notify
    std::optional<std::vector<std::string>> refs; // notify, refresh: objects; the others: the one object
    std::string path;
    Json written;
};

// One entry of "sequence": a window or an event.
using MomentExpect = std::variant<DialogExpect, EventExpect>;

// "result": 0, 1 or "error".
struct ResultExpect {
    std::variant<int64_t, std::string> value;
    std::string path;
};

struct Expectations {
    std::optional<ResultExpect> result;
    std::optional<std::vector<DialogExpect>> dialogs;
    std::string dialogsPath;
    std::vector<ValuesExpect> values;
    std::vector<LinksExpect> links;
    std::vector<ObjectsExpect> objects;
    std::optional<std::vector<EventExpect>> events;
    std::string eventsPath;
    std::optional<std::vector<MomentExpect>> sequence;
    std::map<std::string, ObjectArg> objectArgs; // "MyNewPart", "FromObj"
};

// The nth call (from 1) of a platform operation during the step fails.
struct ScenarioFault {
    std::string call; // "CvObject.Update"
    int nth = 1;
    std::string path;
};

struct ScenarioStep {
    std::optional<std::string> user;
    std::string hook;
    std::optional<std::vector<RowArg>> rows;
    std::map<std::string, std::string> texts;    // LinkAttributes, SelectOp, Extensions, FileTypes
    std::map<std::string, ObjectArg> objectArgs; // Obj, FromObj, MyNewPart
    std::vector<ScenarioAnswer> answers;
    std::vector<ScenarioFault> faults;
    bool readOnly = false;
    Expectations expect;
    std::string path;
};

struct Scenario {
    std::string file;   // as named on the command line
    std::string folder; // the folder of the file, for relative model and database paths
    std::string description;
    std::string model;    // built-in name or path relative to the file; empty with `database`
    std::string database; // a database file to start from instead of a model (path relative to the file)
    // "sessions": "per user": each user's steps share one session, opened at the user's first step and kept to
    // the end of the file; else ("per step") each step logs its user in afresh.
    bool sessionPerUser = false;
    std::vector<ScenarioUser> users;
    std::vector<std::pair<std::string, std::string>> files; // path relative to the fresh folder -> content
    std::vector<ScenarioObject> objects;
    std::vector<ScenarioLink> links;
    std::vector<ScenarioStep> steps;
};

} // namespace quendra::playback
