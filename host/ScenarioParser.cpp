// ScenarioParser: the scenario file format, key by key.
#include "ScenarioParser.h"

#include "FileError.h"
#include "HookCatalog.h"
#include "Selector.h"

#include "Database.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

namespace quendra::host {

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
    std::filesystem::path relative(path);
    if (path.empty() || relative.is_absolute()) cursor.Fail("\"" + path + "\" must be a path relative to the folder");
    for (const auto& part : relative)
        if (part == "..") cursor.Fail("\"" + path + "\" must stay inside the folder (no ..)");
    return path;
}

} // namespace

Scenario ScenarioParser::ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw FileError(path, "", "cannot be read (missing or not readable)");
    std::ostringstream text;
    text << in.rdbuf();
    return ParseText(text.str(), path);
}

Scenario ScenarioParser::ParseText(const std::string& text, const std::string& file) {
    Json document = JsonCursor::Parse(text, file);
    ScenarioParser parser;
    auto folder = std::filesystem::path(file).parent_path().string();
    auto scenario = parser.ParseScenario(JsonCursor(document, "", file), folder);
    parser.CheckRefs();
    return scenario;
}

Scenario ScenarioParser::ParseScenario(const JsonCursor& root, const std::string& folder) {
    root.ExpectObject({"description", "model", "database", "users", "files", "objects", "links", "steps"});
    Scenario scenario;
    scenario.file = root.File();
    scenario.folder = folder;
    if (auto description = root.Find("description")) scenario.description = description->String();
    if (auto model = root.Find("model")) scenario.model = model->String();
    if (auto database = root.Find("database")) scenario.database = database->String();
    if (scenario.model.empty() && scenario.database.empty()) root.Fail("the key \"model\" is missing");
    if (!scenario.model.empty() && !scenario.database.empty())
        root.At("database").Fail("a scenario starts from a model or from a database, not both");

    if (auto users = root.Find("users")) {
        std::set<std::string> logins;
        for (const auto& user : users->Items()) {
            user.ExpectObject({"login", "admin", "values"});
            UserSpec spec;
            spec.path = user.Path();
            spec.login = user.At("login").String();
            if (spec.login.empty()) user.At("login").Fail("a login must not be empty");
            if (!logins.insert(spec.login).second)
                user.At("login").Fail("the login \"" + spec.login + "\" is given twice");
            if (auto admin = user.Find("admin")) spec.admin = admin->Bool();
            if (auto values = user.Find("values")) {
                if (auto login = values->Find("LOGIN")) login->Fail("the login is given by \"login\", not as a value");
                spec.values = Values(*values);
            }
            scenario.users.push_back(std::move(spec));
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
            ObjectSpec spec;
            spec.path = object.Path();
            if (auto ref = object.Find("ref")) spec.ref = named(*ref);
            spec.className = object.At("class").String();
            if (auto values = object.Find("values")) spec.values = Values(*values);
            scenario.objects.push_back(std::move(spec));
        }
    }
    if (auto links = root.Find("links")) {
        for (const auto& link : links->Items()) {
            link.ExpectObject({"ref", "class", "parent", "child", "values"});
            LinkSpec spec;
            spec.path = link.Path();
            if (auto ref = link.Find("ref")) spec.ref = named(*ref);
            spec.className = link.At("class").String();
            spec.parent = Ref(link.At("parent"));
            spec.child = Ref(link.At("child"));
            if (auto values = link.Find("values")) spec.values = Values(*values);
            scenario.links.push_back(std::move(spec));
        }
    }
    if (auto steps = root.Find("steps"))
        for (const auto& step : steps->Items()) scenario.steps.push_back(Step(step));
    return scenario;
}

StepSpec ScenarioParser::Step(const JsonCursor& step) {
    step.ExpectObject({"description", "user", "hook", "rows", "LinkAttributes", "SelectOp", "Extensions", "FileTypes",
                       "Obj", "FromObj", "MyNewPart", "answers", "faults", "readOnly", "expect"});
    StepSpec spec;
    spec.path = step.Path();
    if (auto user = step.Find("user")) spec.user = user->String();
    auto hookCursor = step.At("hook");
    spec.hook = hookCursor.String();
    const HookInfo* hook = HookCatalog::Find(spec.hook);
    if (!hook) hookCursor.Fail("unknown hook name \"" + spec.hook + "\" (one of " + HookCatalog::Names() + ")");
    if (auto rows = step.Find("rows")) {
        if (!hook->takesRows) rows->Fail(spec.hook + " takes no record list");
        spec.rows.emplace();
        for (const auto& row : rows->Items()) spec.rows->push_back(ParseRow(row));
    }
    for (const char* name : {"LinkAttributes", "SelectOp", "Extensions", "FileTypes"}) {
        auto text = step.Find(name);
        if (!text) continue;
        bool taken = false;
        for (const auto& taken_name : hook->texts) taken = taken || taken_name == name;
        if (!taken) text->Fail(spec.hook + " takes no " + name);
        spec.texts[name] = text->String();
    }
    for (const char* name : {"Obj", "FromObj", "MyNewPart"}) {
        auto object = step.Find(name);
        if (!object) continue;
        bool taken = false;
        for (const auto& taken_name : hook->objects) taken = taken || taken_name == name;
        if (!taken) object->Fail(spec.hook + " takes no " + name);
        spec.objectArgs[name] = ParseObjectArg(*object);
    }
    if (auto answers = step.Find("answers")) spec.answers = ParseAnswers(*answers);
    if (auto faults = step.Find("faults"))
        for (const auto& fault : faults->Items()) spec.faults.push_back(Fault(fault));
    if (auto readOnly = step.Find("readOnly")) spec.readOnly = readOnly->Bool();
    if (auto expect = step.Find("expect")) {
        spec.expect = ParseExpectations(*expect);
        for (const auto& [name, arg] : spec.expect.objectArgs) {
            bool taken = false;
            for (const auto& taken_name : hook->objects) taken = taken || taken_name == name;
            if (!taken) expect->At(name).Fail(spec.hook + " has no argument " + name);
        }
    }
    return spec;
}

RowArg ScenarioParser::ParseRow(const JsonCursor& row) {
    RowArg spec;
    spec.path = row.Path();
    spec.written = row.Value();
    if (row.IsString()) {
        spec.kind = RowArg::Kind::Ref;
        spec.ref = Ref(row);
        return spec;
    }
    if (!row.IsObject()) row.Fail("a row is a ref or an object");
    if (row.Has("class")) {
        row.ExpectObject({"class", "parent", "child"});
        spec.kind = RowArg::Kind::PendingLink;
        spec.className = row.At("class").String();
        spec.parent = Ref(row.At("parent"));
        spec.child = Ref(row.At("child"));
        return spec;
    }
    row.ExpectObject({"ref", "columns", "values"});
    spec.kind = RowArg::Kind::Record;
    spec.ref = Ref(row.At("ref"));
    if (auto columns = row.Find("columns")) {
        spec.columns.emplace();
        for (const auto& column : columns->Items()) spec.columns->push_back(column.String());
    }
    if (auto values = row.Find("values")) spec.values = Values(*values);
    return spec;
}

ObjectArg ScenarioParser::ParseObjectArg(const JsonCursor& arg) {
    ObjectArg spec;
    spec.path = arg.Path();
    if (!arg.IsNull()) spec.ref = Ref(arg);
    return spec;
}

std::vector<AnswerSpec> ScenarioParser::ParseAnswers(const JsonCursor& list) {
    std::vector<AnswerSpec> answers;
    for (const auto& answer : list.Items()) answers.push_back(ParseAnswer(answer));
    return answers;
}

AnswerSpec ScenarioParser::ParseAnswer(const JsonCursor& answer) {
    using Kind = scripted::Answer::Kind;
    AnswerSpec spec;
    spec.path = answer.Path();
    spec.written = answer.Value();
    auto& result = spec.answer;
    result.description = JsonText(answer.Value());
    if (!answer.IsObject()) answer.Fail("an answer is an object such as {\"button\": \"OK\"}");
    if (answer.Has("set")) {
        answer.ExpectObject({"set", "button"});
        result.kind = Kind::Set;
        for (const auto& [name, text] : answer.At("set").Members()) result.set.emplace_back(name, text.String());
        result.button = Button(answer.At("button"));
    } else if (answer.Has("actions")) {
        answer.ExpectObject({"actions"});
        result.kind = Kind::Actions;
        for (const auto& action : answer.At("actions").Items()) {
            auto parts = action.Items();
            if (parts.empty()) action.Fail("an action is a list such as [\"click\", 0, 1]");
            scripted::Action step;
            step.verb = OneOf(parts[0], {"click", "type", "key", "button"});
            if (step.verb == "click") {
                if (parts.size() != 3) action.Fail("a click is [\"click\", row, column]");
                step.row = static_cast<int>(parts[1].Integer());
                step.col = static_cast<int>(parts[2].Integer());
            } else {
                if (parts.size() != 2) action.Fail("a " + step.verb + " action is [\"" + step.verb + "\", text]");
                step.text = parts[1].String();
            }
            result.actions.push_back(step);
        }
    } else if (answer.Has("choose")) {
        answer.ExpectObject({"choose", "button"});
        result.kind = Kind::Choose;
        auto choose = answer.At("choose");
        if (!choose.IsNull()) result.choose = choose.String();
        result.button = Button(answer.At("button"));
    } else if (answer.Has("open")) {
        answer.ExpectObject({"open"});
        result.kind = Kind::Open;
        for (const auto& file : answer.At("open").Items())
            spec.openFiles.push_back(RelativeFilePath(file, file.String()));
    } else if (answer.Has("search")) {
        answer.ExpectObject({"search"});
        result.kind = Kind::Search;
        auto search = answer.At("search");
        if (search.IsString()) {
            auto mode = OneOf(search, {"cancel", "cancel results"});
            result.search = mode == "cancel" ? scripted::Answer::SearchMode::CancelQuery
                                             : scripted::Answer::SearchMode::CancelResults;
        } else {
            result.search = scripted::Answer::SearchMode::Pick;
            for (const auto& ref : search.Items()) spec.searchRefs.push_back(Ref(ref));
        }
    } else if (answer.Has("fill")) {
        answer.ExpectObject({"fill", "button"});
        result.kind = Kind::Fill;
        spec.fill = Values(answer.At("fill"));
        result.button = Button(answer.At("button"));
    } else if (answer.Has("key")) {
        answer.ExpectObject({"key"});
        result.kind = Kind::Key;
        result.key = answer.At("key").String();
    } else if (answer.Has("close")) {
        answer.ExpectObject({"close"});
        if (!answer.At("close").Bool()) answer.At("close").Fail("write {\"close\": true}");
        result.kind = Kind::Close;
    } else if (answer.Has("button")) {
        answer.ExpectObject({"button"});
        result.kind = Kind::Button;
        result.button = Button(answer.At("button"));
    } else {
        answer.ExpectObject({"button", "key", "close", "set", "actions", "choose", "open", "search", "fill"});
        answer.Fail("an answer needs one of button, key, close, set, actions, choose, open, search, fill");
    }
    return spec;
}

Expectations ScenarioParser::ParseExpectations(const JsonCursor& expect) {
    expect.ExpectObject(
        {"result", "dialogs", "values", "links", "objects", "events", "sequence", "MyNewPart", "FromObj"});
    Expectations spec;
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
        spec.result = value;
    }
    if (auto dialogs = expect.Find("dialogs")) {
        spec.dialogsPath = dialogs->Path();
        spec.dialogs.emplace();
        for (const auto& dialog : dialogs->Items()) spec.dialogs->push_back(Dialog(dialog));
    }
    if (auto values = expect.Find("values")) {
        for (const auto& [ref, attributes] : values->Members()) {
            ValuesExpect entry;
            entry.path = attributes.Path();
            entry.ref = ref;
            uses_.push_back({ref, attributes.Path(), attributes.File()});
            entry.values = Values(attributes);
            spec.values.push_back(std::move(entry));
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
            spec.links.push_back(std::move(entry));
        }
    }
    if (auto objects = expect.Find("objects")) {
        for (const auto& [className, count] : objects->Members()) {
            ObjectsExpect entry;
            entry.path = count.Path();
            entry.className = className;
            entry.count = count.Integer();
            if (entry.count < 0) count.Fail("a count must not be negative");
            spec.objects.push_back(std::move(entry));
        }
    }
    if (auto events = expect.Find("events")) {
        spec.eventsPath = events->Path();
        spec.events.emplace();
        for (const auto& event : events->Items()) spec.events->push_back(Event(event));
    }
    if (auto sequence = expect.Find("sequence")) {
        spec.sequence.emplace();
        for (const auto& moment : sequence->Items()) {
            bool window = moment.IsObject() && (moment.Has("messageBox") || moment.Has("window") ||
                                                moment.Has("openFile") || moment.Has("platform"));
            if (window)
                spec.sequence->push_back(Dialog(moment));
            else
                spec.sequence->push_back(Event(moment));
        }
    }
    for (const char* name : {"MyNewPart", "FromObj"})
        if (auto arg = expect.Find(name)) spec.objectArgs[name] = ParseObjectArg(*arg);
    return spec;
}

DialogExpect ScenarioParser::Dialog(const JsonCursor& dialog) {
    using Kind = scripted::WindowRecord::Kind;
    DialogExpect spec;
    spec.path = dialog.Path();
    spec.written = dialog.Value();
    if (!dialog.IsObject()) dialog.Fail("a dialog descriptor is an object such as {\"messageBox\": \"text\"}");
    if (dialog.Has("messageBox")) {
        dialog.ExpectObject({"messageBox", "title", "icon", "buttons"});
        spec.kind = Kind::MessageBox;
        spec.text = dialog.At("messageBox").String();
        spec.title = OptionalString(dialog, "title");
        if (auto icon = dialog.Find("icon"))
            spec.icon = OneOf(*icon, {"information", "exclamation", "critical", "question"});
        if (auto buttons = dialog.Find("buttons")) spec.buttons = OneOf(*buttons, {"OK", "YesNo"});
    } else if (dialog.Has("window")) {
        dialog.ExpectObject({"window", "text", "rows", "choices"});
        spec.kind = Kind::Window;
        spec.title = dialog.At("window").String();
        spec.text = OptionalString(dialog, "text");
        if (auto rows = dialog.Find("rows")) {
            spec.rows.emplace();
            for (const auto& row : rows->Items()) {
                auto cells = row.Items();
                if (cells.size() != 2) row.Fail("a row is [\"Display Name\", \"value\"]");
                spec.rows->emplace_back(cells[0].String(), cells[1].String());
            }
        }
        if (auto choices = dialog.Find("choices")) {
            spec.choices.emplace();
            for (const auto& choice : choices->Items()) spec.choices->push_back(choice.String());
        }
    } else if (dialog.Has("openFile")) {
        dialog.ExpectObject({"openFile"});
        spec.kind = Kind::OpenFile;
        spec.filter = dialog.At("openFile").String();
    } else if (dialog.Has("platform")) {
        dialog.ExpectObject({"platform", "class"});
        spec.kind = Kind::Platform;
        spec.platform = OneOf(dialog.At("platform"), {"query", "results", "newObject"});
        spec.className = OptionalString(dialog, "class");
    } else {
        dialog.ExpectObject({"messageBox", "window", "openFile", "platform"});
        dialog.Fail("a dialog descriptor needs one of messageBox, window, openFile, platform");
    }
    return spec;
}

EventExpect ScenarioParser::Event(const JsonCursor& event) {
    EventExpect spec;
    spec.path = event.Path();
    spec.written = event.Value();
    if (!event.IsObject()) event.Fail("an event is an object such as {\"sql\": \"statement\"}");
    if (event.Has("sql") || event.Has("forward")) {
        spec.kind = event.Has("sql") ? "sql" : "forward";
        event.ExpectObject({spec.kind.c_str()});
        spec.text = event.At(spec.kind).String();
    } else if (event.Has("notify") || event.Has("refresh")) {
        spec.kind = event.Has("notify") ? "notify" : "refresh";
        if (spec.kind == "notify")
            event.ExpectObject({"notify", "objects", "flag"});
        else
            event.ExpectObject({"refresh", "objects"});
        spec.code = event.At(spec.kind).Integer();
        if (auto flag = event.Find("flag")) spec.flag = flag->Bool();
        if (auto objects = event.Find("objects")) {
            spec.refs.emplace();
            for (const auto& ref : objects->Items()) spec.refs->push_back(Ref(ref));
        }
    } else if (event.Has("error")) {
        spec.kind = "error";
        event.ExpectObject({"error", "text"});
        spec.operation = event.At("error").String();
        spec.text = OptionalString(event, "text");
    } else {
        for (const char* kind : {"attach", "show", "insert", "update", "delete"})
            if (event.Has(kind)) spec.kind = kind;
        if (spec.kind.empty()) {
            event.ExpectObject(
                {"sql", "notify", "refresh", "forward", "attach", "show", "insert", "update", "delete", "error"});
            event.Fail(
                "an event needs one of sql, notify, refresh, forward, attach, show, insert, update, delete, error");
        }
        event.ExpectObject({spec.kind.c_str()});
        spec.refs = std::vector<std::string>{Ref(event.At(spec.kind))};
    }
    return spec;
}

FaultSpec ScenarioParser::Fault(const JsonCursor& fault) {
    fault.ExpectObject({"call", "nth"});
    FaultSpec spec;
    spec.path = fault.Path();
    auto call = fault.At("call");
    spec.call = call.String();
    auto known = embedded::FailableCalls();
    if (!std::binary_search(known.begin(), known.end(), spec.call))
        call.Fail("\"" + spec.call +
                  "\" is no platform operation that can fail (quendra play --list-calls names them)");
    if (auto nth = fault.Find("nth")) {
        auto number = nth->Integer();
        if (number < 1 || number > std::numeric_limits<int>::max()) nth->Fail("nth counts calls from 1");
        spec.nth = static_cast<int>(number);
    }
    return spec;
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

ValueSpec ScenarioParser::Value(const JsonCursor& cursor) {
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
    return ValueSpec{cursor.Value(), cursor.Path()};
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

} // namespace quendra::host
