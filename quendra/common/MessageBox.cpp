// Message boxes titled "Quendra".
// SPDX-License-Identifier: Apache-2.0
#include "MessageBox.h"

#include "Names.h"

namespace quendra {

void ShowOk(ui::WindowSystem& windows, const std::string& text, ui::Icon icon) {
    windows.MessageBox(text, names::Title, icon, ui::Buttons::Ok, ui::Answer::Ok);
}

bool AskYesNo(ui::WindowSystem& windows, const std::string& text) {
    return windows.MessageBox(text, names::Title, ui::Icon::Question, ui::Buttons::YesNo, ui::Answer::Yes) ==
           ui::Answer::Yes;
}

} // namespace quendra
