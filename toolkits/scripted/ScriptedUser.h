// ScriptedUser: a window toolkit whose every window is answered from a script.
//
// Answers are used in the order windows appear, one answer per window (a Search answer
// serves the query dialog and the result dialog after it). A window with no answer left or
// an answer of the wrong kind records a failure naming both, then closes the window as its
// frame would (message boxes answer their default), so the hook runs to its end.
#pragma once

#include "PlatformDialogs.h"
#include "WindowSystem.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quendra::scripted {

// One low-level user action: ["click", row, col], ["type", "text"], ["key", "Down"], ["button", "OK"],
// ["close"] (closes the window by its frame).
struct Action {
    std::string verb;
    int row = 0;
    int col = 0;
    std::string text; // type: the text; key: the key name; button: the caption
};

struct Answer {
    enum class Kind { Button, Key, Close, Set, Actions, Choose, Open, Search, Fill };
    enum class SearchMode { Pick, CancelQuery, CancelResults };

    Kind kind = Kind::Button;
    std::string button;                                   // Button; the button ending Set, Choose and Fill
    std::string key;                                      // Key: "Enter"
    std::vector<std::pair<std::string, std::string>> set; // Set: display name -> text, in the given order
    std::vector<Action> actions;                          // Actions
    std::optional<std::string> choose;                    // Choose: entry text; nullopt selects nothing
    std::vector<std::string> open;                        // Open: full paths; empty cancels
    SearchMode search = SearchMode::Pick;                 // Search
    std::vector<embedded::ObjectKey> picks;               // Search: the objects picked, in order
    std::vector<std::pair<std::string, Value>> fill;      // Fill: attribute name -> value
    std::string description;                              // the answer as written, for messages
};

// The name of a message box icon as window records and scenario files write it.
const char* IconName(ui::Icon icon);

// One window that appeared, with what it showed and how it was answered.
struct WindowRecord {
    enum class Kind { MessageBox, Window, OpenFile, Platform };
    Kind kind = Kind::MessageBox;
    std::string text;    // MessageBox: the text; Window: the label text
    std::string title;   // MessageBox: the title; Window: the caption
    std::string icon;    // MessageBox: "information", "exclamation", "critical", "question"
    std::string buttons; // MessageBox: "OK" or "YesNo"
    std::vector<std::pair<std::string, std::string>> rows; // link attribute editor rows as shown
    std::vector<std::string> choices;                      // file type window entries
    std::string filter;                                    // OpenFile: the filter text
    std::string platform;                                  // Platform: "query", "results", "newObject"
    std::string className;                                 // Platform newObject: the class
    std::string answer;                                    // how it was answered
};

class ScriptedUser : public ui::WindowSystem, public embedded::PlatformDialogs {
public:
    ScriptedUser();
    ~ScriptedUser() override;

    // Replaces the answers still to come and forgets earlier windows and failures.
    void SetAnswers(std::vector<Answer> answers);
    const std::vector<WindowRecord>& Windows() const;
    // The first mismatch between the windows and the answers, if any.
    const std::optional<std::string>& Failure() const;
    size_t AnswersLeft() const;

    ui::Answer MessageBox(const std::string& text, const std::string& title, ui::Icon icon, ui::Buttons buttons,
                          ui::Answer defaultButton) override;
    std::unique_ptr<ui::CommonDialog> CreateCommonDialog() override;
    // Windows record what they show when shown; the first label's text is the record's text.
    std::unique_ptr<ui::Window> CreateWindow(const std::string& caption, int clientWidth, int clientHeight,
                                             ui::WindowEvents& events) override;

    bool RunQueryDialog(const std::vector<std::pair<int16_t, std::string>>& classNames,
                        embedded::SearchQuery& query) override;
    bool RunResultDialog(const std::vector<embedded::SearchCandidate>& found,
                         std::vector<embedded::ObjectKey>& picked) override;
    bool RunNewObjectDialog(const std::string& className, std::vector<embedded::NewObjectField>& fields) override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace quendra::scripted
