// EmbeddedQueryDef: a structured query over classes joined through a link class, with bound values.
#pragma once

#include "CvPlatform.h"
#include "EmbeddedRecList.h"
#include "Storage.h"

#include <memory>
#include <string>
#include <vector>

namespace quendra::embedded {

// What a structured query is asked for: its classes, columns and conditions (each made in its list's place).
struct QueryParts {
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
    std::vector<Class> classes;
    std::vector<Column> columns;
    std::vector<Condition> conditions;
};

class EmbeddedQueryDef : public CvQueryDef {
public:
    explicit EmbeddedQueryDef(std::shared_ptr<Storage> storage)
        : storage_(std::move(storage)), parts_(std::make_shared<QueryParts>()) {
        // Room for the queries the hooks make (three classes, a few columns and conditions) in one allocation each.
        parts_->classes.reserve(4);
        parts_->columns.reserve(4);
        parts_->conditions.reserve(4);
    }
    Ptr<CvQuerySpec> Specification() override;
    void Run() override;
    void RunWithOptions(const Ptr<CvUpdateOptions>& options) override;
    Ptr<CvRecList> Result() override;
    int32_t RowCount() override;

    // Whether nobody but its owner holds the query or a part of it, so that it can be emptied and handed out again.
    bool Unshared(const std::shared_ptr<EmbeddedQueryDef>& self) const;
    // Back to a new query's state: no classes, columns, conditions or rows (the lists keep their room).
    void Clear();

private:
    void Execute();

    std::shared_ptr<Storage> storage_;
    std::shared_ptr<QueryParts> parts_;
    Ptr<CvQuerySpec> spec_; // made on first use; it writes into parts_ and holds nothing else
    std::vector<RecListRow> rows_;
    bool ran_ = false;
    // Kept from run to run for their room: the key of the query's shape and the list the next rows are read into.
    std::string shape_;
    std::vector<RecListRow> spareRows_;
    std::vector<RecListRow> stale_; // the rows of the query before it was emptied
};

} // namespace quendra::embedded
