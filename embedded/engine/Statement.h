// Statement: a prepared statement with its values bound and its columns read as platform values.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Value.h"

#include <cstdint>
#include <memory>
#include <string>

namespace quendra::embedded {

// One prepared statement of a database engine. Positions of values count from 1, columns from 0.
class StatementBody {
public:
    virtual ~StatementBody() = default;
    virtual void Bind(int position, const Value& value) = 0;
    virtual void BindInt(int position, int64_t value) = 0;
    virtual void BindText(int position, const std::string& value) = 0;
    // True while a row is there.
    virtual bool Step() = 0;
    virtual int ColumnCount() const = 0;
    virtual std::string ColumnName(int column) const = 0;
    virtual bool IsNull(int column) const = 0;
    virtual int64_t Int(int column) const = 0;
    virtual std::string Text(int column) const = 0;
    // The column as the platform hands it over: a number in the attribute's type, or as stored when type is 0.
    virtual Value Get(int column, int32_t type) const = 0;
    // Ready to run again, without values.
    virtual void Reset() noexcept = 0;
};

// A prepared statement, borrowed from the connection's cache or owned alone; reset when it goes out of scope,
// which hands a borrowed one back to the cache.
class Statement {
public:
    // Owned: the body goes with the statement.
    explicit Statement(std::unique_ptr<StatementBody> owned) : body_(owned.get()), owned_(std::move(owned)) {}
    // Borrowed: busy is set while the statement lives.
    Statement(StatementBody& body, bool& busy) : body_(&body), busy_(&busy) { busy = true; }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() {
        body_->Reset();
        if (busy_) *busy_ = false;
    }

    Statement& Bind(int position, const Value& value) {
        body_->Bind(position, value);
        return *this;
    }
    Statement& BindInt(int position, int64_t value) {
        body_->BindInt(position, value);
        return *this;
    }
    Statement& BindText(int position, const std::string& value) {
        body_->BindText(position, value);
        return *this;
    }
    bool Step() { return body_->Step(); }
    // Steps to the end.
    void Run() {
        while (body_->Step()) {
        }
    }
    int ColumnCount() const { return body_->ColumnCount(); }
    std::string ColumnName(int column) const { return body_->ColumnName(column); }
    bool IsNull(int column) const { return body_->IsNull(column); }
    int64_t Int(int column) const { return body_->Int(column); }
    std::string Text(int column) const { return body_->Text(column); }
    Value Get(int column, int32_t type) const { return body_->Get(column, type); }
    StatementBody& Body() const { return *body_; }

private:
    StatementBody* body_;
    std::unique_ptr<StatementBody> owned_;
    bool* busy_ = nullptr;
};

} // namespace quendra::embedded
