// WindowLog: the windows a person answered in the Qt toolkit, in order, each with the answer a script would give.
// SPDX-License-Identifier: Apache-2.0
#include "WindowLog.h"

namespace quendra::qt {

size_t WindowLog::Shown(answering::WindowRecord window) {
    windows_.push_back({std::move(window), std::nullopt});
    return windows_.size() - 1;
}

void WindowLog::Answered(size_t place, answering::Answer answer) {
    windows_.at(place).answer = std::move(answer);
}

void WindowLog::QueryAnswered(size_t place, answering::Answer answer) {
    bool confirmed =
        std::get<answering::answers::Search>(answer.what).mode != answering::answers::Search::Mode::CancelQuery;
    Answered(place, std::move(answer));
    pendingSearch_.reset();
    if (confirmed) pendingSearch_ = place;
}

void WindowLog::ResultsAnswered(size_t place, bool confirmed, const std::vector<embedded::ObjectKey>& picked) {
    using Search = answering::answers::Search;
    Search results{confirmed ? Search::Mode::Pick : Search::Mode::CancelResults,
                   confirmed ? picked : std::vector<embedded::ObjectKey>{}};
    if (pendingSearch_) {
        windows_.at(*pendingSearch_).answer->what = results;
        pendingSearch_.reset();
    } else {
        windows_.at(place).answer = answering::Answer{results, ""};
    }
}

void WindowLog::Clear() {
    windows_.clear();
    pendingSearch_.reset();
}

} // namespace quendra::qt
