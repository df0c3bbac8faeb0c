// DesktopRun: `quendra desktop`: opens the desktop window on a database file, or renders it to a picture.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "DesktopCommand.h"

#include <ostream>

namespace quendra::desktop {

// Runs until the window is closed; returns the exit status. A host::DesktopRunner.
int RunDesktop(const host::DesktopOptions& options, std::ostream& out);

} // namespace quendra::desktop
