// ScriptedUser: a window toolkit whose every window is answered from a script.
#include "ScriptedUser.h"

#include "SimulatedWindow.h"

#include <algorithm>
#include <deque>
#include <filesystem>

namespace quendra::scripted {

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

// The answer as the scenario wrote it, or as near as its fields tell.
std::string Describe(const Answer& answer) {
    if (!answer.description.empty()) return answer.description;
    std::string button = answer.button.empty() ? "" : ", \"button\": " + InQuotes(answer.button);
    switch (answer.kind) {
    case Answer::Kind::Button:
        return "{\"button\": " + InQuotes(answer.button) + "}";
    case Answer::Kind::Key:
        return "{\"key\": " + InQuotes(answer.key) + "}";
    case Answer::Kind::Close:
        return "{\"close\": true}";
    case Answer::Kind::Set: {
        std::string text = "{\"set\": {";
        for (size_t i = 0; i < answer.set.size(); ++i)
            text += (i ? ", " : "") + InQuotes(answer.set[i].first) + ": " + InQuotes(answer.set[i].second);
        return text + "}" + button + "}";
    }
    case Answer::Kind::Actions:
        return "{\"actions\": [" + std::to_string(answer.actions.size()) + " actions]}";
    case Answer::Kind::Choose:
        return "{\"choose\": " + (answer.choose ? InQuotes(*answer.choose) : std::string("null")) + button + "}";
    case Answer::Kind::Open:
        return "{\"open\": " + List(answer.open) + "}";
    case Answer::Kind::Search:
        if (answer.search == Answer::SearchMode::CancelQuery) return "{\"search\": \"cancel\"}";
        if (answer.search == Answer::SearchMode::CancelResults) return "{\"search\": \"cancel results\"}";
        return "{\"search\": [" + std::to_string(answer.picks.size()) + " objects]}";
    case Answer::Kind::Fill: {
        std::string text = "{\"fill\": {";
        for (size_t i = 0; i < answer.fill.size(); ++i)
            text += (i ? ", " : "") + InQuotes(answer.fill[i].first) + ": " + InQuotes(answer.fill[i].second.AsText());
        return text + "}" + button + "}";
    }
    }
    return "an answer";
}

} // namespace

struct ScriptedUser::Impl {
    std::deque<Answer> answers;
    std::vector<WindowRecord> windows;
    std::optional<std::string> failure;
    // A search answer used by the query dialog, kept for the result dialog that follows.
    std::optional<Answer> pendingSearch;

    std::optional<Answer> Next() {
        if (answers.empty()) return std::nullopt;
        Answer next = std::move(answers.front());
        answers.pop_front();
        return next;
    }

    void Fail(const std::string& message) {
        if (!failure) failure = message;
    }
    void NoAnswer(const std::string& window) { Fail("the " + window + " appeared with no answer left"); }
    void WrongAnswer(const std::string& window, const Answer& answer) {
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
    bool PlaySet(SimulatedWindow& window, const Answer& answer, const std::string& name);
    bool PlayActions(SimulatedWindow& window, const Answer& answer, const std::string& name);
};

// Plays one answer on a shown window; an answer that does not fit closes it by its frame.
void ScriptedUser::Impl::PlayWindow(SimulatedWindow& window) {
    WindowRecord record;
    record.kind = WindowRecord::Kind::Window;
    record.title = window.Caption();
    auto labels = window.LabelTexts();
    if (!labels.empty()) record.text = labels.front();
    record.rows = window.GridRows();
    record.choices = window.ComboEntries();
    size_t index = windows.size();
    windows.push_back(record);
    std::string name = "window " + InQuotes(window.Caption());

    auto answer = Next();
    if (!answer) {
        NoAnswer(name);
        windows[index].answer = "closed by its frame";
        window.CloseByFrame();
        return;
    }
    windows[index].answer = Describe(*answer);
    bool fits = true;
    switch (answer->kind) {
    case Answer::Kind::Button:
        fits = window.ClickButton(answer->button);
        break;
    case Answer::Kind::Key:
        fits = window.PressKey(answer->key);
        break;
    case Answer::Kind::Close:
        window.CloseByFrame();
        break;
    case Answer::Kind::Set:
        fits = PlaySet(window, *answer, name);
        break;
    case Answer::Kind::Actions:
        fits = PlayActions(window, *answer, name);
        break;
    case Answer::Kind::Choose:
        fits = window.Choose(answer->choose) && window.ClickButton(answer->button.empty() ? "OK" : answer->button);
        break;
    default:
        fits = false;
        break;
    }
    if (!fits) {
        WrongAnswer(name, *answer);
    } else if (window.Visible()) {
        Fail("the answer " + Describe(*answer) + " left the " + name + " open");
    }
    window.CloseByFrame();
}

bool ScriptedUser::Impl::PlaySet(SimulatedWindow& window, const Answer& answer, const std::string& name) {
    if (!window.HasGrid()) return false;
    auto rows = window.GridRows();
    for (const auto& entry : answer.set) {
        const std::string& display = entry.first;
        bool known = std::any_of(rows.begin(), rows.end(), [&](const auto& row) { return row.first == display; });
        if (!known) {
            Fail("the answer " + Describe(answer) + " names no row " + InQuotes(display) + " of the " + name);
            return true;
        }
    }
    for (size_t r = 0; r < rows.size(); ++r) {
        auto wanted = std::find_if(answer.set.begin(), answer.set.end(),
                                   [&](const auto& entry) { return entry.first == rows[r].first; });
        if (wanted == answer.set.end()) continue;
        window.ClickCell(static_cast<int>(r), 1);
        window.SelectAll();
        window.Type(wanted->second);
    }
    return window.ClickButton(answer.button.empty() ? "OK" : answer.button);
}

bool ScriptedUser::Impl::PlayActions(SimulatedWindow& window, const Answer& answer, const std::string& name) {
    for (const Action& action : answer.actions) {
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

void ScriptedUser::Impl::OpenFileDialog::ShowOpen() {
    const std::string name = "open-file dialog";
    WindowRecord record;
    record.kind = WindowRecord::Kind::OpenFile;
    record.filter = filter_;
    fileName_.clear();
    auto answer = user_.Next();
    if (!answer) {
        user_.NoAnswer(name);
        record.answer = "cancelled";
    } else if (answer->kind != Answer::Kind::Open) {
        user_.WrongAnswer(name, *answer);
        record.answer = "cancelled";
    } else {
        record.answer = Describe(*answer);
        const auto& paths = answer->open;
        if (paths.size() == 1) {
            fileName_ = paths.front();
        } else if (!paths.empty()) {
            std::string folder = std::filesystem::path(paths.front()).parent_path().string();
            bool sameFolder = (flags_ & 0x200) != 0;
            std::string names;
            for (const auto& path : paths) {
                std::filesystem::path file(path);
                if (file.parent_path().string() != folder) sameFolder = false;
                names += std::string(1, '\0') + file.filename().string();
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

void ScriptedUser::SetAnswers(std::vector<Answer> answers) {
    impl_->answers.assign(std::make_move_iterator(answers.begin()), std::make_move_iterator(answers.end()));
    impl_->windows.clear();
    impl_->failure.reset();
    impl_->pendingSearch.reset();
}

const std::vector<WindowRecord>& ScriptedUser::Windows() const {
    return impl_->windows;
}

const std::optional<std::string>& ScriptedUser::Failure() const {
    return impl_->failure;
}

size_t ScriptedUser::AnswersLeft() const {
    return impl_->answers.size();
}

ui::Answer ScriptedUser::MessageBox(const std::string& text, const std::string& title, ui::Icon icon,
                                    ui::Buttons buttons, ui::Answer defaultButton) {
    WindowRecord record;
    record.kind = WindowRecord::Kind::MessageBox;
    record.text = text;
    record.title = title;
    record.icon = IconName(icon);
    record.buttons = buttons == ui::Buttons::Ok ? "OK" : "YesNo";
    const std::string name = "message box " + InQuotes(text);
    ui::Answer result = defaultButton;
    std::optional<ui::Answer> given;
    auto answer = impl_->Next();
    if (!answer) {
        impl_->NoAnswer(name);
        record.answer = "default button";
    } else {
        record.answer = Describe(*answer);
        bool okOnly = buttons == ui::Buttons::Ok;
        if (answer->kind == Answer::Kind::Button) {
            if (okOnly && answer->button == "OK") given = ui::Answer::Ok;
            if (!okOnly && answer->button == "Yes") given = ui::Answer::Yes;
            if (!okOnly && answer->button == "No") given = ui::Answer::No;
        } else if (answer->kind == Answer::Kind::Key && answer->key == "Enter") {
            given = defaultButton;
        } else if (okOnly && (answer->kind == Answer::Kind::Close ||
                              (answer->kind == Answer::Kind::Key && answer->key == "Escape"))) {
            given = ui::Answer::Ok;
        }
        if (given) {
            result = *given;
        } else {
            impl_->WrongAnswer(name, *answer);
        }
    }
    impl_->windows.push_back(record);
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
    const std::string name = "query dialog";
    WindowRecord record;
    record.kind = WindowRecord::Kind::Platform;
    record.platform = "query";
    bool confirmed = false;
    impl_->pendingSearch.reset();
    auto answer = impl_->Next();
    if (!answer) {
        impl_->NoAnswer(name);
        record.answer = "cancelled";
    } else if (answer->kind != Answer::Kind::Search) {
        impl_->WrongAnswer(name, *answer);
        record.answer = "cancelled";
    } else {
        record.answer = Describe(*answer);
        confirmed = answer->search != Answer::SearchMode::CancelQuery;
        if (confirmed) {
            query.objects = answer->picks;
            impl_->pendingSearch = std::move(*answer);
        }
    }
    impl_->windows.push_back(record);
    return confirmed;
}

bool ScriptedUser::RunResultDialog(const std::vector<embedded::SearchCandidate>& found,
                                   std::vector<embedded::ObjectKey>& picked) {
    const std::string name = "result dialog";
    WindowRecord record;
    record.kind = WindowRecord::Kind::Platform;
    record.platform = "results";
    std::optional<Answer> answer = std::move(impl_->pendingSearch);
    impl_->pendingSearch.reset();
    if (!answer) answer = impl_->Next();
    bool confirmed = false;
    picked.clear();
    if (!answer) {
        impl_->NoAnswer(name);
        record.answer = "cancelled";
    } else if (answer->kind != Answer::Kind::Search || answer->search == Answer::SearchMode::CancelQuery) {
        impl_->WrongAnswer(name, *answer);
        record.answer = "cancelled";
    } else {
        record.answer = Describe(*answer);
        confirmed = answer->search == Answer::SearchMode::Pick;
        for (const auto& key : answer->picks) {
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
    impl_->windows.push_back(record);
    return confirmed;
}

bool ScriptedUser::RunNewObjectDialog(const std::string& className, std::vector<embedded::NewObjectField>& fields) {
    const std::string name = "new-object dialog of " + InQuotes(className);
    WindowRecord record;
    record.kind = WindowRecord::Kind::Platform;
    record.platform = "newObject";
    record.className = className;
    bool accepted = false;
    auto answer = impl_->Next();
    if (!answer) {
        impl_->NoAnswer(name);
        record.answer = "cancelled";
    } else if ((answer->kind != Answer::Kind::Fill && answer->kind != Answer::Kind::Button) ||
               (answer->button != "OK" && answer->button != "Cancel")) {
        impl_->WrongAnswer(name, *answer);
        record.answer = "cancelled";
    } else {
        record.answer = Describe(*answer);
        accepted = answer->button == "OK";
        for (const auto& entry : answer->fill) {
            const std::string& attribute = entry.first;
            const Value& value = entry.second;
            auto field = std::find_if(fields.begin(), fields.end(), [&](const auto& f) { return f.name == attribute; });
            if (field == fields.end()) {
                impl_->Fail("the answer " + Describe(*answer) + " fills " + InQuotes(attribute) + ", which the " +
                            name + " does not show");
                accepted = false;
                break;
            }
            field->value = value;
        }
    }
    impl_->windows.push_back(record);
    return accepted;
}

const char* IconName(ui::Icon icon) {
    switch (icon) {
    case ui::Icon::Information:
        return "information";
    case ui::Icon::Exclamation:
        return "exclamation";
    case ui::Icon::Critical:
        return "critical";
    case ui::Icon::Question:
        return "question";
    }
    return "";
}

} // namespace quendra::scripted
