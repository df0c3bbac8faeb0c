// ScenarioParser: the scenario file format, key by key.
// SPDX-License-Identifier: Apache-2.0
#include "ScenarioParser.h"

#include "FileError.h"
#include "FilePath.h"
#include "HookCatalog.h"
#include "Selector.h"

#include "Database.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <tuple>

namespace quendra::playback {

namespace {

const std::set<std::string> Buttons = {"OK", "Yes", "No", "Cancel", "Continue"};

std::string Button(const JsonCursor& cursor) {
    auto button = cursor.String();
    if (!Buttons.contains(button)) cursor.Fail("unknown button \"" + button + "\" (OK, Yes, No, Cancel, Continue)");
    return button;
}

std::optional<std::string> OptionalString(const JsonCursor& parent, const std::string& key) {
    auto found = parent.Find(key);
    if (!found) return std::nullopt;
    return found->String();
}

std::string OneOf(const JsonCursor& cursor, const std::set<std::string>& allowed) {
    auto text = cursor.String();
    if (!allowed.contains(text)) {
        std::string names;
        for (const auto& name : allowed) names += (names.empty() ? "" : ", ") + name;
        cursor.Fail("\"" + text + "\" is none of " + names);
    }
    return text;
}

std::string RelativeFilePath(const JsonCursor& cursor, const std::string& path) {
    auto relative = PathFromText(path);
    if (path.empty() || relative.is_absolute()) cursor.Fail("\"" + path + "\" must be a path relative to the folder");
    for (const auto& part : relative)
        if (part == "..") cursor.Fail("\"" + path + "\" must stay inside the folder (no ..)");
    return path;
}

} // namespace

Scenario ScenarioParser::ReadFile(const std::string& path) {
    return ParseText(ReadFileText(path), path);
}

Scenario ScenarioParser::ParseText(const std::string& text, const std::string& file) {
    Json document = JsonCursor::Parse(text, file);
    ScenarioParser parser;
    auto folder = TextFromPath(PathFromText(file).parent_path());
    auto scenario = parser.ParseScenario(JsonCursor(document, "", file), folder);
    parser.CheckRefs();
    return scenario;
}

Scenario ScenarioParser::ParseScenario(const JsonCursor& root, const std::string& folder) {
    root.ExpectObject({"description", "model", "database", "sessions", "users", "files", "objects", "links", "steps"});
    Scenario scenario;
    scenario.file = root.File();
    scenario.folder = folder;
    if (auto description = root.Find("description")) scenario.description = description->String();
    if (auto sessions = root.Find("sessions"))
        scenario.sessionPerUser = OneOf(*sessions, {"per step", "per user"}) == "per user";
    if (auto model = root.Find("model")) scenario.model = model->String();
    if (auto database = root.Find("database")) scenario.database = database->String();
    if (scenario.model.empty() && scenario.database.empty()) root.Fail("the key \"model\" is missing");
    if (!scenario.model.empty() && !scenario.database.empty())
        root.At("database").Fail("a scenario starts from a model or from a database, not both");

    if (auto users = root.Find("users")) {
        std::set<std::string> logins;
        for (const auto& user : users->Items()) {
            user.ExpectObject({"login", "admin", "values"});
            ScenarioUser parsed;
            parsed.path = user.Path();
            parsed.login = user.At("login").String();
            if (parsed.login.empty()) user.At("login").Fail("a login must not be empty");
            if (!logins.insert(parsed.login).second)
                user.At("login").Fail("the login \"" + parsed.login + "\" is given twice");
            if (auto admin = user.Find("admin")) parsed.admin = admin->Bool();
            if (auto values = user.Find("values")) {
                if (auto login = values->Find("LOGIN")) login->Fail("the login is given by \"login\", not as a value");
                parsed.values = Values(*values);
            }
            scenario.users.push_back(std::move(parsed));
        }
    }
    if (auto files = root.Find("files")) {
        for (const auto& [path, content] : files->Members()) {
            auto name = std::filesystem::path(RelativeFilePath(content, path)).filename();
            if (name.empty() || name == ".") content.Fail("\"" + path + "\" must name a file, not a folder");
            scenario.files.emplace_back(path, content.String());
        }
    }
    auto named = [&](const JsonCursor& cursor) {
        auto ref = cursor.String();
        if (ref.empty()) cursor.Fail("a ref must not be empty");
        if (Selector::Parse(ref)) cursor.Fail("the ref \"" + ref + "\" reads as a selector; choose a plain name");
        if (!names_.insert(ref).second) cursor.Fail("the ref \"" + ref + "\" is given twice");
        return ref;
    };
    if (auto objects = root.Find("objects")) {
        for (const auto& object : objects->Items()) {
            object.ExpectObject({"ref", "class", "values"});
            ScenarioObject parsed;
            parsed.path = object.Path();
            if (auto ref = object.Find("ref")) parsed.ref = named(*ref);
            parsed.className = object.At("class").String();
            if (auto values = object.Find("values")) parsed.values = Values(*values);
            scenario.objects.push_back(std::move(parsed));
        }
    }
    if (auto links = root.Find("links")) {
        for (const auto& link : links->Items()) {
            link.ExpectObject({"ref", "class", "parent", "child", "values"});
            ScenarioLink parsed;
            parsed.path = link.Path();
            if (auto ref = link.Find("ref")) parsed.ref = named(*ref);
            parsed.className = link.At("class").String();
            parsed.parent = Ref(link.At("parent"));
            parsed.child = Ref(link.At("child"));
            if (auto values = link.Find("values")) parsed.values = Values(*values);
            scenario.links.push_back(std::move(parsed));
        }
    }
    if (auto steps = root.Find("steps"))
        for (const auto& step : steps->Items()) scenario.steps.push_back(Step(step));
    return scenario;
}

ScenarioStep ScenarioParser::Step(const JsonCursor& step) {
    step.ExpectObject({"description", "user", "hook", "rows", "LinkAttributes", "SelectOp", "Extensions", "FileTypes",
                       "Obj", "FromObj", "MyNewPart", "answers", "faults", "readOnly", "expect"});
    ScenarioStep parsed;
    parsed.path = step.Path();
    if (auto user = step.Find("user")) parsed.user = user->String();
    auto hookCursor = step.At("hook");
    parsed.hook = hookCursor.String();
    const HookInfo* hook = HookCatalog::Find(parsed.hook);
    if (!hook) {
        auto nearest = HookCatalog::Nearest(parsed.hook);
        hookCursor.Fail("unknown hook name \"" + parsed.hook + "\"" +
                        (nearest.empty() ? " (quendra hooks lists the eighteen)" : "; did you mean " + nearest + "?"));
    }
    if (auto rows = step.Find("rows")) {
        if (!hook->takesRows) rows->Fail(parsed.hook + " takes no record list");
        parsed.rows.emplace();
        for (const auto& row : rows->Items()) parsed.rows->push_back(ParseRow(row));
    }
    for (const char* name : {"LinkAttributes", "SelectOp", "Extensions", "FileTypes"}) {
        auto text = step.Find(name);
        if (!text) continue;
        bool taken = false;
        for (const auto& taken_name : hook->texts) taken = taken || taken_name == name;
        if (!taken) text->Fail(parsed.hook + " takes no " + name);
        parsed.texts[name] = text->String();
    }
    for (const char* name : {"Obj", "FromObj", "MyNewPart"}) {
        auto object = step.Find(name);
        if (!object) continue;
        bool taken = false;
        for (const auto& taken_name : hook->objects) taken = taken || taken_name == name;
        if (!taken) object->Fail(parsed.hook + " takes no " + name);
        parsed.objectArgs[name] = ParseObjectArg(*object);
    }
    if (auto answers = step.Find("answers")) parsed.answers = ParseAnswers(*answers);
    if (auto faults = step.Find("faults"))
        for (const auto& fault : faults->Items()) parsed.faults.push_back(Fault(fault));
    if (auto readOnly = step.Find("readOnly")) parsed.readOnly = readOnly->Bool();
    if (auto expect = step.Find("expect")) {
        parsed.expect = ParseExpectations(*expect);
        for (const auto& [name, arg] : parsed.expect.objectArgs) {
            bool taken = false;
            for (const auto& taken_name : hook->objects) taken = taken || taken_name == name;
            if (!taken) expect->At(name).Fail(parsed.hook + " has no argument " + name);
        }
    }
    return parsed;
}

RowArg ScenarioParser::ParseRow(const JsonCursor& row) {
    RowArg parsed;
    parsed.path = row.Path();
    parsed.written = row.Value();
    if (row.IsString()) {
        parsed.kind = RowArg::Kind::Ref;
        parsed.ref = Ref(row);
        return parsed;
    }
    if (!row.IsObject()) row.Fail("a row is a ref or an object");
    if (row.Has("class")) {
        row.ExpectObject({"class", "parent", "child"});
        parsed.kind = RowArg::Kind::PendingLink;
        parsed.className = row.At("class").String();
        parsed.parent = Ref(row.At("parent"));
        parsed.child = Ref(row.At("child"));
        return parsed;
    }
    row.ExpectObject({"ref", "columns", "values"});
    parsed.kind = RowArg::Kind::Record;
    parsed.ref = Ref(row.At("ref"));
    if (auto columns = row.Find("columns")) {
        parsed.columns.emplace();
        for (const auto& column : columns->Items()) parsed.columns->push_back(column.String());
    }
    if (auto values = row.Find("values")) parsed.values = Values(*values);
    return parsed;
}

ObjectArg ScenarioParser::ParseObjectArg(const JsonCursor& arg) {
    ObjectArg parsed;
    parsed.path = arg.Path();
    if (!arg.IsNull()) parsed.ref = Ref(arg);
    return parsed;
}

std::vector<ScenarioAnswer> ScenarioParser::ParseAnswers(const JsonCursor& list) {
    std::vector<ScenarioAnswer> answers;
    for (const auto& answer : list.Items()) answers.push_back(ParseAnswer(answer));
    return answers;
}

std::vector<ScenarioAnswer> ScenarioParser::ParseAnswersFile(const JsonCursor& root) {
    if (!root.IsObject()) return ParseAnswers(root);
    root.ExpectObject({"answers"});
    return ParseAnswers(root.At("answers"));
}

ScenarioAnswer ScenarioParser::ParseAnswer(const JsonCursor& answer) {
    namespace answers = answering::answers;
    ScenarioAnswer parsed;
    parsed.path = answer.Path();
    parsed.written = answer.Value();
    auto& result = parsed.answer;
    result.description = JsonText(answer.Value());
    if (!answer.IsObject()) answer.Fail("an answer is an object such as {\"button\": \"OK\"}");
    if (answer.Has("set")) {
        answer.ExpectObject({"set", "button"});
        answers::Set set;
        for (const auto& [name, text] : answer.At("set").Members()) set.rows.emplace_back(name, text.String());
        set.button = Button(answer.At("button"));
        result.what = set;
    } else if (answer.Has("actions")) {
        answer.ExpectObject({"actions"});
        answers::Actions actions;
        for (const auto& action : answer.At("actions").Items()) {
            auto parts = action.Items();
            if (parts.empty()) action.Fail("an action is a list such as [\"click\", 0, 1]");
            answering::Action step;
            step.verb = OneOf(parts[0], {"click", "type", "key", "button"});
            if (step.verb == "click") {
                if (parts.size() != 3) action.Fail("a click is [\"click\", row, column]");
                step.row = static_cast<int>(parts[1].Integer());
                step.col = static_cast<int>(parts[2].Integer());
            } else {
                if (parts.size() != 2) action.Fail("a " + step.verb + " action is [\"" + step.verb + "\", text]");
                step.text = parts[1].String();
            }
            actions.actions.push_back(step);
        }
        result.what = actions;
    } else if (answer.Has("choose")) {
        answer.ExpectObject({"choose", "button"});
        answers::Choose choose;
        auto entry = answer.At("choose");
        if (!entry.IsNull()) choose.entry = entry.String();
        choose.button = Button(answer.At("button"));
        result.what = choose;
    } else if (answer.Has("open")) {
        answer.ExpectObject({"open"});
        result.what = answers::Open{};
        for (const auto& file : answer.At("open").Items())
            parsed.openFiles.push_back(RelativeFilePath(file, file.String()));
    } else if (answer.Has("search")) {
        answer.ExpectObject({"search"});
        using Mode = answers::Search::Mode;
        auto search = answer.At("search");
        if (search.IsString()) {
            auto mode = OneOf(search, {"cancel", "cancel results"});
            result.what = answers::Search{mode == "cancel" ? Mode::CancelQuery : Mode::CancelResults, {}};
        } else {
            result.what = answers::Search{Mode::Pick, {}};
            for (const auto& ref : search.Items()) parsed.searchRefs.push_back(Ref(ref));
        }
    } else if (answer.Has("fill")) {
        answer.ExpectObject({"fill", "button"});
        parsed.fill = Values(answer.At("fill"));
        result.what = answers::Fill{{}, Button(answer.At("button"))};
    } else if (answer.Has("key")) {
        answer.ExpectObject({"key"});
        result.what = answers::Key{answer.At("key").String()};
    } else if (answer.Has("close")) {
        answer.ExpectObject({"close"});
        if (!answer.At("close").Bool()) answer.At("close").Fail("write {\"close\": true}");
        result.what = answers::Close{};
    } else if (answer.Has("button")) {
        answer.ExpectObject({"button"});
        result.what = answers::Button{Button(answer.At("button"))};
    } else {
        answer.ExpectObject({"button", "key", "close", "set", "actions", "choose", "open", "search", "fill"});
        answer.Fail("an answer needs one of button, key, close, set, actions, choose, open, search, fill");
    }
    return parsed;
}

Expectations ScenarioParser::ParseExpectations(const JsonCursor& expect) {
    expect.ExpectObject(
        {"result", "dialogs", "values", "links", "objects", "events", "sequence", "MyNewPart", "FromObj"});
    Expectations parsed;
    if (auto result = expect.Find("result")) {
        ResultExpect value;
        value.path = result->Path();
        if (result->IsString()) {
            value.value = OneOf(*result, {"error"});
        } else {
            auto code = result->Integer();
            if (code != 0 && code != 1) result->Fail("a hook result is 0, 1 or \"error\"");
            value.value = code;
        }
        parsed.result = value;
    }
    if (auto dialogs = expect.Find("dialogs")) {
        parsed.dialogsPath = dialogs->Path();
        parsed.dialogs.emplace();
        for (const auto& dialog : dialogs->Items()) parsed.dialogs->push_back(Dialog(dialog));
    }
    if (auto values = expect.Find("values")) {
        for (const auto& [ref, attributes] : values->Members()) {
            ValuesExpect entry;
            entry.path = attributes.Path();
            entry.ref = ref;
            uses_.push_back({ref, attributes.Path(), attributes.File()});
            entry.values = Values(attributes);
            parsed.values.push_back(std::move(entry));
        }
    }
    if (auto links = expect.Find("links")) {
        for (const auto& link : links->Items()) {
            link.ExpectObject({"class", "parent", "child", "values", "count"});
            LinksExpect entry;
            entry.path = link.Path();
            entry.className = link.At("class").String();
            entry.parent = Ref(link.At("parent"));
            entry.child = Ref(link.At("child"));
            if (auto values = link.Find("values")) entry.values = Values(*values);
            if (auto count = link.Find("count")) {
                entry.count = count->Integer();
                if (*entry.count < 0) count->Fail("a count must not be negative");
            }
            parsed.links.push_back(std::move(entry));
        }
    }
    if (auto objects = expect.Find("objects")) {
        for (const auto& [className, count] : objects->Members()) {
            ObjectsExpect entry;
            entry.path = count.Path();
            entry.className = className;
            entry.count = count.Integer();
            if (entry.count < 0) count.Fail("a count must not be negative");
            parsed.objects.push_back(std::move(entry));
        }
    }
    if (auto events = expect.Find("events")) {
        parsed.eventsPath = events->Path();
        parsed.events.emplace();
        for (const auto& event : events->Items()) parsed.events->push_back(Event(event));
    }
    if (auto sequence = expect.Find("sequence")) {
        parsed.sequence.emplace();
        for (const auto& moment : sequence->Items()) {
            bool window = moment.IsObject() && (moment.Has("messageBox") || moment.Has("window") ||
                                                moment.Has("openFile") || moment.Has("platform"));
            if (window)
                parsed.sequence->push_back(Dialog(moment));
            else
                parsed.sequence->push_back(Event(moment));
        }
    }
    for (const char* name : {"MyNewPart", "FromObj"})
        if (auto arg = expect.Find(name)) parsed.objectArgs[name] = ParseObjectArg(*arg);
    return parsed;
}

DialogExpect ScenarioParser::Dialog(const JsonCursor& dialog) {
    namespace records = answering::records;
    DialogExpect parsed;
    parsed.path = dialog.Path();
    parsed.written = dialog.Value();
    if (!dialog.IsObject()) dialog.Fail("a dialog descriptor is an object such as {\"messageBox\": \"text\"}");
    if (dialog.Has("messageBox")) {
        dialog.ExpectObject({"messageBox", "title", "icon", "buttons"});
        parsed.kind = records::MessageBox{};
        parsed.text = dialog.At("messageBox").String();
        parsed.title = OptionalString(dialog, "title");
        if (auto icon = dialog.Find("icon"))
            parsed.icon = OneOf(*icon, {"information", "exclamation", "critical", "question"});
        if (auto buttons = dialog.Find("buttons")) parsed.buttons = OneOf(*buttons, {"OK", "YesNo"});
    } else if (dialog.Has("window")) {
        dialog.ExpectObject({"window", "text", "rows", "choices"});
        parsed.kind = records::Window{};
        parsed.title = dialog.At("window").String();
        parsed.text = OptionalString(dialog, "text");
        if (auto rows = dialog.Find("rows")) {
            parsed.rows.emplace();
            for (const auto& row : rows->Items()) {
                auto cells = row.Items();
                if (cells.size() != 2) row.Fail("a row is [\"Display Name\", \"value\"]");
                parsed.rows->emplace_back(cells[0].String(), cells[1].String());
            }
        }
        if (auto choices = dialog.Find("choices")) {
            parsed.choices.emplace();
            for (const auto& choice : choices->Items()) parsed.choices->push_back(choice.String());
        }
    } else if (dialog.Has("openFile")) {
        dialog.ExpectObject({"openFile"});
        parsed.kind = records::OpenFile{};
        parsed.filter = dialog.At("openFile").String();
    } else if (dialog.Has("platform")) {
        dialog.ExpectObject({"platform", "class"});
        parsed.kind = records::Platform{};
        parsed.platform = OneOf(dialog.At("platform"), {"query", "results", "newObject"});
        parsed.className = OptionalString(dialog, "class");
    } else {
        dialog.ExpectObject({"messageBox", "window", "openFile", "platform"});
        dialog.Fail("a dialog descriptor needs one of messageBox, window, openFile, platform");
    }
    return parsed;
}

EventExpect ScenarioParser::Event(const JsonCursor& event) {
    EventExpect parsed;
    parsed.path = event.Path();
    parsed.written = event.Value();
    if (!event.IsObject()) event.Fail("an event is an object such as {\"sql\": \"statement\"}");
    namespace ev = embedded::events;
    for (const char* kind : embedded::EventKinds)
        if (parsed.kind.empty() && event.Has(kind)) parsed.kind = kind;
    if (parsed.kind.empty()) {
        std::apply([&](auto... kinds) { event.ExpectObject({kinds...}); }, embedded::EventKinds);
        std::string kinds;
        for (const char* kind : embedded::EventKinds) kinds += (kinds.empty() ? "" : ", ") + std::string(kind);
        event.Fail("an event needs one of " + kinds);
    }
    if (parsed.kind == ev::Sql::kind || parsed.kind == ev::Forward::kind) {
        event.ExpectObject({parsed.kind.c_str()});
        parsed.text = event.At(parsed.kind).String();
    } else if (parsed.kind == ev::Notify::kind || parsed.kind == ev::Refresh::kind) {
        if (parsed.kind == ev::Notify::kind)
            event.ExpectObject({ev::Notify::kind, "objects", "flag"});
        else
            event.ExpectObject({ev::Refresh::kind, "objects"});
        parsed.code = event.At(parsed.kind).Integer();
        if (auto flag = event.Find("flag")) parsed.flag = flag->Bool();
        if (auto objects = event.Find("objects")) {
            parsed.refs.emplace();
            for (const auto& ref : objects->Items()) parsed.refs->push_back(Ref(ref));
        }
    } else if (parsed.kind == ev::Error::kind) {
        event.ExpectObject({ev::Error::kind, "text"});
        parsed.operation = event.At(parsed.kind).String();
        parsed.text = OptionalString(event, "text");
    } else {
        event.ExpectObject({parsed.kind.c_str()});
        parsed.refs = std::vector<std::string>{Ref(event.At(parsed.kind))};
    }
    return parsed;
}

ScenarioFault ScenarioParser::Fault(const JsonCursor& fault) {
    fault.ExpectObject({"call", "nth"});
    ScenarioFault parsed;
    parsed.path = fault.Path();
    auto call = fault.At("call");
    parsed.call = call.String();
    auto known = embedded::FailableCalls();
    if (!std::binary_search(known.begin(), known.end(), parsed.call))
        call.Fail("\"" + parsed.call +
                  "\" is no platform operation that can fail (quendra play --list-calls names them)");
    if (auto nth = fault.Find("nth")) {
        auto number = nth->Integer();
        if (number < 1) nth->Fail("nth counts calls from 1");
        if (number > std::numeric_limits<int>::max())
            nth->Fail(JsonText(nth->Value()) + " is out of range (at most " +
                      std::to_string(std::numeric_limits<int>::max()) + ")");
        parsed.nth = static_cast<int>(number);
    }
    return parsed;
}

std::string ScenarioParser::Ref(const JsonCursor& cursor) {
    auto ref = cursor.String();
    if (ref.empty()) cursor.Fail("a ref must not be empty");
    uses_.push_back({ref, cursor.Path(), cursor.File()});
    return ref;
}

ValueMap ScenarioParser::Values(const JsonCursor& cursor) {
    ValueMap values;
    for (const auto& [name, value] : cursor.Members()) values.emplace_back(name, Value(value));
    return values;
}

WrittenValue ScenarioParser::Value(const JsonCursor& cursor) {
    if (cursor.IsObject()) {
        if (cursor.Has("user")) {
            cursor.ExpectObject({"user"});
            cursor.At("user").String();
        } else if (cursor.Has("id")) {
            cursor.ExpectObject({"id"});
            Ref(cursor.At("id"));
        } else if (cursor.Has("file")) {
            cursor.ExpectObject({"file"});
            RelativeFilePath(cursor.At("file"), cursor.At("file").String());
        } else {
            cursor.ExpectObject({"user", "id", "file"});
            cursor.Fail("a value is a scalar, {\"user\": login}, {\"id\": ref} or {\"file\": path}");
        }
    } else if (cursor.IsArray()) {
        cursor.Fail("a value is a scalar, {\"user\": login}, {\"id\": ref} or {\"file\": path}, not a list");
    }
    return WrittenValue{cursor.Value(), cursor.Path()};
}

void ScenarioParser::CheckRefs() const {
    for (const auto& use : uses_) {
        if (names_.contains(use.ref) || Selector::Parse(use.ref)) continue;
        throw FileError(use.file, use.path,
                        "the ref \"" + use.ref +
                            "\" names nothing (give it in \"objects\" or \"links\", or write a "
                            "selector Class(ATTRIBUTE=text))");
    }
}

} // namespace quendra::playback
