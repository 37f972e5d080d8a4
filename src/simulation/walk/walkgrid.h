// GVWalkGrid: the walkability grid of the world and the path search over it. Every cell holds a
// walk value, 0 for open ground, 1 to 254 for ground that costs more to cross and 255 for ground a
// creature may not stand on (the search still crosses it, at a cost of 256).
//
// FindCellPath is a best-first search whose exact tie rules decide which of equally cheap chains
// is found, and so where every creature walks: the neighbour order, the single-precision step
// costs, the heap's sink and rise rules and the stop as soon as the target is first reached are
// part of the game's behaviour, not details to improve.
//
// The grid owns its walk values and the search's work arrays; they are allocated once per size
// and reused, so a search allocates nothing (the caller's chain keeps its capacity). Main thread
// only: searches on one grid never nest.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// A grid cell: column (x) first, then row (y).
struct GVCell {
    int32_t column = 0;
    int32_t row = 0;

    friend bool operator==(const GVCell& a, const GVCell& b) = default;
};

class GVWalkGrid {
public:
    // Walk values from this one up block a straight line when a chain is straightened.
    static constexpr int kSmoothLimit = 10;
    // The walk value a creature may not stand on.
    static constexpr uint8_t kBlocked = 255;
    // The largest grid Allocate accepts, in cells.
    static constexpr int64_t kMaxCells = 1 << 22;

    GVWalkGrid() = default;
    GVWalkGrid(const GVWalkGrid&) = delete;
    GVWalkGrid& operator=(const GVWalkGrid&) = delete;

    // Frees what was there, stores the size and allocates every array zeroed (all ground open).
    // False, leaving the grid without arrays, for a size below one cell or above kMaxCells.
    bool Allocate(int32_t columns, int32_t rows);
    void Free();
    // Sets every walk value.
    void Fill(uint8_t value);

    bool IsAllocated() const { return !mValues.empty(); }
    int32_t GetColumns() const { return mColumns; }
    int32_t GetRows() const { return mRows; }
    bool IsInside(int64_t column, int64_t row) const {
        return column >= 0 && row >= 0 && column < mColumns && row < mRows;
    }
    // The walk value of a cell inside the grid.
    uint8_t GetValue(int32_t column, int32_t row) const { return mValues[ValueIndex(column, row)]; }
    void SetValue(int32_t column, int32_t row, uint8_t value) {
        mValues[ValueIndex(column, row)] = value;
    }
    // The cell at base plus an offset read from a file, computed without overflow; none when it
    // falls outside the grid.
    std::optional<GVCell> OffsetCell(const GVCell& base, int32_t columnOffset,
                                     int32_t rowOffset) const;

    // Fills cells with the chain from the start cell to the target cell, both included. False,
    // with an empty chain, without arrays, for a start or target outside the grid, or when both
    // are the same cell. progress is the part of the chain already walked (0 to 1; below 0 or
    // NaN counts as 0, above 1 as 1), dropped from its front; smooth straightens what is left.
    bool FindCellPath(int32_t startColumn, int32_t startRow, int32_t targetColumn,
                      int32_t targetRow, std::vector<GVCell>& cells, bool smooth, float progress);
    // Drops cells from the chain where a straight line passes: from each kept cell, the cells
    // up to the last one that a clear line reaches directly. The chain's cells lie in the grid.
    void SmoothPath(std::vector<GVCell>& cells) const;
    // Whether the straight line from a to b crosses no cell above kSmoothLimit: samples one
    // cell length apart from a, each in the cell its coordinates truncate to.
    bool IsLineClear(const GVCell& a, const GVCell& b) const;
    // The first open cell (value 0) on the chain from the cell towards the middle of the grid,
    // the cell itself first; the cell itself when there is none.
    GVCell FindNearestFreeCell(int32_t column, int32_t row);

    // The walked part of a route as the search takes it: below 0 and NaN give 0, above 1 gives 1.
    static float ClampProgress(float progress);

private:
    // Cell states of a search.
    enum : uint8_t { kUnseen = 0, kOpen = 11, kClosed = 12 };

    size_t ValueIndex(int32_t column, int32_t row) const {
        return static_cast<size_t>(column) * static_cast<size_t>(mRows) + static_cast<size_t>(row);
    }
    size_t StateIndex(int32_t column, int32_t row) const {
        return static_cast<size_t>(column) * static_cast<size_t>(mRows + 1) +
               static_cast<size_t>(row);
    }
    // The search proper: true when the target was reached, with the parents set along the way.
    bool Search(const GVCell& start, const GVCell& target);
    // The heap entry at position moves down past children whose F is not above its own, the
    // right child first when its F is not above the left one's.
    void Sink(int32_t position);
    // The heap entry at position moves up while its parent's F is above its own (orEqual: or the
    // same).
    void Rise(int32_t position, bool orEqual);
    // The position of a node in the heap, scanning from the top; 0 when not there.
    int32_t FindInHeap(int32_t node) const;

    int32_t mColumns = 0;
    int32_t mRows = 0;
    // Walk values, column by column.
    std::vector<uint8_t> mValues;

    // By node number (1-based, columns × rows + 2 entries): the heap, each node's cell, H and F.
    std::vector<int32_t> mHeap;
    int32_t mHeapCount = 0;
    std::vector<int32_t> mNodeColumn;
    std::vector<int32_t> mNodeRow;
    std::vector<float> mH;
    std::vector<float> mF;
    // By cell, (columns + 1) × (rows + 1) entries: the search state, the parent cell and G, and
    // the node of an open cell (so that the heap scan compares node numbers only).
    std::vector<uint8_t> mState;
    std::vector<int32_t> mCellNode;
    std::vector<int32_t> mParentColumn;
    std::vector<int32_t> mParentRow;
    std::vector<float> mG;

    // The chain of FindNearestFreeCell, kept for its capacity.
    std::vector<GVCell> mScratch;
};
