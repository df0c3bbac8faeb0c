// The test support layer: a world on the embedded platform with a scripted user logged in, the answers
// the user gives and what the user saw. Temporary folders are playback's TempFolder.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "Database.h"
#include "HookCatalog.h"
#include "ScriptedUser.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace quendra::test {

using embedded::Event;
using embedded::ObjectKey;
using Values = std::vector<std::pair<std::string, Value>>;
using Texts = std::vector<std::string>;

// Answers of the scripted user, as scenario files write them.
answering::Answer Press(const std::string& button);
answering::Answer KeyAnswer(const std::string& key);
answering::Answer CloseAnswer();
answering::Answer SetRows(std::vector<std::pair<std::string, std::string>> rows, const std::string& button = "OK");
answering::Answer Choose(std::optional<std::string> entry, const std::string& button = "OK");
answering::Answer Open(std::vector<std::string> paths);
answering::Answer Search(std::vector<ObjectKey> picks,
                         answering::answers::Search::Mode mode = answering::answers::Search::Mode::Pick);
answering::Answer Fill(Values fill, const std::string& button = "OK");
answering::Answer Acts(std::vector<answering::Action> actions);

// The low-level actions of an `Acts` answer.
namespace actions {
inline answering::Action Click(int row, int col) {
    return {"click", row, col, ""};
}
inline answering::Action Type(const std::string& text) {
    return {"type", 0, 0, text};
}
inline answering::Action Key(const std::string& key) {
    return {"key", 0, 0, key};
}
inline answering::Action Button(const std::string& button) {
    return {"button", 0, 0, button};
}
inline answering::Action CloseByFrame() {
    return {"close", 0, 0, ""};
}
} // namespace actions

// One line per window: "icon/buttons: text" for a message box, "window caption: text", "open filter",
// "platform kind class".
std::string Line(const answering::WindowRecord& window);

// An in-memory database of a model (the built-in "plant" unless given), a scripted user and a session.
class World {
public:
    explicit World(std::shared_ptr<const embedded::Model> model = embedded::BuiltInModel("plant"),
                   const std::string& login = "carl");

    int32_t Id(const std::string& login);

    // A released part "<number>-Desc" unless the extra values say otherwise; later values replace earlier.
    ObjectKey Part(const std::string& number, Values extra = {}, const std::string& className = "Part");
    ObjectKey Document(const std::string& number, Values extra = {});
    // Locked by that user, who also modified the object last.
    Values LockedBy(const std::string& login);
    ObjectKey TreeLink(ObjectKey parent, ObjectKey child, Values values = {});
    std::string Text(ObjectKey key, const std::string& attribute);

    // The object as the store gives it, retrieved.
    Ptr<CvObject> Fetch(ObjectKey key);
    Ptr<CvRecList> Rows(const std::vector<ObjectKey>& objects);
    Ptr<CvRecList> LinkRow(ObjectKey link);

    // Calls the hook of that name as a host would; a failure that reaches the host passes on.
    int16_t Call(const std::string& hook, playback::HookArguments& arguments);
    int16_t Call(const std::string& hook, Ptr<CvRecList> rows, const std::string& linkAttributes = "");

    // Starts a step: the answers the user will give, a fresh event log.
    void Answers(std::vector<answering::Answer> answers);
    // Every window since the answers were set, one Line each.
    Texts Shown() const;
    // Every answer was used, each by the window it was meant for.
    void ExpectAllAnswered() const;
    // The objects written, in order.
    std::vector<ObjectKey> Updated() const;

    std::shared_ptr<embedded::Database> db;
    scripted::ScriptedUser user;
    Ptr<CvSession> session;
};

// A GoogleTest fixture that is a World.
class WorldTest : public ::testing::Test, public World {};

} // namespace quendra::test

namespace quendra::embedded {
inline std::ostream& operator<<(std::ostream& out, const ObjectKey& key) {
    return out << "(" << key.classId << ", " << key.objectId << ")";
}
} // namespace quendra::embedded
