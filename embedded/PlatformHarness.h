// PlatformHarness: what tests and scenarios do to a database's sessions beside the platform's own work:
// faults injected into operations, the log of events, and the switches that refuse every write.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "CvOperation.h"
#include "Database.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quendra::embedded {

// Marks a platform operation as running while it lives. Only the outermost operation, the one the component
// called, counts for faults and records a failure: the operations the platform calls of its own inside it
// neither count nor fail on purpose, and a failure of theirs is recorded once, under the outermost.
class OperationScope {
public:
    explicit OperationScope(int& depth) : depth_(depth) { ++depth_; }
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;
    ~OperationScope() { --depth_; }

private:
    int& depth_;
};

class PlatformHarness : public Harness {
public:
    // `databaseName` names the database in the refusal of a write to a database open for reading.
    explicit PlatformHarness(std::string databaseName) : databaseName_(std::move(databaseName)) {}

    // Counts one call of an operation by the component and fails it when a fault was injected for that call.
    // Every platform operation starts with it and keeps the scope to its end; its handler of every failure
    // calls Failed.
    [[nodiscard]] OperationScope Call(CvOperation operation) {
        if (depth_ == 0) {
            operation_ = operation;
            if (!faults_.empty()) Fire(operation);
        }
        return OperationScope(depth_);
    }
    // In the handler of a failure of an operation: records the failure as an error event when the operation is
    // the outermost one, then lets the failure go on.
    [[noreturn]] void Failed();

    void FailCall(const std::string& operation, int nth) override;
    void ClearFaults() override { faults_.clear(); }
    std::vector<std::pair<std::string, int>> UnfiredFaults() const override;

    void SetReadOnly(bool on) override { readOnly_ = on; }
    // The database was opened for reading only: every write through a session is refused.
    void SetOpenedForReading() { openedForReading_ = true; }
    // Refuses a write through a session while the database is read-only.
    void CheckWritable() const;

    void Record(Event event) {
        events_.push_back(std::move(event));
        if (listener_) listener_(events_.back());
    }
    const std::vector<Event>& Events() const override { return events_; }
    void ClearEvents() override {
        events_.clear();
        machineFailure_.reset();
    }
    std::optional<std::string> MachineFailureText() const override { return machineFailure_; }
    void SetEventListener(std::function<void(const Event&)> listener) override { listener_ = std::move(listener); }

private:
    void Fire(CvOperation operation);

    struct Fault {
        CvOperation operation{};
        int nth = 0;
        int calls = 0;
        bool fired = false;
    };

    std::string databaseName_;
    std::vector<Fault> faults_;
    int depth_ = 0;           // platform operations running
    CvOperation operation_{}; // the outermost of them
    bool readOnly_ = false;
    bool openedForReading_ = false;
    std::vector<Event> events_;
    std::optional<std::string> machineFailure_; // the first of the machine's among the events
    std::function<void(const Event&)> listener_;
};

} // namespace quendra::embedded
