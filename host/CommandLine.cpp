// CommandLine: every wrong argument, file or database is one line naming it, with exit status 2.
#include "CommandLine.h"

#include "CommandError.h"
#ifdef QUENDRA_WITH_QT
#include "DesktopCommand.h"
#endif
#include "CopyCommand.h"
#include "FileError.h"
#include "HookCatalog.h"
#include "HookCommand.h"
#include "InitCommand.h"
#include "PlayCommand.h"
#include "TreeCommand.h"
#include "WindowsCommand.h"

#include "Connection.h"
#include "CvError.h"
#include "Database.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <functional>
#include <vector>

namespace quendra::host {

namespace {

// "unknown command 'inti'; did you mean 'init'?" for a first word that names no command.
std::string UnknownCommand(const std::string& word, const std::vector<std::string>& commands) {
    std::string nearest;
    size_t best = std::max<size_t>(2, word.size() / 3) + 1;
    for (const auto& command : commands) {
        size_t distance = EditDistance(word, command);
        if (distance < best) best = distance, nearest = command;
    }
    return "unknown command '" + word + "'" + (nearest.empty() ? "" : "; did you mean '" + nearest + "'?") +
           " (quendra --help lists the commands)";
}

// "did you mean --row?" for the first option that the command does not know, or empty.
std::string UnknownOption(const CLI::App& command, int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (!word.starts_with("--") || word == "--") continue;
        std::string name = word.substr(2, word.find('=') == std::string::npos ? std::string::npos : word.find('=') - 2);
        std::string nearest;
        size_t best = std::max<size_t>(2, name.size() / 3) + 1;
        bool known = false;
        for (const auto* option : command.get_options())
            for (const auto& candidate : option->get_lnames()) {
                known = known || candidate == name;
                size_t distance = EditDistance(name, candidate);
                if (distance < best) best = distance, nearest = "--" + candidate;
            }
        if (!known && !nearest.empty()) return "did you mean " + nearest + " where you wrote --" + name + "?";
    }
    return "";
}

} // namespace

int CommandLine::Run(int argc, const char* const* argv, std::ostream& out, std::ostream& errors,
                     DesktopRunner desktop) {
    // The last guard: whatever a command did not foresee still ends in one line and status 2.
    try {
        return RunCommand(argc, argv, out, errors, desktop);
    } catch (const EnvironmentError& error) {
        errors << "quendra: " << error.what() << '\n';
        return EnvironmentFault;
    } catch (const std::exception& error) {
        errors << "quendra: " << error.what() << '\n';
    } catch (...) {
        errors << "quendra: the command failed for an unknown reason\n";
    }
    return 2;
}

int CommandLine::RunCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& errors,
                            DesktopRunner desktopRunner) {
    CLI::App app("quendra: makes embedded databases, calls hooks and plays scenario files", "quendra");
    app.require_subcommand(1);
    // The same options on Windows: a path such as /data/plant.db is an argument there too, not an option.
    app.allow_windows_style_options(false);
    app.set_help_all_flag("--help-all", "Print the help of every command");
    app.set_version_flag("--version", "quendra " QUENDRA_VERSION, "Print the version and exit");
    InitCommand init;
    TreeCommand tree;
    PlayCommand play;
    HookCommand hook;
    CopyCommand copy;
    auto* initApp = init.Register(app);
    auto* treeApp = tree.Register(app);
    auto* playApp = play.Register(app);
    auto* hookApp = hook.Register(app);
    auto* copyApp = copy.Register(app);
    auto* hooksApp = app.add_subcommand("hooks", "List the eighteen hooks: their arguments, what each does and what "
                                                 "its result means");
    WindowsCommand windows;
    CLI::App* windowsApp = nullptr;
#ifdef QUENDRA_WITH_QT
    windowsApp = windows.Register(app);
#endif
    DesktopCommand desktop(desktopRunner);
    auto* desktopApp = desktop.Register(app);
    std::string helpTopic;
    auto* helpApp = app.add_subcommand("help", "Print the help of quendra or of one command");
    helpApp->add_option("COMMAND", helpTopic, "The command");

    std::vector<std::string> commands;
    std::function<bool(CLI::App*)> every = [](CLI::App*) { return true; };
    for (const auto* command : app.get_subcommands(every)) commands.push_back(command->get_name());
    auto isCommand = [&](const std::string& word) {
        return std::find(commands.begin(), commands.end(), word) != commands.end();
    };
    if (argc > 1 && argv[1][0] != '-' && !isCommand(argv[1])) {
        errors << "quendra: " << UnknownCommand(argv[1], commands) << '\n';
        return WrongArgument;
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        if (app.get_subcommands().empty()) {
            out << app.get_formatter()->make_help(&app, "quendra", CLI::AppFormatMode::Normal);
        } else {
            auto* command = app.get_subcommands().front();
            if (command == hookApp) out << hook.Page();
            out << command->help("quendra");
        }
        return 0;
    } catch (const CLI::CallForAllHelp&) {
        out << app.help("", CLI::AppFormatMode::All);
        return 0;
    } catch (const CLI::CallForVersion& version) {
        out << version.what() << '\n';
        return 0;
    } catch (const CLI::ParseError& error) {
        // An option where the command belongs: CLI11 would only miss the command.
        if (app.get_subcommands().empty() && argc > 1 && argv[1][0] == '-') {
            errors << "quendra: unknown option " << argv[1]
                   << ": a command comes first, and its options after it (quendra --help lists the commands)\n";
            return WrongArgument;
        }
        std::string where =
            app.get_subcommands().empty() ? "quendra" : "quendra " + app.get_subcommands().front()->get_name();
        std::string hint =
            app.get_subcommands().empty() ? "" : UnknownOption(*app.get_subcommands().front(), argc, argv);
        if (hint.empty() && where == "quendra hook") hint = hook.ParseHint(error);
        errors << where << ": " << error.what() << (hint.empty() ? "" : "; " + hint) << " (see " << where
               << " --help)\n";
        return WrongArgument;
    }
    if (helpApp->parsed()) {
        if (helpTopic.empty()) {
            out << app.get_formatter()->make_help(&app, "quendra", CLI::AppFormatMode::Normal);
            return Done;
        }
        if (!isCommand(helpTopic)) {
            errors << "quendra help: " << UnknownCommand(helpTopic, commands) << '\n';
            return WrongArgument;
        }
        out << app.get_subcommand(helpTopic)->help("quendra");
        return Done;
    }
    if (hooksApp->parsed()) {
        out << HookCatalog::Table();
        return Done;
    }

    std::string where = "quendra " + app.get_subcommands().front()->get_name();
    if (auto problem = embedded::BusyWaitProblem(); !problem.empty()) {
        errors << where << ": " << problem << '\n';
        return WrongArgument;
    }
    try {
        if (initApp->parsed()) return init.Run(out);
        if (treeApp->parsed()) return tree.Run(out);
        if (playApp->parsed()) return play.Run(out, errors);
        if (hookApp->parsed()) return hook.Run(out, errors);
        if (copyApp->parsed()) return copy.Run(out, errors);
        if (windowsApp && windowsApp->parsed()) return windows.Run(out);
        if (desktopApp && desktopApp->parsed()) return desktop.Run(out);
    } catch (const CommandError& error) {
        errors << where << ": " << error.what() << '\n';
    } catch (const EnvironmentError& error) {
        errors << where << ": " << error.what() << '\n';
        return EnvironmentFault;
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
    return WrongArgument;
}

} // namespace quendra::host
