// CommandLine: every wrong argument, file or database is one line naming it, with exit status 2.
// SPDX-License-Identifier: Apache-2.0
#include "CommandLine.h"

#include "CommandError.h"
#include "CopyCommand.h"
#include "FileError.h"
#include "GrantCommand.h"
#include "HookCatalog.h"
#include "HookCommand.h"
#include "HooksCommand.h"
#include "InitCommand.h"
#include "PlayCommand.h"
#include "TreeCommand.h"
#ifdef QUENDRA_WITH_QT
#include "DesktopCommand.h"
#include "WindowsCommand.h"
#endif

#include "Connection.h"
#include "CvError.h"
#include "Database.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace quendra::host {

namespace {

// "unknown command 'inti'; did you mean 'init'?" for a first word that names no command.
std::string UnknownCommand(const std::string& word, const std::vector<std::string>& commands) {
    std::string nearest;
    size_t best = std::max<size_t>(2, word.size() / 3) + 1;
    for (const auto& command : commands) {
        size_t distance = playback::EditDistance(word, command);
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
                size_t distance = playback::EditDistance(name, candidate);
                if (distance < best) best = distance, nearest = "--" + candidate;
            }
        if (!known && !nearest.empty()) return "did you mean " + nearest + " where you wrote --" + name + "?";
    }
    return "";
}

// Every command, in the order `quendra --help` lists them.
std::vector<std::unique_ptr<Command>> Commands() {
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<InitCommand>());
    commands.push_back(std::make_unique<TreeCommand>());
    commands.push_back(std::make_unique<PlayCommand>());
    commands.push_back(std::make_unique<HookCommand>());
    commands.push_back(std::make_unique<CopyCommand>());
    commands.push_back(std::make_unique<GrantCommand>());
    commands.push_back(std::make_unique<HooksCommand>());
#ifdef QUENDRA_WITH_QT
    commands.push_back(std::make_unique<WindowsCommand>());
    commands.push_back(std::make_unique<DesktopCommand>());
#endif
    return commands;
}

// The command the parse picked, or null (none yet, or `help`).
Command* Picked(CLI::App& app, const std::vector<std::pair<CLI::App*, Command*>>& registered) {
    if (app.get_subcommands().empty()) return nullptr;
    for (const auto& [sub, command] : registered)
        if (sub == app.get_subcommands().front()) return command;
    return nullptr;
}

// The help, the version or a mistake that a parse ended with: its exit status.
int ParseEnded(CLI::App& app, const CLI::ParseError& ended, Command* command, int argc, const char* const* argv,
               std::ostream& out, std::ostream& errors) {
    if (dynamic_cast<const CLI::CallForHelp*>(&ended)) {
        if (app.get_subcommands().empty()) {
            out << app.get_formatter()->make_help(&app, "quendra", CLI::AppFormatMode::Normal);
        } else {
            if (command) out << command->HelpPage();
            out << app.get_subcommands().front()->help("quendra");
        }
        return playback::Done;
    }
    if (dynamic_cast<const CLI::CallForAllHelp*>(&ended)) {
        out << app.help("", CLI::AppFormatMode::All);
        return playback::Done;
    }
    if (dynamic_cast<const CLI::CallForVersion*>(&ended)) {
        out << ended.what() << '\n';
        return playback::Done;
    }
    // An option where the command belongs: CLI11 would only miss the command.
    if (app.get_subcommands().empty() && argc > 1 && argv[1][0] == '-') {
        errors << "quendra: unknown option " << argv[1]
               << ": a command comes first, and its options after it (quendra --help lists the commands)\n";
        return playback::WrongArgument;
    }
    std::string where =
        app.get_subcommands().empty() ? "quendra" : "quendra " + app.get_subcommands().front()->get_name();
    std::string hint = app.get_subcommands().empty() ? "" : UnknownOption(*app.get_subcommands().front(), argc, argv);
    if (hint.empty() && command) hint = command->ParseHint(ended);
    errors << where << ": " << ended.what() << (hint.empty() ? "" : "; " + hint) << " (see " << where << " --help)\n";
    return playback::WrongArgument;
}

// Runs the command; each failure it lets pass is one line naming the command.
int RunGuarded(Command& command, const std::string& where, std::ostream& out, std::ostream& errors) {
    if (auto problem = embedded::BusyWaitProblem(); !problem.empty()) {
        errors << where << ": " << problem << '\n';
        return playback::WrongArgument;
    }
    try {
        return command.Run(out, errors);
    } catch (const playback::CommandError& error) {
        errors << where << ": " << error.what() << '\n';
    } catch (const playback::EnvironmentError& error) {
        errors << where << ": " << error.what() << '\n';
        return playback::EnvironmentFault;
    } catch (const FileError& error) {
        errors << where << ": " << error.what() << '\n';
    } catch (const embedded::EmbeddedError& error) {
        errors << where << ": " << (error.file.empty() ? "" : error.file + ": ")
               << (error.jsonPath.empty() ? "" : error.jsonPath + ": ") << error.what() << '\n';
        if (embedded::IsMachineFailure(error)) return playback::EnvironmentFault;
    } catch (const CvError& error) {
        errors << where << ": " << error.what() << '\n';
        if (embedded::IsMachineFailure(error)) return playback::EnvironmentFault;
    } catch (const std::exception& error) {
        errors << where << ": " << error.what() << '\n';
    }
    return playback::WrongArgument;
}

} // namespace

int CommandLine::Run(int argc, const char* const* argv, std::ostream& out, std::ostream& errors) {
    // The last guard: whatever a command did not foresee still ends in one line and status 2.
    try {
        return RunCommand(argc, argv, out, errors);
    } catch (const playback::EnvironmentError& error) {
        errors << "quendra: " << error.what() << '\n';
        return playback::EnvironmentFault;
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
    // The same options on Windows: a path such as /data/plant.db is an argument there too, not an option.
    app.allow_windows_style_options(false);
    app.set_help_all_flag("--help-all", "Print the help of every command");
    app.set_version_flag("--version", "quendra " QUENDRA_VERSION, "Print the version and exit");
    auto commands = Commands();
    std::vector<std::pair<CLI::App*, Command*>> registered;
    for (const auto& command : commands) registered.emplace_back(command->Register(app), command.get());
    std::string helpTopic;
    auto* helpApp = app.add_subcommand("help", "Print the help of quendra or of one command");
    helpApp->add_option("COMMAND", helpTopic, "The command");

    std::vector<std::string> names;
    std::function<bool(CLI::App*)> every = [](CLI::App*) { return true; };
    for (const auto* command : app.get_subcommands(every)) names.push_back(command->get_name());
    auto isCommand = [&](const std::string& word) {
        return std::find(names.begin(), names.end(), word) != names.end();
    };
    if (argc > 1 && argv[1][0] != '-' && !isCommand(argv[1])) {
        errors << "quendra: " << UnknownCommand(argv[1], names) << '\n';
        return playback::WrongArgument;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& ended) {
        return ParseEnded(app, ended, Picked(app, registered), argc, argv, out, errors);
    }
    if (helpApp->parsed()) {
        if (helpTopic.empty()) {
            out << app.get_formatter()->make_help(&app, "quendra", CLI::AppFormatMode::Normal);
            return playback::Done;
        }
        if (!isCommand(helpTopic)) {
            errors << "quendra help: " << UnknownCommand(helpTopic, names) << '\n';
            return playback::WrongArgument;
        }
        out << app.get_subcommand(helpTopic)->help("quendra");
        return playback::Done;
    }
    return RunGuarded(*Picked(app, registered), "quendra " + app.get_subcommands().front()->get_name(), out, errors);
}

} // namespace quendra::host
