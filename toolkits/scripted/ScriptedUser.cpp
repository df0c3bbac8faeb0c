// ScriptedUser: a window toolkit whose every window is answered from a script.
// SPDX-License-Identifier: Apache-2.0
#include "ScriptedUser.h"

#include "FilePath.h"
#include "SimulatedWindow.h"

#include <algorithm>
#include <filesystem>
#include <span>
#include <string_view>
#include <variant>

namespace quendra::scripted {

using namespace std::string_view_literals;

namespace {

// A caption, key or value in double quotes, as the messages about answers show it.
std::string InQuotes(const std::string& text) {
    return "\"" + text + "\"";
}

std::string List(const std::vector<std::string>& items) {
    std::string text = "[";
    for (size_t i = 0; i < items.size(); ++i) text += (i ? ", " : "") + InQuotes(items[i]);
    return text + "]";
}

template <class... Ways> struct Overloaded : Ways... { using Ways::operator()...; };
template <class... Ways> Overloaded(Ways...) -> Overloaded<Ways...>;

std::string WithButton(const std::string& button) {
    return button.empty() ? "" : ", \"button\": " + InQuotes(button);
}

// The answer as the scenario wrote it, or as near as its fields tell.
std::string Describe(const answering::Answer& answer) {
    if (!answer.description.empty()) return answer.description;
    return std::visit(
        Overloaded{
            [](const answering::answers::Button& a) { return "{\"button\": " + InQuotes(a.caption) + "}"; },
            [](const answering::answers::Key& a) { return "{\"key\": " + InQuotes(a.name) + "}"; },
            [](const answering::answers::Close&) { return std::string("{\"close\": true}"); },
            [](const answering::answers::Set& a) {
                std::string text = "{\"set\": {";
                for (size_t i = 0; i < a.rows.size(); ++i)
                    text += (i ? ", " : "") + InQuotes(a.rows[i].first) + ": " + InQuotes(a.rows[i].second);
                return text + "}" + WithButton(a.button) + "}";
            },
            [](const answering::answers::Actions& a) {
                return "{\"actions\": [" + std::to_string(a.actions.size()) + " actions]}";
            },
            [](const answering::answers::Choose& a) {
                return "{\"choose\": " + (a.entry ? InQuotes(*a.entry) : std::string("null")) + WithButton(a.button) +
                       "}";
            },
            [](const answering::answers::Open& a) { return "{\"open\": " + List(a.paths) + "}"; },
            [](const answering::answers::Search& a) {
                if (a.mode == answering::answers::Search::Mode::CancelQuery)
                    return std::string("{\"search\": \"cancel\"}");
                if (a.mode == answering::answers::Search::Mode::CancelResults)
                    return std::string("{\"search\": \"cancel results\"}");
                return "{\"search\": [" + std::to_string(a.picks.size()) + " objects]}";
            },
            [](const answering::answers::Fill& a) {
                std::string text = "{\"fill\": {";
                for (size_t i = 0; i < a.values.size(); ++i)
                    text +=
                        (i ? ", " : "") + InQuotes(a.values[i].first) + ": " + InQuotes(a.values[i].second.AsText());
                return text + "}" + WithButton(a.button) + "}";
            },
        },
        answer.what);
}

// Notes how a window was answered: the answer as the scenario wrote it, copied straight into the note.
void NoteAnswer(std::string& note, const answering::Answer& answer) {
    if (answer.description.empty())
        note = Describe(answer);
    else
        note = answer.description;
}

} // namespace

struct ScriptedUser::Impl {
    // The answers stay until the next script replaces them; those from next on are still to come.
    std::vector<answering::Answer> answers;
    size_t next = 0;
    std::vector<answering::WindowRecord> windows;
    std::optional<std::string> failure;
    // A search answer used by the query dialog, kept for the result dialog that follows.
    const answering::Answer* pendingSearch = nullptr;

    // The answer to the window that appeared, null when none is left.
    const answering::Answer* Next() { return next < answers.size() ? &answers[next++] : nullptr; }

    void Fail(const std::string& message) {
        if (!failure) failure = message;
    }
    void NoAnswer(const std::string& window) { Fail("the " + window + " appeared with no answer left"); }
    void WrongAnswer(const std::string& window, const answering::Answer& answer) {
        Fail("the answer " + Describe(answer) + " does not fit the " + window);
    }

    // The open-file dialog: picks the files of an open answer.
    class OpenFileDialog : public ui::CommonDialog {
    public:
        explicit OpenFileDialog(Impl& user) : user_(user) {}
        void SetFilter(const std::string& filter) override { filter_ = filter; }
        void SetFlags(int32_t flags) override { flags_ = flags; }
        std::string FileName() const override { return fileName_; }
        void ShowOpen() override;

    private:
        Impl& user_;
        std::string filter_;
        int32_t flags_ = 0;
        std::string fileName_;
    };

    void PlayWindow(SimulatedWindow& window);
    bool PlaySet(SimulatedWindow& window, const answering::Answer& answer, const std::string& name);
    bool PlayActions(SimulatedWindow& window, const answering::Answer& answer, const std::string& name);
    // The platform's dialogs: the answer of the kind they take, after noting the window.
    // The name is made into a text only for a failure.
    template <class Kind>
    const Kind* Take(const answering::Answer* answer, answering::WindowRecord& record, const char* name);
};

// Plays one answer on a shown window; an answer that does not fit closes it by its frame.
void ScriptedUser::Impl::PlayWindow(SimulatedWindow& window) {
    answering::records::Window shown{window.Caption(), "", window.GridRows(), window.ComboEntries()};
    auto labels = window.LabelTexts();
    if (!labels.empty()) shown.text = labels.front();
    size_t index = windows.size();
    windows.push_back({shown, ""});
    std::string name = "window " + InQuotes(window.Caption());

    const answering::Answer* answer = Next();
    if (!answer) {
        NoAnswer(name);
        windows[index].answer = "closed by its frame";
        window.CloseByFrame();
        return;
    }
    NoteAnswer(windows[index].answer, *answer);
    bool fits =
        std::visit(Overloaded{
                       [&](const answering::answers::Button& a) { return window.ClickButton(a.caption); },
                       [&](const answering::answers::Key& a) { return window.PressKey(a.name); },
                       [&](const answering::answers::Close&) {
                           window.CloseByFrame();
                           return true;
                       },
                       [&](const answering::answers::Set&) { return PlaySet(window, *answer, name); },
                       [&](const answering::answers::Actions&) { return PlayActions(window, *answer, name); },
                       [&](const answering::answers::Choose& a) {
                           return window.Choose(a.entry) && window.ClickButton(a.button.empty() ? "OK" : a.button);
                       },
                       [](const auto&) { return false; },
                   },
                   answer->what);
    if (!fits) {
        WrongAnswer(name, *answer);
    } else if (window.Visible()) {
        Fail("the answer " + Describe(*answer) + " left the " + name + " open");
    }
    window.CloseByFrame();
}

bool ScriptedUser::Impl::PlaySet(SimulatedWindow& window, const answering::Answer& answer, const std::string& name) {
    if (!window.HasGrid()) return false;
    const auto& set = std::get<answering::answers::Set>(answer.what);
    auto rows = window.GridRows();
    for (const auto& entry : set.rows) {
        const std::string& display = entry.first;
        bool known = std::any_of(rows.begin(), rows.end(), [&](const auto& row) { return row.first == display; });
        if (!known) {
            Fail("the answer " + Describe(answer) + " names no row " + InQuotes(display) + " of the " + name);
            return true;
        }
    }
    for (size_t r = 0; r < rows.size(); ++r) {
        auto wanted = std::find_if(set.rows.begin(), set.rows.end(),
                                   [&](const auto& entry) { return entry.first == rows[r].first; });
        if (wanted == set.rows.end()) continue;
        window.ClickCell(static_cast<int>(r), 1);
        window.SelectAll();
        window.Type(wanted->second);
    }
    return window.ClickButton(set.button.empty() ? "OK" : set.button);
}

bool ScriptedUser::Impl::PlayActions(SimulatedWindow& window, const answering::Answer& answer,
                                     const std::string& name) {
    for (const answering::Action& action : std::get<answering::answers::Actions>(answer.what).actions) {
        if (!window.Visible()) {
            Fail("the answer " + Describe(answer) + " acts on the " + name + " after it closed");
            return true;
        }
        bool done = false;
        if (action.verb == "click") done = window.ClickCell(action.row, action.col);
        if (action.verb == "type") {
            window.Type(action.text);
            done = true;
        }
        if (action.verb == "key") done = window.PressKey(action.text);
        if (action.verb == "button") done = window.ClickButton(action.text);
        if (action.verb == "close") {
            window.CloseByFrame();
            done = true;
        }
        if (!done) {
            Fail("the action " + InQuotes(action.verb) + " of the answer " + Describe(answer) +
                 " cannot be done in the " + name);
            return true;
        }
    }
    return true;
}

template <class Kind>
const Kind* ScriptedUser::Impl::Take(const answering::Answer* answer, answering::WindowRecord& record,
                                     const char* name) {
    const auto* taken = answer ? std::get_if<Kind>(&answer->what) : nullptr;
    if (!answer) {
        NoAnswer(name);
    } else if (!taken) {
        WrongAnswer(name, *answer);
    }
    if (taken)
        NoteAnswer(record.answer, *answer);
    else
        record.answer = "cancelled";
    return taken;
}

void ScriptedUser::Impl::OpenFileDialog::ShowOpen() {
    const char* name = "open-file dialog";
    answering::WindowRecord record{answering::records::OpenFile{filter_}, ""};
    fileName_.clear();
    const answering::Answer* answer = user_.Next();
    if (const auto* open = user_.Take<answering::answers::Open>(answer, record, name)) {
        const auto& paths = open->paths;
        if (paths.size() == 1) {
            fileName_ = paths.front();
        } else if (!paths.empty()) {
            std::string folder = TextFromPath(PathFromText(paths.front()).parent_path());
            bool sameFolder = (flags_ & 0x200) != 0;
            std::string names;
            for (const auto& path : paths) {
                auto file = PathFromText(path);
                if (TextFromPath(file.parent_path()) != folder) sameFolder = false;
                names += std::string(1, '\0') + TextFromPath(file.filename());
            }
            if (sameFolder) {
                fileName_ = folder + names;
            } else {
                user_.Fail("the answer " + Describe(*answer) + " picks files the " + name + " cannot pick together");
            }
        }
    }
    user_.windows.push_back(record);
}

ScriptedUser::ScriptedUser() : impl_(std::make_unique<Impl>()) {}

ScriptedUser::~ScriptedUser() = default;

void ScriptedUser::SetAnswers(std::vector<answering::Answer> answers) {
    impl_->answers = std::move(answers);
    impl_->next = 0;
    impl_->windows.clear();
    impl_->failure.reset();
    impl_->pendingSearch = nullptr;
}

const std::vector<answering::WindowRecord>& ScriptedUser::Windows() const {
    return impl_->windows;
}

const std::optional<std::string>& ScriptedUser::Failure() const {
    return impl_->failure;
}

size_t ScriptedUser::AnswersLeft() const {
    return impl_->answers.size() - impl_->next;
}

ui::Answer ScriptedUser::MessageBox(const std::string& text, const std::string& title, ui::Icon icon,
                                    ui::Buttons buttons, ui::Answer defaultButton) {
    // The record is made where it stays.
    answering::WindowRecord& record = impl_->windows.emplace_back();
    record.what = answering::records::MessageBox{text, title, icon, buttons};
    // Named only in a failure: the text can be long.
    auto name = [&text] { return "message box " + InQuotes(text); };
    ui::Answer result = defaultButton;
    std::optional<ui::Answer> given;
    const answering::Answer* answer = impl_->Next();
    if (!answer) {
        impl_->NoAnswer(name());
        record.answer = "default button";
    } else {
        NoteAnswer(record.answer, *answer);
        bool okOnly = buttons == ui::Buttons::Ok;
        const auto* key = std::get_if<answering::answers::Key>(&answer->what);
        if (const auto* button = std::get_if<answering::answers::Button>(&answer->what)) {
            if (okOnly && button->caption == "OK"sv) given = ui::Answer::Ok;
            if (!okOnly && button->caption == "Yes"sv) given = ui::Answer::Yes;
            if (!okOnly && button->caption == "No"sv) given = ui::Answer::No;
        } else if (key && key->name == "Enter"sv) {
            given = defaultButton;
        } else if (okOnly && (std::holds_alternative<answering::answers::Close>(answer->what) ||
                              (key && key->name == "Escape"sv))) {
            given = ui::Answer::Ok;
        }
        if (given) {
            result = *given;
        } else {
            impl_->WrongAnswer(name(), *answer);
        }
    }
    return result;
}

std::unique_ptr<ui::CommonDialog> ScriptedUser::CreateCommonDialog() {
    return std::make_unique<Impl::OpenFileDialog>(*impl_);
}

std::unique_ptr<ui::Window> ScriptedUser::CreateWindow(const std::string& caption, int clientWidth, int clientHeight,
                                                       ui::WindowEvents& events) {
    Impl* impl = impl_.get();
    return std::make_unique<SimulatedWindow>(caption, clientWidth, clientHeight, events,
                                             [impl](SimulatedWindow& window) { impl->PlayWindow(window); });
}

bool ScriptedUser::RunQueryDialog(const std::vector<std::pair<int16_t, std::string>>&, embedded::SearchQuery& query) {
    answering::WindowRecord& record = impl_->windows.emplace_back(
        answering::WindowRecord{answering::records::Platform{answering::records::Platform::Dialog::Query, {}}, {}});
    bool confirmed = false;
    const answering::Answer* answer = impl_->Next();
    if (const auto* search = impl_->Take<answering::answers::Search>(answer, record, "query dialog")) {
        confirmed = search->mode != answering::answers::Search::Mode::CancelQuery;
        if (confirmed) query.objects = search->picks;
    }
    // A confirmed search answer serves the result dialog that follows too.
    impl_->pendingSearch = confirmed ? answer : nullptr;
    return confirmed;
}

bool ScriptedUser::RunResultDialog(const std::vector<embedded::SearchCandidate>& found,
                                   std::vector<embedded::ObjectKey>& picked) {
    const char* name = "result dialog";
    answering::WindowRecord& record = impl_->windows.emplace_back(
        answering::WindowRecord{answering::records::Platform{answering::records::Platform::Dialog::Results, {}}, {}});
    const answering::Answer* answer = impl_->pendingSearch ? impl_->pendingSearch : impl_->Next();
    impl_->pendingSearch = nullptr; // used up by this dialog
    bool confirmed = false;
    picked.clear();
    const auto* search = impl_->Take<answering::answers::Search>(answer, record, name);
    if (search && search->mode == answering::answers::Search::Mode::CancelQuery) {
        impl_->WrongAnswer(name, *answer);
        record.answer = "cancelled";
    } else if (search) {
        confirmed = search->mode == answering::answers::Search::Mode::Pick;
        for (const auto& key : search->picks) {
            bool shown = std::any_of(found.begin(), found.end(), [&](const auto& c) { return c.key == key; });
            if (!shown) {
                impl_->Fail("the answer " + Describe(*answer) + " picks an object the " + name + " does not list");
                confirmed = false;
                picked.clear();
                break;
            }
            if (confirmed) picked.push_back(key);
        }
    }
    return confirmed;
}

bool ScriptedUser::RunNewObjectDialog(const std::string& className, std::vector<embedded::NewObjectField>& fields) {
    auto name = [&className] { return "new-object dialog of " + InQuotes(className); };
    answering::WindowRecord& record = impl_->windows.emplace_back(answering::WindowRecord{
        answering::records::Platform{answering::records::Platform::Dialog::NewObject, className}, {}});
    bool accepted = false;
    const answering::Answer* answer = impl_->Next();
    const auto* fill = answer ? std::get_if<answering::answers::Fill>(&answer->what) : nullptr;
    const auto* alone = answer ? std::get_if<answering::answers::Button>(&answer->what) : nullptr; // fills nothing
    const std::string* button = fill ? &fill->button : alone ? &alone->caption : nullptr;
    std::span<const std::pair<std::string, Value>> values;
    if (fill) values = fill->values;
    if (!answer) {
        impl_->NoAnswer(name());
        record.answer = "cancelled";
    } else if (!button || (*button != "OK" && *button != "Cancel")) {
        impl_->WrongAnswer(name(), *answer);
        record.answer = "cancelled";
    } else {
        NoteAnswer(record.answer, *answer);
        accepted = *button == "OK";
        for (const auto& [attribute, value] : values) {
            auto field = std::find_if(fields.begin(), fields.end(),
                                      [&wanted = attribute](const auto& f) { return f.name == wanted; });
            if (field == fields.end()) {
                impl_->Fail("the answer " + Describe(*answer) + " fills " + InQuotes(attribute) + ", which the " +
                            name() + " does not show");
                accepted = false;
                break;
            }
            field->value = value;
        }
    }
    return accepted;
}

} // namespace quendra::scripted
