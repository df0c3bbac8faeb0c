// What a window showed and how it was answered, by a script or by a person: the answer and record
// types that the scripted toolkit plays, the Qt toolkit logs and playback reads and writes.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "PlatformDialogs.h"
#include "WindowSystem.h"

#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace quendra::answering {

// One low-level user action: ["click", row, col], ["type", "text"], ["key", "Down"], ["button", "OK"],
// ["close"] (closes the window by its frame).
struct Action {
    std::string verb;
    int row = 0;
    int col = 0;
    std::string text; // type: the text; key: the key name; button: the caption
};

// One answer to one window, one struct per kind.
namespace answers {
struct Button {
    std::string caption;
};
struct Key {
    std::string name; // "Enter"
};
// Closes the window by its frame.
struct Close {};
struct Set {
    std::vector<std::pair<std::string, std::string>> rows; // display name -> text, in the given order
    std::string button;                                    // the button that ends it, "" for OK
};
struct Actions {
    std::vector<Action> actions;
};
struct Choose {
    std::optional<std::string> entry; // nullopt selects nothing
    std::string button;
};
struct Open {
    std::vector<std::string> paths; // full paths; none cancels
};
struct Search {
    enum class Mode { Pick, CancelQuery, CancelResults };
    Mode mode = Mode::Pick;
    std::vector<embedded::ObjectKey> picks; // the objects picked, in order
};
struct Fill {
    std::vector<std::pair<std::string, Value>> values; // attribute name -> value
    std::string button;
};
} // namespace answers

struct Answer {
    std::variant<answers::Button, answers::Key, answers::Close, answers::Set, answers::Actions, answers::Choose,
                 answers::Open, answers::Search, answers::Fill>
        what;
    std::string description; // the answer as written, for messages
};

// One window that appeared, one struct per kind.
namespace records {
struct MessageBox {
    std::string text;
    std::string title;
    ui::Icon icon = ui::Icon::Information;
    ui::Buttons buttons = ui::Buttons::Ok;
    bool operator==(const MessageBox&) const = default;
};
struct Window {
    std::string title;                                     // the caption
    std::string text;                                      // the first label's text
    std::vector<std::pair<std::string, std::string>> rows; // link attribute editor rows as shown
    std::vector<std::string> choices;                      // file type window entries
    bool operator==(const Window&) const = default;
};
struct OpenFile {
    std::string filter;
    bool operator==(const OpenFile&) const = default;
};
struct Platform {
    enum class Dialog { Query, Results, NewObject };
    Dialog dialog = Dialog::Query;
    std::string className; // NewObject: the class
    bool operator==(const Platform&) const = default;
};
} // namespace records

// One window that appeared, with what it showed and how it was answered.
struct WindowRecord {
    std::variant<records::MessageBox, records::Window, records::OpenFile, records::Platform> what;
    std::string answer; // how it was answered
};

} // namespace quendra::answering
