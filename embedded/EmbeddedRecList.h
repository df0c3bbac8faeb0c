// EmbeddedRecList: the rows a hook or a query hands over, each with its record and perhaps a link's record.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "RecordData.h"
#include "Storage.h"

#include <memory>
#include <string>
#include <vector>

namespace quendra::embedded {

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
    uint64_t expectedIn_ = 0; // the call reads' epoch in which its objects became expected reads
};

} // namespace quendra::embedded
