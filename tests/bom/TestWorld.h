// TestWorld: an in-memory embedded database, a scripted user logged in, and short ways to script answers.
#pragma once

#include "Database.h"
#include "Names.h"
#include "ScriptedUser.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quendra::testing {

using embedded::ObjectKey;
using Values = std::vector<std::pair<std::string, Value>>;
using Texts = std::vector<std::string>;

// An answer of that kind, described as written for failure messages.
inline scripted::Answer Answer(scripted::Answer::Kind kind, const std::string& description) {
    scripted::Answer answer;
    answer.kind = kind;
    answer.description = description;
    return answer;
}

inline scripted::Answer Button(const std::string& caption) {
    auto answer = Answer(scripted::Answer::Kind::Button, "button " + caption);
    answer.button = caption;
    return answer;
}

inline scripted::Answer Search(std::vector<ObjectKey> picks) {
    auto answer = Answer(scripted::Answer::Kind::Search, "search");
    answer.picks = std::move(picks);
    return answer;
}

inline scripted::Answer CancelSearch() {
    auto answer = Answer(scripted::Answer::Kind::Search, "search cancel");
    answer.search = scripted::Answer::SearchMode::CancelQuery;
    return answer;
}

// The platform's new-object dialog: those values written, then the button.
inline scripted::Answer Fill(Values fill, const std::string& button = "OK") {
    auto answer = Answer(scripted::Answer::Kind::Fill, "fill then " + button);
    answer.fill = std::move(fill);
    answer.button = button;
    return answer;
}

// The link attribute editor: rows by display name set to the texts, then the button.
inline scripted::Answer SetRows(std::vector<std::pair<std::string, std::string>> rows,
                                const std::string& button = "OK") {
    auto answer = Answer(scripted::Answer::Kind::Set, "set then " + button);
    answer.set = std::move(rows);
    answer.button = button;
    return answer;
}

// The open-file dialog: those full paths picked, none cancels.
inline scripted::Answer Open(std::vector<std::string> paths) {
    auto answer = Answer(scripted::Answer::Kind::Open, "open");
    answer.open = std::move(paths);
    return answer;
}

// The file type window: that entry selected (nullopt: none), then the button.
inline scripted::Answer Choose(std::optional<std::string> entry, const std::string& button = "OK") {
    auto answer = Answer(scripted::Answer::Kind::Choose, "choose then " + button);
    answer.choose = std::move(entry);
    answer.button = button;
    return answer;
}

class TestWorld {
public:
    explicit TestWorld(std::shared_ptr<const embedded::Model> model = embedded::BuiltInModel("plant"),
                       const std::string& login = "carl")
        : db(embedded::Database::Create(":memory:", std::move(model))), session(db->Login(login, user)) {}

    // A released, unlocked part.
    ObjectKey Part(const std::string& number, const std::string& className = names::ClassPart, Values extra = {}) {
        Values values{{names::CN_PART_NUMBER, Value::Text(number)},
                      {"CN_DESCRIPTION", Value::Text("Item " + number)},
                      {names::STATE, Value::Int16(5)}};
        values.insert(values.end(), extra.begin(), extra.end());
        return db->CreateObject(className, values);
    }
    ObjectKey TreeLink(ObjectKey parent, ObjectKey child, Values values = {}) {
        return db->CreateLink(names::LinkClassPartsTree, parent, child, values);
    }
    std::vector<ObjectKey> TreeLinks(ObjectKey parent, ObjectKey child) {
        return db->FindLinks(names::LinkClassPartsTree, parent, child);
    }

    Ptr<CvRecList> RowOf(ObjectKey object) {
        embedded::HookRow row;
        row.kind = embedded::HookRow::Kind::Object;
        row.key = object;
        return db->MakeRecList({row});
    }
    Ptr<CvRecList> RowOfLink(ObjectKey link) {
        embedded::HookRow row;
        row.kind = embedded::HookRow::Kind::Link;
        row.key = link;
        return db->MakeRecList({row});
    }
    // The object as the store gives it, retrieved.
    Ptr<CvObject> Fetch(ObjectKey key) {
        auto object = session->ObjectStore()->ObjectById(key.classId, key.objectId)->WorkingObject();
        object->Retrieve();
        return object;
    }
    std::string Text(ObjectKey key, const std::string& attribute) { return db->ReadValue(key, attribute).AsText(); }
    int32_t UserId(const std::string& login) { return *db->UserId(login); }

    void Answers(std::vector<scripted::Answer> answers) { user.SetAnswers(std::move(answers)); }

    // Every window shown since the answers were set, one line each.
    Texts Shown() const {
        Texts lines;
        for (const auto& window : user.Windows()) {
            switch (window.kind) {
            case scripted::WindowRecord::Kind::MessageBox:
                lines.push_back(window.icon + "/" + window.buttons + ": " + window.text);
                break;
            case scripted::WindowRecord::Kind::Window:
                lines.push_back("window " + window.title + (window.text.empty() ? "" : ": " + window.text));
                break;
            case scripted::WindowRecord::Kind::OpenFile:
                lines.push_back("open " + window.filter);
                break;
            case scripted::WindowRecord::Kind::Platform:
                lines.push_back("platform " + window.platform +
                                (window.className.empty() ? "" : " " + window.className));
                break;
            }
        }
        return lines;
    }
    // Every window had its answer and no answer is left over.
    void ExpectScriptPlayed() const {
        EXPECT_FALSE(user.Failure().has_value()) << *user.Failure();
        EXPECT_EQ(user.AnswersLeft(), 0u);
    }

    std::vector<embedded::Event> EventsOf(embedded::Event::Kind kind) const {
        std::vector<embedded::Event> found;
        for (const auto& event : db->Harness().Events())
            if (event.kind == kind) found.push_back(event);
        return found;
    }

    scripted::ScriptedUser user;
    std::shared_ptr<embedded::Database> db;
    Ptr<CvSession> session;
};

} // namespace quendra::testing
