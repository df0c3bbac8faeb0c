// QtMessages: keeps the Qt platform plugin's notes about its own set-up off the user's terminal.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>

namespace quendra::qt {

// Installs, once, a message handler that drops the plugin's notes that concern no user (a plugin that
// cannot propagate size hints, a missing XDG_RUNTIME_DIR) and passes every other message on.
void QuietQtPlatformNotes();

// Why windows shown now would be seen by nobody, or empty when a person can see them.
std::string NoDisplay();

} // namespace quendra::qt
