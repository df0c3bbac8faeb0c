// Fault injection, the event log and the read-only switches of a database's sessions.
// SPDX-License-Identifier: Apache-2.0
#include "PlatformHarness.h"

#include "Connection.h"
#include "CvError.h"

#include <algorithm>
#include <iterator>

namespace quendra::embedded {

std::vector<std::string> FailableCalls() {
    std::vector<std::string> names;
    for (const CvOperationName& name : cvOperationNames) names.emplace_back(name.full);
    std::sort(names.begin(), names.end());
    return names;
}

void PlatformHarness::Fire(CvOperation operation) {
    bool fire = false;
    for (auto& fault : faults_) {
        if (fault.fired || fault.operation != operation) continue;
        if (++fault.calls == fault.nth) fault.fired = fire = true;
    }
    if (fire) throw CvError("the platform operation " + std::string(NameOf(operation).full) + " failed");
}

void PlatformHarness::Failed() {
    if (depth_ == 0) {
        events::Error event{std::string(NameOf(operation_).full), ""};
        try {
            throw;
        } catch (const std::exception& error) {
            event.text = error.what();
            if (!machineFailure_ && dynamic_cast<const MachineFault*>(&error)) machineFailure_ = event.text;
        } catch (...) {
            event.text = "the operation failed for an unknown reason";
        }
        Record(std::move(event));
    }
    throw;
}

void PlatformHarness::FailCall(const std::string& operation, int nth) {
    const auto* named = std::find_if(std::begin(cvOperationNames), std::end(cvOperationNames),
                                     [&](const CvOperationName& name) { return name.full == operation; });
    if (named == std::end(cvOperationNames))
        throw std::invalid_argument("there is no platform operation named \"" + operation + "\" that can fail");
    if (nth < 1) throw EmbeddedError("", "", "a fault is injected into a call counted from 1");
    faults_.push_back({static_cast<CvOperation>(named - std::begin(cvOperationNames)), nth});
}

std::vector<std::pair<std::string, int>> PlatformHarness::UnfiredFaults() const {
    std::vector<std::pair<std::string, int>> unfired;
    for (const auto& fault : faults_)
        if (!fault.fired) unfired.emplace_back(NameOf(fault.operation).full, fault.nth);
    return unfired;
}

void PlatformHarness::CheckWritable() const {
    if (openedForReading_)
        throw CvError("the database " + databaseName_ + " is open for reading only: nothing can be written");
    if (readOnly_) throw CvError("the database is read-only: nothing can be written");
}

} // namespace quendra::embedded
