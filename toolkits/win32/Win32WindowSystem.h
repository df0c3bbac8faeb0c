// Win32WindowSystem: the component's windows as native Win32 windows, message boxes and the
// common open-file dialog. Sizes given in twips are converted at the screen's dots per inch.
#pragma once

#include "WindowSystem.h"

#include <functional>
#include <memory>
#include <string>

namespace quendra::win32 {

class Win32WindowSystem : public ui::WindowSystem {
public:
    Win32WindowSystem();
    ~Win32WindowSystem() override;

    // Runs once each modal window (message box, form, open-file dialog) has shown, inside its
    // modal loop, with the window's handle (an HWND). Meant for a user who answers the windows
    // from the same thread.
    void SetModalHook(std::function<void(void* window)> hook);

    ui::Answer MessageBox(const std::string& text, const std::string& title, ui::Icon icon, ui::Buttons buttons,
                          ui::Answer defaultButton) override;
    std::unique_ptr<ui::CommonDialog> CreateCommonDialog() override;
    std::unique_ptr<ui::Window> CreateWindow(const std::string& caption, int clientWidth, int clientHeight,
                                             ui::WindowEvents& events) override;

    double TwipsPerPixel() const { return twipsPerPixel_; }

private:
    double twipsPerPixel_ = 15.0;
    std::function<void(void*)> hook_;
};

// Texts cross between the component (UTF-8) and Win32 (UTF-16).
std::wstring Wide(const std::string& text);
std::string Narrow(const std::wstring& text);

} // namespace quendra::win32
