// QtWindowSystem: the component's windows and the platform's dialogs as Qt 6 widgets.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "QtPlatformDialogs.h"
#include "WindowLog.h"
#include "WindowSystem.h"

#include <functional>

class QDialog;

namespace quendra::qt {

// Needs a QApplication. Twips are 1/15 of a pixel at 96 dots per inch, scaled with the screen.
// Every window shown is logged with the answer the person gave, so a session can be replayed.
class QtWindowSystem : public ui::WindowSystem, public QtPlatformDialogs {
public:
    QtWindowSystem();

    ui::Answer MessageBox(const std::string& text, const std::string& title, ui::Icon icon, ui::Buttons buttons,
                          ui::Answer defaultButton) override;
    std::unique_ptr<ui::CommonDialog> CreateCommonDialog() override;
    std::unique_ptr<ui::Window> CreateWindow(const std::string& caption, int clientWidth, int clientHeight,
                                             ui::WindowEvents& events) override;

    // Runs once every modal dialog has shown, inside its modal loop (for tests and pictures).
    void SetModalHook(std::function<void(QDialog&)> hook);
    double TwipsPerPixel() const { return twipsPerPixel_; }

    // The windows shown so far, in order, with their answers.
    const std::vector<AnsweredWindow>& Answered() const { return log_.Windows(); }
    void ForgetAnswered() { log_.Clear(); }

protected:
    int RunModal(QDialog& dialog) override;
    WindowLog& Log() override { return log_; }

private:
    double twipsPerPixel_;
    WindowLog log_;
    std::function<void(QDialog&)> hook_;
};

} // namespace quendra::qt
