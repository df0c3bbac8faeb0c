// QtGrid: the grid as a Qt table; the form moves its edit box over the current cell.
// SPDX-License-Identifier: Apache-2.0
#include "QtControls.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QProxyStyle>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>

#include <algorithm>
#include <stdexcept>

namespace quendra::qt {

namespace {

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

} // namespace

ui::Grid& QtWindow::AddGrid(const std::string& name, const ui::Rect& rect, int tabIndex) {
    auto* table = new FlexTable(dialog_);
    table->setGeometry(Pixels(rect.left), Pixels(rect.top), Pixels(rect.width), Pixels(rect.height));
    return Add(std::make_unique<QtGrid>(*this, name, tabIndex, table, rect));
}

} // namespace quendra::qt
