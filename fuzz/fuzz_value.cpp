// Fuzzes the conversions of text to the platform's value types.
// SPDX-License-Identifier: Apache-2.0
#include "CvError.h"
#include "Value.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const quendra::Value text = quendra::Value::Text(std::string(reinterpret_cast<const char*>(data), size));
    try {
        const int16_t small = text.AsInt16();
        if (quendra::Value::Int16(small).AsInt32() != small) std::abort();
    } catch (const quendra::CvError&) {
    }
    try {
        const int32_t wide = text.AsInt32();
        if (quendra::Value::Text(quendra::Value::Int32(wide).AsText()).AsInt32() != wide) std::abort();
    } catch (const quendra::CvError&) {
    }
    try {
        const double number = text.AsDouble();
        // The shortest text of a double reads back as the same double.
        if (quendra::Value::Text(quendra::Value::Double(number).AsText()).AsDouble() != number) std::abort();
    } catch (const quendra::CvError&) {
    }
    try {
        (void)text.AsBool();
    } catch (const quendra::CvError&) {
    }
    return 0;
}
