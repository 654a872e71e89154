#include "ui/pane/engine/table_grid.h"

#include <algorithm>
#include <cstddef>

std::optional<TTableGrid> PlaceTableCells(const std::vector<std::vector<TCellSpans>>& rows,
                                          int maxCells) {
  TTableGrid grid;
  // Slots taken so far, by row; rows grow as cells reach into them.
  std::vector<std::vector<bool>> taken(rows.size());
  for (std::size_t r = 0; r < rows.size(); ++r) {
    int column = 0;
    for (const TCellSpans& spans : rows[r]) {
      TPlacedCell cell;
      cell.RowSpan = std::clamp(spans.RowSpan, 1, static_cast<int>(rows.size() - r));
      cell.ColumnSpan = std::clamp(spans.ColumnSpan, 1, MaxSpan);
      while (column < static_cast<int>(taken[r].size()) &&
             taken[r][static_cast<std::size_t>(column)])
        ++column;
      cell.Row = static_cast<int>(r);
      cell.Column = column;
      // Checked before the cell's slots are marked, so a row of cells that
      // each span the whole table costs no more than the limit either.
      if (rows.size() * static_cast<std::size_t>(column + cell.ColumnSpan) >
          static_cast<std::size_t>(maxCells))
        return std::nullopt;
      for (int dr = 0; dr < cell.RowSpan; ++dr) {
        auto& line = taken[r + static_cast<std::size_t>(dr)];
        if (line.size() < static_cast<std::size_t>(column + cell.ColumnSpan))
          line.resize(static_cast<std::size_t>(column + cell.ColumnSpan), false);
        for (int dc = 0; dc < cell.ColumnSpan; ++dc)
          line[static_cast<std::size_t>(column + dc)] = true;
      }
      column += cell.ColumnSpan;
      grid.Columns = std::max(grid.Columns, column);
      grid.Cells.push_back(cell);
      if (static_cast<long long>(grid.Cells.size()) > maxCells)
        return std::nullopt;
    }
    if (rows.size() * static_cast<std::size_t>(std::max(grid.Columns, 1)) >
        static_cast<std::size_t>(maxCells))
      return std::nullopt;
    if (rows[r].empty())
      grid.Cells.push_back(TPlacedCell{static_cast<int>(r), -1, 1, 1});
  }
  return grid;
}
