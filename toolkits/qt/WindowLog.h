// WindowLog: the windows a person answered in the Qt toolkit, in order, each with the answer a script would give.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "WindowAnswers.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace quendra::qt {

struct AnsweredWindow {
    answering::WindowRecord window;
    // None for a result dialog that follows a query dialog: the query's search answer serves both,
    // and none while the window is still open.
    std::optional<answering::Answer> answer;
};

class WindowLog {
public:
    // Notes a window as it shows; its place takes the answer once the person has left it, so a
    // window shown from inside another comes after it, as the answers are used.
    size_t Shown(answering::WindowRecord window);
    void Answered(size_t place, answering::Answer answer);

    // The query dialog's answer stays open for the result dialog that follows it.
    void QueryAnswered(size_t place, answering::Answer answer);
    // The result dialog completes the query's answer; without a query before it, it gets its own.
    void ResultsAnswered(size_t place, bool confirmed, const std::vector<embedded::ObjectKey>& picked);

    const std::vector<AnsweredWindow>& Windows() const { return windows_; }
    void Clear();

private:
    std::vector<AnsweredWindow> windows_;
    std::optional<size_t> pendingSearch_;
};

} // namespace quendra::qt
