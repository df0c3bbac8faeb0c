// QtMessages: keeps the Qt platform plugin's notes about its own set-up off the user's terminal.
#pragma once

namespace quendra::qt {

// Installs, once, a message handler that drops the plugin's notes that concern no user (a plugin that
// cannot propagate size hints, a missing XDG_RUNTIME_DIR) and passes every other message on.
void QuietQtPlatformNotes();

} // namespace quendra::qt
