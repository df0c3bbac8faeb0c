// Win32Grid: the grid as a window class of its own, drawn cell by cell; the form moves its edit box
// over the current cell. A click makes the clicked cell current, arrows move the current cell.
// SPDX-License-Identifier: Apache-2.0
#include "Win32Window.h"

#include "GridCells.h"

#include <algorithm>

namespace quendra::win32 {

namespace {

const wchar_t* const GridClassName = L"QuendraGrid";
constexpr int DefaultColumnPixels = 100;

class Win32Grid : public Wrapped<ui::Grid> {
public:
    Win32Grid(Win32Window& window, const std::string& name, int tabIndex, HWND handle, const ui::Rect& rect)
        : Wrapped(window, name, tabIndex, handle), rect_(rect), cells_(DefaultColumnPixels) {
        SetWindowLongPtrW(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        HDC dc = GetDC(handle_);
        HGDIOBJ old = SelectObject(dc, window.Font());
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(handle_, dc);
        rowHeight_ = std::max(window.Pixels(240), static_cast<int>(metrics.tmHeight) + 4);
    }
    ~Win32Grid() override {
        if (IsWindow(handle_)) SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
    }

    void Clear() override {
        cells_.Clear();
        Redraw();
    }
    void SetCols(int count) override {
        cells_.SetCols(count);
        Redraw();
    }
    int Cols() const override { return cells_.Cols(); }
    void SetRows(int count) override {
        cells_.SetRows(count);
        topRow_ = std::clamp(topRow_, 0, cells_.Row());
        Redraw();
    }
    int Rows() const override { return cells_.Rows(); }
    void SetColWidth(int col, int twips) override {
        cells_.SetWidth(col, window_.Pixels(std::max(twips, 0)));
        Redraw();
    }
    int ColWidth(int col) const override { return window_.Twips(cells_.Width(col)); }
    void SetTextMatrix(int row, int col, const std::string& text) override {
        cells_.SetText(row, col, text);
        Redraw();
    }
    std::string TextMatrix(int row, int col) const override { return cells_.Text(row, col); }
    int Row() const override { return cells_.Row(); }
    void SetRow(int row) override { MoveTo(cells_.CheckRow(row), cells_.Col()); }
    int Col() const override { return cells_.Col(); }
    void SetCol(int col) override { MoveTo(cells_.Row(), cells_.CheckCol(col)); }
    int ColPos(int col) const override { return window_.Twips(Border().x + cells_.Left(col)); }
    int RowPos(int row) const override {
        return window_.Twips(Border().y + (cells_.CheckRow(row) - topRow_) * rowHeight_);
    }
    // The cell as it shows, inside the grid lines that follow it.
    int CellWidth() const override { return Cols() == 0 ? 0 : window_.Twips(cells_.Width(cells_.Col()) - 1); }
    int CellHeight() const override { return window_.Twips(rowHeight_ - 1); }
    int Left() const override { return rect_.left; }
    int Top() const override { return rect_.top; }
    double Width() const override { return rect_.width; }

    // Arrows, Home and End move the current cell; other keys do nothing in a grid.
    bool OwnKey(int keyCode) override {
        if (Rows() == 0 || Cols() == 0) return true;
        int row = cells_.Row();
        int col = cells_.Col();
        switch (keyCode) {
        case VK_UP:
            row = std::max(row - 1, 0);
            break;
        case VK_DOWN:
            row = std::min(row + 1, Rows() - 1);
            break;
        case VK_LEFT:
            col = std::max(col - 1, 0);
            break;
        case VK_RIGHT:
            col = std::min(col + 1, Cols() - 1);
            break;
        case VK_HOME:
            col = 0;
            break;
        case VK_END:
            col = Cols() - 1;
            break;
        default:
            return true;
        }
        MoveTo(row, col);
        return true;
    }
    bool DropsChar(wchar_t) const override { return true; }
    LRESULT Default(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    LRESULT Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_LBUTTONDOWN: {
            if (!window_.Routing()) return 0;
            if (GetFocus() != handle_) ::SetFocus(handle_);
            pressed_ = Hit(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            if (pressed_.first >= 0) MoveTo(pressed_.first, pressed_.second);
            return 0;
        }
        case WM_LBUTTONUP: {
            auto released = Hit(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            bool clicked = pressed_.first >= 0 && released == pressed_;
            pressed_ = {-1, -1};
            if (clicked && window_.Routing()) window_.Events().Click(*this);
            return 0;
        }
        case GridCellRect: {
            int row = LOWORD(wParam);
            int col = HIWORD(wParam);
            if (row >= Rows() || col >= Cols() || row < topRow_ || !lParam) return 0;
            int top = (row - topRow_) * rowHeight_;
            int left = cells_.Left(col);
            *reinterpret_cast<RECT*>(lParam) = {left, top, left + cells_.Width(col) - 1, top + rowHeight_ - 1};
            return 1;
        }
        case GridSize:
            return MAKELRESULT(Rows(), Cols());
        case GridCellText: {
            int row = LOWORD(wParam);
            int col = HIWORD(wParam);
            if (row >= Rows() || col >= Cols() || !lParam) return 0;
            *reinterpret_cast<std::wstring*>(lParam) = Wide(TextMatrix(row, col));
            return 1;
        }
        case WM_MOUSEWHEEL: {
            int step = GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? -1 : 1;
            topRow_ = std::clamp(topRow_ + step, 0, std::max(Rows() - VisibleRows(), 0));
            Redraw();
            return 0;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            Redraw();
            [[fallthrough]];
        case WM_KEYDOWN:
        case WM_CHAR:
            return Route(hwnd, message, wParam, lParam);
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
    }

private:
    // Where the client area starts inside the grid's frame.
    POINT Border() const {
        RECT window{};
        GetWindowRect(handle_, &window);
        POINT origin{0, 0};
        ClientToScreen(handle_, &origin);
        return {origin.x - window.left, origin.y - window.top};
    }
    int VisibleRows() const {
        RECT client{};
        GetClientRect(handle_, &client);
        return std::max(1, static_cast<int>(client.bottom) / rowHeight_);
    }
    std::pair<int, int> Hit(int x, int y) const {
        if (x < 0 || y < 0) return {-1, -1};
        int row = topRow_ + y / rowHeight_;
        if (row >= Rows()) return {-1, -1};
        for (int c = 0, left = 0; c < Cols(); ++c) {
            left += cells_.Width(c);
            if (x < left) return {row, c};
        }
        return {-1, -1};
    }
    // A change of the current cell by the program is reported as one by the user is.
    void MoveTo(int row, int col) {
        if (!cells_.MoveTo(row, col)) return;
        if (row < topRow_) topRow_ = row;
        if (row >= topRow_ + VisibleRows()) topRow_ = row - VisibleRows() + 1;
        Redraw();
        window_.Events().CurrentCellChanged(*this);
    }
    void Redraw() { InvalidateRect(handle_, nullptr, FALSE); }
    void Paint() {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(handle_, &paint);
        RECT client{};
        GetClientRect(handle_, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
        HGDIOBJ oldFont = SelectObject(dc, window_.Font());
        HPEN line = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
        HGDIOBJ oldPen = SelectObject(dc, line);
        SetBkMode(dc, TRANSPARENT);
        bool focused = GetFocus() == handle_;
        for (int r = topRow_; r < Rows(); ++r) {
            int top = (r - topRow_) * rowHeight_;
            if (top > client.bottom) break;
            for (int c = 0, left = 0; c < Cols(); ++c) {
                int width = cells_.Width(c);
                RECT cell{left, top, left + width - 1, top + rowHeight_ - 1};
                bool current = r == cells_.Row() && c == cells_.Col();
                if (current) FillRect(dc, &cell, GetSysColorBrush(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
                SetTextColor(dc, GetSysColor(current && focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
                RECT text{cell.left + 2, cell.top, cell.right - 2, cell.bottom};
                std::wstring wide = Wide(cells_.Text(r, c));
                DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &text,
                          DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
                MoveToEx(dc, cell.right, cell.top, nullptr);
                LineTo(dc, cell.right, cell.bottom + 1);
                MoveToEx(dc, cell.left, cell.bottom, nullptr);
                LineTo(dc, cell.right, cell.bottom);
                left += width;
            }
        }
        SelectObject(dc, oldPen);
        DeleteObject(line);
        SelectObject(dc, oldFont);
        EndPaint(handle_, &paint);
    }

    ui::Rect rect_;
    grid::GridCells cells_; // widths in pixels
    int rowHeight_ = 16;
    int topRow_ = 0;
    std::pair<int, int> pressed_{-1, -1};
};

LRESULT CALLBACK GridProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* grid = reinterpret_cast<Win32Grid*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!grid) return DefWindowProcW(hwnd, message, wParam, lParam);
    LRESULT result = Guarded(0, [&] { return grid->Handle(hwnd, message, wParam, lParam); });
    if (FailurePending()) grid->Owner().Hide();
    return result;
}

} // namespace

const wchar_t* GridClass() {
    static const bool registered = [] {
        WNDCLASSEXW grid{};
        grid.cbSize = sizeof grid;
        grid.lpfnWndProc = GridProcedure;
        grid.hInstance = Module();
        grid.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        grid.lpszClassName = GridClassName;
        UnregisterClassW(GridClassName, Module());
        return RegisterClassExW(&grid) != 0;
    }();
    return registered ? GridClassName : nullptr;
}

ui::Grid& Win32Window::AddGrid(const std::string& name, const ui::Rect& rect, int tabIndex) {
    HWND handle = CreateChild(GridClass(), L"", WS_TABSTOP, WS_EX_CLIENTEDGE, rect);
    return Add(std::make_unique<Win32Grid>(*this, name, tabIndex, handle, rect));
}

} // namespace quendra::win32
