// DatabaseCopy: moving a database file to a database server.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quendra::embedded {

// Makes a database at the server address from the model the file keeps and copies every row of the file into
// it; the object ids and numbers the server hands out next follow the file's. The copy is one transaction on
// the server: a failure leaves the schema without the platform's tables. `progress` hears of each table as
// rows are copied (the table's name, the rows so far) and once it is done. Throws EmbeddedError
// (UnreachableServer for a server that cannot be reached) naming the file or the server. Answers the server
// database's name as it may be shown (without a password).
std::string CopyToServer(const std::string& file, const std::string& address,
                         const std::function<void(const std::string& table, int64_t rows, bool done)>& progress);

} // namespace quendra::embedded
