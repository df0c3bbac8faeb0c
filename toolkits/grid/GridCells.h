// GridCells: what a grid keeps whatever draws it: the texts of its cells, the widths of its columns and the
// current cell, with the checks of a row or column the program names. A toolkit draws from it and reports a
// change of the current cell where MoveTo says there was one.
// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <algorithm>
#include <cstddef>
#include <numeric>
#include <stdexcept>
#include <string>
#include <vector>

namespace quendra::grid {

class GridCells {
public:
    // A new column's width, in the toolkit's unit.
    explicit GridCells(int defaultWidth) : defaultWidth_(defaultWidth) {}

    void Clear() {
        for (auto& row : texts_) std::fill(row.begin(), row.end(), std::string());
    }
    // Fewer rows or columns keep the current cell inside the grid.
    void SetCols(int count) {
        if (count < 0) throw std::out_of_range("column count " + std::to_string(count));
        widths_.resize(static_cast<size_t>(count), defaultWidth_);
        for (auto& row : texts_) row.resize(static_cast<size_t>(count));
        col_ = std::clamp(col_, 0, std::max(count - 1, 0));
    }
    void SetRows(int count) {
        if (count < 0) throw std::out_of_range("row count " + std::to_string(count));
        texts_.resize(static_cast<size_t>(count), std::vector<std::string>(widths_.size()));
        row_ = std::clamp(row_, 0, std::max(count - 1, 0));
    }
    int Rows() const { return static_cast<int>(texts_.size()); }
    int Cols() const { return static_cast<int>(widths_.size()); }

    int Width(int col) const { return widths_[ColIndex(col)]; }
    void SetWidth(int col, int width) { widths_[ColIndex(col)] = std::max(width, 0); }
    // The left edge of the column, from the grid's first.
    int Left(int col) const {
        return std::accumulate(widths_.begin(), widths_.begin() + static_cast<std::ptrdiff_t>(ColIndex(col)), 0);
    }
    const std::string& Text(int row, int col) const { return texts_[RowIndex(row)][ColIndex(col)]; }
    void SetText(int row, int col, const std::string& text) { texts_[RowIndex(row)][ColIndex(col)] = text; }

    int Row() const { return row_; }
    int Col() const { return col_; }
    // Makes the cell current; false when it already was.
    bool MoveTo(int row, int col) {
        if (row == row_ && col == col_) return false;
        row_ = row;
        col_ = col;
        return true;
    }

    // The row or column, when the grid has it.
    int CheckRow(int row) const {
        if (row < 0 || row >= Rows()) throw std::out_of_range("no row " + std::to_string(row));
        return row;
    }
    int CheckCol(int col) const {
        if (col < 0 || col >= Cols()) throw std::out_of_range("no column " + std::to_string(col));
        return col;
    }

private:
    size_t RowIndex(int row) const { return static_cast<size_t>(CheckRow(row)); }
    size_t ColIndex(int col) const { return static_cast<size_t>(CheckCol(col)); }

    int defaultWidth_;
    std::vector<std::vector<std::string>> texts_; // [row][col]
    std::vector<int> widths_;
    int row_ = 0;
    int col_ = 0;
};

} // namespace quendra::grid
