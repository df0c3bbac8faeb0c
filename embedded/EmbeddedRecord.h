// EmbeddedRecord: a record over shared named values.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "RecordData.h"
#include "SessionContext.h"

#include <memory>
#include <string>
#include <vector>

namespace quendra::embedded {

class EmbeddedRecord : public CvRecord {
public:
    EmbeddedRecord(std::shared_ptr<Storage> storage, std::shared_ptr<RecordData> data)
        : storage_(std::move(storage)), data_(std::move(data)) {}

    std::string ValueAsText(const std::string& name) override;
    int16_t ValueAsInt16(const std::string& name) override;
    int32_t ValueAsInt32(const std::string& name) override;
    bool ValueAsBool(const std::string& name) override;
    Value GetValue(const std::string& name) override;
    void SetValueAsText(const std::string& name, const std::string& value) override;
    void SetValueAsInt16(const std::string& name, int16_t value) override;
    void SetValueAsInt32(const std::string& name, int32_t value) override;
    void SetValueAsDouble(const std::string& name, double value) override;
    void SetValueAsBool(const std::string& name, bool value) override;
    void SetValue(const std::string& name, const Value& value) override;
    Ptr<CvRecordHeader> Header() override;

    const std::shared_ptr<RecordData>& Data() const { return data_; }

private:
    std::shared_ptr<Storage> storage_;
    std::shared_ptr<RecordData> data_;
};

} // namespace quendra::embedded
