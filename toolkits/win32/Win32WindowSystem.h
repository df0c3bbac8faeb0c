// Win32WindowSystem: the component's windows as native Win32 windows, message boxes and the
// common open-file dialog. Sizes given in twips are converted at the screen's dots per inch.
// SPDX-License-Identifier: Apache-2.0
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

// What the grid window answers, for a program in the same process that reads or drives it (the
// window messages WM_USER + 1 to + 3 of the window class "QuendraGrid"):
// - GridCellRect: wParam MAKEWPARAM(row, col), lParam a RECT* it fills with the cell's place in the
//   grid's client area; answers 0 for a cell outside the grid.
// - GridSize: answers MAKELRESULT(rows, columns).
// - GridCellText: wParam MAKEWPARAM(row, col), lParam a std::wstring* it fills with the cell's text.
constexpr unsigned GridCellRect = 0x0400 + 1;
constexpr unsigned GridSize = 0x0400 + 2;
constexpr unsigned GridCellText = 0x0400 + 3;

// Texts cross between the component (UTF-8) and Win32 (UTF-16).
std::wstring Wide(const std::string& text);
std::string Narrow(const std::wstring& text);

} // namespace quendra::win32
