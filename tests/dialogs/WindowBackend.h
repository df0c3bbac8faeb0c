// WindowBackend: a window toolkit under test together with a user who answers its windows.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "ScriptedUser.h"
#include "WindowSystem.h"

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quendra::test {

class WindowBackend {
public:
    virtual ~WindowBackend() = default;
    virtual ui::WindowSystem& Windows() = 0;
    // The answers for the windows still to come, as the scripted user takes them.
    virtual void Answer(std::vector<answering::Answer> answers) = 0;
    // The windows that appeared since the answers were given, with what they showed.
    virtual std::vector<answering::WindowRecord> Shown() const = 0;
    virtual std::optional<std::string> Failure() const = 0;
};

// A back end whose user plays the answers on the toolkit's own windows, one answer a window; the first
// thing that went wrong is its failure.
class PlayingBackend : public WindowBackend {
public:
    void Answer(std::vector<answering::Answer> answers) override {
        answers_.assign(answers.begin(), answers.end());
        failure_.reset();
        ForgetShown();
    }
    std::optional<std::string> Failure() const override {
        if (failure_) return failure_;
        if (!answers_.empty()) return std::to_string(answers_.size()) + " answers left";
        return std::nullopt;
    }

protected:
    // Forgets the windows shown so far.
    virtual void ForgetShown() = 0;
    void Fail(const std::string& message) {
        if (!failure_) failure_ = message;
    }
    std::optional<answering::Answer> Next() {
        if (answers_.empty()) return std::nullopt;
        auto answer = answers_.front();
        answers_.pop_front();
        return answer;
    }

private:
    std::deque<answering::Answer> answers_;
    std::optional<std::string> failure_;
};

// "scripted", and "qt" where the Qt toolkit is built.
std::vector<std::string> BackendNames();
std::unique_ptr<WindowBackend> MakeBackend(const std::string& name);

} // namespace quendra::test
