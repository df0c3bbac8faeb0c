// StepRunner: prepares the hook's arguments, calls it and gathers what it showed and did.
// SPDX-License-Identifier: Apache-2.0
#include "StepRunner.h"

#include "FileError.h"
#include "HookCatalog.h"

#include "Application.h"

#include <chrono>
#include <optional>
#include <stdexcept>

namespace quendra::playback {

StepRunner::StepRunner(World& world, ui::WindowSystem& windows, embedded::PlatformDialogs& dialogs,
                       scripted::ScriptedUser* scripted)
    : world_(world), scripted_(scripted), timeline_(windows, dialogs, world.Database()) {}

StepOutcome StepRunner::Run(const ScenarioStep& step, const std::string& user) {
    auto& database = world_.Database();
    if (user.empty()) throw FileError(world_.File(), step.path, "no user to log in: give one under \"users\"");
    if (!database.UserId(user))
        throw FileError(world_.File(), step.user ? step.path + "/user" : step.path,
                        "there is no user \"" + user + "\"");
    const HookInfo* hook = HookCatalog::Find(step.hook);
    if (!hook) throw FileError(world_.File(), step.path + "/hook", "unknown hook name \"" + step.hook + "\"");

    std::vector<embedded::HookRow> rows;
    if (step.rows)
        for (const auto& row : *step.rows) rows.push_back(world_.MakeRow(row, hook->storedLinks));
    // Two calls on the same objects take turns inside their outer transactions, as on a file, where the outer
    // transaction holds the whole database.
    std::vector<embedded::ObjectKey> held;
    for (const auto& row : rows)
        held.push_back(row.kind == embedded::HookRow::Kind::PendingLink ? row.parent : row.key);
    database.HoldObjects(held);
    std::vector<answering::Answer> answers;
    for (const auto& answer : step.answers) answers.push_back(world_.MakeAnswer(answer));

    StepOutcome outcome;
    outcome.user = user;
    timeline_.Forget();
    Ptr<CvSession> session = keepSessions_ ? sessions_[user] : nullptr;
    if (!session) session = database.Login(user, timeline_);
    if (keepSessions_) sessions_[user] = session;
    HookArguments arguments;
    arguments.rows = database.MakeRecList(rows);
    for (const auto& name : hook->texts) {
        auto text = step.texts.find(name);
        arguments.texts[name] = text == step.texts.end() ? std::string() : text->second;
    }
    for (const auto& name : hook->objects) {
        auto arg = step.objectArgs.find(name);
        arguments.objects[name] = arg == step.objectArgs.end() ? nullptr : world_.MakeObject(*session, arg->second);
    }

    if (scripted_) scripted_->SetAnswers(answers);
    embedded::Harness& harness = database.Harness();
    harness.ClearEvents();
    harness.ClearFaults();
    for (const auto& fault : step.faults) harness.FailCall(fault.call, fault.nth);
    harness.SetReadOnly(step.readOnly);
    Application application(timeline_);
    auto started = std::chrono::steady_clock::now();
    try {
        outcome.result = caller_ ? caller_(*hook, session, arguments, timeline_)
                                 : HookCatalog::Call(application, step.hook, session, arguments);
    } catch (const CvError& error) {
        outcome.error = error.what();
    } catch (const std::exception& error) {
        outcome.error = std::string("unexpected failure: ") + error.what();
    }
    // Through COM, quendra.dll writes the line of the call.
    if (!caller_)
        log_.Append(step.hook, outcome.result, std::chrono::steady_clock::now() - started,
                    outcome.error ? *outcome.error : application.TakeCaughtFailure());
    harness.SetReadOnly(false);
    for (const auto& [call, nth] : harness.UnfiredFaults())
        outcome.unfiredFaults.push_back(JsonText(Json{{"call", call}, {"nth", nth}}));
    harness.ClearFaults();

    if (scripted_) {
        outcome.windows = scripted_->Windows();
        outcome.scriptedFailure = scripted_->Failure();
        size_t left = scripted_->AnswersLeft();
        for (size_t i = answers.size() - std::min(left, answers.size()); i < answers.size(); ++i)
            outcome.answersLeft.push_back(answers[i].description);
    }
    outcome.events = harness.Events();
    outcome.windowsAt = timeline_.Shown();
    for (const auto& name : hook->objects) outcome.objectArgs[name] = arguments.objects[name];
    return outcome;
}

} // namespace quendra::playback
