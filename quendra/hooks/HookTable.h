// The eighteen hooks of Application, once: each hook's name, the parameters it takes after the
// session, whether it catches every failure, and its call. The command, the COM server (a hook's
// DISPID is its position from 1) and the desktop call hooks through this table, and a test checks
// the type library against it.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Application.h"
#include "CvPlatform.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quendra {

// What a hook takes after the session.
enum class HookParameterKind {
    Rows,       // the record list of the rows acted on
    Text,       // a text: link attribute names, an operation, extensions, file types
    Object,     // an object
    InOutObject // an object the hook may replace; the caller gets it back
};

struct HookParameter {
    std::string_view name; // as Application names it: "RecListIn", "LinkAttributes", "FromObj", ...
    HookParameterKind kind = HookParameterKind::Rows;
};

// The values of one call: the rows, and the texts and objects in the order the hook takes them. The hook
// leaves its in/out objects here.
struct HookValues {
    Ptr<CvRecList> rows;
    std::array<std::string, 2> texts;
    std::array<Ptr<CvObject>, 2> objects;
};

struct Hook {
    std::string_view name;
    std::array<HookParameter, 3> parameterRoom;
    size_t parameterCount = 0;
    // It catches every failure and answers 1; otherwise a failure leaves the hook.
    bool catches = false;
    int16_t (*call)(Application& application, Ptr<CvSession>& session, HookValues& values) = nullptr;

    std::span<const HookParameter> Parameters() const { return {parameterRoom.data(), parameterCount}; }
};

// In the order of their DISPIDs.
std::span<const Hook> Hooks();
// The hook of that name, or nullptr.
const Hook* FindHook(std::string_view name);

} // namespace quendra
