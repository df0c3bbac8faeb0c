// Fuzzes database addresses: whether a text names a server, the address as it may be shown (which must
// never show a password libpq would use) and the address with a schema (which libpq must still read, with
// that schema as its search path).
// SPDX-License-Identifier: Apache-2.0
#include "Database.h"
#include "PostgresStorage.h"

#include <libpq-fe.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

// The options libpq reads from the address, or nullopt when it cannot read it.
std::optional<std::string> Option(const std::string& address, const char* keyword, bool& readable) {
    char* failure = nullptr;
    PQconninfoOption* options = PQconninfoParse(address.c_str(), &failure);
    PQfreemem(failure);
    readable = options != nullptr;
    std::optional<std::string> found;
    for (PQconninfoOption* option = options; option && option->keyword; ++option)
        if (std::string(option->keyword) == keyword && option->val) found = option->val;
    PQconninfoFree(options);
    return found;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string address(reinterpret_cast<const char*>(data), size);
    if (address.find('\0') != std::string::npos) return 0; // libpq reads C strings
    if (!quendra::embedded::IsServerAddress(address)) return 0;
    bool readable = false;
    const auto password = Option(address, "password", readable);
    if (!readable) return 0;

    const std::string shown = quendra::embedded::ShownAddress(address);
    bool shownReadable = false;
    const auto shownPassword = Option(shown, "password", shownReadable);
    if (password && !password->empty()) {
        if (shownReadable ? shownPassword.has_value() : shown.find(*password) != std::string::npos) std::abort();
    }

    const std::string withSchema = quendra::embedded::AddressWithSchema(address, "quendra_fuzz");
    bool schemaReadable = false;
    const auto options = Option(withSchema, "options", schemaReadable);
    if (!schemaReadable || options != "-csearch_path=quendra_fuzz") std::abort();
    return 0;
}
