// CommandLine: every wrong argument, file or database is one line naming it, with exit status 2.
#include "CommandLine.h"

#include "CommandError.h"
#include "FileError.h"
#include "HookCommand.h"
#include "InitCommand.h"
#include "PlayCommand.h"
#include "TreeCommand.h"
#include "WindowsCommand.h"

#include "CvError.h"
#include "Database.h"

#include <CLI/CLI.hpp>

namespace quendra::host {

int CommandLine::Run(int argc, const char* const* argv, std::ostream& out, std::ostream& errors) {
    // The last guard: whatever a command did not foresee still ends in one line and status 2.
    try {
        return RunCommand(argc, argv, out, errors);
    } catch (const std::exception& error) {
        errors << "quendra: " << error.what() << '\n';
    } catch (...) {
        errors << "quendra: the command failed for an unknown reason\n";
    }
    return 2;
}

int CommandLine::RunCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& errors) {
    CLI::App app("quendra: makes embedded databases, calls hooks and plays scenario files", "quendra");
    app.require_subcommand(1);
    app.set_help_all_flag("--help-all", "Print the help of every command");
    InitCommand init;
    TreeCommand tree;
    PlayCommand play;
    HookCommand hook;
    auto* initApp = init.Register(app);
    auto* treeApp = tree.Register(app);
    auto* playApp = play.Register(app);
    auto* hookApp = hook.Register(app);
    WindowsCommand windows;
    CLI::App* windowsApp = nullptr;
#ifdef QUENDRA_WITH_QT
    windowsApp = windows.Register(app);
#endif

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << (app.get_subcommands().empty() ? app.help() : app.get_subcommands().front()->help());
        return 0;
    } catch (const CLI::CallForAllHelp&) {
        out << app.help("", CLI::AppFormatMode::All);
        return 0;
    } catch (const CLI::ParseError& error) {
        std::string where =
            app.get_subcommands().empty() ? "quendra" : "quendra " + app.get_subcommands().front()->get_name();
        errors << where << ": " << error.what() << " (see " << where << " --help)\n";
        return 2;
    }

    std::string where = "quendra " + app.get_subcommands().front()->get_name();
    try {
        if (initApp->parsed()) return init.Run(out);
        if (treeApp->parsed()) return tree.Run(out);
        if (playApp->parsed()) return play.Run(out, errors);
        if (hookApp->parsed()) return hook.Run(out, errors);
        if (windowsApp && windowsApp->parsed()) return windows.Run(out);
    } catch (const CommandError& error) {
        errors << where << ": " << error.what() << '\n';
    } catch (const FileError& error) {
        errors << where << ": " << error.what() << '\n';
    } catch (const embedded::EmbeddedError& error) {
        errors << where << ": " << (error.file.empty() ? "" : error.file + ": ")
               << (error.jsonPath.empty() ? "" : error.jsonPath + ": ") << error.what() << '\n';
    } catch (const CvError& error) {
        errors << where << ": " << error.what() << '\n';
    } catch (const std::exception& error) {
        errors << where << ": " << error.what() << '\n';
    }
    return 2;
}

} // namespace quendra::host
