// HookCommand: the arguments are read like a scenario step's, so a recorded call replays with `play`.
// SPDX-License-Identifier: Apache-2.0
#include "HookCommand.h"
#include "Recording.h"

#include "CommandError.h"
#include "DatabaseFile.h"
#include "Descriptions.h"
#include "FileError.h"
#include "FilePath.h"
#include "HookCatalog.h"
#include "OuterTransaction.h"
#include "PersonAnswer.h"
#include "ScenarioParser.h"
#include "StepRunner.h"
#include "Transcript.h"
#include "World.h"

#include "ScriptedUser.h"

#ifdef QUENDRA_WITH_QT
#include "QtMessages.h"
#include "QtWindowSystem.h"

#include <QApplication>
#endif

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <filesystem>
#include <fstream>
#include <optional>

namespace quendra::host {

const char* const HookCommand::Usage =
    "quendra hook NAME --db FILE --user LOGIN [--row REF]... [arguments] [--answers FILE]";

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

} // namespace

CLI::App* HookCommand::Register(CLI::App& app) {
    command_ = app.add_subcommand(
        "hook", "Call one hook on a database file and print its windows, events and result.\n"
                "Exit status: 0 the hook returned (whatever its result), 2 it failed or an argument is wrong,\n"
                "3 the machine or the server stopped it (a full disk, a lost server, a folder it may not write,\n"
                "no display for the windows).");
    command_->add_option("NAME", hook_, "The hook, e.g. LockObject")->required();
    command_->add_option("--db", database_, "The database file, or a database server's address (postgresql://...)")
        ->required();
    command_->add_option("--user", user_, "The login of the user who calls the hook")->required();
    // One value per --row, so the hook name after a row is still read as the hook name.
    command_
        ->add_option("--row", rows_,
                     "A row of the record list, row 0 first; repeat for more rows: a selector such as "
                     "'Part(CN_PART_NUMBER=P-1)', a link by its ends 'Parts Tree(parent=P-1, child=P-2)', or a "
                     "JSON row as in scenario files")
        ->allow_extra_args(false);
    command_->add_option("--link-attributes", linkAttributes_,
                         "The LinkAttributes text, e.g. 'CN_QUANTITY,CN_POSITION'");
    command_->add_option("--select-op", selectOp_, "The SelectOp text, e.g. APPROVE");
    command_->add_option("--extensions", extensions_, "The Extensions text, e.g. 'dwg,txt'");
    command_->add_option("--file-types", fileTypes_, "The FileTypes text, e.g. 'Drawing,Document'");
    command_->add_option("--obj", obj_, "The Obj argument (a selector; '' for empty)");
    command_->add_option("--from-obj", fromObj_, "The FromObj argument (a selector; '' lets the user search)");
    command_->add_option("--my-new-part", myNewPart_, "The MyNewPart argument (a selector; '' for empty)");
    command_->add_option("--answers", answersFile_,
                         "Answer the windows from this file (a JSON list of answers as in scenario files) instead of "
                         "showing them");
    auto* record = command_->add_option(
        "--record", recordFile_,
        "Write the call, the windows shown and the answers given (from --answers, or by a person in "
        "the windows) as a scenario file that `quendra play` replays; the database as it was before "
        "the call is kept beside it (same name, .db), and files picked go into the scenario");
    command_->add_flag("--force", force_, "With --record: replace FILE and FILE.db when they exist")->needs(record);
    command_->add_flag("--read-only", readOnly_, "The database refuses every write during the call");
    command_->add_flag("--json", json_, "Print one JSON object a line");
    return command_;
}

playback::ScenarioStep HookCommand::MakeStep(std::deque<Json>& documents) {
    if (command_->count("--answers") && answersFile_.empty())
        throw playback::CommandError(
            "--answers names no file: give the answers file, or leave --answers out to answer the "
            "windows yourself");
    if (command_->count("--record") && recordFile_.empty())
        throw playback::CommandError("--record names no file: give the file to write the scenario to");
    const playback::HookInfo* hook = playback::HookCatalog::Find(hook_);
    if (!hook) {
        auto nearest = playback::HookCatalog::Nearest(hook_);
        throw playback::CommandError("unknown hook name \"" + hook_ + "\"" +
                                     (nearest.empty() ? "" : "; did you mean " + nearest + "?") +
                                     " (quendra hooks lists the eighteen; the name comes first: " + Usage + ")");
    }
    playback::ScenarioParser parser;
    playback::ScenarioStep step;
    step.hook = hook_;
    step.user = user_;
    step.readOnly = readOnly_;
    if (!rows_.empty()) {
        if (!hook->takesRows) throw playback::CommandError(hook_ + " takes no record list (--row)");
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
            throw playback::CommandError(hook_ + " takes no " + option.parameter + " (" + option.flag + ")");
        step.texts[option.parameter] = *command_->get_option(option.flag)->results().begin();
    }
    for (const auto& option : ObjectOptions) {
        if (!command_->count(option.flag)) continue;
        if (std::find(hook->objects.begin(), hook->objects.end(), option.parameter) == hook->objects.end())
            throw playback::CommandError(hook_ + " takes no " + option.parameter + " (" + option.flag + ")");
        // The empty text is the empty object, as null is in a scenario file.
        auto text = *command_->get_option(option.flag)->results().begin();
        documents.push_back(text.empty() ? Json() : Json(text));
        step.objectArgs[option.parameter] = parser.ParseObjectArg(JsonCursor(documents.back(), "", option.flag));
    }
    if (!rows_.empty() && !hook->takesRows) throw playback::CommandError(hook_ + " takes no record list");
    if (!answersFile_.empty()) {
        documents.push_back(JsonCursor::ReadFile(answersFile_));
        step.answers = parser.ParseAnswersFile(JsonCursor(documents.back(), "", answersFile_));
    }
    parser.CheckRefs();
    return step;
}

int HookCommand::Run(std::ostream& out, std::ostream& errors) {
    // Files picked are looked for beside the answers, else in the working folder, which must still exist.
    std::error_code noFolder;
    auto answersFolder = answersFile_.empty()
                             ? std::filesystem::current_path(noFolder)
                             : std::filesystem::absolute(PathFromText(answersFile_), noFolder).parent_path();
    if (noFolder)
        throw playback::CommandError("the working folder cannot be read (" + noFolder.message() +
                                     "); it may have been removed: change to an existing folder");
    std::deque<Json> documents;
    auto step = MakeStep(documents);
    auto database = playback::DatabaseFile::Open(database_);
    if (!database->UserId(user_)) throw playback::CommandError("there is no user \"" + user_ + "\" in " + database_);
#ifdef QUENDRA_WITH_QT
    // Without a display, a call that shows no window still runs; one that would show one is undone.
    bool person = answersFile_.empty();
    std::string noDisplay = person ? qt::NoDisplay() : "";
#else
    bool person = false;
    std::string noDisplay;
#endif
    if (!noDisplay.empty()) person = false;
    std::ofstream recording;
    if (!recordFile_.empty()) recording = PrepareRecording();
    // A call that ends without its recording written leaves no recording and no database beside it.
    struct Unrecorded {
        const HookCommand* command;
        bool written = false;
        ~Unrecorded() {
            if (command && !written) command->ForgetRecording();
        }
    } unrecorded{recordFile_.empty() ? nullptr : this};
    scripted::ScriptedUser scripted;
    playback::World world(*database, scripted, "command line");
    world.SetDefaultUser(user_);
    world.SetFilesFolder(TextFromPath(answersFolder));
    // A row that names nothing, or several, is said before anything else is printed.
    if (step.rows)
        for (const auto& row : *step.rows) world.MakeRow(row, playback::HookCatalog::Find(hook_)->storedLinks);
    playback::Transcript transcript(out, errors, json_);
    transcript.Step(1, step, user_);
    out.flush(); // the call may wait for a person at a real window
    Call call = person ? CallForPerson(world, step, *database, answersFolder)
                       : CallScripted(world, scripted, step, *database, answersFolder);
    auto& [outcome, misfit, answers, files] = call;
    // Windows that nobody could see end the call without a transcript of what nobody answered.
    if (misfit && !noDisplay.empty())
        throw playback::EnvironmentError(
            "this call shows windows, and " + noDisplay +
            "; the hook's writes are undone: give --answers FILE to answer them from a file (a "
            "JSON list such as [{\"button\": \"OK\"}]), or run it where a display is");
    transcript.Outcome(1, outcome, world);
    if (outcome.scriptedFailure) errors << "quendra hook: " << *outcome.scriptedFailure << '\n';
    for (const auto& left : outcome.answersLeft) errors << "quendra hook: answer not used: " << left << '\n';
    // A full disk or a lost server during the call is the machine's, whatever the hook made of it.
    if (auto failure = database->Harness().MachineFailureText()) {
        errors << "quendra hook: " << *failure << "; the hook's writes are undone\n";
        return playback::EnvironmentFault;
    }
    if (misfit) {
        errors << "quendra hook: the answers do not fit the windows shown; the hook's writes are undone\n";
        return 2;
    }
    if (!recordFile_.empty()) {
        Record(recording, step, outcome, answers, files);
        unrecorded.written = true;
    }
    return outcome.error ? 2 : 0;
}

HookCommand::Call HookCommand::CallForPerson(playback::World& world, const playback::ScenarioStep& step,
                                             embedded::Database& database,
                                             const std::filesystem::path& answersFolder) const {
    Call call;
#ifdef QUENDRA_WITH_QT
    static int argc = 1;
    static char name[] = "quendra";
    static char* argv[] = {name, nullptr};
    std::optional<QApplication> application;
    qt::QuietQtPlatformNotes();
    if (!qApp) application.emplace(argc, argv);
    qt::QtWindowSystem windows;
    playback::StepRunner runner(world, windows, windows, nullptr);
    playback::OuterTransaction unit(database, playback::PersonsCallIsOneUnit(database_));
    call.outcome = runner.Run(step, user_);
    if (!database.Harness().MachineFailureText()) unit.Commit();
    playback::NotePersonAnswers(windows.Answered(), database, answersFolder, call.outcome, call.answers, call.files);
#else
    (void)world, (void)step, (void)database, (void)answersFolder;
#endif
    return call;
}

HookCommand::Call HookCommand::CallScripted(playback::World& world, scripted::ScriptedUser& scripted,
                                            const playback::ScenarioStep& step, embedded::Database& database,
                                            const std::filesystem::path& answersFolder) const {
    Call call;
    // The answers are the whole intention: a call they do not fit leaves the database as it was.
    playback::OuterTransaction transaction(database);
    playback::StepRunner runner(world, scripted, scripted, &scripted);
    call.outcome = runner.Run(step, user_);
    call.misfit = call.outcome.scriptedFailure || !call.outcome.answersLeft.empty();
    if (!call.misfit && !database.Harness().MachineFailureText()) transaction.Commit();
    size_t used = step.answers.size() - call.outcome.answersLeft.size();
    for (size_t i = 0; i < used; ++i) {
        call.answers.push_back(step.answers[i].written);
        for (const auto& file : step.answers[i].openFiles) {
            auto path = answersFolder / PathFromText(file);
            if (std::filesystem::is_regular_file(path)) call.files[file] = ReadFileText(TextFromPath(path));
        }
    }
    return call;
}

std::string HookCommand::HelpPage() const {
    const playback::HookInfo* hook = playback::HookCatalog::Find(hook_);
    return hook ? playback::HookCatalog::Page(*hook) + "\n" : "";
}

std::string HookCommand::ParseHint(const CLI::ParseError& error) const {
    auto code = error.get_exit_code();
    if (code != static_cast<int>(CLI::ExitCodes::ExtrasError) &&
        code != static_cast<int>(CLI::ExitCodes::RequiredError))
        return "";
    return "the hook name comes right after hook, and each --row takes one value: " + std::string(Usage);
}

std::ofstream HookCommand::PrepareRecording() {
    auto snapshot = SnapshotPath();
    // A scenario file holds UTF-8 only: a name or argument that is not would be replayed as another.
    auto notUtf8 = [](const std::string& what, const std::string& text) {
        if (JsonHeldText(text) != text)
            throw playback::CommandError(
                what + " " + JsonText(text) +
                " is not UTF-8 text, which a recording cannot keep: give it in UTF-8 to record the call");
    };
    notUtf8("the copy of the database", std::filesystem::path(snapshot).filename().string());
    for (const char* flag : {"--user", "--row", "--link-attributes", "--select-op", "--extensions", "--file-types",
                             "--obj", "--from-obj", "--my-new-part"})
        for (const auto& given : command_->get_option(flag)->results()) notUtf8(flag, given);
    std::error_code error;
    auto exists = [&](const std::string& path) {
        return std::filesystem::exists(std::filesystem::symlink_status(path, error));
    };
    if (std::filesystem::equivalent(recordFile_, database_, error))
        throw playback::CommandError("cannot write the recording to " + recordFile_ + ": it is the database itself");
    if (!force_)
        for (const auto& path : {recordFile_, snapshot})
            if (exists(path)) throw playback::CommandError(path + " exists already; give --force to replace it");
    madeSnapshot_ = !exists(snapshot);
    bool recordingExisted = exists(recordFile_);
    try {
        playback::DatabaseFile::Copy(database_, snapshot);
    } catch (const playback::CommandError&) {
        ForgetRecording();
        throw;
    }
    std::ofstream recording(recordFile_, std::ios::binary | std::ios::trunc);
    if (!recording) {
        const int error = errno;
        ForgetRecording();
        const std::string text = "cannot write the recording " + recordFile_ + ": " + std::strerror(error);
        // A folder that may not be written, a full disk: the machine's.
        bool machine = error == EACCES || error == EPERM || error == EROFS || error == ENOSPC;
#ifdef EDQUOT
        machine = machine || error == EDQUOT;
#endif
        if (machine) throw playback::EnvironmentError(text);
        throw playback::CommandError(text);
    }
    madeRecording_ = !recordingExisted;
    return recording;
}

void HookCommand::ForgetRecording() const {
    std::error_code ignored;
    if (madeRecording_) std::filesystem::remove(recordFile_, ignored);
    if (madeSnapshot_) std::filesystem::remove(SnapshotPath(), ignored);
}

std::string HookCommand::SnapshotPath() const {
    return std::filesystem::path(recordFile_).replace_extension(".db").string();
}

void HookCommand::Record(std::ofstream& file, const playback::ScenarioStep& step, const playback::StepOutcome& outcome,
                         const Json& answers, const Json& files) const {
    auto snapshot = std::filesystem::path(SnapshotPath()).filename().string();
    Json steps = Json::array({playback::RecordedStep(step, user_, outcome, answers)});
    playback::WriteRecording(
        file, playback::RecordedScenario(hook_ + " called by " + user_ + " on " + database_, snapshot, files, steps),
        recordFile_);
}

} // namespace quendra::host
