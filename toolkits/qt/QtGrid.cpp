// QtGrid: the grid as a Qt table; the form moves its edit box over the current cell.
// SPDX-License-Identifier: Apache-2.0
#include "QtControls.h"

#include "GridCells.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QProxyStyle>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>

#include <algorithm>

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
            if (row >= 0 && col >= 0 && cells_.MoveTo(row, col)) window_.Events().CurrentCellChanged(*this);
        });
        QObject::connect(table_, &QTableWidget::cellClicked, table_,
                         [this](int, int) { window_.Events().Click(*this); });
    }
    void Clear() override {
        cells_.Clear();
        for (int r = 0; r < table_->rowCount(); ++r)
            for (int c = 0; c < table_->columnCount(); ++c)
                if (auto* item = table_->item(r, c)) item->setText(QString());
    }
    void SetCols(int count) override {
        cells_.SetCols(count);
        QSignalBlocker blocker(table_);
        table_->setColumnCount(count);
        Sync();
    }
    int Cols() const override { return cells_.Cols(); }
    void SetRows(int count) override {
        cells_.SetRows(count);
        QSignalBlocker blocker(table_);
        table_->setRowCount(count);
        Sync();
    }
    int Rows() const override { return cells_.Rows(); }
    // The widths are the table's own, as it shows them.
    void SetColWidth(int col, int twips) override {
        table_->setColumnWidth(cells_.CheckCol(col), window_.Pixels(std::max(twips, 0)));
    }
    int ColWidth(int col) const override { return window_.Twips(table_->columnWidth(cells_.CheckCol(col))); }
    void SetTextMatrix(int row, int col, const std::string& text) override {
        cells_.SetText(row, col, text);
        auto* item = table_->item(row, col);
        if (!item) {
            item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            table_->setItem(row, col, item);
        }
        item->setText(ToQt(text));
    }
    std::string TextMatrix(int row, int col) const override { return cells_.Text(row, col); }
    int Row() const override { return cells_.Row(); }
    void SetRow(int row) override { MoveTo(cells_.CheckRow(row), cells_.Col()); }
    int Col() const override { return cells_.Col(); }
    void SetCol(int col) override { MoveTo(cells_.Row(), cells_.CheckCol(col)); }
    int ColPos(int col) const override {
        return window_.Twips(table_->columnViewportPosition(cells_.CheckCol(col)) + table_->viewport()->x());
    }
    int RowPos(int row) const override {
        return window_.Twips(table_->rowViewportPosition(cells_.CheckRow(row)) + table_->viewport()->y());
    }
    // The cell as it shows, inside the grid lines that follow it.
    int CellWidth() const override { return window_.Twips(table_->columnWidth(cells_.Col()) - GridLine()); }
    int CellHeight() const override { return window_.Twips(table_->rowHeight(cells_.Row()) - GridLine()); }
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
    int GridLine() const { return table_->showGrid() ? 1 : 0; }
    void Sync() {
        if (cells_.Row() < Rows() && cells_.Col() < Cols()) table_->setCurrentCell(cells_.Row(), cells_.Col());
    }
    // A change of the current cell by the program is reported as one by the user is.
    void MoveTo(int row, int col) {
        if (!cells_.MoveTo(row, col)) return;
        {
            QSignalBlocker blocker(table_);
            table_->setCurrentCell(row, col);
        }
        window_.Events().CurrentCellChanged(*this);
    }

    QTableWidget* table_;
    ui::Rect rect_;
    grid::GridCells cells_{0}; // the texts and the current cell; the table keeps the widths
};

} // namespace

ui::Grid& QtWindow::AddGrid(const std::string& name, const ui::Rect& rect, int tabIndex) {
    auto* table = new FlexTable(dialog_);
    table->setGeometry(Pixels(rect.left), Pixels(rect.top), Pixels(rect.width), Pixels(rect.height));
    return Add(std::make_unique<QtGrid>(*this, name, tabIndex, table, rect));
}

} // namespace quendra::qt
