// InitCommand: the database is made under a temporary name beside its place and linked into place only
// while the place is still free, so two runs never take each other's file and a failed run removes only
// what it made.
// SPDX-License-Identifier: Apache-2.0
#include "InitCommand.h"

#include "CommandError.h"
#include "FileError.h"
#include "MakingFile.h"
#include "ModelSource.h"
#include "SampleData.h"
#include "ScenarioParser.h"
#include "World.h"

#include "Database.h"
#include "Model.h"
#include "ScriptedUser.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace quendra::host {

namespace {

// Names that SQLite reads as something else than a file of that name.
void RefuseSpecialNames(const std::string& path) {
    if (path.empty())
        throw playback::CommandError("the database file name is empty; give a file path such as plant.db");
    if (path == ":memory:")
        throw playback::CommandError(
            "\":memory:\" names a database in memory, which init cannot keep; give a file path");
    if (path.starts_with("file:"))
        throw playback::CommandError("\"" + path + "\" is a URI; init makes plain files only: give a file path");
}

#ifdef _WIN32
// Puts the made file at `to` unless something is there already: a move that may not replace refuses
// an existing name.
void LinkIntoPlace(const std::string& from, const std::string& to) {
    if (MoveFileExW(std::filesystem::path(from).c_str(), std::filesystem::path(to).c_str(), MOVEFILE_COPY_ALLOWED))
        return;
    DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        throw playback::CommandError(to + " exists already; init only makes new database files");
    throw playback::CommandError("cannot put the database at " + to + ": " +
                                 std::error_code(static_cast<int>(error), std::system_category()).message());
}
#else
// A file that cannot be put in its place: the machine's fault where the folder may not be written or the disk
// is full, else the place's.
[[noreturn]] void ThrowPlacingError(const std::string& to, int error) {
    const std::string text = "cannot put the database at " + to + ": " + std::strerror(error);
    if (error == EACCES || error == EPERM || error == EROFS || error == ENOSPC || error == EDQUOT || error == EIO)
        throw playback::EnvironmentError(text);
    throw playback::CommandError(text);
}

// Puts the made file at `to` unless something is there already: a hard link fails on an existing name;
// on file systems without hard links, a rename that refuses to replace does the same.
void LinkIntoPlace(const std::string& from, const std::string& to) {
    if (::link(from.c_str(), to.c_str()) == 0) return;
    int linkError = errno;
    if (linkError == EEXIST) throw playback::CommandError(to + " exists already; init only makes new database files");
    if (linkError == EPERM || linkError == ENOTSUP || linkError == EOPNOTSUPP || linkError == EXDEV) {
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return;
        if (errno == EEXIST) throw playback::CommandError(to + " exists already; init only makes new database files");
        ThrowPlacingError(to, errno);
    }
    ThrowPlacingError(to, linkError);
}
#endif

} // namespace

CLI::App* InitCommand::Register(CLI::App& app) {
    auto* command = app.add_subcommand("init", "Make a new database, a file or on a server, from a data model");
    command
        ->add_option("DB", database_,
                     "The database file to make (must not exist yet), or a database server's address "
                     "(postgresql://...) whose schema holds no database yet")
        ->required();
    command->add_option("--model", model_, "A built-in model's name or a model file (default: plant)");
    command->add_flag("--sample", sample_, "Load the sample product (an assembly with documents, a folder, a project)");
    return command;
}

int InitCommand::Run(std::ostream& out, std::ostream&) {
    if (embedded::IsServerAddress(database_)) return MakeOnServer(out);
    RefuseSpecialNames(database_);
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(database_, error)))
        throw playback::CommandError(database_ + " exists already; init only makes new database files");
    auto folder = std::filesystem::path(database_).parent_path();
    if (!folder.empty() && !std::filesystem::is_directory(folder, error))
        throw playback::CommandError("no folder " + folder.string() + " exists to make " + database_ + " in");
    auto model = playback::ModelSource::Load(model_, "", "", "");
    std::optional<playback::Scenario> sample;
    if (sample_) sample = playback::ScenarioParser::ParseText(SampleDataText(), SampleDataName);

    MakingFile made(database_);
    try {
        auto database = embedded::Database::Create(made.Path(), model);
        if (sample) {
            scripted::ScriptedUser dialogs;
            playback::World world(*database, dialogs, SampleDataName);
            if (!model->users.empty()) world.SetDefaultUser(model->users.front().login);
            world.Build(*sample);
        }
    } catch (const embedded::MachineFailure& failure) {
        throw playback::EnvironmentError(database_ + ": " + failure.what());
    } catch (const embedded::EmbeddedError& wrong) {
        throw playback::CommandError(database_ + ": " + wrong.what());
    }
    // The database is closed here: everything is in the one file, which now gets its name.
    LinkIntoPlace(made.Path(), database_);
    out << "made " << database_ << " from the model " << model_ << (sample_ ? " with the sample product" : "") << '\n';
    return 0;
}

// On a server the tables and the model are made in the schema the address selects, where other programs may
// already look: there is no file to give its name only once it is complete, so all of it is one transaction.
int InitCommand::MakeOnServer(std::ostream& out) {
    auto model = playback::ModelSource::Load(model_, "", "", "");
    std::optional<playback::Scenario> sample;
    if (sample_) sample = playback::ScenarioParser::ParseText(SampleDataText(), SampleDataName);
    try {
        embedded::Database::Create(database_, model, [&](embedded::Database& database) {
            if (!sample) return;
            scripted::ScriptedUser dialogs;
            playback::World world(database, dialogs, SampleDataName);
            if (!model->users.empty()) world.SetDefaultUser(model->users.front().login);
            world.Build(*sample);
        });
    } catch (const embedded::UnreachableServer& unreachable) {
        throw playback::EnvironmentError(unreachable.what());
    } catch (const embedded::MachineFailure& failure) {
        throw playback::EnvironmentError(database_ + ": " + failure.what());
    } catch (const embedded::EmbeddedError& wrong) {
        throw playback::CommandError(database_ + ": " + wrong.what());
    }
    out << "made " << database_ << " from the model " << model_ << (sample_ ? " with the sample product" : "") << '\n';
    return 0;
}

} // namespace quendra::host
