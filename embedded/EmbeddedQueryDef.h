// EmbeddedQueryDef: a structured query over classes joined through a link class, with bound values.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvPlatform.h"
#include "EmbeddedRecList.h"
#include "Spare.h"
#include "Storage.h"

#include <memory>
#include <span>
#include <string>
#include <vector>

namespace quendra::embedded {

// What a structured query is asked for: its classes, columns and conditions (each made in its list's place).
// An emptied query keeps the entries of its last run where they are and writes the new ones over them, so that a
// query asked again in the same shape (everything but the conditions' values) is known to be so without comparing
// its shape with every other.
class QueryParts {
public:
    struct Class {
        Class(int16_t classId, const std::string& alias) : classId(classId), alias(alias) {}
        int16_t classId;
        std::string alias;
    };
    struct Column {
        Column(const std::string& attribute, const std::string& alias) : attribute(attribute), alias(alias) {}
        std::string attribute;
        std::string alias;
    };
    struct Condition {
        Condition(const std::string& connector, const std::string& attribute, const std::string& op, const Value& value,
                  const std::string& alias)
            : connector(connector), attribute(attribute), op(op), value(value), alias(alias) {}
        std::string connector;
        std::string attribute;
        std::string op;
        Value value;
        std::string alias;
    };

    QueryParts() {
        // Room for the queries the hooks make (three classes, a few columns and conditions) in one allocation each.
        classes_.reserve(4);
        columns_.reserve(4);
        conditions_.reserve(4);
    }

    // The classes, columns and conditions given so far, in their order.
    std::span<const Class> Classes() const { return {classes_.data(), classCount_}; }
    std::span<const Column> Columns() const { return {columns_.data(), columnCount_}; }
    std::span<const Condition> Conditions() const { return {conditions_.data(), conditionCount_}; }

    void AddClass(int16_t classId, const std::string& alias);
    void AddColumn(const std::string& attribute, const std::string& alias);
    void AddCondition(const std::string& connector, const std::string& attribute, const std::string& op,
                      const Value& value, const std::string& alias);
    // No entries; those of the last run stay in their places to be written over.
    void Empty();
    // Whether the entries are those of the run marked last, in everything but the conditions' values.
    bool SameShapeAsMarked() const {
        return marked_ && classCount_ == classes_.size() && columnCount_ == columns_.size() &&
               conditionCount_ == conditions_.size();
    }
    // Marks the entries as those of a run (those left after them go).
    void MarkRun();

private:
    std::vector<Class> classes_;
    std::vector<Column> columns_;
    std::vector<Condition> conditions_;
    // How many entries of each list are given; those after them are left from the last run.
    size_t classCount_ = 0;
    size_t columnCount_ = 0;
    size_t conditionCount_ = 0;
    // Whether the entries given so far have each the shape of the one in their place at the run marked last.
    bool marked_ = false;
};

// A query lends its specification and the specification's lists: whoever holds one of them holds the query.
class EmbeddedQueryDef : public CvQueryDef, public Lends<EmbeddedQueryDef> {
public:
    explicit EmbeddedQueryDef(std::shared_ptr<Storage> storage)
        : storage_(std::move(storage)), parts_(std::make_shared<QueryParts>()) {}
    Ptr<CvQuerySpec> Specification() override;
    void Run() override;
    void RunWithOptions(const Ptr<CvUpdateOptions>& options) override;
    Ptr<CvRecList> Result() override;
    int32_t RowCount() override;

    // Back to a new query's state: no classes, columns, conditions or rows (the lists keep their room).
    void Clear();

private:
    void Execute();

    std::shared_ptr<Storage> storage_;
    std::shared_ptr<QueryParts> parts_;
    std::unique_ptr<CvQuerySpec> spec_; // made on first use; it writes into parts_
    std::vector<RecListRow> rows_;
    bool ran_ = false;
    // Kept from run to run for their room: the key of the query's shape and the list the next rows are read into.
    std::string shape_;
    std::vector<RecListRow> spareRows_;
    std::vector<RecListRow> stale_; // the rows of the query before it was emptied
    QueryPlan* plan_ = nullptr;     // the plan of the run marked last in the parts, kept by the storage
};

} // namespace quendra::embedded
