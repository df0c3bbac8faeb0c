// Command: one of the quendra command's subcommands: its options, and what it does once they are parsed.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <CLI/CLI.hpp>

#include <ostream>
#include <string>

namespace quendra::host {

class Command {
public:
    virtual ~Command() = default;
    // Adds the subcommand and its options to `app`.
    virtual CLI::App* Register(CLI::App& app) = 0;
    // The exit status; a CommandError, EnvironmentError or a failure of a file or database passes on.
    virtual int Run(std::ostream& out, std::ostream& errors) = 0;
    // Printed above the subcommand's help: `quendra hook NAME --help` shows the hook's page.
    virtual std::string HelpPage() const { return ""; }
    // What to add to a mistake on the command line of this subcommand, or empty.
    virtual std::string ParseHint(const CLI::ParseError&) const { return ""; }
};

} // namespace quendra::host
