// HookCatalog: the eighteen hooks by name, the arguments each takes, what each does and how to read its
// result, and calling one by name.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Application.h"
#include "CvPlatform.h"
#include "WindowSystem.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace quendra::playback {

struct HookInfo {
    std::string name;
    bool takesRows = true;
    std::vector<std::string> texts;   // LinkAttributes, SelectOp, Extensions, FileTypes
    std::vector<std::string> objects; // Obj, FromObj, MyNewPart
    std::string rows;                 // what the rows are ("row 0: the parent part"), empty without rows
    std::string purpose;              // what the hook does, one line
    std::string zero, one;            // what a result of 0 and of 1 means; zero is empty when it never comes
    bool storedLinks = false;         // its rows are stored links, so a row by parent and child names one
};

// What a host passes to a hook; MyNewPart and FromObj come back as the hook left them.
struct HookArguments {
    Ptr<CvRecList> rows;
    std::map<std::string, std::string> texts;
    std::map<std::string, Ptr<CvObject>> objects;
};

// A hook called otherwise than on an Application in this process, with the windows it is to show in.
using HookCaller = std::function<int16_t(const HookInfo& hook, const Ptr<CvSession>& session, HookArguments& arguments,
                                         ui::WindowSystem& windows)>;

class HookCatalog {
public:
    static const std::vector<HookInfo>& All();
    // The hook of that name, or nullptr.
    static const HookInfo* Find(const std::string& name);
    // The hook name nearest to a mistyped one, or empty when none is near.
    static std::string Nearest(const std::string& name);
    // "rows: ...; LinkAttributes": the arguments of one hook in one line.
    static std::string ArgumentsLine(const HookInfo& hook);
    // What a result means for that hook: "always 1 for this hook; see the events".
    static std::string ResultNote(const HookInfo& hook, int16_t result);
    // The table `quendra hooks` prints, and a hook's own page for `quendra hook NAME --help`.
    static std::string Table();
    static std::string Page(const HookInfo& hook);
    // Calls the hook; a failure that reaches the host passes on.
    static int16_t Call(Application& application, const std::string& name, Ptr<CvSession> session,
                        HookArguments& arguments);
};

// The number of single-character edits between two words.
size_t EditDistance(const std::string& a, const std::string& b);

} // namespace quendra::playback
