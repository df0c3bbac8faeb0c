// Win32Controls: labels, buttons, combo boxes and text boxes of a window as standard controls.
// SPDX-License-Identifier: Apache-2.0
#include "Win32Window.h"

#include <algorithm>
#include <stdexcept>

namespace quendra::win32 {

template <class Base> void Wrapped<Base>::SetVisible(bool visible) {
    if (visible == Shown()) return;
    ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
    // A control shown again lies over the others, as the edit box over the grid.
    if (visible) SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // Hiding the focused control moves the focus, whose handlers may have failed.
    ThrowPendingFailure();
}

template <class Base> void Wrapped<Base>::SetFocus() {
    window_.RequestFocus(*this);
    ThrowPendingFailure();
}

template class Wrapped<ui::Label>;
template class Wrapped<ui::Button>;
template class Wrapped<ui::ComboBox>;
template class Wrapped<ui::TextBox>;
template class Wrapped<ui::Grid>;

namespace {

std::string WindowText(HWND handle) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(handle)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(handle, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

class Win32Label : public Wrapped<ui::Label> {
public:
    Win32Label(Win32Window& window, const std::string& name, int tabIndex, HWND handle, std::string text)
        : Wrapped(window, name, tabIndex, handle), text_(std::move(text)) {}
    void SetText(const std::string& text) override {
        text_ = text;
        SetWindowTextW(handle_, Wide(text).c_str());
    }
    std::string Text() const override { return text_; }
    bool OwnKey(int) override { return false; }
    bool TakesFocus() const override { return false; }

private:
    std::string text_;
};

class Win32Button : public Wrapped<ui::Button> {
public:
    Win32Button(Win32Window& window, const std::string& name, int tabIndex, HWND handle, std::string caption)
        : Wrapped(window, name, tabIndex, handle), caption_(std::move(caption)) {}
    std::string Caption() const override { return caption_; }
    // Enter and Space press the focused button.
    bool OwnKey(int keyCode) override {
        if (keyCode == ui::keys::Enter || keyCode == ui::keys::Space) {
            window_.Events().Click(*this);
            return true;
        }
        return keyCode == ui::keys::Escape;
    }
    bool DropsChar(wchar_t c) const override { return c == L'\r' || c == L' ' || c == 0x1B; }

private:
    std::string caption_;
};

class Win32ComboBox : public Wrapped<ui::ComboBox> {
public:
    using Wrapped::Wrapped;
    void Clear() override { SendMessageW(handle_, CB_RESETCONTENT, 0, 0); }
    void AddItem(const std::string& text) override {
        SendMessageW(handle_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
    }
    int ListCount() const override { return static_cast<int>(SendMessageW(handle_, CB_GETCOUNT, 0, 0)); }
    std::string List(int index) const override {
        if (index < 0 || index >= ListCount()) throw std::out_of_range("no entry " + std::to_string(index));
        std::wstring text(static_cast<size_t>(SendMessageW(handle_, CB_GETLBTEXTLEN, index, 0)) + 1, L'\0');
        auto length = SendMessageW(handle_, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(std::max<LRESULT>(length, 0)));
        return Narrow(text);
    }
    int ListIndex() const override { return static_cast<int>(SendMessageW(handle_, CB_GETCURSEL, 0, 0)); }
    void SetListIndex(int index) override {
        if (index < -1 || index >= ListCount()) throw std::out_of_range("no entry " + std::to_string(index));
        SendMessageW(handle_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
    bool OwnKey(int keyCode) override { return keyCode == ui::keys::Enter || keyCode == ui::keys::Escape; }
    bool DropsChar(wchar_t c) const override { return c == L'\r' || c == 0x1B; }
};

class Win32TextBox : public Wrapped<ui::TextBox> {
public:
    using Wrapped::Wrapped;
    void Move(const ui::Rect& rect) override {
        SetWindowPos(handle_, nullptr, window_.Pixels(rect.left), window_.Pixels(rect.top), window_.Pixels(rect.width),
                     window_.Pixels(rect.height), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void SetText(const std::string& text) override { SetWindowTextW(handle_, Wide(text).c_str()); }
    std::string Text() const override { return WindowText(handle_); }
    void SetSelStart(int start) override {
        selStart_ = std::clamp(start, 0, GetWindowTextLengthW(handle_));
        SendMessageW(handle_, EM_SETSEL, static_cast<WPARAM>(selStart_), selStart_);
    }
    void SetSelLength(int length) override {
        SendMessageW(handle_, EM_SETSEL, static_cast<WPARAM>(selStart_), selStart_ + std::max(length, 0));
    }
    // A one-line text box has no use for Up and Down: the selection stays.
    bool OwnKey(int keyCode) override {
        return keyCode == ui::keys::Enter || keyCode == ui::keys::Escape || keyCode == ui::keys::Up ||
               keyCode == ui::keys::Down;
    }
    bool DropsChar(wchar_t c) const override { return c == L'\r' || c == L'\n' || c == 0x1B; }

private:
    int selStart_ = 0;
};

} // namespace

ui::Label& Win32Window::AddLabel(const std::string& name, const ui::Rect& rect, const std::string& text, int tabIndex) {
    HWND handle = CreateChild(L"STATIC", Wide(text), SS_LEFT | SS_NOPREFIX, 0, rect);
    return Add(std::make_unique<Win32Label>(*this, name, tabIndex, handle, text));
}

ui::Button& Win32Window::AddButton(const std::string& name, const ui::Rect& rect, const std::string& caption,
                                   int tabIndex) {
    HWND handle = CreateChild(L"BUTTON", Wide(caption), BS_PUSHBUTTON | WS_TABSTOP, 0, rect);
    return Add(std::make_unique<Win32Button>(*this, name, tabIndex, handle, caption));
}

ui::ComboBox& Win32Window::AddComboBox(const std::string& name, const ui::Rect& rect, int tabIndex) {
    // The height of a drop-down list includes its list; the field keeps the font's height.
    ui::Rect withList = rect;
    withList.height = rect.height + Twips(160);
    HWND handle = CreateChild(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, withList);
    return Add(std::make_unique<Win32ComboBox>(*this, name, tabIndex, handle));
}

ui::TextBox& Win32Window::AddTextBox(const std::string& name, const ui::Rect& rect, int tabIndex) {
    HWND handle = CreateChild(L"EDIT", L"", ES_AUTOHSCROLL | ES_LEFT | WS_TABSTOP, 0, rect);
    return Add(std::make_unique<Win32TextBox>(*this, name, tabIndex, handle));
}

} // namespace quendra::win32
