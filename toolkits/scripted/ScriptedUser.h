// ScriptedUser: a window toolkit whose every window is answered from a script.
//
// Answers are used in the order windows appear, one answer per window (a Search answer
// serves the query dialog and the result dialog after it). A window with no answer left or
// an answer of the wrong kind records a failure naming both, then closes the window as its
// frame would (message boxes answer their default), so the hook runs to its end.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "PlatformDialogs.h"
#include "WindowAnswers.h"
#include "WindowSystem.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace quendra::scripted {

class ScriptedUser : public ui::WindowSystem, public embedded::PlatformDialogs {
public:
    ScriptedUser();
    ~ScriptedUser() override;

    // Replaces the answers still to come and forgets earlier windows and failures.
    void SetAnswers(std::vector<answering::Answer> answers);
    const std::vector<answering::WindowRecord>& Windows() const;
    // The first mismatch between the windows and the answers, if any.
    const std::optional<std::string>& Failure() const;
    size_t AnswersLeft() const;

    ui::Answer MessageBox(const std::string& text, const std::string& title, ui::Icon icon, ui::Buttons buttons,
                          ui::Answer defaultButton) override;
    std::unique_ptr<ui::CommonDialog> CreateCommonDialog() override;
    // Windows record what they show when shown; the first label's text is the record's text.
    std::unique_ptr<ui::Window> CreateWindow(const std::string& caption, int clientWidth, int clientHeight,
                                             ui::WindowEvents& events) override;

    bool RunQueryDialog(const std::vector<std::pair<int16_t, std::string>>& classNames,
                        embedded::SearchQuery& query) override;
    bool RunResultDialog(const std::vector<embedded::SearchCandidate>& found,
                         std::vector<embedded::ObjectKey>& picked) override;
    bool RunNewObjectDialog(const std::string& className, std::vector<embedded::NewObjectField>& fields) override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace quendra::scripted
