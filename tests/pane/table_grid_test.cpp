#include "ui/pane/engine/table_grid.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>

// Found by argument-dependent lookup, so it lives beside TPlacedCell.
void PrintTo(const TPlacedCell& cell, std::ostream* out) {
  *out << '{' << cell.Row << ", " << cell.Column << ", " << cell.RowSpan << ", " << cell.ColumnSpan
       << '}';
}

namespace {

using TRows = std::vector<std::vector<TCellSpans>>;
using TCells = std::vector<TPlacedCell>;

// Rows of {rowspan, colspan} as the attributes give them, and the slots
// HTML puts the cells in: {row, column, rowspan, colspan}, in list order.
struct TPlacementCase {
  const char* Name;
  TRows Rows;
  bool Fits;
  TCells Cells;
  int Columns;
  int MaxCells = MaxTableCells;
};

void PrintTo(const TPlacementCase& row, std::ostream* out) {
  *out << row.Name;
}

class TTablePlacementTest : public ::testing::TestWithParam<TPlacementCase> {};

TEST_P(TTablePlacementTest, PlacesCellsAsHtmlTablesDo) {
  const TPlacementCase& row = GetParam();
  const std::optional<TTableGrid> grid = PlaceTableCells(row.Rows, row.MaxCells);
  ASSERT_EQ(grid.has_value(), row.Fits);
  if (!grid)
    return;
  EXPECT_EQ(grid->Cells, row.Cells);
  EXPECT_EQ(grid->Columns, row.Columns);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TTablePlacementTest,
    ::testing::Values(
        TPlacementCase{"OneCellPerSlot",
                       {{{0, 0}, {0, 0}}, {{0, 0}, {0, 0}}},
                       true,
                       {{0, 0, 1, 1}, {0, 1, 1, 1}, {1, 0, 1, 1}, {1, 1, 1, 1}},
                       2},
        TPlacementCase{"ColspanWidensItsRow",
                       {{{1, 2}, {1, 1}}, {{1, 1}}},
                       true,
                       {{0, 0, 1, 2}, {0, 2, 1, 1}, {1, 0, 1, 1}},
                       3},
        TPlacementCase{"RowspanPushesTheNextRowRight",
                       {{{2, 1}, {1, 1}}, {{1, 1}}},
                       true,
                       {{0, 0, 2, 1}, {0, 1, 1, 1}, {1, 1, 1, 1}},
                       2},
        TPlacementCase{"CellsSkipASlotTakenFromAbove",
                       {{{1, 1}, {2, 1}, {1, 1}}, {{1, 1}, {1, 1}}},
                       true,
                       {{0, 0, 1, 1}, {0, 1, 2, 1}, {0, 2, 1, 1}, {1, 0, 1, 1}, {1, 2, 1, 1}},
                       3},
        TPlacementCase{
            "RowspanReachesTwoRowsDown",
            {{{1, 1}, {3, 1}}, {{1, 1}, {1, 1}}, {{1, 1}, {1, 1}}},
            true,
            {{0, 0, 1, 1}, {0, 1, 3, 1}, {1, 0, 1, 1}, {1, 2, 1, 1}, {2, 0, 1, 1}, {2, 2, 1, 1}},
            3},
        TPlacementCase{"RowspanStopsAtTheLastRow",
                       {{{5, 1}}, {{1, 1}}},
                       true,
                       {{0, 0, 2, 1}, {1, 1, 1, 1}},
                       2},
        TPlacementCase{"ZeroOrNegativeSpansCountAsOne",
                       {{{0, 0}, {-3, -1}}},
                       true,
                       {{0, 0, 1, 1}, {0, 1, 1, 1}},
                       2},
        TPlacementCase{"ColspanAtMostMaxSpan", {{{1, 5000}}}, true, {{0, 0, 1, MaxSpan}}, MaxSpan},
        TPlacementCase{"RowWithoutCellsKeepsAnEntry",
                       {{{1, 1}}, {}, {{1, 1}}},
                       true,
                       {{0, 0, 1, 1}, {1, -1, 1, 1}, {2, 0, 1, 1}},
                       1},
        TPlacementCase{"RowCoveredFromAboveHasNoCellOfItsOwn",
                       {{{2, 1}}, {}},
                       true,
                       {{0, 0, 2, 1}, {1, -1, 1, 1}},
                       1},
        TPlacementCase{"NoRows", {}, true, {}, 0},
        TPlacementCase{"GridAtTheLimitFits",
                       {{{1, 1}, {1, 1}}, {{1, 1}, {1, 1}}},
                       true,
                       {{0, 0, 1, 1}, {0, 1, 1, 1}, {1, 0, 1, 1}, {1, 1, 1, 1}},
                       2,
                       4},
        TPlacementCase{"GridBeyondTheLimit", {{{1, 1}, {1, 1}, {1, 1}}, {{1, 1}}}, false, {}, 0, 4},
        TPlacementCase{"WideColspanBeyondTheLimit", {{{1, 3}}, {{1, 1}}}, false, {}, 0, 5},
        TPlacementCase{"MoreCellsThanTheLimit", {{{1, 1}, {1, 1}, {1, 1}}}, false, {}, 0, 2}),
    [](const auto& row) { return std::string(row.param.Name); });

// A file can ask for any spans: a first row of cells that each cover every
// row and the widest span would mark 20,000 x 1,000 slots per cell, for
// 20,000 cells, if the limit were only checked at the end of the row.
TEST(TablePlacement, SpansOverTheWholeTableEndAtTheLimitNotAfterTheRow) {
  TRows rows(MaxTableCells);
  rows.front().assign(MaxTableCells, TCellSpans{MaxTableCells, MaxSpan});
  EXPECT_FALSE(PlaceTableCells(rows).has_value());
}

} // namespace
