// The scripted toolkit as a back end of the window behaviour suite.
#include "WindowBackend.h"

namespace quendra::test {

namespace {

class ScriptedBackend : public WindowBackend {
public:
    ui::WindowSystem& Windows() override { return user_; }
    void Answer(std::vector<scripted::Answer> answers) override { user_.SetAnswers(std::move(answers)); }
    std::vector<scripted::WindowRecord> Shown() const override { return user_.Windows(); }
    std::optional<std::string> Failure() const override {
        if (user_.Failure()) return user_.Failure();
        if (user_.AnswersLeft() > 0) return std::to_string(user_.AnswersLeft()) + " answers left";
        return std::nullopt;
    }

private:
    scripted::ScriptedUser user_;
};

} // namespace

#ifndef QUENDRA_TEST_WITH_QT
std::vector<std::string> BackendNames() {
    return {"scripted"};
}

std::unique_ptr<WindowBackend> MakeBackend(const std::string&) {
    return std::make_unique<ScriptedBackend>();
}
#else
std::unique_ptr<WindowBackend> MakeQtBackend();

std::vector<std::string> BackendNames() {
    return {"scripted", "qt"};
}

std::unique_ptr<WindowBackend> MakeBackend(const std::string& name) {
    if (name == "qt") return MakeQtBackend();
    return std::make_unique<ScriptedBackend>();
}
#endif

} // namespace quendra::test
