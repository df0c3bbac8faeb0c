// Records: reading and writing named values with the platform's conversions.
#include "EmbeddedRecord.h"

#include "CvError.h"

namespace quendra::embedded {

namespace {

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

} // namespace quendra::embedded
