#pragma once

#include <optional>
#include <vector>

// Where the cells of an HTML table land in its grid, worked out apart from
// any text document so it can be tested on its own.

// Larger grids are read as plain blocks.
constexpr int MaxTableCells = 20000;
// A colspan is at most this, as in HTML.
constexpr int MaxSpan = 1000;

// A cell as its row lists it: the rowspan and colspan its attributes give
// (as read by QString::toInt, so 0 when absent or not a number).
struct TCellSpans {
  int RowSpan = 0;
  int ColumnSpan = 0;
};

// A cell's slot: its top-left row and column and the spans it covers.
// A row without cells of its own has one entry with Column -1 (its chain
// still has to come from somewhere).
struct TPlacedCell {
  int Row = 0;
  int Column = 0;
  int RowSpan = 1;
  int ColumnSpan = 1;
  bool operator==(const TPlacedCell&) const = default;
};

struct TTableGrid {
  std::vector<TPlacedCell> Cells; // row by row, in the order the rows list them
  int Columns = 0;
};

// Places cells as HTML tables do: each cell takes the next column of its
// row that no cell from a row above covers; a rowspan reaches at most to
// the last row, a colspan at most MaxSpan, and 0 counts as 1. Rows and
// columns left uncovered stay empty. std::nullopt when the grid (or the
// count of entries) grows beyond maxCells, checked as the cells are placed
// so a huge table costs no more than the limit.
std::optional<TTableGrid> PlaceTableCells(const std::vector<std::vector<TCellSpans>>& rows,
                                          int maxCells = MaxTableCells);
