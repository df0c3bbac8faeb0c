// SimulatedWindow: a window without a screen whose controls keep the focus rules of a real one.
// SPDX-License-Identifier: Apache-2.0
#include "SimulatedWindow.h"

#include "GridCells.h"
#include "KeyNames.h"

#include <algorithm>
#include <stdexcept>

namespace quendra::scripted {

// What every simulated control shares: its place in the tab order, visibility and focus.
class SimulatedControl {
public:
    SimulatedControl(SimulatedWindow& window, std::string name, int tabIndex, bool focusable)
        : window_(window), name_(std::move(name)), tabIndex_(tabIndex), focusable_(focusable) {}
    virtual ~SimulatedControl() = default;
    virtual ui::Control& AsControl() = 0;

    bool CanFocus() const { return focusable_ && visible_; }
    int TabIndex() const { return tabIndex_; }

protected:
    SimulatedWindow& window_;
    std::string name_;
    int tabIndex_;
    bool focusable_;
    bool visible_ = true;
};

namespace {

template <class Base> class Simulated : public Base, public SimulatedControl {
public:
    Simulated(SimulatedWindow& window, std::string name, int tabIndex, bool focusable)
        : SimulatedControl(window, std::move(name), tabIndex, focusable) {}
    ui::Control& AsControl() override { return *this; }
    const std::string& Name() const override { return name_; }
    bool Visible() const override { return visible_; }
    void SetVisible(bool visible) override {
        if (visible_ == visible) return;
        visible_ = visible;
        if (!visible) window_.ControlHidden(*this);
    }
    void SetFocus() override { window_.RequestFocus(*this); }
};

class SimLabel : public Simulated<ui::Label> {
public:
    SimLabel(SimulatedWindow& window, const std::string& name, int tabIndex, std::string text)
        : Simulated(window, name, tabIndex, false), text_(std::move(text)) {}
    void SetText(const std::string& text) override { text_ = text; }
    std::string Text() const override { return text_; }

private:
    std::string text_;
};

class SimButton : public Simulated<ui::Button> {
public:
    SimButton(SimulatedWindow& window, const std::string& name, int tabIndex, std::string caption)
        : Simulated(window, name, tabIndex, true), caption_(std::move(caption)) {}
    std::string Caption() const override { return caption_; }

private:
    std::string caption_;
};

class SimComboBox : public Simulated<ui::ComboBox> {
public:
    SimComboBox(SimulatedWindow& window, const std::string& name, int tabIndex)
        : Simulated(window, name, tabIndex, true) {}
    void Clear() override {
        items_.clear();
        index_ = -1;
    }
    void AddItem(const std::string& text) override { items_.push_back(text); }
    int ListCount() const override { return static_cast<int>(items_.size()); }
    std::string List(int index) const override {
        if (index < 0 || index >= ListCount()) throw std::out_of_range("no entry " + std::to_string(index));
        return items_[static_cast<size_t>(index)];
    }
    int ListIndex() const override { return index_; }
    void SetListIndex(int index) override {
        if (index < -1 || index >= ListCount()) throw std::out_of_range("no entry " + std::to_string(index));
        index_ = index;
    }
    const std::vector<std::string>& Items() const { return items_; }

private:
    std::vector<std::string> items_;
    int index_ = -1;
};

class SimTextBox : public Simulated<ui::TextBox> {
public:
    SimTextBox(SimulatedWindow& window, const std::string& name, int tabIndex)
        : Simulated(window, name, tabIndex, true) {}
    void Move(const ui::Rect& rect) override { rect_ = rect; }
    void SetText(const std::string& text) override {
        text_ = text;
        selStart_ = 0;
        selLength_ = 0;
    }
    std::string Text() const override { return text_; }
    void SetSelStart(int start) override {
        selStart_ = std::clamp(start, 0, static_cast<int>(text_.size()));
        selLength_ = 0;
    }
    void SetSelLength(int length) override {
        selLength_ = std::clamp(length, 0, static_cast<int>(text_.size()) - selStart_);
    }
    // Typing replaces the selection and leaves the caret after the typed text.
    void Type(const std::string& text) {
        text_.replace(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_), text);
        selStart_ += static_cast<int>(text.size());
        selLength_ = 0;
    }

private:
    ui::Rect rect_;
    std::string text_;
    int selStart_ = 0;
    int selLength_ = 0;
};

class SimGrid : public Simulated<ui::Grid> {
public:
    static constexpr int RowHeight = 240;
    static constexpr int DefaultColWidth = 960;

    SimGrid(SimulatedWindow& window, const std::string& name, int tabIndex, const ui::Rect& rect)
        : Simulated(window, name, tabIndex, true), rect_(rect) {}
    void Clear() override { cells_.Clear(); }
    void SetCols(int count) override { cells_.SetCols(count); }
    int Cols() const override { return cells_.Cols(); }
    void SetRows(int count) override { cells_.SetRows(count); }
    int Rows() const override { return cells_.Rows(); }
    void SetColWidth(int col, int twips) override { cells_.SetWidth(col, twips); }
    int ColWidth(int col) const override { return cells_.Width(col); }
    void SetTextMatrix(int row, int col, const std::string& text) override { cells_.SetText(row, col, text); }
    std::string TextMatrix(int row, int col) const override { return cells_.Text(row, col); }
    int Row() const override { return cells_.Row(); }
    void SetRow(int row) override { MoveTo(cells_.CheckRow(row), cells_.Col()); }
    int Col() const override { return cells_.Col(); }
    void SetCol(int col) override { MoveTo(cells_.Row(), cells_.CheckCol(col)); }
    int ColPos(int col) const override { return cells_.Left(col); }
    int RowPos(int row) const override { return cells_.CheckRow(row) * RowHeight; }
    int CellWidth() const override { return ColWidth(cells_.Col()); }
    int CellHeight() const override { return RowHeight; }
    int Left() const override { return rect_.left; }
    int Top() const override { return rect_.top; }
    double Width() const override { return rect_.width; }

    void MoveTo(int row, int col) {
        if (cells_.MoveTo(row, col)) window_.Events().CurrentCellChanged(*this);
    }

private:
    ui::Rect rect_;
    grid::GridCells cells_{DefaultColWidth};
};

} // namespace

SimulatedWindow::SimulatedWindow(std::string caption, int, int, ui::WindowEvents& events,
                                 std::function<void(SimulatedWindow&)> onShow)
    : caption_(std::move(caption)), events_(events), onShow_(std::move(onShow)) {}

SimulatedWindow::~SimulatedWindow() = default;

template <class T> T& SimulatedWindow::Add(std::unique_ptr<T> control) {
    T& added = *control;
    controls_.push_back(std::move(control));
    return added;
}

template <class T> T* SimulatedWindow::Find() const {
    for (const auto& control : controls_)
        if (auto* found = dynamic_cast<T*>(control.get())) return found;
    return nullptr;
}

ui::Label& SimulatedWindow::AddLabel(const std::string& name, const ui::Rect&, const std::string& text, int tabIndex) {
    return Add(std::make_unique<SimLabel>(*this, name, tabIndex, text));
}

ui::Button& SimulatedWindow::AddButton(const std::string& name, const ui::Rect&, const std::string& caption,
                                       int tabIndex) {
    return Add(std::make_unique<SimButton>(*this, name, tabIndex, caption));
}

ui::ComboBox& SimulatedWindow::AddComboBox(const std::string& name, const ui::Rect&, int tabIndex) {
    return Add(std::make_unique<SimComboBox>(*this, name, tabIndex));
}

ui::TextBox& SimulatedWindow::AddTextBox(const std::string& name, const ui::Rect&, int tabIndex) {
    return Add(std::make_unique<SimTextBox>(*this, name, tabIndex));
}

ui::Grid& SimulatedWindow::AddGrid(const std::string& name, const ui::Rect& rect, int tabIndex) {
    return Add(std::make_unique<SimGrid>(*this, name, tabIndex, rect));
}

void SimulatedWindow::ShowModal() {
    if (visible_) throw std::logic_error("window \"" + caption_ + "\" is already shown");
    visible_ = true;
    SimulatedControl* first = pendingFocus_ && pendingFocus_->CanFocus() ? pendingFocus_ : NextInTabOrder(nullptr);
    pendingFocus_ = nullptr;
    if (first) MoveFocus(first);
    onShow_(*this);
    // A user who leaves the window open has left it by the frame.
    if (visible_) CloseByFrame();
}

void SimulatedWindow::Hide() {
    if (!visible_) return;
    visible_ = false;
    focused_ = nullptr;
}

void SimulatedWindow::Unload() {
    Hide();
    pendingFocus_ = nullptr;
    controls_.clear();
}

double SimulatedWindow::TextWidth(const std::string& text) const {
    size_t characters = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++characters;
    return 90.0 * static_cast<double>(characters);
}

std::vector<std::string> SimulatedWindow::LabelTexts() const {
    std::vector<std::string> texts;
    for (const auto& control : controls_)
        if (auto* label = dynamic_cast<SimLabel*>(control.get())) texts.push_back(label->Text());
    return texts;
}

bool SimulatedWindow::HasGrid() const {
    return Find<SimGrid>() != nullptr;
}

std::vector<std::pair<std::string, std::string>> SimulatedWindow::GridRows() const {
    std::vector<std::pair<std::string, std::string>> rows;
    if (auto* grid = Find<SimGrid>(); grid && grid->Cols() >= 2)
        for (int r = 0; r < grid->Rows(); ++r) rows.emplace_back(grid->TextMatrix(r, 0), grid->TextMatrix(r, 1));
    return rows;
}

bool SimulatedWindow::HasComboBox() const {
    return Find<SimComboBox>() != nullptr;
}

std::vector<std::string> SimulatedWindow::ComboEntries() const {
    auto* combo = Find<SimComboBox>();
    return combo ? combo->Items() : std::vector<std::string>{};
}

std::string SimulatedWindow::FocusedName() const {
    return focused_ ? focused_->AsControl().Name() : std::string();
}

bool SimulatedWindow::ClickButton(const std::string& caption) {
    for (const auto& control : controls_) {
        auto* button = dynamic_cast<SimButton*>(control.get());
        if (!button || button->Caption() != caption || !button->CanFocus()) continue;
        MoveFocus(button);
        if (visible_) events_.Click(*button);
        return true;
    }
    return false;
}

// A press on a cell takes the focus to the grid, makes the cell current, then clicks.
bool SimulatedWindow::ClickCell(int row, int col) {
    auto* grid = Find<SimGrid>();
    if (!grid || !grid->CanFocus() || row < 0 || row >= grid->Rows() || col < 0 || col >= grid->Cols()) return false;
    MoveFocus(grid);
    grid->MoveTo(row, col);
    if (visible_) events_.Click(*grid);
    return true;
}

void SimulatedWindow::Type(const std::string& text) {
    if (auto* box = dynamic_cast<SimTextBox*>(focused_)) box->Type(text);
}

void SimulatedWindow::SelectAll() {
    if (auto* box = dynamic_cast<SimTextBox*>(focused_)) {
        box->SetSelStart(0);
        box->SetSelLength(static_cast<int>(box->Text().size()));
    }
}

bool SimulatedWindow::PressKey(const std::string& keyName) {
    int code = ui::keys::Named(keyName);
    if (code < 0) return false;
    if (!focused_) {
        events_.FormKeyDown(code);
        return true;
    }
    SimulatedControl* target = focused_;
    if (code == 9) {
        MoveFocus(NextInTabOrder(target));
        return true;
    }
    events_.KeyDown(target->AsControl(), code);
    if (code == 0 || !visible_ || focused_ != target) return true;
    if (auto* button = dynamic_cast<SimButton*>(target)) {
        if (code == ui::keys::Enter || code == ui::keys::Space) events_.Click(*button);
    } else if (auto* grid = dynamic_cast<SimGrid*>(target)) {
        int row = grid->Row() + (code == ui::keys::Down) - (code == ui::keys::Up);
        int col = grid->Col() + (code == ui::keys::Right) - (code == ui::keys::Left);
        if (row >= 0 && row < grid->Rows() && col >= 0 && col < grid->Cols()) grid->MoveTo(row, col);
    } else if (auto* combo = dynamic_cast<SimComboBox*>(target)) {
        int index = combo->ListIndex() + (code == ui::keys::Down) - (code == ui::keys::Up);
        if (index >= 0 && index < combo->ListCount()) combo->SetListIndex(index);
    }
    return true;
}

bool SimulatedWindow::Choose(const std::optional<std::string>& entry) {
    auto* combo = Find<SimComboBox>();
    if (!combo || !combo->CanFocus()) return false;
    int index = -1;
    if (entry) {
        const auto& items = combo->Items();
        auto found = std::find(items.begin(), items.end(), *entry);
        if (found == items.end()) return false;
        index = static_cast<int>(found - items.begin());
    }
    MoveFocus(combo);
    combo->SetListIndex(index);
    return true;
}

void SimulatedWindow::CloseByFrame() {
    if (!visible_) return;
    events_.FrameClose();
    Hide();
}

void SimulatedWindow::RequestFocus(SimulatedControl& control) {
    if (!visible_) {
        pendingFocus_ = &control;
        return;
    }
    if (control.CanFocus()) MoveFocus(&control);
}

// A focused control that hides passes the focus on in tab order.
void SimulatedWindow::ControlHidden(SimulatedControl& control) {
    if (pendingFocus_ == &control) pendingFocus_ = nullptr;
    if (visible_ && focused_ == &control) MoveFocus(NextInTabOrder(&control));
}

SimulatedControl* SimulatedWindow::NextInTabOrder(const SimulatedControl* after) const {
    std::vector<SimulatedControl*> order;
    for (const auto& control : controls_)
        if (control->CanFocus() && control.get() != after) order.push_back(control.get());
    if (order.empty()) return nullptr;
    std::stable_sort(order.begin(), order.end(), [](const SimulatedControl* a, const SimulatedControl* b) {
        return a->TabIndex() < b->TabIndex();
    });
    if (after)
        for (SimulatedControl* control : order)
            if (control->TabIndex() > after->TabIndex()) return control;
    return order.front();
}

// The control losing the focus hears of it before the one gaining it.
void SimulatedWindow::MoveFocus(SimulatedControl* target) {
    if (target == focused_) return;
    SimulatedControl* previous = focused_;
    focused_ = target;
    if (previous) events_.LostFocus(previous->AsControl());
    if (target && focused_ == target) events_.GotFocus(target->AsControl());
}

} // namespace quendra::scripted
