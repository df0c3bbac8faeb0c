// Records: reading and writing named values with the platform's conversions.
// SPDX-License-Identifier: Apache-2.0
#include "EmbeddedRecord.h"

#include "CvError.h"

namespace quendra::embedded {

namespace {

class EmbeddedRecordHeader : public CvRecordHeader {
public:
    EmbeddedRecordHeader(std::shared_ptr<Storage> storage, std::shared_ptr<RecordData> data)
        : storage_(std::move(storage)), data_(std::move(data)) {}
    bool ContainsColumn(const std::string& name) override try {
        auto operation = storage_->Call(CvOperation::CvRecordHeader_ContainsColumn);
        return data_->Has(name);
    } catch (...) {
        storage_->Failed();
    }

private:
    std::shared_ptr<Storage> storage_;
    std::shared_ptr<RecordData> data_;
};

} // namespace

std::string EmbeddedRecord::ValueAsText(const std::string& name) try {
    auto operation = storage_->Call(CvOperation::CvRecord_ValueAsText);
    return data_->Get(name).AsText();
} catch (...) {
    storage_->Failed();
}

int16_t EmbeddedRecord::ValueAsInt16(const std::string& name) try {
    auto operation = storage_->Call(CvOperation::CvRecord_ValueAsInt16);
    return data_->Get(name).AsInt16();
} catch (...) {
    storage_->Failed();
}

int32_t EmbeddedRecord::ValueAsInt32(const std::string& name) try {
    auto operation = storage_->Call(CvOperation::CvRecord_ValueAsInt32);
    return data_->Get(name).AsInt32();
} catch (...) {
    storage_->Failed();
}

bool EmbeddedRecord::ValueAsBool(const std::string& name) try {
    auto operation = storage_->Call(CvOperation::CvRecord_ValueAsBool);
    return data_->Get(name).AsBool();
} catch (...) {
    storage_->Failed();
}

Value EmbeddedRecord::GetValue(const std::string& name) try {
    auto operation = storage_->Call(CvOperation::CvRecord_GetValue);
    return data_->Get(name);
} catch (...) {
    storage_->Failed();
}

void EmbeddedRecord::SetValueAsText(const std::string& name, const std::string& value) try {
    auto operation = storage_->Call(CvOperation::CvRecord_SetValueAsText);
    data_->Set(name, Value::Text(value));
} catch (...) {
    storage_->Failed();
}

void EmbeddedRecord::SetValueAsInt16(const std::string& name, int16_t value) try {
    auto operation = storage_->Call(CvOperation::CvRecord_SetValueAsInt16);
    data_->Set(name, Value::Int16(value));
} catch (...) {
    storage_->Failed();
}

void EmbeddedRecord::SetValueAsInt32(const std::string& name, int32_t value) try {
    auto operation = storage_->Call(CvOperation::CvRecord_SetValueAsInt32);
    data_->Set(name, Value::Int32(value));
} catch (...) {
    storage_->Failed();
}

void EmbeddedRecord::SetValueAsDouble(const std::string& name, double value) try {
    auto operation = storage_->Call(CvOperation::CvRecord_SetValueAsDouble);
    data_->Set(name, Value::Double(value));
} catch (...) {
    storage_->Failed();
}

void EmbeddedRecord::SetValueAsBool(const std::string& name, bool value) try {
    auto operation = storage_->Call(CvOperation::CvRecord_SetValueAsBool);
    data_->Set(name, Value::Bool(value));
} catch (...) {
    storage_->Failed();
}

void EmbeddedRecord::SetValue(const std::string& name, const Value& value) try {
    auto operation = storage_->Call(CvOperation::CvRecord_SetValue);
    data_->Set(name, value);
} catch (...) {
    storage_->Failed();
}

Ptr<CvRecordHeader> EmbeddedRecord::Header() try {
    auto operation = storage_->Call(CvOperation::CvRecord_Header);
    return std::make_shared<EmbeddedRecordHeader>(storage_, data_);
} catch (...) {
    storage_->Failed();
}

} // namespace quendra::embedded
