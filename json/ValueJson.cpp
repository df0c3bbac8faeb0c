// ValueJson: both whole-number widths are JSON integers.
// SPDX-License-Identifier: Apache-2.0
#include "ValueJson.h"

namespace quendra {

Json JsonOfValue(const Value& value) {
    switch (value.GetKind()) {
    case Value::Kind::Null:
        return Json();
    case Value::Kind::Text:
        return value.AsText();
    case Value::Kind::Int16:
    case Value::Kind::Int32:
        return value.AsInt32();
    case Value::Kind::Double:
        return value.AsDouble();
    case Value::Kind::Bool:
        return value.AsBool();
    }
    return Json();
}

} // namespace quendra
