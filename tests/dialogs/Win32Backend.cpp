// The Win32 toolkit as a back end of the window behaviour suite: a user who answers the native
// windows with clicks, keys and characters sent to their controls, and reads what they show from
// the windows themselves. With QUENDRA_WINDOW_PICTURES naming a folder, the first window of each
// kind is saved there as a bitmap before it is answered.
// SPDX-License-Identifier: Apache-2.0
#ifdef QUENDRA_TEST_WITH_WIN32

#include "Win32WindowSystem.h"
#include "WindowBackend.h"

#include <windows.h>
// The window records name their kinds as the Win32 macros do.
#undef CreateWindow
#undef MessageBox

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <variant>

namespace quendra::test {

namespace {

// The file name box of the explorer-style open-file dialog.
constexpr int FileNameBox = 0x47C;

UINT VirtualKey(const std::string& name) {
    if (name == "Enter") return VK_RETURN;
    if (name == "Up") return VK_UP;
    if (name == "Down") return VK_DOWN;
    if (name == "Left") return VK_LEFT;
    if (name == "Right") return VK_RIGHT;
    if (name == "Space") return VK_SPACE;
    if (name == "Escape") return VK_ESCAPE;
    if (name == "Tab") return VK_TAB;
    return 0;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::string TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return win32::Narrow(text);
}

BOOL CALLBACK NoteChild(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

std::vector<HWND> Children(HWND window) {
    std::vector<HWND> children;
    EnumChildWindows(window, NoteChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

HWND ChildOf(HWND window, const wchar_t* windowClass) {
    for (HWND child : Children(window))
        if (lstrcmpiW(ClassOf(child).c_str(), windowClass) == 0) return child;
    return nullptr;
}

// Messages posted to the window's controls go through the thread's queue, as input does.
void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The window as the screen shows it, as a 24-bit bitmap file.
void SavePicture(HWND window, const std::string& path) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    GdiFlush();
    Sleep(200);
    RECT place{};
    GetWindowRect(window, &place);
    int width = place.right - place.left;
    int height = place.bottom - place.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, place.left, place.top, SRCCOPY);
    GdiFlush();
    DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    DWORD size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + size), 0, 0,
                          sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    info.bmiHeader.biSizeImage = size;
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
        std::fwrite(bits, 1, size, out);
        std::fclose(out);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

class Win32Backend : public PlayingBackend {
public:
    Win32Backend() {
        windows_.SetModalHook([this](void* window) { Play(static_cast<HWND>(window)); });
    }
    ui::WindowSystem& Windows() override { return windows_; }
    std::vector<answering::WindowRecord> Shown() const override { return shown_; }

private:
    void ForgetShown() override { shown_.clear(); }

    void Play(HWND window) {
        if (!window) return Fail("no window became active");
        if (ClassOf(window) == L"#32770" && GetDlgItem(window, FileNameBox)) return PlayOpenFile(window);
        if (ClassOf(window) == L"#32770") return PlayMessageBox(window);
        PlayWindow(window);
        if (IsWindowVisible(window)) {
            Fail("the window " + TextOf(window) + " stayed open");
            SendMessageW(window, WM_CLOSE, 0, 0);
        }
    }

    void Picture(HWND window, const std::string& name) {
        const char* folder = std::getenv("QUENDRA_WINDOW_PICTURES");
        if (!folder || !pictured_.insert(name).second) return;
        SavePicture(window, std::string(folder) + "/" + name + ".bmp");
    }

    void PlayMessageBox(HWND box) {
        answering::records::MessageBox record;
        record.title = TextOf(box);
        const std::pair<LPCWSTR, ui::Icon> icons[] = {{IDI_INFORMATION, ui::Icon::Information},
                                                      {IDI_WARNING, ui::Icon::Exclamation},
                                                      {IDI_ERROR, ui::Icon::Critical},
                                                      {IDI_QUESTION, ui::Icon::Question}};
        const char* iconNames[] = {"information", "exclamation", "critical", "question"};
        for (HWND child : Children(box)) {
            if (lstrcmpiW(ClassOf(child).c_str(), L"Static") != 0) continue;
            if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                auto icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
                for (const auto& [id, kind] : icons)
                    if (icon && icon == LoadIconW(nullptr, id)) record.icon = kind;
            } else if (record.text.empty()) {
                record.text = TextOf(child);
            }
        }
        record.buttons = GetDlgItem(box, IDYES) ? ui::Buttons::YesNo : ui::Buttons::Ok;
        shown_.push_back({record, ""});
        Picture(box, std::string("messagebox-") + iconNames[static_cast<int>(record.icon)]);

        auto answer = Next();
        if (!answer) return Fail("no answer for a message box");
        namespace answers = answering::answers;
        if (const auto* pressed = std::get_if<answers::Button>(&answer->what)) {
            int id = pressed->caption == "Yes" ? IDYES : pressed->caption == "No" ? IDNO : IDOK;
            HWND button = GetDlgItem(box, id);
            if (!button) return Fail("no button " + pressed->caption);
            SendMessageW(button, BM_CLICK, 0, 0);
        } else if (const auto* key = std::get_if<answers::Key>(&answer->what)) {
            // The message box's own loop reads the key, as the dialog it is.
            HWND focus = GetFocus() ? GetFocus() : box;
            PostMessageW(focus, WM_KEYDOWN, VirtualKey(key->name), 1);
            PostMessageW(focus, WM_KEYUP, VirtualKey(key->name), 0xC0000001);
        } else if (std::holds_alternative<answers::Close>(answer->what)) {
            PostMessageW(box, WM_CLOSE, 0, 0);
        } else {
            Fail("an answer that does not fit a message box");
        }
    }

    // The open-file dialog: the names are typed into its file name box, quoted, and Open pressed.
    void PlayOpenFile(HWND dialog) {
        shown_.push_back({answering::records::OpenFile{}, ""});
        auto answer = Next();
        const auto* open = answer ? std::get_if<answering::answers::Open>(&answer->what) : nullptr;
        if (!open) {
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            return Fail("no open-file answer for the open-file dialog");
        }
        if (open->paths.empty()) return (void)PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        // Several names are picked in one folder: the dialog goes there first, then takes them quoted.
        std::string names = open->paths.front();
        if (open->paths.size() > 1) {
            auto cut = names.find_last_of('\\');
            SetWindowTextW(GetDlgItem(dialog, FileNameBox), win32::Wide(names.substr(0, cut)).c_str());
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
            names.clear();
            for (const auto& path : open->paths)
                names += (names.empty() ? "\"" : " \"") + path.substr(path.find_last_of('\\') + 1) + "\"";
        }
        SetWindowTextW(GetDlgItem(dialog, FileNameBox), win32::Wide(names).c_str());
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    }

    static answering::records::Window Record(HWND window) {
        answering::records::Window record;
        record.title = TextOf(window);
        // The record's text is the topmost label's, as the window's first label is.
        HWND label = nullptr;
        RECT labelPlace{};
        for (HWND child : Children(window)) {
            if (lstrcmpiW(ClassOf(child).c_str(), L"Static") != 0) continue;
            RECT place{};
            GetWindowRect(child, &place);
            if (!label || place.top < labelPlace.top) label = child, labelPlace = place;
        }
        if (label) record.text = TextOf(label);
        if (HWND combo = ChildOf(window, L"ComboBox")) {
            int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
            for (int i = 0; i < count; ++i) {
                std::wstring entry(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
                entry.resize(
                    static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry.data()))));
                record.choices.push_back(win32::Narrow(entry));
            }
        }
        if (HWND grid = ChildOf(window, L"QuendraGrid")) {
            auto size = SendMessageW(grid, win32::GridSize, 0, 0);
            for (int r = 0; r < LOWORD(size) && HIWORD(size) >= 2; ++r)
                record.rows.emplace_back(Cell(grid, r, 0), Cell(grid, r, 1));
        }
        return record;
    }

    static std::string Cell(HWND grid, int row, int col) {
        std::wstring text;
        SendMessageW(grid, win32::GridCellText, MAKEWPARAM(row, col), reinterpret_cast<LPARAM>(&text));
        return win32::Narrow(text);
    }

    static std::string PictureName(const std::string& title, HWND window) {
        if (ChildOf(window, L"QuendraGrid")) return "link-attributes";
        if (ChildOf(window, L"ComboBox")) return "file-type";
        return title == "Quendra" ? "message-window" : "window";
    }

    void PlayWindow(HWND window) {
        auto record = Record(window);
        shown_.push_back({record, ""});
        auto answer = Next();
        if (!answer) return Fail("no answer for the window " + record.title);
        namespace answers = answering::answers;
        HWND grid = ChildOf(window, L"QuendraGrid");
        const auto& what = answer->what;
        if (const auto* button = std::get_if<answers::Button>(&what)) {
            Picture(window, PictureName(record.title, window));
            Press(window, button->caption);
        } else if (const auto* key = std::get_if<answers::Key>(&what)) {
            Key(window, key->name);
        } else if (std::holds_alternative<answers::Close>(what)) {
            SendMessageW(window, WM_CLOSE, 0, 0);
        } else if (const auto* set = std::get_if<answers::Set>(&what)) {
            for (int r = 0; grid && r < static_cast<int>(record.rows.size()); ++r)
                for (const auto& [name, text] : set->rows)
                    if (record.rows[static_cast<size_t>(r)].first == name) {
                        ClickCell(grid, r, 1);
                        Type(text);
                    }
            Press(window, set->button);
        } else if (const auto* actions = std::get_if<answers::Actions>(&what)) {
            for (size_t i = 0; i < actions->actions.size(); ++i) {
                const auto& action = actions->actions[i];
                if (!IsWindowVisible(window)) return Fail("an action after the window closed");
                if (action.verb == "click") {
                    if (!grid) return Fail("no grid to click in " + record.title);
                    ClickCell(grid, action.row, action.col);
                }
                if (action.verb == "type") Type(action.text);
                // The editor is pictured while its second value is being edited.
                if (action.verb == "type" && grid && i >= 3) Picture(window, PictureName(record.title, window));
                if (action.verb == "key") Key(window, action.text);
                if (action.verb == "button") Press(window, action.text);
                if (action.verb == "close") SendMessageW(window, WM_CLOSE, 0, 0);
            }
        } else if (const auto* choose = std::get_if<answers::Choose>(&what)) {
            HWND combo = ChildOf(window, L"ComboBox");
            if (!combo) return Fail("no list in " + record.title);
            SetFocus(combo);
            LRESULT index = -1;
            if (choose->entry)
                index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(win32::Wide(*choose->entry).c_str()));
            SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
            Press(window, choose->button);
        } else {
            Fail("an answer that does not fit the window " + record.title);
        }
        Pump();
    }

    // A mouse click in the middle of the cell, as the grid's own window receives it.
    void ClickCell(HWND grid, int row, int col) {
        RECT cell{};
        if (!SendMessageW(grid, win32::GridCellRect, MAKEWPARAM(row, col), reinterpret_cast<LPARAM>(&cell)))
            return Fail("no cell " + std::to_string(row) + "," + std::to_string(col));
        LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
        PostMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(grid, WM_LBUTTONUP, 0, at);
        Pump();
    }

    // Typing replaces the selection; typing nothing over a selection deletes it.
    void Type(const std::string& text) {
        HWND focus = GetFocus();
        if (!focus) return;
        if (text.empty()) {
            DWORD start = 0, end = 0;
            if (ClassOf(focus) == L"Edit") {
                SendMessageW(focus, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
                if (end > start) {
                    PostMessageW(focus, WM_KEYDOWN, VK_DELETE, 1);
                    PostMessageW(focus, WM_KEYUP, VK_DELETE, 0xC0000001);
                }
            }
            return Pump();
        }
        for (wchar_t c : win32::Wide(text)) PostMessageW(focus, WM_CHAR, c, 1);
        Pump();
    }

    void Key(HWND window, const std::string& name) {
        HWND focus = GetFocus() ? GetFocus() : window;
        PostMessageW(focus, WM_KEYDOWN, VirtualKey(name), 1);
        PostMessageW(focus, WM_KEYUP, VirtualKey(name), 0xC0000001);
        Pump();
    }

    void Press(HWND window, const std::string& caption) {
        for (HWND child : Children(window))
            if (ClassOf(child) == L"Button" && TextOf(child) == caption && IsWindowVisible(child)) {
                SendMessageW(child, BM_CLICK, 0, 0);
                return Pump();
            }
        Fail("no button " + caption);
    }

    win32::Win32WindowSystem windows_;
    std::vector<answering::WindowRecord> shown_;
    std::set<std::string> pictured_;
};

} // namespace

std::unique_ptr<WindowBackend> MakeWin32Backend() {
    return std::make_unique<Win32Backend>();
}

} // namespace quendra::test

#endif
