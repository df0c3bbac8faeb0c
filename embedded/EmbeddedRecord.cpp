// Records and record lists: reading and writing named values with the platform's conversions.
#include "EmbeddedRecord.h"

#include "CvError.h"

namespace quendra::embedded {

namespace {

const char* kMainKey = "Objects";
const char* kLinkKey = "Links";

class EmbeddedRecordHeader : public CvRecordHeader {
public:
    EmbeddedRecordHeader(std::shared_ptr<Storage> storage, std::shared_ptr<RecordData> data)
        : storage_(std::move(storage)), data_(std::move(data)) {}
    bool ContainsColumn(const std::string& name) override {
        storage_->Call("CvRecordHeader.ContainsColumn");
        return data_->Has(name);
    }

private:
    std::shared_ptr<Storage> storage_;
    std::shared_ptr<RecordData> data_;
};

} // namespace

std::string EmbeddedRecord::ValueAsText(const std::string& name) {
    storage_->Call("CvRecord.ValueAsText");
    return data_->Get(name).AsText();
}

int16_t EmbeddedRecord::ValueAsInt16(const std::string& name) {
    storage_->Call("CvRecord.ValueAsInt16");
    return data_->Get(name).AsInt16();
}

int32_t EmbeddedRecord::ValueAsInt32(const std::string& name) {
    storage_->Call("CvRecord.ValueAsInt32");
    return data_->Get(name).AsInt32();
}

bool EmbeddedRecord::ValueAsBool(const std::string& name) {
    storage_->Call("CvRecord.ValueAsBool");
    return data_->Get(name).AsBool();
}

Value EmbeddedRecord::GetValue(const std::string& name) {
    storage_->Call("CvRecord.GetValue");
    return data_->Get(name);
}

void EmbeddedRecord::SetValueAsText(const std::string& name, const std::string& value) {
    storage_->Call("CvRecord.SetValueAsText");
    data_->Set(name, Value::Text(value));
}

void EmbeddedRecord::SetValueAsInt16(const std::string& name, int16_t value) {
    storage_->Call("CvRecord.SetValueAsInt16");
    data_->Set(name, Value::Int16(value));
}

void EmbeddedRecord::SetValueAsInt32(const std::string& name, int32_t value) {
    storage_->Call("CvRecord.SetValueAsInt32");
    data_->Set(name, Value::Int32(value));
}

void EmbeddedRecord::SetValueAsDouble(const std::string& name, double value) {
    storage_->Call("CvRecord.SetValueAsDouble");
    data_->Set(name, Value::Double(value));
}

void EmbeddedRecord::SetValueAsBool(const std::string& name, bool value) {
    storage_->Call("CvRecord.SetValueAsBool");
    data_->Set(name, Value::Bool(value));
}

void EmbeddedRecord::SetValue(const std::string& name, const Value& value) {
    storage_->Call("CvRecord.SetValue");
    data_->Set(name, value);
}

Ptr<CvRecordHeader> EmbeddedRecord::Header() {
    storage_->Call("CvRecord.Header");
    return std::make_shared<EmbeddedRecordHeader>(storage_, data_);
}

const RecListRow& EmbeddedRecList::Row(int32_t row) const {
    if (row < 0 || static_cast<size_t>(row) >= rows_.size())
        throw CvError("the record list has no row " + std::to_string(row));
    return rows_[row];
}

Ptr<CvRecord> EmbeddedRecList::RecordAt(int32_t row) {
    storage_->Call("CvRecList.RecordAt");
    return std::make_shared<EmbeddedRecord>(storage_, Row(row).record);
}

int32_t EmbeddedRecList::RowCount() {
    storage_->Call("CvRecList.RowCount");
    return static_cast<int32_t>(rows_.size());
}

int32_t EmbeddedRecList::RecordCount() {
    storage_->Call("CvRecList.RecordCount");
    return static_cast<int32_t>(rows_.size());
}

std::string EmbeddedRecList::KeyAt(int32_t position) {
    storage_->Call("CvRecList.KeyAt");
    if (position == 0) return kMainKey;
    if (position == 1) return kLinkKey;
    throw CvError("the record list has no key at position " + std::to_string(position));
}

Ptr<CvRecord> EmbeddedRecList::RecordByKey(const std::string& key, int32_t row) {
    storage_->Call("CvRecList.RecordByKey");
    const RecListRow& found = Row(row);
    if (key == kMainKey) return std::make_shared<EmbeddedRecord>(storage_, found.record);
    if (key != kLinkKey) throw CvError("the record list has no key \"" + key + "\"");
    if (!found.link) throw CvError("row " + std::to_string(row) + " of the record list has no link record");
    return std::make_shared<EmbeddedRecord>(storage_, found.link);
}

int16_t EmbeddedRecList::ValueAsInt16(const std::string& column, int32_t row) {
    storage_->Call("CvRecList.ValueAsInt16");
    return Row(row).record->Get(column).AsInt16();
}

int32_t EmbeddedRecList::ValueAsInt32(const std::string& column, int32_t row) {
    storage_->Call("CvRecList.ValueAsInt32");
    return Row(row).record->Get(column).AsInt32();
}

Value EmbeddedRecList::ValueAt(int32_t columnPosition, int32_t row) {
    storage_->Call("CvRecList.ValueAt");
    const RecordData& record = *Row(row).record;
    if (columnPosition < 0 || static_cast<size_t>(columnPosition) >= record.values.size())
        throw CvError("the record list has no column " + std::to_string(columnPosition));
    return record.values[columnPosition];
}

} // namespace quendra::embedded
