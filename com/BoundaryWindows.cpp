// BoundaryWindows: the adapters of each interface of the window system, one class for both sides.
// SPDX-License-Identifier: Apache-2.0
#include "BoundaryWindows.h"

#include "CvError.h"

#include <new>
#include <stdexcept>
#include <vector>

namespace quendra::com {

void FailureCarrier::Note() noexcept {
    try {
        throw;
    } catch (const CvError& error) {
        kind_ = Kind::CvError, text_ = error.what();
    } catch (const std::out_of_range& error) {
        kind_ = Kind::OutOfRange, text_ = error.what();
    } catch (const std::invalid_argument& error) {
        kind_ = Kind::InvalidArgument, text_ = error.what();
    } catch (const std::logic_error& error) {
        kind_ = Kind::LogicError, text_ = error.what();
    } catch (const std::bad_alloc&) {
        kind_ = Kind::BadAlloc, text_.clear();
    } catch (const std::exception& error) {
        kind_ = Kind::Other, text_ = error.what();
    } catch (...) {
        kind_ = Kind::Other, text_ = "a failure without a text";
    }
}

void FailureCarrier::ThrowNoted() {
    Kind kind = std::exchange(kind_, Kind::None);
    std::string text = std::move(text_);
    switch (kind) {
    case Kind::None:
        return;
    case Kind::CvError:
        throw CvError(text);
    case Kind::OutOfRange:
        throw std::out_of_range(text);
    case Kind::InvalidArgument:
        throw std::invalid_argument(text);
    case Kind::LogicError:
        throw std::logic_error(text);
    case Kind::BadAlloc:
        throw std::bad_alloc();
    case Kind::Other:
        throw std::runtime_error(text);
    }
}

namespace {

Side Opposite(Side side) {
    return side == Side::Implementing ? Side::Using : Side::Implementing;
}

// One call across: caught and noted on the implementing side, thrown again on the using side.
class Crossing {
public:
    Crossing(Side side, FailureCarrier& carrier) : side_(side), carrier_(carrier) {}

    template <typename Call> auto Cross(Side side, Call&& call) -> decltype(call()) {
        if (side == Side::Implementing) return carrier_.Catch(std::forward<Call>(call));
        if constexpr (std::is_void_v<decltype(call())>) {
            call();
            carrier_.ThrowNoted();
        } else {
            auto result = call();
            carrier_.ThrowNoted();
            return result;
        }
    }
    template <typename Call> auto operator()(Call&& call) -> decltype(call()) {
        return Cross(side_, std::forward<Call>(call));
    }

    Side side_;
    FailureCarrier& carrier_;
};

// What every control adapter answers of ui::Control; `inner` is the control of the module behind.
template <typename Interface> class BoundaryControl : public Interface, protected Crossing {
public:
    BoundaryControl(Interface* inner, Side side, FailureCarrier& carrier) : Crossing(side, carrier), inner_(inner) {}

    const ui::Control* Inner() const { return inner_; }

    const std::string& Name() const override {
        static const std::string none;
        const std::string* name = Cross([&] { return &inner_->Name(); });
        return name ? *name : none;
    }
    void SetVisible(bool visible) override {
        Cross([&] { inner_->SetVisible(visible); });
    }
    bool Visible() const override {
        return Cross([&] { return inner_->Visible(); });
    }
    void SetFocus() override {
        Cross([&] { inner_->SetFocus(); });
    }

protected:
    template <typename Call> auto Cross(Call&& call) const -> decltype(call()) {
        return const_cast<BoundaryControl*>(this)->Crossing::operator()(std::forward<Call>(call));
    }

    Interface* inner_;
};

class BoundaryLabel final : public BoundaryControl<ui::Label> {
public:
    using BoundaryControl::BoundaryControl;
    void SetText(const std::string& text) override {
        Cross([&] { inner_->SetText(text); });
    }
    std::string Text() const override {
        return Cross([&] { return inner_->Text(); });
    }
};

class BoundaryButton final : public BoundaryControl<ui::Button> {
public:
    using BoundaryControl::BoundaryControl;
    std::string Caption() const override {
        return Cross([&] { return inner_->Caption(); });
    }
};

class BoundaryComboBox final : public BoundaryControl<ui::ComboBox> {
public:
    using BoundaryControl::BoundaryControl;
    void Clear() override {
        Cross([&] { inner_->Clear(); });
    }
    void AddItem(const std::string& text) override {
        Cross([&] { inner_->AddItem(text); });
    }
    int ListCount() const override {
        return Cross([&] { return inner_->ListCount(); });
    }
    std::string List(int index) const override {
        return Cross([&] { return inner_->List(index); });
    }
    int ListIndex() const override {
        return Cross([&] { return inner_->ListIndex(); });
    }
    void SetListIndex(int index) override {
        Cross([&] { inner_->SetListIndex(index); });
    }
};

class BoundaryTextBox final : public BoundaryControl<ui::TextBox> {
public:
    using BoundaryControl::BoundaryControl;
    void Move(const ui::Rect& rect) override {
        Cross([&] { inner_->Move(rect); });
    }
    void SetText(const std::string& text) override {
        Cross([&] { inner_->SetText(text); });
    }
    std::string Text() const override {
        return Cross([&] { return inner_->Text(); });
    }
    void SetSelStart(int start) override {
        Cross([&] { inner_->SetSelStart(start); });
    }
    void SetSelLength(int length) override {
        Cross([&] { inner_->SetSelLength(length); });
    }
};

class BoundaryGrid final : public BoundaryControl<ui::Grid> {
public:
    using BoundaryControl::BoundaryControl;
    void Clear() override {
        Cross([&] { inner_->Clear(); });
    }
    void SetCols(int count) override {
        Cross([&] { inner_->SetCols(count); });
    }
    int Cols() const override {
        return Cross([&] { return inner_->Cols(); });
    }
    void SetRows(int count) override {
        Cross([&] { inner_->SetRows(count); });
    }
    int Rows() const override {
        return Cross([&] { return inner_->Rows(); });
    }
    void SetColWidth(int col, int twips) override {
        Cross([&] { inner_->SetColWidth(col, twips); });
    }
    int ColWidth(int col) const override {
        return Cross([&] { return inner_->ColWidth(col); });
    }
    void SetTextMatrix(int row, int col, const std::string& text) override {
        Cross([&] { inner_->SetTextMatrix(row, col, text); });
    }
    std::string TextMatrix(int row, int col) const override {
        return Cross([&] { return inner_->TextMatrix(row, col); });
    }
    int Row() const override {
        return Cross([&] { return inner_->Row(); });
    }
    void SetRow(int row) override {
        Cross([&] { inner_->SetRow(row); });
    }
    int Col() const override {
        return Cross([&] { return inner_->Col(); });
    }
    void SetCol(int col) override {
        Cross([&] { inner_->SetCol(col); });
    }
    int ColPos(int col) const override {
        return Cross([&] { return inner_->ColPos(col); });
    }
    int RowPos(int row) const override {
        return Cross([&] { return inner_->RowPos(row); });
    }
    int CellWidth() const override {
        return Cross([&] { return inner_->CellWidth(); });
    }
    int CellHeight() const override {
        return Cross([&] { return inner_->CellHeight(); });
    }
    int Left() const override {
        return Cross([&] { return inner_->Left(); });
    }
    int Top() const override {
        return Cross([&] { return inner_->Top(); });
    }
    double Width() const override {
        return Cross([&] { return inner_->Width(); });
    }
};

class BoundaryCommonDialog final : public ui::CommonDialog, Crossing {
public:
    BoundaryCommonDialog(std::unique_ptr<ui::CommonDialog> inner, Side side, FailureCarrier& carrier)
        : Crossing(side, carrier), inner_(std::move(inner)) {}
    void SetFilter(const std::string& filter) override {
        (*this)([&] { inner_->SetFilter(filter); });
    }
    void SetFlags(int32_t flags) override {
        (*this)([&] { inner_->SetFlags(flags); });
    }
    void ShowOpen() override {
        (*this)([&] { inner_->ShowOpen(); });
    }
    std::string FileName() const override {
        return const_cast<BoundaryCommonDialog&>(*this)([&] { return inner_->FileName(); });
    }

private:
    std::unique_ptr<ui::CommonDialog> inner_;
};

// A window, and the events of its inner window passed on to the events given to it, each control an
// event names turned into this adapter's own.
class BoundaryWindow final : public ui::Window, public ui::WindowEvents, Crossing {
public:
    BoundaryWindow(ui::WindowEvents& events, Side side, FailureCarrier& carrier)
        : Crossing(side, carrier), events_(events) {}
    ~BoundaryWindow() override {
        // The inner window goes first: its controls may still report as they end.
        inner_.reset();
    }

    void SetInner(std::unique_ptr<ui::Window> inner) { inner_ = std::move(inner); }

    ui::Label& AddLabel(const std::string& name, const ui::Rect& rect, const std::string& text, int tabIndex) override {
        return Add<BoundaryLabel>([&] { return &inner_->AddLabel(name, rect, text, tabIndex); });
    }
    ui::Button& AddButton(const std::string& name, const ui::Rect& rect, const std::string& caption,
                          int tabIndex) override {
        return Add<BoundaryButton>([&] { return &inner_->AddButton(name, rect, caption, tabIndex); });
    }
    ui::ComboBox& AddComboBox(const std::string& name, const ui::Rect& rect, int tabIndex) override {
        return Add<BoundaryComboBox>([&] { return &inner_->AddComboBox(name, rect, tabIndex); });
    }
    ui::TextBox& AddTextBox(const std::string& name, const ui::Rect& rect, int tabIndex) override {
        return Add<BoundaryTextBox>([&] { return &inner_->AddTextBox(name, rect, tabIndex); });
    }
    ui::Grid& AddGrid(const std::string& name, const ui::Rect& rect, int tabIndex) override {
        return Add<BoundaryGrid>([&] { return &inner_->AddGrid(name, rect, tabIndex); });
    }
    std::string Caption() const override {
        return Self()([&] { return inner_->Caption(); });
    }
    void ShowModal() override {
        (*this)([&] { inner_->ShowModal(); });
    }
    void Hide() override {
        (*this)([&] { inner_->Hide(); });
    }
    bool Visible() const override {
        return Self()([&] { return inner_->Visible(); });
    }
    void Unload() override {
        (*this)([&] { inner_->Unload(); });
        controls_.clear();
    }
    double TextWidth(const std::string& text) const override {
        return Self()([&] { return inner_->TextWidth(text); });
    }

    // The events come from the inner window, in this module, and go to the other side.
    void Click(ui::Control& control) override {
        Report([&] { events_.Click(Own(control)); });
    }
    void KeyDown(ui::Control& control, int& keyCode) override {
        Report([&] { events_.KeyDown(Own(control), keyCode); });
    }
    void FormKeyDown(int& keyCode) override {
        Report([&] { events_.FormKeyDown(keyCode); });
    }
    void GotFocus(ui::Control& control) override {
        Report([&] { events_.GotFocus(Own(control)); });
    }
    void LostFocus(ui::Control& control) override {
        Report([&] { events_.LostFocus(Own(control)); });
    }
    void CurrentCellChanged(ui::Grid& grid) override {
        Report([&] { events_.CurrentCellChanged(static_cast<ui::Grid&>(Own(grid))); });
    }
    void FrameClose() override {
        Report([&] { events_.FrameClose(); });
    }

private:
    Crossing& Self() const { return const_cast<BoundaryWindow&>(*this); }
    template <typename Call> void Report(Call&& call) { Cross(Opposite(side_), std::forward<Call>(call)); }

    template <typename Adapter, typename Make> auto Add(Make&& make) -> std::remove_pointer_t<decltype(make())>& {
        using Interface = std::remove_pointer_t<decltype(make())>;
        Interface* added = (*this)([&]() -> Interface* { return &Adopt<Adapter>(make()); });
        // Failed on the implementing side: the using side throws before it touches this stand-in.
        return added ? *added : Adopt<Adapter>(static_cast<Interface*>(nullptr));
    }
    template <typename Adapter, typename Interface> Interface& Adopt(Interface* inner) {
        auto adapter = std::make_unique<Adapter>(inner, side_, carrier_);
        Interface& adopted = *adapter;
        controls_.push_back({inner, std::move(adapter)});
        return adopted;
    }
    ui::Control& Own(ui::Control& inner) {
        for (auto& [control, adapter] : controls_)
            if (control == &inner) return *adapter;
        throw std::logic_error("an event names a control of no window");
    }

    ui::WindowEvents& events_;
    std::unique_ptr<ui::Window> inner_;
    std::vector<std::pair<const ui::Control*, std::unique_ptr<ui::Control>>> controls_;
};

} // namespace

BoundaryWindows::BoundaryWindows(ui::WindowSystem& windows)
    : windows_(windows), side_(Side::Implementing), carrier_(own_) {}

BoundaryWindows::BoundaryWindows(ui::WindowSystem& windows, Side side, FailureCarrier& carrier)
    : windows_(windows), side_(side), carrier_(carrier) {}

std::unique_ptr<BoundaryWindows> BoundaryWindows::Receive(BoundaryWindows& handed) {
    return std::unique_ptr<BoundaryWindows>(new BoundaryWindows(handed, Side::Using, handed.carrier_));
}

ui::Answer BoundaryWindows::MessageBox(const std::string& text, const std::string& title, ui::Icon icon,
                                       ui::Buttons buttons, ui::Answer defaultButton) {
    return Crossing(side_, carrier_)([&] { return windows_.MessageBox(text, title, icon, buttons, defaultButton); });
}

std::unique_ptr<ui::CommonDialog> BoundaryWindows::CreateCommonDialog() {
    return Crossing(side_, carrier_)([&]() -> std::unique_ptr<ui::CommonDialog> {
        return std::make_unique<BoundaryCommonDialog>(windows_.CreateCommonDialog(), side_, carrier_);
    });
}

std::unique_ptr<ui::Window> BoundaryWindows::CreateWindow(const std::string& caption, int clientWidth, int clientHeight,
                                                          ui::WindowEvents& events) {
    return Crossing(side_, carrier_)([&]() -> std::unique_ptr<ui::Window> {
        auto window = std::make_unique<BoundaryWindow>(events, side_, carrier_);
        window->SetInner(windows_.CreateWindow(caption, clientWidth, clientHeight, *window));
        return window;
    });
}

} // namespace quendra::com
