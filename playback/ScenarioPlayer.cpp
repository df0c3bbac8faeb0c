// ScenarioPlayer: parse, build the world, run each step, check it, tell the transcript.
// SPDX-License-Identifier: Apache-2.0
#include "ScenarioPlayer.h"

#include "CommandError.h"
#include "DatabaseFile.h"
#include "ExpectationChecker.h"
#include "FileError.h"
#include "FilePath.h"
#include "ModelSource.h"
#include "ScenarioParser.h"
#include "StepRunner.h"
#include "TempFolder.h"
#include "World.h"

#include "Database.h"
#include "Model.h"
#include "ScriptedUser.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>

namespace quendra::playback {

namespace {

// A scenario that starts from a database file plays on a copy of it, so the file stays as it is.
std::shared_ptr<embedded::Database> OpenCopy(const Scenario& scenario, const TempFolder& folder) {
    auto source = PathFromText(scenario.database);
    if (source.is_relative()) source = PathFromText(scenario.folder) / source;
    std::error_code error;
    if (!std::filesystem::is_regular_file(source, error))
        throw FileError(scenario.file, "/database", "no database file " + TextFromPath(source) + " exists");
    auto copy = PathFromText(folder.Path()) / "start.db";
    std::filesystem::copy_file(source, copy, error);
    if (error == std::errc::no_space_on_device || error == std::errc::read_only_file_system)
        throw EnvironmentError("cannot copy " + TextFromPath(source) + " to " + TextFromPath(copy) + ": " +
                               error.message());
    if (error)
        throw FileError(scenario.file, "/database", TextFromPath(source) + " cannot be copied: " + error.message());
    try {
        return embedded::Database::Open(TextFromPath(copy));
    } catch (const embedded::EmbeddedError& wrong) {
        throw FileError(scenario.file, "/database", TextFromPath(source) + ": " + wrong.what());
    }
}

// A schema name no other player uses at the same time on the same server.
std::string FreshSchemaName() {
    static int played = 0;
    return "quendra_play_" + std::to_string(getpid()) + "_" +
           std::to_string(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007) + "_" +
           std::to_string(++played);
}

} // namespace

int ScenarioPlayer::Play(const std::string& path) {
    try {
        auto scenario = ScenarioParser::ReadFile(path);
        transcript_.BeginFile(scenario);
        TempFolder databaseFolder;
        std::optional<embedded::ServerSchema> schema; // outlives the database made in it
        std::shared_ptr<embedded::Database> database;
        std::string firstUser;
        if (!scenario.database.empty() && !server_.empty()) {
            throw FileError(scenario.file, "/database",
                            "a scenario that starts from a database file plays on a copy "
                            "of that file, not on a database server");
        } else if (!scenario.database.empty()) {
            database = OpenCopy(scenario, databaseFolder);
            auto users = DatabaseFile::Users((std::filesystem::path(databaseFolder.Path()) / "start.db").string());
            if (!users.empty()) firstUser = users.front().second;
        } else {
            auto model = ModelSource::Load(scenario.model, scenario.folder, scenario.file, "/model");
            if (!server_.empty()) schema.emplace(server_, FreshSchemaName());
            database = embedded::Database::Create(schema ? schema->Address() : ":memory:", model);
            if (!model->users.empty()) firstUser = model->users.front().login;
        }
        scripted::ScriptedUser user;
        World world(*database, user, scenario.file);
        world.SetDefaultUser(firstUser);
        world.Build(scenario);
        StepRunner runner(world, user, user, &user);
        runner.CallHooksBy(caller_);
        runner.KeepSessions(scenario.sessionPerUser);
        ExpectationChecker checker(world);
        std::string current = world.DefaultUser();
        int status = 0;
        for (size_t i = 0; i < scenario.steps.size(); ++i) {
            const auto& step = scenario.steps[i];
            if (step.user) current = *step.user;
            transcript_.Step(i + 1, step, current);
            auto outcome = runner.Run(step, current);
            transcript_.Outcome(i + 1, outcome, world);
            auto failures = checker.Check(step.expect, outcome);
            transcript_.Verdict(i + 1, failures);
            if (!failures.empty()) status = 1;
        }
        transcript_.EndFile(path, status);
        return status;
    } catch (const EnvironmentError& error) {
        transcript_.EnvironmentFault(path, error.what());
        return EnvironmentFault;
    } catch (const embedded::UnreachableServer& error) {
        transcript_.EnvironmentFault(path, error.what());
        return EnvironmentFault;
    } catch (const FileError& error) {
        transcript_.WrongFile(path, error);
    } catch (const embedded::EmbeddedError& error) {
        transcript_.WrongFile(path, FileError(error.file.empty() ? path : error.file, error.jsonPath, error.what()));
    } catch (const std::exception& error) {
        transcript_.WrongFile(path, FileError(path, "", error.what()));
    }
    return 2;
}

} // namespace quendra::playback
