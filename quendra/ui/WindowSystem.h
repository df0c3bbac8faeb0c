// WindowSystem: what the component's windows need of a window system.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace quendra::ui {

enum class Icon { Information, Exclamation, Critical, Question };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// Key codes as the windows' key handlers receive them.
namespace keys {
constexpr int Enter = 13;
constexpr int Escape = 27;
constexpr int Space = 32;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;
} // namespace keys

// Positions and sizes in twips (1/1440 inch), relative to the window's client area.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The open-file dialog, addressed by its properties as the upload uses it.
class CommonDialog {
public:
    virtual ~CommonDialog() = default;
    virtual void SetFilter(const std::string& filter) = 0;
    virtual void SetFlags(int32_t flags) = 0;
    // Modal. Afterwards FileName() is empty when the user cancelled, one full path for
    // one file, or the folder, character 0 and the names (separated by character 0).
    virtual void ShowOpen() = 0;
    virtual std::string FileName() const = 0;
};

// A control of a window. Controls belong to their window and end when it is unloaded.
class Control {
public:
    virtual ~Control() = default;
    virtual const std::string& Name() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool Visible() const = 0;
    // Takes the keyboard focus; on a window not yet shown the focus is taken when it shows.
    virtual void SetFocus() = 0;
};

class Label : public Control {
public:
    virtual void SetText(const std::string& text) = 0;
    virtual std::string Text() const = 0;
};

class Button : public Control {
public:
    virtual std::string Caption() const = 0;
};

class ComboBox : public Control {
public:
    virtual void Clear() = 0;
    virtual void AddItem(const std::string& text) = 0;
    virtual int ListCount() const = 0;
    virtual std::string List(int index) const = 0;
    // -1 when no entry is selected.
    virtual int ListIndex() const = 0;
    // -1 selects nothing; an index outside the list throws std::out_of_range.
    virtual void SetListIndex(int index) = 0;
};

class TextBox : public Control {
public:
    virtual void Move(const Rect& rect) = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual std::string Text() const = 0;
    virtual void SetSelStart(int start) = 0;
    virtual void SetSelLength(int length) = 0;
};

// A grid of text cells without header rows or columns. Rows and columns count from 0;
// an index outside the grid throws std::out_of_range. Changing the current cell, by the
// user or by the program, reports CurrentCellChanged.
class Grid : public Control {
public:
    virtual void Clear() = 0; // clears the cells' texts
    virtual void SetCols(int count) = 0;
    virtual int Cols() const = 0;
    virtual void SetRows(int count) = 0;
    virtual int Rows() const = 0;
    virtual void SetColWidth(int col, int twips) = 0;
    virtual int ColWidth(int col) const = 0;
    virtual void SetTextMatrix(int row, int col, const std::string& text) = 0;
    virtual std::string TextMatrix(int row, int col) const = 0;
    virtual int Row() const = 0;
    virtual void SetRow(int row) = 0;
    virtual int Col() const = 0;
    virtual void SetCol(int col) = 0;
    // Left of a column and top of a row inside the grid, as the grid shows them.
    virtual int ColPos(int col) const = 0;
    virtual int RowPos(int row) const = 0;
    virtual int CellWidth() const = 0;
    virtual int CellHeight() const = 0;
    // The grid's place on its window.
    virtual int Left() const = 0;
    virtual int Top() const = 0;
    virtual double Width() const = 0;
};

// What a window reports to the form that owns it.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    // A button was pressed, or a grid cell clicked.
    virtual void Click(Control&) {}
    // A key went down in the focused control; setting keyCode to 0 swallows it, so the
    // control's own handling (a button pressed by Enter or Space) does not happen.
    virtual void KeyDown(Control&, int& /*keyCode*/) {}
    // A key went down while the window itself has the focus, no control of it.
    virtual void FormKeyDown(int& /*keyCode*/) {}
    virtual void GotFocus(Control&) {}
    virtual void LostFocus(Control&) {}
    virtual void CurrentCellChanged(Grid&) {}
    // The user closes the window by its frame; the window hides afterwards.
    virtual void FrameClose() {}
};

// A window of the component. Tab indexes order the focus; on showing, the focus goes to
// the control that asked for it, else to the first visible control in tab order that
// can take it (buttons, combo boxes, text boxes, grids).
class Window {
public:
    virtual ~Window() = default;
    virtual Label& AddLabel(const std::string& name, const Rect& rect, const std::string& text, int tabIndex) = 0;
    virtual Button& AddButton(const std::string& name, const Rect& rect, const std::string& caption, int tabIndex) = 0;
    virtual ComboBox& AddComboBox(const std::string& name, const Rect& rect, int tabIndex) = 0;
    virtual TextBox& AddTextBox(const std::string& name, const Rect& rect, int tabIndex) = 0;
    virtual Grid& AddGrid(const std::string& name, const Rect& rect, int tabIndex) = 0;

    virtual std::string Caption() const = 0;
    // Shows the window modally, without owner; returns when the window is hidden.
    virtual void ShowModal() = 0;
    virtual void Hide() = 0;
    virtual bool Visible() const = 0;
    // Destroys the window's controls; afterwards the window shows nothing.
    virtual void Unload() = 0;
    // The width of a text in the window's font, in twips.
    virtual double TextWidth(const std::string& text) const = 0;
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    // A modal message box; answers the button pressed.
    virtual Answer MessageBox(const std::string& text, const std::string& title, Icon icon, Buttons buttons,
                              Answer defaultButton) = 0;
    virtual std::unique_ptr<CommonDialog> CreateCommonDialog() = 0;
    // A new, hidden window with that caption and client area (twips); events reports to
    // its form, which outlives the window.
    virtual std::unique_ptr<Window> CreateWindow(const std::string& caption, int clientWidth, int clientHeight,
                                                 WindowEvents& events) = 0;
};

} // namespace quendra::ui
