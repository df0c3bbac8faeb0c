// ValueJson: a platform value as scenario, answer and recording files write it.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "JsonCursor.h"
#include "Value.h"

namespace quendra {

// null, a text, a whole number (either width), a number or true/false.
Json JsonOfValue(const Value& value);

} // namespace quendra
