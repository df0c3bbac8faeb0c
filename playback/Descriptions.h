// Descriptions: windows and platform events written as the scenario format writes them.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "JsonCursor.h"

#include "Database.h"
#include "ScriptedUser.h"

#include <string>

namespace quendra::playback {

class World;

class Descriptions {
public:
    // {"messageBox": ..., "title": ..., "icon": ..., "buttons": ...} and the other descriptor forms.
    static Json Window(const answering::WindowRecord& window);
    // {"sql": ...}, {"notify": code, "objects": [...], "flag": ...}, ... with objects named by their refs.
    static Json Event(const embedded::Event& event, const World& world);
    // One line for a transcript.
    static std::string WindowLine(const answering::WindowRecord& window);
    static std::string EventLine(const embedded::Event& event, const World& world);
    // The names scenario files give a message box's icon and buttons, and the platform's dialogs.
    static const char* IconName(ui::Icon icon);
    static const char* ButtonsName(ui::Buttons buttons);
    static const char* DialogName(answering::records::Platform::Dialog dialog);
};

} // namespace quendra::playback
