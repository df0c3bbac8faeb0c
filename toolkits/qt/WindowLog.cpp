// WindowLog: the windows a person answered in the Qt toolkit, in order, each with the answer a script would give.
#include "WindowLog.h"

namespace quendra::qt {

size_t WindowLog::Shown(scripted::WindowRecord window) {
    windows_.push_back({std::move(window), std::nullopt});
    return windows_.size() - 1;
}

void WindowLog::Answered(size_t place, scripted::Answer answer) {
    windows_.at(place).answer = std::move(answer);
}

void WindowLog::QueryAnswered(size_t place, scripted::Answer answer) {
    bool confirmed = answer.search != scripted::Answer::SearchMode::CancelQuery;
    Answered(place, std::move(answer));
    pendingSearch_.reset();
    if (confirmed) pendingSearch_ = place;
}

void WindowLog::ResultsAnswered(size_t place, bool confirmed, const std::vector<embedded::ObjectKey>& picked) {
    scripted::Answer* answer = nullptr;
    if (pendingSearch_) {
        answer = &*windows_.at(*pendingSearch_).answer;
        pendingSearch_.reset();
    } else {
        auto& own = windows_.at(place).answer;
        own.emplace();
        own->kind = scripted::Answer::Kind::Search;
        answer = &*own;
    }
    answer->search = confirmed ? scripted::Answer::SearchMode::Pick : scripted::Answer::SearchMode::CancelResults;
    answer->picks = confirmed ? picked : std::vector<embedded::ObjectKey>{};
}

void WindowLog::Clear() {
    windows_.clear();
    pendingSearch_.reset();
}

} // namespace quendra::qt
