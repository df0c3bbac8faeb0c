// PlantWorld: an in-memory "plant" database, a scripted user and helpers to make objects and read what was shown.
#pragma once

#include "CvPlatform.h"
#include "Database.h"
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

// A message box as the user saw it; the title is checked to be "Quendra" when it is collected.
struct Shown {
    std::string text;
    std::string icon;
    std::string buttons = "OK";
    bool operator==(const Shown&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const Shown& s) {
        return out << "{\"" << s.text << "\", " << s.icon << ", " << s.buttons << "}";
    }
};

inline scripted::Answer Press(const std::string& button) {
    scripted::Answer answer;
    answer.kind = scripted::Answer::Kind::Button;
    answer.button = button;
    answer.description = button;
    return answer;
}

inline scripted::Answer Edit(std::vector<std::pair<std::string, std::string>> set, const std::string& button = "OK") {
    scripted::Answer answer;
    answer.kind = scripted::Answer::Kind::Set;
    answer.set = std::move(set);
    answer.button = button;
    answer.description = "set";
    return answer;
}

inline scripted::Answer Search(std::vector<ObjectKey> picks,
                               scripted::Answer::SearchMode mode = scripted::Answer::SearchMode::Pick) {
    scripted::Answer answer;
    answer.kind = scripted::Answer::Kind::Search;
    answer.picks = std::move(picks);
    answer.search = mode;
    answer.description = "search";
    return answer;
}

class PlantWorld : public ::testing::Test {
protected:
    void SetUp() override { LoginAs("carl"); }

    void LoginAs(const std::string& login) { session = db->Login(login, user); }
    int32_t Id(const std::string& login) { return db->UserId(login).value(); }

    // Stored values, later entries replacing earlier ones of the same name.
    static Values Merge(Values base, const Values& extra) {
        for (const auto& [name, value] : extra) {
            bool replaced = false;
            for (auto& entry : base)
                if (entry.first == name) entry.second = value, replaced = true;
            if (!replaced) base.emplace_back(name, value);
        }
        return base;
    }
    // A released part "Part <number>-Desc" unless the extra values say otherwise.
    ObjectKey MakePart(const std::string& number, const Values& extra = {}, const std::string& className = "Part") {
        return db->CreateObject(className, Merge({{"CN_PART_NUMBER", Value::Text(number)},
                                                  {"CN_DESCRIPTION", Value::Text("Desc")},
                                                  {"STATE", Value::Int16(5)}},
                                                 extra));
    }
    ObjectKey MakeDocument(const std::string& number, const Values& extra = {}) {
        return db->CreateObject("Document", Merge({{"CN_PART_NUMBER", Value::Text(number)},
                                                   {"FILE_NAME", Value::Text("sheet.txt")},
                                                   {"FILE_TYPE", Value::Int16(3)},
                                                   {"STATE", Value::Int16(1)}},
                                                  extra));
    }
    // Locked by that user, who also modified the object last.
    Values LockedBy(const std::string& login) {
        return {{"CN_LOCKED", Value::Bool(true)},
                {"USER_OBJECT_ID", Value::Int32(Id(login))},
                {"USER_ID_MOD", Value::Int32(Id(login))}};
    }
    Ptr<CvObject> Fetch(ObjectKey key) { return session->ObjectStore()->ObjectById(key.classId, key.objectId); }
    // An object's row: only those columns when given, those values in place of the stored ones.
    static embedded::HookRow Row(ObjectKey key, std::optional<std::vector<std::string>> columns = std::nullopt,
                                 Values values = {}) {
        embedded::HookRow row;
        row.key = key;
        row.columns = std::move(columns);
        row.values = std::move(values);
        return row;
    }
    Ptr<CvRecList> Rows(const std::vector<ObjectKey>& keys) {
        std::vector<embedded::HookRow> rows;
        for (const auto& key : keys) rows.push_back(Row(key));
        return db->MakeRecList(rows);
    }

    // Starts a step: the answers the user will give, and a fresh event log.
    void Answers(std::vector<scripted::Answer> answers) {
        user.SetAnswers(std::move(answers));
        db->Harness().ClearEvents();
    }
    // Every answer was used, each by the window it was meant for.
    void ExpectAllAnswered() {
        EXPECT_EQ(user.Failure(), std::nullopt);
        EXPECT_EQ(user.AnswersLeft(), 0u);
    }
    std::vector<Shown> Boxes() {
        std::vector<Shown> shown;
        for (const auto& window : user.Windows()) {
            if (window.kind != scripted::WindowRecord::Kind::MessageBox) continue;
            EXPECT_EQ(window.title, "Quendra");
            shown.push_back({window.text, window.icon, window.buttons});
        }
        return shown;
    }
    std::vector<Event> EventsOf(Event::Kind kind) {
        std::vector<Event> found;
        for (const auto& event : db->Harness().Events())
            if (event.kind == kind) found.push_back(event);
        return found;
    }
    std::vector<ObjectKey> Updated() {
        std::vector<ObjectKey> keys;
        for (const auto& event : EventsOf(Event::Kind::Update)) keys.push_back(event.objects.at(0));
        return keys;
    }

    std::shared_ptr<embedded::Database> db = embedded::Database::Create(":memory:", embedded::BuiltInModel("plant"));
    scripted::ScriptedUser user;
    Ptr<CvSession> session;
};

} // namespace quendra::test

namespace quendra::embedded {
inline std::ostream& operator<<(std::ostream& out, const ObjectKey& key) {
    return out << "(" << key.classId << ", " << key.objectId << ")";
}
} // namespace quendra::embedded
