// HookCommand: the arguments are read like a scenario step's, so a recorded call replays with `play`.
#include "HookCommand.h"

#include "CommandError.h"
#include "DatabaseFile.h"
#include "Descriptions.h"
#include "FileError.h"
#include "HookCatalog.h"
#include "ScenarioParser.h"
#include "StepRunner.h"
#include "Transcript.h"
#include "World.h"

#include "ScriptedUser.h"

#ifdef QUENDRA_WITH_QT
#include "QtWindowSystem.h"

#include <QApplication>
#endif

#include <cstdlib>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace quendra::host {

namespace {

struct TextOption {
    const char* flag;
    const char* parameter;
};
const TextOption TextOptions[] = {{"--link-attributes", "LinkAttributes"},
                                  {"--select-op", "SelectOp"},
                                  {"--extensions", "Extensions"},
                                  {"--file-types", "FileTypes"}};
const TextOption ObjectOptions[] = {{"--obj", "Obj"}, {"--from-obj", "FromObj"}, {"--my-new-part", "MyNewPart"}};

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

CLI::App* HookCommand::Register(CLI::App& app) {
    command_ = app.add_subcommand("hook", "Call one hook on a database file and print its windows, events and result.\n"
                                          "Exit status: 0 the hook returned (whatever its result), 2 it failed.");
    command_->add_option("NAME", hook_, "The hook, e.g. LockObject")->required();
    command_->add_option("--db", database_, "The database file")->required();
    command_->add_option("--user", user_, "The login of the user who calls the hook")->required();
    command_->add_option("--row", rows_,
                         "A row of the record list, row 0 first: a selector such as 'Part(CN_PART_NUMBER=P-1)', or "
                         "a JSON row such as '{\"class\": \"Parts Tree\", \"parent\": ..., \"child\": ...}'");
    command_->add_option("--link-attributes", linkAttributes_,
                         "The LinkAttributes text, e.g. 'CN_QUANTITY,CN_POSITION'");
    command_->add_option("--select-op", selectOp_, "The SelectOp text, e.g. APPROVE");
    command_->add_option("--extensions", extensions_, "The Extensions text, e.g. 'dwg,txt'");
    command_->add_option("--file-types", fileTypes_, "The FileTypes text, e.g. 'Drawing,Document'");
    command_->add_option("--obj", obj_, "The Obj argument (a selector)");
    command_->add_option("--from-obj", fromObj_, "The FromObj argument (a selector; empty lets the user search)");
    command_->add_option("--my-new-part", myNewPart_, "The MyNewPart argument (a selector)");
    command_->add_option("--answers", answersFile_,
                         "Answer the windows from this file (a JSON list of answers as in scenario files) instead of "
                         "showing them");
    command_->add_option("--record", recordFile_,
                         "Write the call and the answers given as a scenario file that `quendra play` replays; the "
                         "database as it was before the call is kept beside it (same name, .db)");
    command_->add_flag("--read-only", readOnly_, "The database refuses every write during the call");
    command_->add_flag("--json", json_, "Print one JSON object a line");
    return command_;
}

StepSpec HookCommand::MakeStep(std::deque<Json>& documents) {
    const HookInfo* hook = HookCatalog::Find(hook_);
    if (!hook) throw CommandError("unknown hook name \"" + hook_ + "\" (one of " + HookCatalog::Names() + ")");
    ScenarioParser parser;
    StepSpec step;
    step.hook = hook_;
    step.user = user_;
    step.readOnly = readOnly_;
    if (!rows_.empty()) {
        if (!hook->takesRows) throw CommandError(hook_ + " takes no record list (--row)");
        step.rows.emplace();
        for (size_t i = 0; i < rows_.size(); ++i) {
            const auto& row = rows_[i];
            documents.push_back(row.starts_with("{") ? JsonCursor::Parse(row, "--row " + row) : Json(row));
            step.rows->push_back(parser.ParseRow(JsonCursor(documents.back(), "", "--row " + row)));
        }
    }
    for (const auto& option : TextOptions) {
        if (!command_->count(option.flag)) continue;
        if (std::find(hook->texts.begin(), hook->texts.end(), option.parameter) == hook->texts.end())
            throw CommandError(hook_ + " takes no " + option.parameter + " (" + option.flag + ")");
        step.texts[option.parameter] = *command_->get_option(option.flag)->results().begin();
    }
    for (const auto& option : ObjectOptions) {
        if (!command_->count(option.flag)) continue;
        if (std::find(hook->objects.begin(), hook->objects.end(), option.parameter) == hook->objects.end())
            throw CommandError(hook_ + " takes no " + option.parameter + " (" + option.flag + ")");
        documents.push_back(Json(*command_->get_option(option.flag)->results().begin()));
        auto arg = parser.ParseObjectArg(JsonCursor(documents.back(), "", option.flag));
        if (arg.ref && arg.ref->empty()) arg.ref.reset();
        step.objectArgs[option.parameter] = arg;
    }
    if (!rows_.empty() && !hook->takesRows) throw CommandError(hook_ + " takes no record list");
    if (!answersFile_.empty()) {
        documents.push_back(JsonCursor::ReadFile(answersFile_));
        JsonCursor root(documents.back(), "", answersFile_);
        if (root.IsObject()) {
            root.ExpectObject({"answers"});
            step.answers = parser.ParseAnswers(root.At("answers"));
        } else {
            step.answers = parser.ParseAnswers(root);
        }
    }
    parser.CheckRefs();
    return step;
}

int HookCommand::Run(std::ostream& out, std::ostream& errors) {
    std::deque<Json> documents;
    auto step = MakeStep(documents);
    std::string snapshot;
    if (!recordFile_.empty()) {
        snapshot = std::filesystem::path(recordFile_).replace_extension(".db").string();
        std::error_code error;
        if (!std::filesystem::exists(database_, error)) throw CommandError("no database file " + database_ + " exists");
        std::filesystem::copy_file(database_, snapshot, std::filesystem::copy_options::overwrite_existing, error);
        if (error) throw CommandError("cannot keep the database as " + snapshot + ": " + error.message());
    }
#ifdef QUENDRA_WITH_QT
    bool person = answersFile_.empty();
#else
    bool person = false;
#endif
    if (person && !recordFile_.empty())
        throw CommandError("--record needs --answers: the answers a person gives in real windows are not recorded");
    if (person && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        throw CommandError("no display to show windows on: give --answers FILE, or set QT_QPA_PLATFORM");
    auto database = DatabaseFile::Open(database_);
    if (!database->UserId(user_)) throw CommandError("there is no user \"" + user_ + "\" in " + database_);
    scripted::ScriptedUser scripted;
    World world(*database, scripted, "command line");
    world.SetDefaultUser(user_);
    auto answersFolder =
        answersFile_.empty() ? std::filesystem::current_path() : std::filesystem::absolute(answersFile_).parent_path();
    world.SetFilesFolder(answersFolder.string());
    Transcript transcript(out, errors, json_);
    transcript.Step(1, step, user_);
    out.flush(); // the call may wait for a person at a real window
    StepOutcome outcome;
    if (person) {
#ifdef QUENDRA_WITH_QT
        static int argc = 1;
        static char name[] = "quendra";
        static char* argv[] = {name, nullptr};
        QApplication application(argc, argv);
        qt::QtWindowSystem windows;
        StepRunner runner(world, windows, windows, nullptr);
        outcome = runner.Run(step, user_);
#endif
    } else {
        StepRunner runner(world, scripted, scripted, &scripted);
        outcome = runner.Run(step, user_);
    }
    transcript.Outcome(1, outcome, world);
    if (outcome.scriptedFailure) errors << "quendra hook: " << *outcome.scriptedFailure << '\n';
    for (const auto& left : outcome.answersLeft) errors << "quendra hook: answer not used: " << left << '\n';
    if (!recordFile_.empty()) Record(step, outcome, snapshot);
    return outcome.error ? 2 : 0;
}

void HookCommand::Record(const StepSpec& step, const StepOutcome& outcome, const std::string& snapshot) const {
    Json scenario = Json::object();
    scenario["description"] = hook_ + " called by " + user_ + " on " + database_;
    scenario["database"] = std::filesystem::path(snapshot).filename().string();
    Json files = Json::object();
    Json recorded = Json::object();
    recorded["user"] = user_;
    recorded["hook"] = hook_;
    auto arguments = Transcript::Arguments(step);
    for (const auto& [name, value] : arguments.items()) recorded[name] = value;
    Json answers = Json::array();
    size_t used = step.answers.size() - outcome.answersLeft.size();
    auto answersFolder = std::filesystem::absolute(answersFile_).parent_path();
    for (size_t i = 0; i < used; ++i) {
        answers.push_back(step.answers[i].written);
        for (const auto& file : step.answers[i].openFiles) {
            auto path = answersFolder / file;
            if (std::filesystem::is_regular_file(path)) files[file] = ReadText(path.string());
        }
    }
    if (!files.empty()) scenario["files"] = files;
    recorded["answers"] = answers;
    Json expect = Json::object();
    if (outcome.error)
        expect["result"] = "error";
    else
        expect["result"] = *outcome.result;
    expect["dialogs"] = Json::array();
    for (const auto& window : outcome.windows) expect["dialogs"].push_back(Descriptions::Window(window));
    recorded["expect"] = expect;
    scenario["steps"] = Json::array({recorded});
    std::ofstream file(recordFile_, std::ios::binary);
    file << scenario.dump(2) << '\n';
    if (!file) throw CommandError("cannot write " + recordFile_);
}

} // namespace quendra::host
