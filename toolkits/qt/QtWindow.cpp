// QtWindow: a window of the component as a Qt dialog, its controls as Qt widgets.
#include "QtWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace quendra::qt {

// The key codes the component's key handlers compare with.
int KeyCode(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return ui::keys::Enter;
    case Qt::Key_Escape:
        return ui::keys::Escape;
    case Qt::Key_Space:
        return ui::keys::Space;
    case Qt::Key_Left:
        return ui::keys::Left;
    case Qt::Key_Up:
        return ui::keys::Up;
    case Qt::Key_Right:
        return ui::keys::Right;
    case Qt::Key_Down:
        return ui::keys::Down;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Delete:
        return 46;
    default:
        if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) return qtKey;
        return qtKey & 0xFFFF;
    }
}

// What every control shares: its widget, its place in the tab order and how it takes keys.
class QtControl {
public:
    QtControl(QtWindow& window, std::string name, int tabIndex, QWidget* widget)
        : window_(window), name_(std::move(name)), tabIndex_(tabIndex), widget_(widget) {
        widget_->setObjectName(QString::fromStdString(name_));
    }
    virtual ~QtControl() = default;
    virtual ui::Control& AsControl() = 0;
    // The control's own handling of a key the form did not swallow; true when it is used up.
    virtual bool OwnKey(QKeyEvent* event) = 0;

    QWidget* Widget() const { return widget_; }
    int TabIndex() const { return tabIndex_; }
    bool CanFocus() const { return widget_->focusPolicy() != Qt::NoFocus && !widget_->isHidden(); }

protected:
    QtWindow& window_;
    std::string name_;
    int tabIndex_;
    QWidget* widget_;
};

namespace {

QString ToQt(const std::string& text) {
    return QString::fromStdString(text);
}

// Cell texts with the narrow margins the grid's column widths are measured for.
class NarrowCellStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_FocusFrameHMargin) return 0;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// The grid's columns are sized to its outer width, so the last one reaches under the frame by its
// width. Showing the current cell must not scroll sideways for those pixels: the grid keeps its
// first column at the left edge, as the program laid it out.
class FlexTable : public QTableWidget {
public:
    using QTableWidget::QTableWidget;
    void scrollTo(const QModelIndex& index, ScrollHint hint) override {
        QTableWidget::scrollTo(index, hint);
        horizontalScrollBar()->setValue(0);
    }
};

template <class Base> class Wrapped : public Base, public QtControl {
public:
    Wrapped(QtWindow& window, std::string name, int tabIndex, QWidget* widget)
        : QtControl(window, std::move(name), tabIndex, widget) {}
    ui::Control& AsControl() override { return *this; }
    const std::string& Name() const override { return name_; }
    bool Visible() const override { return !widget_->isHidden(); }
    void SetVisible(bool visible) override {
        if (visible == !widget_->isHidden()) return;
        widget_->setVisible(visible);
        if (visible) widget_->raise();
    }
    void SetFocus() override { window_.RequestFocus(*this); }
};

class QtLabel : public Wrapped<ui::Label> {
public:
    QtLabel(QtWindow& window, const std::string& name, int tabIndex, QLabel* label)
        : Wrapped(window, name, tabIndex, label), label_(label) {
        label_->setFocusPolicy(Qt::NoFocus);
    }
    void SetText(const std::string& text) override { label_->setText(ToQt(text)); }
    std::string Text() const override { return label_->text().toStdString(); }
    bool OwnKey(QKeyEvent*) override { return false; }

private:
    QLabel* label_;
};

class QtButton : public Wrapped<ui::Button> {
public:
    QtButton(QtWindow& window, const std::string& name, int tabIndex, QPushButton* button)
        : Wrapped(window, name, tabIndex, button), button_(button) {
        button_->setAutoDefault(false);
        button_->setDefault(false);
        QObject::connect(button_, &QPushButton::clicked, button_, [this] { window_.Events().Click(*this); });
    }
    std::string Caption() const override { return button_->text().toStdString(); }
    // Enter and Space press the focused button.
    bool OwnKey(QKeyEvent* event) override {
        int key = event->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            window_.Events().Click(*this);
            return true;
        }
        return key == Qt::Key_Escape;
    }

private:
    QPushButton* button_;
};

class QtComboBox : public Wrapped<ui::ComboBox> {
public:
    QtComboBox(QtWindow& window, const std::string& name, int tabIndex, QComboBox* combo)
        : Wrapped(window, name, tabIndex, combo), combo_(combo) {}
    void Clear() override { combo_->clear(); }
    void AddItem(const std::string& text) override { combo_->addItem(ToQt(text)); }
    int ListCount() const override { return combo_->count(); }
    std::string List(int index) const override {
        if (index < 0 || index >= combo_->count()) throw std::out_of_range("no entry " + std::to_string(index));
        return combo_->itemText(index).toStdString();
    }
    int ListIndex() const override { return combo_->currentIndex(); }
    void SetListIndex(int index) override {
        if (index < -1 || index >= combo_->count()) throw std::out_of_range("no entry " + std::to_string(index));
        combo_->setCurrentIndex(index);
    }
    bool OwnKey(QKeyEvent* event) override {
        int key = event->key();
        return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
    }

private:
    QComboBox* combo_;
};

class QtTextBox : public Wrapped<ui::TextBox> {
public:
    QtTextBox(QtWindow& window, const std::string& name, int tabIndex, QLineEdit* edit)
        : Wrapped(window, name, tabIndex, edit), edit_(edit) {
        edit_->setFrame(false);
    }
    void Move(const ui::Rect& rect) override {
        edit_->setGeometry(window_.Pixels(rect.left), window_.Pixels(rect.top), window_.Pixels(rect.width),
                           window_.Pixels(rect.height));
    }
    void SetText(const std::string& text) override { edit_->setText(ToQt(text)); }
    std::string Text() const override { return edit_->text().toStdString(); }
    void SetSelStart(int start) override {
        selStart_ = std::clamp(start, 0, static_cast<int>(edit_->text().size()));
        edit_->setCursorPosition(selStart_);
    }
    void SetSelLength(int length) override { edit_->setSelection(selStart_, length); }
    bool OwnKey(QKeyEvent* event) override {
        int key = event->key();
        return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
    }

private:
    QLineEdit* edit_;
    int selStart_ = 0;
};

class QtGrid : public Wrapped<ui::Grid> {
public:
    QtGrid(QtWindow& window, const std::string& name, int tabIndex, QTableWidget* table, const ui::Rect& rect)
        : Wrapped(window, name, tabIndex, table), table_(table), rect_(rect) {
        auto* style = new NarrowCellStyle;
        style->setParent(table_);
        table_->setStyle(style);
        table_->horizontalHeader()->hide();
        table_->verticalHeader()->hide();
        table_->horizontalHeader()->setMinimumSectionSize(0);
        table_->verticalHeader()->setMinimumSectionSize(0);
        table_->verticalHeader()->setDefaultSectionSize(
            std::max(window.Pixels(240), table_->fontMetrics().height() + 4));
        table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table_->setSelectionMode(QAbstractItemView::SingleSelection);
        table_->setTabKeyNavigation(false);
        table_->setWordWrap(false);
        QObject::connect(table_, &QTableWidget::currentCellChanged, table_, [this](int row, int col, int, int) {
            if (row < 0 || col < 0 || (row == row_ && col == col_)) return;
            row_ = row;
            col_ = col;
            window_.Events().CurrentCellChanged(*this);
        });
        QObject::connect(table_, &QTableWidget::cellClicked, table_,
                         [this](int, int) { window_.Events().Click(*this); });
    }
    void Clear() override {
        for (int r = 0; r < table_->rowCount(); ++r)
            for (int c = 0; c < table_->columnCount(); ++c)
                if (auto* item = table_->item(r, c)) item->setText(QString());
    }
    void SetCols(int count) override {
        if (count < 0) throw std::out_of_range("column count " + std::to_string(count));
        QSignalBlocker blocker(table_);
        table_->setColumnCount(count);
        col_ = std::clamp(col_, 0, std::max(count - 1, 0));
        Sync();
    }
    int Cols() const override { return table_->columnCount(); }
    void SetRows(int count) override {
        if (count < 0) throw std::out_of_range("row count " + std::to_string(count));
        QSignalBlocker blocker(table_);
        table_->setRowCount(count);
        row_ = std::clamp(row_, 0, std::max(count - 1, 0));
        Sync();
    }
    int Rows() const override { return table_->rowCount(); }
    void SetColWidth(int col, int twips) override {
        table_->setColumnWidth(CheckCol(col), window_.Pixels(std::max(twips, 0)));
    }
    int ColWidth(int col) const override { return window_.Twips(table_->columnWidth(CheckCol(col))); }
    void SetTextMatrix(int row, int col, const std::string& text) override {
        CheckRow(row);
        CheckCol(col);
        auto* item = table_->item(row, col);
        if (!item) {
            item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            table_->setItem(row, col, item);
        }
        item->setText(ToQt(text));
    }
    std::string TextMatrix(int row, int col) const override {
        CheckRow(row);
        CheckCol(col);
        auto* item = table_->item(row, col);
        return item ? item->text().toStdString() : std::string();
    }
    int Row() const override { return row_; }
    void SetRow(int row) override { MoveTo(CheckRow(row), col_); }
    int Col() const override { return col_; }
    void SetCol(int col) override { MoveTo(row_, CheckCol(col)); }
    int ColPos(int col) const override {
        return window_.Twips(table_->columnViewportPosition(CheckCol(col)) + table_->viewport()->x());
    }
    int RowPos(int row) const override {
        return window_.Twips(table_->rowViewportPosition(CheckRow(row)) + table_->viewport()->y());
    }
    // The cell as it shows, inside the grid lines that follow it.
    int CellWidth() const override { return window_.Twips(table_->columnWidth(col_) - GridLine()); }
    int CellHeight() const override { return window_.Twips(table_->rowHeight(row_) - GridLine()); }
    int Left() const override { return rect_.left; }
    int Top() const override { return rect_.top; }
    double Width() const override { return rect_.width; }
    // Arrows and paging move the current cell; other keys do nothing in a grid.
    bool OwnKey(QKeyEvent* event) override {
        switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            return false;
        default:
            return true;
        }
    }

private:
    int CheckRow(int row) const {
        if (row < 0 || row >= table_->rowCount()) throw std::out_of_range("no row " + std::to_string(row));
        return row;
    }
    int CheckCol(int col) const {
        if (col < 0 || col >= table_->columnCount()) throw std::out_of_range("no column " + std::to_string(col));
        return col;
    }
    int GridLine() const { return table_->showGrid() ? 1 : 0; }
    void Sync() {
        if (row_ < table_->rowCount() && col_ < table_->columnCount()) table_->setCurrentCell(row_, col_);
    }
    // A change of the current cell by the program is reported as one by the user is.
    void MoveTo(int row, int col) {
        if (row == row_ && col == col_) return;
        row_ = row;
        col_ = col;
        {
            QSignalBlocker blocker(table_);
            table_->setCurrentCell(row, col);
        }
        window_.Events().CurrentCellChanged(*this);
    }

    QTableWidget* table_;
    ui::Rect rect_;
    int row_ = 0;
    int col_ = 0;
};

template <class T> T* FirstOf(const std::vector<std::unique_ptr<QtControl>>& controls) {
    for (const auto& control : controls)
        if (auto* found = dynamic_cast<T*>(control.get())) return found;
    return nullptr;
}

// The names scripts give the keys a window may close on.
std::string KeyName(int keyCode) {
    switch (keyCode) {
    case ui::keys::Enter:
        return "Enter";
    case ui::keys::Escape:
        return "Escape";
    case ui::keys::Space:
        return "Space";
    case ui::keys::Left:
        return "Left";
    case ui::keys::Up:
        return "Up";
    case ui::keys::Right:
        return "Right";
    case ui::keys::Down:
        return "Down";
    case 9:
        return "Tab";
    default:
        return std::to_string(keyCode);
    }
}

} // namespace

// The controls' events on their way to the form, noting the first one after which the window is gone.
class EventTap : public ui::WindowEvents {
public:
    enum class Way { Open, Button, Key, Frame };

    EventTap(QtWindow& window, ui::WindowEvents& form) : window_(window), form_(form) {}
    void Reset() {
        way = Way::Open;
        detail.clear();
    }

    void Click(ui::Control& control) override {
        // Read before the form runs: it may unload the window and its buttons.
        auto* button = dynamic_cast<ui::Button*>(&control);
        std::string caption = button ? button->Caption() : std::string();
        form_.Click(control);
        if (button) Left(Way::Button, caption);
    }
    void KeyDown(ui::Control& control, int& keyCode) override {
        int pressed = keyCode;
        form_.KeyDown(control, keyCode);
        Left(Way::Key, KeyName(pressed));
    }
    void FormKeyDown(int& keyCode) override {
        int pressed = keyCode;
        form_.FormKeyDown(keyCode);
        Left(Way::Key, KeyName(pressed));
    }
    void GotFocus(ui::Control& control) override { form_.GotFocus(control); }
    void LostFocus(ui::Control& control) override { form_.LostFocus(control); }
    void CurrentCellChanged(ui::Grid& grid) override { form_.CurrentCellChanged(grid); }
    // The window hides after the form has heard of it.
    void FrameClose() override {
        form_.FrameClose();
        if (way == Way::Open) way = Way::Frame;
    }

    Way way = Way::Open;
    std::string detail; // Button: its caption; Key: the key's name

private:
    void Left(Way how, const std::string& what) {
        if (way != Way::Open || window_.Visible()) return;
        way = how;
        detail = what;
    }

    QtWindow& window_;
    ui::WindowEvents& form_;
};

// Focus and key events of the controls, turned into the form's events.
class EventRouter : public QObject {
public:
    explicit EventRouter(QtWindow& window) : window_(window) {}
    void Watch(QtControl& control) {
        controls_[control.Widget()] = &control;
        control.Widget()->installEventFilter(this);
    }
    bool enabled = true;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto found = controls_.find(watched);
        if (!enabled || found == controls_.end()) return false;
        QtControl& control = *found->second;
        switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut: {
            // Switching applications or opening a popup does not move the focus inside the window.
            auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return false;
            if (event->type() == QEvent::FocusIn) {
                window_.Events().GotFocus(control.AsControl());
            } else {
                window_.Events().LostFocus(control.AsControl());
            }
            return false;
        }
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) return false;
            int code = KeyCode(key->key());
            window_.Events().KeyDown(control.AsControl(), code);
            if (code == 0 || !window_.Visible() || QApplication::focusWidget() != control.Widget()) return true;
            return control.OwnKey(key);
        }
        default:
            return false;
        }
    }

private:
    QtWindow& window_;
    std::map<QObject*, QtControl*> controls_;
};

// The dialog itself: closing by the frame goes to the form, and so do the keys pressed while the
// window has the focus and none of its controls has it. Escape and Enter do nothing else here.
class FormDialog : public QDialog {
public:
    explicit FormDialog(QtWindow& window) : window_(window) {}

protected:
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        window_.FrameClose();
    }
    void keyPressEvent(QKeyEvent* event) override {
        QWidget* focused = QApplication::focusWidget();
        if (!focused || focused == this || !isAncestorOf(focused)) {
            int code = KeyCode(event->key());
            window_.Events().FormKeyDown(code);
            if (code == 0 || !window_.Visible()) return;
        }
        int key = event->key();
        if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) return;
        QDialog::keyPressEvent(event);
    }

private:
    QtWindow& window_;
};

QtWindow::QtWindow(const std::string& caption, int clientWidth, int clientHeight, ui::WindowEvents& events,
                   double twipsPerPixel, std::function<void(QDialog&)> beforeModal, WindowLog& log)
    : tap_(std::make_unique<EventTap>(*this, events)), log_(log), twipsPerPixel_(twipsPerPixel),
      beforeModal_(std::move(beforeModal)), dialog_(new FormDialog(*this)),
      router_(std::make_unique<EventRouter>(*this)) {
    dialog_->setWindowTitle(ToQt(caption));
    // The windows are laid out for an 8-point sans serif; their controls share the window's font.
    QFont font = dialog_->font();
    font.setPointSizeF(8);
    dialog_->setFont(font);
    dialog_->setFixedSize(Pixels(clientWidth), Pixels(clientHeight));
}

QtWindow::~QtWindow() {
    Destroy();
}

template <class T> T& QtWindow::Add(std::unique_ptr<T> control, int) {
    T& added = *control;
    router_->Watch(added);
    controls_.push_back(std::move(control));
    // The focus follows the tab indexes.
    std::vector<QtControl*> order;
    for (const auto& c : controls_)
        if (c->Widget()->focusPolicy() != Qt::NoFocus) order.push_back(c.get());
    std::stable_sort(order.begin(), order.end(),
                     [](const QtControl* a, const QtControl* b) { return a->TabIndex() < b->TabIndex(); });
    for (size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1]->Widget(), order[i]->Widget());
    return added;
}

ui::Label& QtWindow::AddLabel(const std::string& name, const ui::Rect& rect, const std::string& text, int tabIndex) {
    auto* label = new QLabel(ToQt(text), dialog_);
    label->setGeometry(Pixels(rect.left), Pixels(rect.top), Pixels(rect.width), Pixels(rect.height));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return Add(std::make_unique<QtLabel>(*this, name, tabIndex, label), tabIndex);
}

ui::Button& QtWindow::AddButton(const std::string& name, const ui::Rect& rect, const std::string& caption,
                                int tabIndex) {
    auto* button = new QPushButton(ToQt(caption), dialog_);
    button->setGeometry(Pixels(rect.left), Pixels(rect.top), Pixels(rect.width), Pixels(rect.height));
    return Add(std::make_unique<QtButton>(*this, name, tabIndex, button), tabIndex);
}

ui::ComboBox& QtWindow::AddComboBox(const std::string& name, const ui::Rect& rect, int tabIndex) {
    auto* combo = new QComboBox(dialog_);
    combo->setGeometry(Pixels(rect.left), Pixels(rect.top), Pixels(rect.width),
                       std::max(Pixels(rect.height), combo->sizeHint().height()));
    return Add(std::make_unique<QtComboBox>(*this, name, tabIndex, combo), tabIndex);
}

ui::TextBox& QtWindow::AddTextBox(const std::string& name, const ui::Rect& rect, int tabIndex) {
    auto* edit = new QLineEdit(dialog_);
    edit->setGeometry(Pixels(rect.left), Pixels(rect.top), Pixels(rect.width), Pixels(rect.height));
    return Add(std::make_unique<QtTextBox>(*this, name, tabIndex, edit), tabIndex);
}

ui::Grid& QtWindow::AddGrid(const std::string& name, const ui::Rect& rect, int tabIndex) {
    auto* table = new FlexTable(dialog_);
    table->setGeometry(Pixels(rect.left), Pixels(rect.top), Pixels(rect.width), Pixels(rect.height));
    return Add(std::make_unique<QtGrid>(*this, name, tabIndex, table, rect), tabIndex);
}

std::string QtWindow::Caption() const {
    return dialog_ ? dialog_->windowTitle().toStdString() : std::string();
}

void QtWindow::ShowModal() {
    if (!dialog_) throw std::logic_error("the window is unloaded");
    QtControl* first = pendingFocus_ && pendingFocus_->CanFocus() ? pendingFocus_ : nullptr;
    pendingFocus_ = nullptr;
    if (!first) {
        for (const auto& control : controls_)
            if (control->CanFocus() && (!first || control->TabIndex() < first->TabIndex())) first = control.get();
    }
    if (first) first->Widget()->setFocus(Qt::OtherFocusReason);
    tap_->Reset();
    auto shown = Record();
    auto* combo = FirstOf<QtComboBox>(controls_);
    int shownIndex = combo ? combo->ListIndex() : -1;
    size_t place = log_.Shown(shown);
    QDialog* dialog = dialog_;
    QTimer::singleShot(0, dialog, [this, dialog] {
        dialog->activateWindow();
        if (beforeModal_) beforeModal_(*dialog);
    });
    dialog_->exec();
    log_.Answered(place, AnswerGiven(shown, shownIndex));
}

// What the window shows, as the scripted toolkit notes it: the first label, grid and list.
scripted::WindowRecord QtWindow::Record() const {
    scripted::WindowRecord record;
    record.kind = scripted::WindowRecord::Kind::Window;
    record.title = Caption();
    if (auto* label = FirstOf<QtLabel>(controls_)) record.text = label->Text();
    if (auto* grid = FirstOf<QtGrid>(controls_); grid && grid->Cols() >= 2)
        for (int r = 0; r < grid->Rows(); ++r) record.rows.emplace_back(grid->TextMatrix(r, 0), grid->TextMatrix(r, 1));
    if (auto* combo = FirstOf<QtComboBox>(controls_))
        for (int i = 0; i < combo->ListCount(); ++i) record.choices.push_back(combo->List(i));
    return record;
}

// A button leaves the grid's changed values or the list's entry with it. A key that leaves a
// list changed stands for the window's first button, as Enter in the file type list does.
scripted::Answer QtWindow::AnswerGiven(const scripted::WindowRecord& shown, int shownIndex) const {
    using Kind = scripted::Answer::Kind;
    scripted::Answer answer;
    answer.kind = Kind::Close;
    auto* grid = FirstOf<QtGrid>(controls_);
    auto* combo = FirstOf<QtComboBox>(controls_);
    auto choose = [&](const std::string& button) {
        answer.kind = Kind::Choose;
        answer.button = button;
        if (combo->ListIndex() >= 0) answer.choose = combo->List(combo->ListIndex());
    };
    switch (tap_->way) {
    case EventTap::Way::Button:
        answer.kind = Kind::Button;
        answer.button = tap_->detail;
        if (grid && grid->Cols() >= 2) {
            for (int r = 0; r < grid->Rows() && r < static_cast<int>(shown.rows.size()); ++r) {
                std::string now = grid->TextMatrix(r, 1);
                if (now != shown.rows[static_cast<size_t>(r)].second)
                    answer.set.emplace_back(shown.rows[static_cast<size_t>(r)].first, now);
            }
            if (!answer.set.empty()) answer.kind = Kind::Set;
        } else if (combo) {
            choose(tap_->detail);
        }
        break;
    case EventTap::Way::Key:
        answer.kind = Kind::Key;
        answer.key = tap_->detail;
        if (combo && combo->ListIndex() != shownIndex) {
            std::vector<QtControl*> buttons;
            for (const auto& control : controls_)
                if (dynamic_cast<QtButton*>(control.get())) buttons.push_back(control.get());
            auto first = std::min_element(buttons.begin(), buttons.end(), [](const QtControl* a, const QtControl* b) {
                return a->TabIndex() < b->TabIndex();
            });
            if (first != buttons.end()) choose(dynamic_cast<QtButton*>(*first)->Caption());
        }
        break;
    case EventTap::Way::Frame:
    case EventTap::Way::Open:
        break;
    }
    return answer;
}

void QtWindow::Hide() {
    if (dialog_) dialog_->hide();
}

bool QtWindow::Visible() const {
    return dialog_ && dialog_->isVisible();
}

void QtWindow::Unload() {
    Destroy();
}

double QtWindow::TextWidth(const std::string& text) const {
    if (!dialog_) throw std::logic_error("the window is unloaded");
    return QFontMetricsF(dialog_->font()).horizontalAdvance(ToQt(text)) * twipsPerPixel_;
}

int QtWindow::Pixels(int twips) const {
    return static_cast<int>(std::lround(twips / twipsPerPixel_));
}

int QtWindow::Twips(int pixels) const {
    return static_cast<int>(std::lround(pixels * twipsPerPixel_));
}

void QtWindow::RequestFocus(QtControl& control) {
    if (!Visible()) {
        pendingFocus_ = &control;
        return;
    }
    if (control.CanFocus()) control.Widget()->setFocus(Qt::OtherFocusReason);
}

void QtWindow::FrameClose() {
    if (!Visible()) return;
    tap_->FrameClose();
    Hide();
}

ui::WindowEvents& QtWindow::Events() {
    return *tap_;
}

// The controls' events stop before the widgets go, so no form hears of a dying widget.
void QtWindow::Destroy() {
    if (!dialog_) return;
    router_->enabled = false;
    pendingFocus_ = nullptr;
    for (const auto& control : controls_) QObject::disconnect(control->Widget(), nullptr, nullptr, nullptr);
    delete dialog_;
    dialog_ = nullptr;
    controls_.clear();
}

} // namespace quendra::qt
