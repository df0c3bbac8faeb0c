// SQL queries: read-only statements run with their rows handed back as a record list.
// SPDX-License-Identifier: Apache-2.0
#include "EmbeddedQuery.h"

#include "CvError.h"

namespace quendra::embedded {

void EmbeddedQuery::SetSqlText(const std::string& sql) try {
    auto operation = storage_->Call(CvOperation::CvQuery_SetSqlText);
    sql_ = sql;
    result_.reset();
} catch (...) {
    storage_->Failed();
}

void EmbeddedQuery::Run() try {
    auto operation = storage_->Call(CvOperation::CvQuery_Run);
    auto statement = storage_->Sql().PrepareReading(sql_);
    storage_->Record(events::Sql{sql_});
    std::vector<std::string> names;
    for (int column = 0; column < statement->ColumnCount(); ++column) names.push_back(statement->ColumnName(column));
    std::vector<RecListRow> rows;
    while (statement->Step()) {
        auto record = std::make_shared<RecordData>();
        record->names = names;
        for (int column = 0; column < statement->ColumnCount(); ++column)
            record->values.push_back(statement->Get(column, 0));
        rows.push_back({std::move(record), nullptr});
    }
    result_ = std::make_shared<EmbeddedRecList>(storage_, std::move(rows));
} catch (...) {
    storage_->Failed();
}

Ptr<CvRecList> EmbeddedQuery::Result() try {
    auto operation = storage_->Call(CvOperation::CvQuery_Result);
    if (!result_) throw CvError("the query has not run");
    return result_;
} catch (...) {
    storage_->Failed();
}

} // namespace quendra::embedded
