// PostgresValue: platform values as text for the server, and the text of the server's rows as platform values.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quendra::embedded {

// Type oids of the server's built-in types.
constexpr unsigned kServerBool = 16, kServerInt8 = 20, kServerInt2 = 21, kServerInt4 = 23, kServerFloat4 = 700,
                   kServerFloat8 = 701, kServerNumeric = 1700;

// The text a value is bound as, nullopt for null: Booleans as 1 and 0, doubles with all their digits,
// whatever the process's locale.
std::optional<std::string> ServerText(const Value& value);

// A value in a column of that type oid as a whole number: a boolean as 1 or 0, else the number its text
// begins with.
int64_t ServerWhole(std::string_view text, unsigned stored);

// The value of a column's text as the server sends it: `stored` is the column's type oid, `type` the
// attribute type code asked for (0: read as stored). Numbers and Booleans are read as numbers (the
// server writes a decimal point whatever its clients' locale); texts, dates and times stay texts.
Value ServerValue(std::string_view text, unsigned stored, int32_t type);

} // namespace quendra::embedded
