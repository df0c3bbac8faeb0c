// The scripted toolkit as a back end of the window behaviour suite.
// SPDX-License-Identifier: Apache-2.0
#include "WindowBackend.h"

namespace quendra::test {

namespace {

class ScriptedBackend : public WindowBackend {
public:
    ui::WindowSystem& Windows() override { return user_; }
    void Answer(std::vector<answering::Answer> answers) override { user_.SetAnswers(std::move(answers)); }
    std::vector<answering::WindowRecord> Shown() const override { return user_.Windows(); }
    std::optional<std::string> Failure() const override {
        if (user_.Failure()) return user_.Failure();
        if (user_.AnswersLeft() > 0) return std::to_string(user_.AnswersLeft()) + " answers left";
        return std::nullopt;
    }

private:
    scripted::ScriptedUser user_;
};

} // namespace

#ifdef QUENDRA_TEST_WITH_QT
std::unique_ptr<WindowBackend> MakeQtBackend();
#endif
#ifdef QUENDRA_TEST_WITH_WIN32
std::unique_ptr<WindowBackend> MakeWin32Backend();
#endif

// "scripted", and each native toolkit this build has.
std::vector<std::string> BackendNames() {
    std::vector<std::string> names = {"scripted"};
#ifdef QUENDRA_TEST_WITH_QT
    names.push_back("qt");
#endif
#ifdef QUENDRA_TEST_WITH_WIN32
    names.push_back("win32");
#endif
    return names;
}

std::unique_ptr<WindowBackend> MakeBackend(const std::string& name) {
#ifdef QUENDRA_TEST_WITH_QT
    if (name == "qt") return MakeQtBackend();
#endif
#ifdef QUENDRA_TEST_WITH_WIN32
    if (name == "win32") return MakeWin32Backend();
#endif
    (void)name;
    return std::make_unique<ScriptedBackend>();
}

} // namespace quendra::test
