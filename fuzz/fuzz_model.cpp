// Fuzzes the model loader: any text either becomes a model a database can be made from, or a clear error.
// SPDX-License-Identifier: Apache-2.0
#include "Database.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::shared_ptr<const quendra::embedded::Model> model;
    try {
        model = quendra::embedded::ParseModel(text, "fuzz");
    } catch (const quendra::embedded::EmbeddedError&) {
        return 0;
    }
    try {
        quendra::embedded::Database::Create(":memory:", model);
    } catch (const quendra::embedded::EmbeddedError&) {
    }
    return 0;
}
