// Record lists: rows by position, by key (the link's own record under the second key) and values by column.
// SPDX-License-Identifier: Apache-2.0
#include "EmbeddedRecList.h"

#include "CvError.h"
#include "EmbeddedRecord.h"

#include <optional>
#include <utility>

namespace quendra::embedded {

namespace {

const char* kMainKey = "Objects";
const char* kLinkKey = "Links";

// The class and object a row names, or nothing (a row that names none is read when asked, failing then).
std::optional<std::pair<int16_t, int32_t>> ObjectOf(const RecordData& record) {
    const int classId = record.Find("CLASS_ID");
    const int objectId = record.Find("OBJECT_ID");
    if (classId < 0 || objectId < 0) return std::nullopt;
    try {
        return std::pair{record.values[classId].AsInt16(), record.values[objectId].AsInt32()};
    } catch (const CvError&) {
        return std::nullopt;
    }
}

} // namespace

const RecListRow& EmbeddedRecList::Row(int32_t row) const {
    if (row < 0 || static_cast<size_t>(row) >= rows_.size())
        throw CvError("the record list has no row " + std::to_string(row));
    return rows_[row];
}

Ptr<CvRecord> EmbeddedRecList::RecordAt(int32_t row) try {
    auto operation = storage_->Call(CvOperation::CvRecList_RecordAt);
    const RecListRow& at = Row(row);
    if (rows_.size() > 1 && expectedIn_ != storage_->CallReadsEpoch() && storage_->KeepsCallReads()) {
        // A call reads the objects of the rows it was handed one by one: on a server they come in one request.
        expectedIn_ = storage_->CallReadsEpoch();
        std::vector<std::pair<int16_t, int32_t>> objects;
        for (const RecListRow& each : rows_)
            if (auto object = ObjectOf(*each.record)) objects.push_back(*object);
        storage_->ExpectReads(objects);
    }
    return std::make_shared<EmbeddedRecord>(storage_, at.record);
} catch (...) {
    storage_->Failed();
}

int32_t EmbeddedRecList::RowCount() try {
    auto operation = storage_->Call(CvOperation::CvRecList_RowCount);
    return static_cast<int32_t>(rows_.size());
} catch (...) {
    storage_->Failed();
}

int32_t EmbeddedRecList::RecordCount() try {
    auto operation = storage_->Call(CvOperation::CvRecList_RecordCount);
    return static_cast<int32_t>(rows_.size());
} catch (...) {
    storage_->Failed();
}

std::string EmbeddedRecList::KeyAt(int32_t position) try {
    auto operation = storage_->Call(CvOperation::CvRecList_KeyAt);
    if (position == 0) return kMainKey;
    if (position == 1) return kLinkKey;
    throw CvError("the record list has no key at position " + std::to_string(position));
} catch (...) {
    storage_->Failed();
}

Ptr<CvRecord> EmbeddedRecList::RecordByKey(const std::string& key, int32_t row) try {
    auto operation = storage_->Call(CvOperation::CvRecList_RecordByKey);
    const RecListRow& found = Row(row);
    if (key == kMainKey) return std::make_shared<EmbeddedRecord>(storage_, found.record);
    if (key != kLinkKey) throw CvError("the record list has no key \"" + key + "\"");
    if (!found.link) throw CvError("row " + std::to_string(row) + " of the record list has no link record");
    return std::make_shared<EmbeddedRecord>(storage_, found.link);
} catch (...) {
    storage_->Failed();
}

int16_t EmbeddedRecList::ValueAsInt16(const std::string& column, int32_t row) try {
    auto operation = storage_->Call(CvOperation::CvRecList_ValueAsInt16);
    return Row(row).record->Get(column).AsInt16();
} catch (...) {
    storage_->Failed();
}

int32_t EmbeddedRecList::ValueAsInt32(const std::string& column, int32_t row) try {
    auto operation = storage_->Call(CvOperation::CvRecList_ValueAsInt32);
    return Row(row).record->Get(column).AsInt32();
} catch (...) {
    storage_->Failed();
}

Value EmbeddedRecList::ValueAt(int32_t columnPosition, int32_t row) try {
    auto operation = storage_->Call(CvOperation::CvRecList_ValueAt);
    const RecordData& record = *Row(row).record;
    if (columnPosition < 0 || static_cast<size_t>(columnPosition) >= record.values.size())
        throw CvError("the record list has no column " + std::to_string(columnPosition));
    return record.values[columnPosition];
} catch (...) {
    storage_->Failed();
}

} // namespace quendra::embedded
