// InitCommand: everything is checked before the file is made, and a file made by a failed run is removed.
#include "InitCommand.h"

#include "CommandError.h"
#include "FileError.h"
#include "ModelSource.h"
#include "SampleData.h"
#include "ScenarioParser.h"
#include "World.h"

#include "Database.h"
#include "Model.h"
#include "ScriptedUser.h"

#include <filesystem>

namespace quendra::host {

CLI::App* InitCommand::Register(CLI::App& app) {
    auto* command = app.add_subcommand("init", "Make a new database file from a data model");
    command->add_option("DB", database_, "The database file to make (must not exist yet)")->required();
    command->add_option("--model", model_, "A built-in model's name or a model file (default: plant)");
    command->add_flag("--sample", sample_, "Load the sample product (an assembly with documents, a folder, a project)");
    return command;
}

int InitCommand::Run(std::ostream& out) {
    std::error_code error;
    if (std::filesystem::exists(database_, error))
        throw CommandError(database_ + " exists already; init only makes new database files");
    auto model = ModelSource::Load(model_, "", "", "");
    std::optional<Scenario> sample;
    if (sample_) sample = ScenarioParser::ParseText(SampleDataText(), SampleDataName);

    // Declared before the database, so the file is closed before a failed run removes it.
    struct RemoveUnlessKept {
        const std::string& path;
        bool keep = false;
        ~RemoveUnlessKept() {
            std::error_code ignored;
            if (!keep)
                for (const char* suffix : {"", "-journal", "-wal", "-shm"})
                    std::filesystem::remove(path + suffix, ignored);
        }
    } made{database_};
    try {
        auto database = embedded::Database::Create(database_, model);
        if (sample) {
            scripted::ScriptedUser dialogs;
            World world(*database, dialogs, SampleDataName);
            if (!model->users.empty()) world.SetDefaultUser(model->users.front().login);
            world.Build(*sample);
        }
    } catch (const embedded::EmbeddedError& wrong) {
        throw CommandError(database_ + ": " + wrong.what());
    }
    made.keep = true;
    out << "made " << database_ << " from the model " << model_ << (sample_ ? " with the sample product" : "") << '\n';
    return 0;
}

} // namespace quendra::host
