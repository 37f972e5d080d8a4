#include "simulation/walk/walkgrid.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

bool GVWalkGrid::Allocate(int32_t columns, int32_t rows) {
    Free();
    if (columns < 1 || rows < 1 || static_cast<int64_t>(columns) * rows > kMaxCells) return false;
    mColumns = columns;
    mRows = rows;
    const size_t cells = static_cast<size_t>(columns) * static_cast<size_t>(rows);
    const size_t nodes = cells + 2;
    const size_t states = static_cast<size_t>(columns + 1) * static_cast<size_t>(rows + 1);
    mValues.assign(cells, 0);
    mHeap.assign(nodes, 0);
    mNodeColumn.assign(nodes, 0);
    mNodeRow.assign(nodes, 0);
    mH.assign(nodes, 0.0f);
    mF.assign(nodes, 0.0f);
    mState.assign(states, kUnseen);
    mCellNode.assign(states, 0);
    mParentColumn.assign(states, 0);
    mParentRow.assign(states, 0);
    mG.assign(states, 0.0f);
    return true;
}

void GVWalkGrid::Free() {
    mColumns = 0;
    mRows = 0;
    mHeapCount = 0;
    for (std::vector<int32_t>* array :
         {&mHeap, &mNodeColumn, &mNodeRow, &mCellNode, &mParentColumn, &mParentRow})
        std::vector<int32_t>().swap(*array);
    for (std::vector<float>* array : {&mH, &mF, &mG})
        std::vector<float>().swap(*array);
    std::vector<uint8_t>().swap(mValues);
    std::vector<uint8_t>().swap(mState);
}

void GVWalkGrid::Fill(uint8_t value) {
    std::fill(mValues.begin(), mValues.end(), value);
}

std::optional<GVCell> GVWalkGrid::OffsetCell(const GVCell& base, int32_t columnOffset,
                                             int32_t rowOffset) const {
    const int64_t column = static_cast<int64_t>(base.column) + columnOffset;
    const int64_t row = static_cast<int64_t>(base.row) + rowOffset;
    if (!IsInside(column, row)) return std::nullopt;
    return GVCell{static_cast<int32_t>(column), static_cast<int32_t>(row)};
}

float GVWalkGrid::ClampProgress(float progress) {
    if (!(progress > 0.0f)) return 0.0f;
    return progress > 1.0f ? 1.0f : progress;
}

bool GVWalkGrid::FindCellPath(int32_t startColumn, int32_t startRow, int32_t targetColumn,
                              int32_t targetRow, std::vector<GVCell>& cells, bool smooth,
                              float progress) {
    cells.clear();
    const GVCell start{startColumn, startRow};
    const GVCell target{targetColumn, targetRow};
    if (!IsAllocated() || !IsInside(startColumn, startRow) || !IsInside(targetColumn, targetRow) ||
        start == target)
        return false;
    if (!Search(start, target)) return false;

    // The parents lead back from the target to the start; no chain is longer than the grid.
    const size_t longest = static_cast<size_t>(mColumns) * static_cast<size_t>(mRows);
    GVCell cell = target;
    cells.push_back(cell);
    while (!(cell == start) && cells.size() <= longest) {
        const size_t index = StateIndex(cell.column, cell.row);
        cell = GVCell{mParentColumn[index], mParentRow[index]};
        cells.push_back(cell);
    }
    std::reverse(cells.begin(), cells.end());

    const size_t walked =
        static_cast<size_t>(static_cast<float>(cells.size()) * ClampProgress(progress));
    if (walked >= cells.size())
        cells.clear();
    else
        cells.erase(cells.begin(), cells.begin() + static_cast<std::ptrdiff_t>(walked));

    if (smooth) SmoothPath(cells);
    return true;
}

bool GVWalkGrid::Search(const GVCell& start, const GVCell& target) {
    std::fill(mState.begin(), mState.end(), kUnseen);
    int32_t nodes = 1;
    mNodeColumn[1] = start.column;
    mNodeRow[1] = start.row;
    mH[1] = static_cast<float>(std::abs(start.column - target.column) +
                               std::abs(start.row - target.row));
    mF[1] = mH[1];
    mG[StateIndex(start.column, start.row)] = 0.0f;
    mHeap[1] = 1;
    mHeapCount = 1;
    const size_t targetIndex = StateIndex(target.column, target.row);

    while (mHeapCount > 0) {
        const int32_t node = mHeap[1];
        mHeap[1] = mHeap[mHeapCount];
        --mHeapCount;
        Sink(1);
        const int32_t column = mNodeColumn[node];
        const int32_t row = mNodeRow[node];
        const size_t index = StateIndex(column, row);
        mState[index] = kClosed;
        const float g = mG[index];

        for (int32_t dRow = -1; dRow <= 1; ++dRow) {
            const int32_t nextRow = row + dRow;
            if (nextRow < 0 || nextRow >= mRows) continue;
            for (int32_t dColumn = -1; dColumn <= 1; ++dColumn) {
                const int32_t nextColumn = column + dColumn;
                if (nextColumn < 0 || nextColumn >= mColumns) continue;
                const size_t next = StateIndex(nextColumn, nextRow);
                const uint8_t state = mState[next];
                if (state == kClosed) continue;
                float step = static_cast<float>(GetValue(nextColumn, nextRow) + 1);
                if (dRow != 0 && dColumn != 0) step *= 1.4f;
                const float cost = g + step;
                if (state == kOpen) {
                    if (!(cost < mG[next])) continue;
                    mParentColumn[next] = column;
                    mParentRow[next] = row;
                    mG[next] = cost;
                    const int32_t improved = mCellNode[next];
                    const int32_t position = FindInHeap(improved);
                    if (position == 0) continue;
                    mF[improved] = cost + mH[improved];
                    Rise(position, false);
                } else {
                    const int32_t added = ++nodes;
                    mNodeColumn[added] = nextColumn;
                    mNodeRow[added] = nextRow;
                    mCellNode[next] = added;
                    mG[next] = cost;
                    mH[added] = static_cast<float>(std::abs(nextColumn - target.column) +
                                                   std::abs(nextRow - target.row));
                    mF[added] = cost + mH[added];
                    mParentColumn[next] = column;
                    mParentRow[next] = row;
                    mHeap[++mHeapCount] = added;
                    Rise(mHeapCount, true);
                    mState[next] = kOpen;
                }
            }
        }
        // The chain is taken as soon as the target is reached, not when it would leave the heap.
        if (mState[targetIndex] == kOpen) return true;
    }
    return false;
}

void GVWalkGrid::Sink(int32_t position) {
    const int32_t entry = mHeap[position];
    const float f = mF[entry];
    for (;;) {
        const int32_t left = position * 2;
        if (left > mHeapCount) return;
        const int32_t right = left + 1;
        const float leftF = mF[mHeap[left]];
        int32_t child;
        if (right <= mHeapCount && mF[mHeap[right]] <= leftF && mF[mHeap[right]] <= f)
            child = right;
        else if (leftF <= f)
            child = left;
        else
            return;
        mHeap[position] = mHeap[child];
        mHeap[child] = entry;
        position = child;
    }
}

void GVWalkGrid::Rise(int32_t position, bool orEqual) {
    const int32_t entry = mHeap[position];
    const float f = mF[entry];
    while (position > 1) {
        const int32_t parent = position / 2;
        const float parentF = mF[mHeap[parent]];
        if (!(parentF > f || (orEqual && parentF == f))) return;
        mHeap[position] = mHeap[parent];
        mHeap[parent] = entry;
        position = parent;
    }
}

int32_t GVWalkGrid::FindInHeap(int32_t node) const {
    const int32_t* first = mHeap.data() + 1;
    const int32_t* last = first + mHeapCount;
    const int32_t* found = std::find(first, last, node);
    return found == last ? 0 : static_cast<int32_t>(found - first) + 1;
}

bool GVWalkGrid::IsLineClear(const GVCell& a, const GVCell& b) const {
    const float dx = static_cast<float>(b.column - a.column);
    const float dy = static_cast<float>(b.row - a.row);
    const float length = std::sqrt(dx * dx + dy * dy);
    const float ux = length > 0.0f ? dx / length : 0.0f;
    const float uy = length > 0.0f ? dy / length : 0.0f;
    const float x0 = static_cast<float>(a.column);
    const float y0 = static_cast<float>(a.row);
    for (int32_t t = 0; static_cast<float>(t) <= length; ++t) {
        const float x = x0 + static_cast<float>(t) * ux;
        const float y = y0 + static_cast<float>(t) * uy;
        // Samples outside the grid block nothing; truncation takes (-1, 0) to column 0.
        if (!(x > -1.0f && y > -1.0f && x < static_cast<float>(mColumns) &&
              y < static_cast<float>(mRows)))
            continue;
        if (GetValue(static_cast<int32_t>(x), static_cast<int32_t>(y)) > kSmoothLimit) return false;
    }
    return true;
}

void GVWalkGrid::SmoothPath(std::vector<GVCell>& cells) const {
    // From each kept cell a, the cells after it up to the last one that a clear line reaches
    // (tested in order, stopping at the first blocked line) are dropped; that cell is kept and
    // becomes the next a. Kept cells are written over the chain from the front.
    const size_t count = cells.size();
    if (count < 3) return;
    size_t kept = 0;
    size_t a = 0;
    while (a + 2 < count) {
        size_t next = a + 1;
        while (next + 1 < count && IsLineClear(cells[a], cells[next + 1]))
            ++next;
        cells[++kept] = cells[next];
        a = next;
    }
    for (size_t rest = a + 1; rest < count; ++rest)
        cells[++kept] = cells[rest];
    cells.resize(kept + 1);
}

GVCell GVWalkGrid::FindNearestFreeCell(int32_t column, int32_t row) {
    const GVCell given{column, row};
    // A free cell inside the grid is the first cell of its own chain.
    if (IsAllocated() && IsInside(column, row) && GetValue(column, row) == 0) return given;
    if (!FindCellPath(column, row, mColumns / 2, mRows / 2, mScratch, false, 0.0f)) return given;
    for (const GVCell& cell : mScratch)
        if (GetValue(cell.column, cell.row) == 0) return cell;
    return given;
}
