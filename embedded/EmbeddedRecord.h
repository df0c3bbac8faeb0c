// EmbeddedRecord: a record over shared named values; EmbeddedRecList: the rows a hook or query hands over.
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

// One row: its record, and for a link row the link's own record under the list's second key.
struct RecListRow {
    std::shared_ptr<RecordData> record;
    std::shared_ptr<RecordData> link;
};

class EmbeddedRecList : public CvRecList {
public:
    EmbeddedRecList(std::shared_ptr<Storage> storage, std::vector<RecListRow> rows)
        : storage_(std::move(storage)), rows_(std::move(rows)) {}

    Ptr<CvRecord> RecordAt(int32_t row) override;
    int32_t RowCount() override;
    int32_t RecordCount() override;
    std::string KeyAt(int32_t position) override;
    Ptr<CvRecord> RecordByKey(const std::string& key, int32_t row) override;
    int16_t ValueAsInt16(const std::string& column, int32_t row) override;
    int32_t ValueAsInt32(const std::string& column, int32_t row) override;
    Value ValueAt(int32_t columnPosition, int32_t row) override;

private:
    const RecListRow& Row(int32_t row) const;

    std::shared_ptr<Storage> storage_;
    std::vector<RecListRow> rows_;
};

} // namespace quendra::embedded
