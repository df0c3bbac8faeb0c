// Win32WindowSystem: message boxes, the open-file dialog and the component's windows on Win32.
// SPDX-License-Identifier: Apache-2.0
#include "Win32WindowSystem.h"

#include "Win32Window.h"

#include <commdlg.h>

#include <vector>

namespace quendra::win32 {

namespace {

// The open-file dialog's flag that allows picking several files.
constexpr int32_t AllowMultiSelect = OFN_ALLOWMULTISELECT;
// The longest answer the dialog may give: the folder and every name picked.
constexpr size_t AnswerCharacters = 32768;

class Win32CommonDialog : public ui::CommonDialog {
public:
    explicit Win32CommonDialog(std::function<void(void*)> hook) : hook_(std::move(hook)) {}
    void SetFilter(const std::string& filter) override { filter_ = filter; }
    void SetFlags(int32_t flags) override { flags_ = flags; }
    std::string FileName() const override { return fileName_; }

    // The filter's "|" separate its descriptions and patterns, which the dialog wants separated by
    // character 0. A multiple selection comes back as the folder and the names, separated by 0.
    void ShowOpen() override {
        fileName_.clear();
        std::wstring filter = Wide(filter_);
        for (auto& c : filter)
            if (c == L'|') c = L'\0';
        filter.append(2, L'\0');
        std::vector<wchar_t> answer(AnswerCharacters, L'\0');
        OPENFILENAMEW dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.lpstrFilter = filter_.empty() ? nullptr : filter.c_str();
        dialog.nFilterIndex = 1;
        dialog.lpstrFile = answer.data();
        dialog.nMaxFile = static_cast<DWORD>(answer.size());
        dialog.Flags = static_cast<DWORD>(flags_);
        // Names with spaces need the explorer-style answer, whose names are separated by character 0.
        if (flags_ & AllowMultiSelect) dialog.Flags |= OFN_EXPLORER;
        ArmModalHook(hook_);
        if (!GetOpenFileNameW(&dialog)) return;
        std::vector<std::string> pieces;
        for (const wchar_t* piece = answer.data(); *piece; piece += wcslen(piece) + 1) pieces.push_back(Narrow(piece));
        for (size_t i = 0; i < pieces.size(); ++i) {
            if (i > 0) fileName_ += '\0';
            fileName_ += pieces[i];
        }
    }

private:
    std::function<void(void*)> hook_;
    std::string filter_;
    int32_t flags_ = 0;
    std::string fileName_;
};

} // namespace

Win32WindowSystem::Win32WindowSystem() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    twipsPerPixel_ = 1440.0 / (dpi > 0 ? dpi : 96);
}

Win32WindowSystem::~Win32WindowSystem() = default;

void Win32WindowSystem::SetModalHook(std::function<void(void*)> hook) {
    hook_ = std::move(hook);
}

ui::Answer Win32WindowSystem::MessageBox(const std::string& text, const std::string& title, ui::Icon icon,
                                         ui::Buttons buttons, ui::Answer defaultButton) {
    UINT style = MB_TASKMODAL | MB_SETFOREGROUND;
    switch (icon) {
    case ui::Icon::Information:
        style |= MB_ICONINFORMATION;
        break;
    case ui::Icon::Exclamation:
        style |= MB_ICONEXCLAMATION;
        break;
    case ui::Icon::Critical:
        style |= MB_ICONERROR;
        break;
    case ui::Icon::Question:
        style |= MB_ICONQUESTION;
        break;
    }
    if (buttons == ui::Buttons::Ok)
        style |= MB_OK;
    else
        style |= MB_YESNO | (defaultButton == ui::Answer::No ? MB_DEFBUTTON2 : MB_DEFBUTTON1);
    ArmModalHook(hook_);
    int pressed = MessageBoxW(nullptr, Wide(text).c_str(), Wide(title).c_str(), style);
    if (buttons == ui::Buttons::Ok) return ui::Answer::Ok;
    if (pressed == IDYES) return ui::Answer::Yes;
    if (pressed == IDNO) return ui::Answer::No;
    return defaultButton;
}

std::unique_ptr<ui::CommonDialog> Win32WindowSystem::CreateCommonDialog() {
    return std::make_unique<Win32CommonDialog>(hook_);
}

std::unique_ptr<ui::Window> Win32WindowSystem::CreateWindow(const std::string& caption, int clientWidth,
                                                            int clientHeight, ui::WindowEvents& events) {
    return std::make_unique<Win32Window>(caption, clientWidth, clientHeight, events, twipsPerPixel_, hook_);
}

} // namespace quendra::win32
