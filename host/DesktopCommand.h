// DesktopCommand: `quendra desktop DB`: the desktop window on a database file. The window is the desktop
// target's, which builds on this library; the executable hands its runner in, so the arrow stays one-way.
#pragma once

#include <CLI/CLI.hpp>

#include <ostream>
#include <string>

namespace quendra::host {

struct DesktopOptions {
    std::string database;
    std::string user;       // empty: the role's own login on a server, the first user of a file
    std::string config;     // empty: the texts shipped for the plant model
    std::string screenshot; // a PNG file to render the window into instead of showing it
};

// Runs the desktop until its window is closed; returns the exit status.
using DesktopRunner = int (*)(const DesktopOptions& options, std::ostream& out);

class DesktopCommand {
public:
    explicit DesktopCommand(DesktopRunner runner) : runner_(runner) {}
    // Registers the command only where a runner was handed in.
    CLI::App* Register(CLI::App& app);
    int Run(std::ostream& out);

private:
    DesktopRunner runner_;
    DesktopOptions options_;
};

} // namespace quendra::host
