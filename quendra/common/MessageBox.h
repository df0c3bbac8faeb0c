// Message boxes titled "Quendra", the way every component class shows them.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "WindowSystem.h"

#include <string>

namespace quendra {

// Information, exclamation or critical icon with an OK button.
void ShowOk(ui::WindowSystem& windows, const std::string& text, ui::Icon icon);
// Question icon with Yes and No, Yes the default; true when the user answered Yes.
bool AskYesNo(ui::WindowSystem& windows, const std::string& text);

} // namespace quendra
