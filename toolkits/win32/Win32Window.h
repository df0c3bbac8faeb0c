// Win32Window: a window of the component as a native top-level window, its controls as child
// windows. Keys, clicks and focus changes of the controls reach the form as the Qt toolkit
// reports them: the form hears a key first and may swallow it, Tab moves the focus in tab order.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "Win32WindowSystem.h"

#include <windows.h>
// The window interfaces name members as the Win32 macros do.
#undef CreateWindow
#undef MessageBox

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quendra::win32 {

class Win32Window;

// Runs our part of a window procedure or another callback of Windows. No exception may unwind
// through the frames of Windows (with 32-bit MinGW the process ends), so a failure waits, noted,
// and the callback answers `failed`; the modal loop then ends, and ThrowPendingFailure throws it
// again in our code, where the form's caller expects it. The procedures hide their window at once.
LRESULT Guarded(LRESULT failed, const std::function<LRESULT()>& call) noexcept;
void ThrowPendingFailure();
bool FailurePending();

// The modal hook runs from a thread timer once the modal loop of a new window runs.
void ArmModalHook(const std::function<void(void*)>& hook);

// What every control shares: its child window, its place in the tab order and its own keys.
class Win32Control {
public:
    Win32Control(Win32Window& window, std::string name, int tabIndex, HWND handle);
    virtual ~Win32Control();
    virtual ui::Control& AsControl() = 0;
    // The control's own handling of a key the form did not swallow; true when it is used up.
    virtual bool OwnKey(int keyCode) = 0;
    // Characters the control never takes (Enter and Escape in a text box).
    virtual bool DropsChar(wchar_t) const { return false; }
    virtual bool TakesFocus() const { return true; }
    // What the control's own window procedure does with a message.
    virtual LRESULT Default(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND Handle() const { return handle_; }
    Win32Window& Owner() const { return window_; }
    int TabIndex() const { return tabIndex_; }
    bool Shown() const { return (GetWindowLongW(handle_, GWL_STYLE) & WS_VISIBLE) != 0; }
    bool CanFocus() const { return TakesFocus() && Shown(); }
    // The window procedure of a standard control, behind the routing of its keys and focus.
    LRESULT Route(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    Win32Window& window_;
    std::string name_;
    int tabIndex_;
    HWND handle_;
};

template <class Base> class Wrapped : public Base, public Win32Control {
public:
    Wrapped(Win32Window& window, std::string name, int tabIndex, HWND handle)
        : Win32Control(window, std::move(name), tabIndex, handle) {}
    ui::Control& AsControl() override { return *this; }
    const std::string& Name() const override { return name_; }
    bool Visible() const override { return Shown(); }
    void SetVisible(bool visible) override;
    void SetFocus() override;
};

class Win32Window : public ui::Window {
public:
    Win32Window(const std::string& caption, int clientWidth, int clientHeight, ui::WindowEvents& events,
                double twipsPerPixel, std::function<void(void*)> modalHook);
    ~Win32Window() override;

    ui::Label& AddLabel(const std::string& name, const ui::Rect& rect, const std::string& text, int tabIndex) override;
    ui::Button& AddButton(const std::string& name, const ui::Rect& rect, const std::string& caption,
                          int tabIndex) override;
    ui::ComboBox& AddComboBox(const std::string& name, const ui::Rect& rect, int tabIndex) override;
    ui::TextBox& AddTextBox(const std::string& name, const ui::Rect& rect, int tabIndex) override;
    ui::Grid& AddGrid(const std::string& name, const ui::Rect& rect, int tabIndex) override;

    std::string Caption() const override;
    void ShowModal() override;
    void Hide() override;
    bool Visible() const override;
    void Unload() override;
    double TextWidth(const std::string& text) const override;

    // Used by the controls.
    int Pixels(int twips) const;
    int Twips(int pixels) const;
    HWND Handle() const { return handle_; }
    HFONT Font() const { return font_; }
    bool Routing() const { return routing_; }
    ui::WindowEvents& Events() { return events_; }
    void RequestFocus(Win32Control& control);
    // Moves the focus to the next (or previous) control in tab order that can take it.
    void Tab(Win32Control& from, bool backwards);
    // A focus change to or from that window stays inside this window.
    bool Inside(HWND other) const;
    Win32Control* ControlOf(HWND handle) const;
    HWND CreateChild(const wchar_t* windowClass, const std::wstring& text, DWORD style, DWORD exStyle,
                     const ui::Rect& rect);

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    template <class T> T& Add(std::unique_ptr<T> control) {
        T& added = *control;
        controls_.push_back(std::move(control));
        return added;
    }
    void Destroy();

    ui::WindowEvents& events_;
    double twipsPerPixel_;
    std::function<void(void*)> modalHook_;
    HWND handle_ = nullptr;
    HFONT font_ = nullptr;
    bool routing_ = true;
    std::vector<std::unique_ptr<Win32Control>> controls_;
    Win32Control* pendingFocus_ = nullptr;
};

// The window class of the grid, registered once.
const wchar_t* GridClass();
// The module that holds this code (the DLL, or the program it is linked into).
HINSTANCE Module();

} // namespace quendra::win32
