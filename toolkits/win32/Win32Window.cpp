// Win32Window: a window of the component as a native top-level window with its own modal loop.
// SPDX-License-Identifier: Apache-2.0
#include "Win32Window.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <stdexcept>
#include <utility>

namespace quendra::win32 {

namespace {

const wchar_t* const FormClass = L"QuendraForm";

thread_local std::function<void(void*)> pendingHook;
thread_local std::exception_ptr pendingFailure;

BOOL CALLBACK NoteLastShown(HWND hwnd, LPARAM found) {
    if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) *reinterpret_cast<HWND*>(found) = hwnd;
    return TRUE;
}

BOOL CALLBACK NoteEnabled(HWND hwnd, LPARAM list) {
    return static_cast<BOOL>(Guarded(FALSE, [&]() -> LRESULT {
        if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
        return TRUE;
    }));
}

// The thread's window that the modal loop runs for: the active one, else the last shown one.
HWND ModalWindow() {
    HWND active = GetActiveWindow();
    if (active && IsWindowVisible(active)) return active;
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), NoteLastShown, reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK RunModalHook(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    Guarded(0, [] {
        auto hook = std::move(pendingHook);
        pendingHook = nullptr;
        if (hook) hook(ModalWindow());
        return 0;
    });
}

LRESULT CALLBACK ControlProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* control = reinterpret_cast<Win32Control*>(data);
    LRESULT result = Guarded(0, [&] { return control->Route(hwnd, message, wParam, lParam); });
    if (FailurePending()) control->Owner().Hide();
    return result;
}

} // namespace

LRESULT Guarded(LRESULT failed, const std::function<LRESULT()>& call) noexcept {
    try {
        return call();
    } catch (...) {
        // The first failure is the one to report; what follows from it is not.
        if (!pendingFailure) pendingFailure = std::current_exception();
        return failed;
    }
}

void ThrowPendingFailure() {
    if (auto failure = std::exchange(pendingFailure, nullptr)) std::rethrow_exception(failure);
}

bool FailurePending() {
    return pendingFailure != nullptr;
}

HINSTANCE Module() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&Module), &module);
    return module;
}

void ArmModalHook(const std::function<void(void*)>& hook) {
    if (!hook) return;
    pendingHook = hook;
    SetTimer(nullptr, 0, 0, RunModalHook);
}

Win32Control::Win32Control(Win32Window& window, std::string name, int tabIndex, HWND handle)
    : window_(window), name_(std::move(name)), tabIndex_(tabIndex), handle_(handle) {
    // The grid is a window class of its own; the standard controls are subclassed.
    wchar_t className[32] = {};
    GetClassNameW(handle_, className, 32);
    if (lstrcmpW(className, GridClass()) != 0) SetWindowSubclass(handle_, ControlProcedure, 1, DWORD_PTR(this));
}

Win32Control::~Win32Control() {
    if (IsWindow(handle_)) {
        RemoveWindowSubclass(handle_, ControlProcedure, 1);
        DestroyWindow(handle_);
    }
}

LRESULT Win32Control::Default(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT Win32Control::Route(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!window_.Routing()) return Default(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_KEYDOWN: {
        if (wParam == VK_TAB) {
            window_.Tab(*this, GetKeyState(VK_SHIFT) < 0);
            return 0;
        }
        int code = static_cast<int>(wParam);
        window_.Events().KeyDown(AsControl(), code);
        if (code == 0 || !window_.Visible() || GetFocus() != handle_) return 0;
        if (OwnKey(static_cast<int>(wParam))) return 0;
        return Default(hwnd, message, wParam, lParam);
    }
    case WM_CHAR:
        if (wParam == L'\t' || DropsChar(static_cast<wchar_t>(wParam))) return 0;
        return Default(hwnd, message, wParam, lParam);
    case WM_SETFOCUS: {
        LRESULT result = Default(hwnd, message, wParam, lParam);
        // Activating the window again gives the focus back without a focus change inside it.
        if (window_.Inside(reinterpret_cast<HWND>(wParam))) window_.Events().GotFocus(AsControl());
        return result;
    }
    case WM_KILLFOCUS: {
        LRESULT result = Default(hwnd, message, wParam, lParam);
        if (window_.Inside(reinterpret_cast<HWND>(wParam))) window_.Events().LostFocus(AsControl());
        return result;
    }
    default:
        return Default(hwnd, message, wParam, lParam);
    }
}

Win32Window::Win32Window(const std::string& caption, int clientWidth, int clientHeight, ui::WindowEvents& events,
                         double twipsPerPixel, std::function<void(void*)> modalHook)
    : events_(events), twipsPerPixel_(twipsPerPixel), modalHook_(std::move(modalHook)) {
    static const bool registered = [] {
        WNDCLASSEXW form{};
        form.cbSize = sizeof form;
        form.lpfnWndProc = Procedure;
        form.hInstance = Module();
        form.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        form.lpszClassName = FormClass;
        INITCOMMONCONTROLSEX common{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&common);
        // A class left by an earlier load of this DLL names a procedure that is gone: replace it.
        UnregisterClassW(FormClass, Module());
        return RegisterClassExW(&form) != 0 && GridClass() != nullptr;
    }();
    if (!registered) throw std::runtime_error("the window classes could not be registered");

    // The windows are laid out for an 8-point sans serif at the screen's resolution.
    int dpi = static_cast<int>(std::lround(1440.0 / twipsPerPixel_));
    font_ =
        CreateFontW(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");

    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME;
    RECT frame{0, 0, Pixels(clientWidth), Pixels(clientHeight)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    int left = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    int top = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    handle_ = CreateWindowExW(exStyle, FormClass, Wide(caption).c_str(), style, left, top, width, height, nullptr,
                              nullptr, Module(), this);
    if (!handle_) {
        DeleteObject(font_);
        throw std::runtime_error("the window " + caption + " could not be created");
    }
}

Win32Window::~Win32Window() {
    Destroy();
}

HWND Win32Window::CreateChild(const wchar_t* windowClass, const std::wstring& text, DWORD style, DWORD exStyle,
                              const ui::Rect& rect) {
    if (!handle_) throw std::logic_error("the window is unloaded");
    HWND child = CreateWindowExW(exStyle, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style,
                                 Pixels(rect.left), Pixels(rect.top), Pixels(rect.width), Pixels(rect.height), handle_,
                                 nullptr, Module(), nullptr);
    if (!child) throw std::runtime_error("a control could not be created");
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return child;
}

std::string Win32Window::Caption() const {
    if (!handle_) return {};
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(handle_)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(handle_, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

void Win32Window::ShowModal() {
    if (!handle_) throw std::logic_error("the window is unloaded");
    Win32Control* first = pendingFocus_ && pendingFocus_->CanFocus() ? pendingFocus_ : nullptr;
    pendingFocus_ = nullptr;
    if (!first) {
        for (const auto& control : controls_)
            if (control->CanFocus() && (!first || control->TabIndex() < first->TabIndex())) first = control.get();
    }
    // Modal without owner: the thread's other windows take no input meanwhile.
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), NoteEnabled, reinterpret_cast<LPARAM>(&disabled));
    for (HWND other : disabled) EnableWindow(other, FALSE);

    // The first control takes the focus as the window activates, which is no focus change inside it.
    SetPropW(handle_, L"QuendraFocus", first ? first->Handle() : nullptr);
    ShowWindow(handle_, SW_SHOW);
    SetForegroundWindow(handle_);
    if (first && GetFocus() != first->Handle()) {
        routing_ = false;
        ::SetFocus(first->Handle());
        routing_ = true;
    }
    ArmModalHook(modalHook_);
    MSG message;
    while (handle_ && IsWindowVisible(handle_) && !FailurePending()) {
        int got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
            Hide();
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    for (HWND other : disabled)
        if (IsWindow(other)) EnableWindow(other, TRUE);
    if (FailurePending()) {
        Hide();
        ThrowPendingFailure();
    }
}

void Win32Window::Hide() {
    if (!handle_ || !IsWindowVisible(handle_)) return;
    ShowWindow(handle_, SW_HIDE);
    // Wakes the modal loop, which ends once the window is hidden.
    PostMessageW(handle_, WM_NULL, 0, 0);
}

bool Win32Window::Visible() const {
    return handle_ && IsWindowVisible(handle_);
}

void Win32Window::Unload() {
    Destroy();
}

double Win32Window::TextWidth(const std::string& text) const {
    if (!handle_) throw std::logic_error("the window is unloaded");
    HDC dc = GetDC(handle_);
    HGDIOBJ old = SelectObject(dc, font_);
    std::wstring wide = Wide(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(handle_, dc);
    return size.cx * twipsPerPixel_;
}

int Win32Window::Pixels(int twips) const {
    return static_cast<int>(std::lround(twips / twipsPerPixel_));
}

int Win32Window::Twips(int pixels) const {
    return static_cast<int>(std::lround(pixels * twipsPerPixel_));
}

void Win32Window::RequestFocus(Win32Control& control) {
    if (!Visible()) {
        pendingFocus_ = &control;
        return;
    }
    if (control.CanFocus()) ::SetFocus(control.Handle());
}

void Win32Window::Tab(Win32Control& from, bool backwards) {
    std::vector<Win32Control*> order;
    for (const auto& control : controls_)
        if (control->CanFocus() || control.get() == &from) order.push_back(control.get());
    std::stable_sort(order.begin(), order.end(),
                     [](const Win32Control* a, const Win32Control* b) { return a->TabIndex() < b->TabIndex(); });
    auto at = std::find(order.begin(), order.end(), &from);
    if (at == order.end() || order.size() < 2) return;
    size_t index = static_cast<size_t>(at - order.begin());
    size_t next = backwards ? (index + order.size() - 1) % order.size() : (index + 1) % order.size();
    ::SetFocus(order[next]->Handle());
}

bool Win32Window::Inside(HWND other) const {
    return other && handle_ && (other == handle_ || IsChild(handle_, other));
}

Win32Control* Win32Window::ControlOf(HWND handle) const {
    for (const auto& control : controls_)
        if (control->Handle() == handle) return control.get();
    return nullptr;
}

LRESULT CALLBACK Win32Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* window = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!window || !window->handle_ || !window->routing_) return DefWindowProcW(hwnd, message, wParam, lParam);
    LRESULT result = Guarded(0, [&] { return window->Handle(message, wParam, lParam); });
    if (FailurePending()) window->Hide();
    return result;
}

LRESULT Win32Window::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        // The frame's close button: the form hears of it, then the window hides.
        if (Visible()) {
            events_.FrameClose();
            Hide();
        }
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && lParam) {
            if (auto* control = ControlOf(reinterpret_cast<HWND>(lParam))) events_.Click(control->AsControl());
        }
        return 0;
    case WM_KEYDOWN: {
        // A key while the window itself has the focus, none of its controls.
        int code = static_cast<int>(wParam);
        if (code == VK_TAB) {
            for (const auto& control : controls_)
                if (control->CanFocus()) return ::SetFocus(control->Handle()), 0;
            return 0;
        }
        events_.FormKeyDown(code);
        return 0;
    }
    case WM_ACTIVATE:
        // The control that had the focus gets it back, as in a dialog.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(handle_, focus)) SetPropW(handle_, L"QuendraFocus", focus);
            return 0;
        }
        if (auto* focus = static_cast<HWND>(GetPropW(handle_, L"QuendraFocus")); focus && IsWindowVisible(focus)) {
            ::SetFocus(focus);
            return 0;
        }
        break;
    case WM_DESTROY:
        RemovePropW(handle_, L"QuendraFocus");
        break;
    default:
        break;
    }
    return DefWindowProcW(handle_, message, wParam, lParam);
}

// The controls' events stop before the windows go, so no form hears of a dying control.
void Win32Window::Destroy() {
    if (!handle_) return;
    routing_ = false;
    pendingFocus_ = nullptr;
    HWND handle = handle_;
    controls_.clear();
    DestroyWindow(handle);
    handle_ = nullptr;
    DeleteObject(font_);
    font_ = nullptr;
}

} // namespace quendra::win32
