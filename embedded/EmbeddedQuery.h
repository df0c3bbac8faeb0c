// EmbeddedQuery: read-only SQL run on the database.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "EmbeddedRecList.h"
#include "Storage.h"

#include <memory>
#include <string>
#include <vector>

namespace quendra::embedded {

class EmbeddedQuery : public CvQuery {
public:
    explicit EmbeddedQuery(std::shared_ptr<Storage> storage) : storage_(std::move(storage)) {}
    void SetSqlText(const std::string& sql) override;
    void Run() override;
    Ptr<CvRecList> Result() override;

private:
    std::shared_ptr<Storage> storage_;
    std::string sql_;
    Ptr<CvRecList> result_;
};

} // namespace quendra::embedded
