// DesktopRun: `quendra desktop`: opens the desktop window on a database file, or renders it to a picture.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <ostream>
#include <string>

namespace quendra::desktop {

struct DesktopOptions {
    std::string database;
    std::string user;       // empty: the database's first user
    std::string config;     // empty: the texts shipped for the plant model
    std::string screenshot; // a PNG file to render the window into instead of showing it
};

// Runs until the window is closed; returns the exit status.
int RunDesktop(const DesktopOptions& options, std::ostream& out);

} // namespace quendra::desktop
