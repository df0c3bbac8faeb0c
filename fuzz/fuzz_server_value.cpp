// Fuzzes the conversion of the server's text to values (numbers, Booleans, dates and texts as PostgreSQL
// sends them, read as each attribute type) and back: a value bound as text and read again is the same value.
// SPDX-License-Identifier: Apache-2.0
#include "PostgresValue.h"

#include "AttributeType.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace quendra;
using namespace quendra::embedded;

// Column types: the platform's own, and dates, times and texts as other programs may have made them.
constexpr unsigned kStored[] = {
    kServerBool, kServerInt8, kServerInt2, kServerInt4, kServerFloat4, kServerFloat8, kServerNumeric,
    25,          1043,        1082,        1114,        1184,          1083,          0};
constexpr int32_t kTypes[] = {0, 1, 2, 3, 4, 15, 7, 20};

bool IsNumberType(int32_t type) {
    return type == 0 || type == 2 || type == 3 || type == 4 || type == 15;
}

void ReadBack(const Value& value) {
    const auto text = ServerText(value);
    if (!text) {
        if (!value.IsNull()) std::abort();
        return;
    }
    unsigned stored = kServerInt4;
    int32_t type = 0;
    switch (value.GetKind()) {
    case Value::Kind::Int16:
        type = static_cast<int32_t>(AttributeType::Int16);
        break;
    case Value::Kind::Int32:
        type = static_cast<int32_t>(AttributeType::Int32);
        break;
    case Value::Kind::Bool:
        type = static_cast<int32_t>(AttributeType::Bool);
        break;
    case Value::Kind::Double:
        stored = kServerFloat8;
        type = static_cast<int32_t>(AttributeType::Double);
        break;
    default:
        stored = 25;
        type = static_cast<int32_t>(AttributeType::Text);
        break;
    }
    const Value read = ServerValue(*text, stored, type);
    if (value.GetKind() == Value::Kind::Double && std::isnan(value.AsDouble())) {
        if (read.GetKind() != Value::Kind::Double || !std::isnan(read.AsDouble())) std::abort();
    } else if (read != value) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const unsigned stored = input.PickValueInArray(kStored);
    const int32_t type = input.PickValueInArray(kTypes);
    switch (input.ConsumeIntegralInRange(0, 4)) {
    case 0:
        ReadBack(Value::Int16(input.ConsumeIntegral<int16_t>()));
        break;
    case 1:
        ReadBack(Value::Int32(input.ConsumeIntegral<int32_t>()));
        break;
    case 2:
        ReadBack(Value::Double(input.ConsumeFloatingPoint<double>()));
        break;
    case 3:
        ReadBack(Value::Bool(input.ConsumeBool()));
        break;
    default:
        break;
    }
    const std::string text = input.ConsumeRemainingBytesAsString();
    const Value value = ServerValue(text, stored, type);
    if (!IsNumberType(type) && value != Value::Text(text)) std::abort();
    const bool whole = stored == kServerBool || stored == kServerInt2 || stored == kServerInt4 || stored == kServerInt8;
    if (type == static_cast<int32_t>(AttributeType::Bool) && whole && value.GetKind() != Value::Kind::Bool)
        std::abort();
    if (type == static_cast<int32_t>(AttributeType::Int16) && whole && value.GetKind() == Value::Kind::Text)
        std::abort();
    (void)ServerWhole(text, stored);
    return 0;
}
