// The automation name of every platform operation: the one place an installation adapts to its
// platform's type library. Today every automation name is the operation's own name in
// CvPlatform.def.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvOperation.h"

#include <string_view>

namespace quendra::com {

// The member an automation object is called by for the operation.
constexpr std::string_view AutomationName(CvOperation operation) {
    return NameOf(operation).member;
}

} // namespace quendra::com
