// Ground for the walk grid's tests, drawn as text, and a second statement of the search's rules,
// kept as plain as possible (a record per cell, a node list, the heap as a vector), so that the
// grid's chains can be checked against rules written out once more rather than against
// themselves.
#pragma once

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "simulation/walk/walkgrid.h"

namespace walktest {

using Cells = std::vector<GVCell>;

// Walk values row by row.
struct Ground {
    int columns = 0;
    int rows = 0;
    std::vector<int> values;

    int At(int column, int row) const { return values[row * columns + column]; }
    bool Inside(int column, int row) const {
        return column >= 0 && row >= 0 && column < columns && row < rows;
    }
};

// One text per row: '.' is 0, '#' 255, a digit its value, 'A' 10, 'B' 11, 'C' 5.
inline Ground Draw(const std::vector<std::string>& picture) {
    Ground ground;
    ground.rows = static_cast<int>(picture.size());
    ground.columns = static_cast<int>(picture.front().size());
    for (const std::string& line : picture) {
        for (char c : line) {
            int value = 0;
            if (c == '#')
                value = 255;
            else if (c >= '0' && c <= '9')
                value = c - '0';
            else if (c == 'A')
                value = 10;
            else if (c == 'B')
                value = 11;
            else if (c == 'C')
                value = 5;
            ground.values.push_back(value);
        }
    }
    return ground;
}

inline void Lay(const Ground& ground, GVWalkGrid& grid) {
    grid.Allocate(ground.columns, ground.rows);
    for (int row = 0; row < ground.rows; ++row)
        for (int column = 0; column < ground.columns; ++column)
            grid.SetValue(column, row, static_cast<uint8_t>(ground.At(column, row)));
}

// The raw chain from start to target (no trimming, no straightening); empty when none.
inline Cells ModelChain(const Ground& ground, GVCell start, GVCell target) {
    if (!ground.Inside(start.column, start.row) || !ground.Inside(target.column, target.row) ||
        start == target)
        return {};
    struct Spot {
        int state = 0;  // 0 unseen, 1 open, 2 closed
        GVCell parent;
        float g = 0.0f;
    };
    struct Node {
        GVCell cell;
        float h = 0.0f;
        float f = 0.0f;
    };
    std::vector<Spot> spots(ground.columns * ground.rows);
    auto spot = [&](GVCell cell) -> Spot& {
        return spots[cell.row * ground.columns + cell.column];
    };
    std::vector<Node> nodes(2);  // numbered from 1
    nodes[1].cell = start;
    std::vector<int> heap = {0, 1};  // heap[0] is not used
    auto f = [&](size_t position) { return nodes[heap[position]].f; };

    while (heap.size() > 1) {
        // Take the top; the last entry goes to the top and sinks.
        const int taken = heap[1];
        heap[1] = heap.back();
        heap.pop_back();
        size_t at = 1;
        while (2 * at < heap.size()) {
            const size_t left = 2 * at;
            const size_t right = left + 1;
            const bool leftFits = f(left) <= f(at);
            const bool rightFits = right < heap.size() && f(right) <= f(at);
            size_t to = 0;
            if (leftFits && rightFits)
                to = f(right) <= f(left) ? right : left;
            else if (leftFits)
                to = left;
            else if (rightFits)
                to = right;
            else
                break;
            std::swap(heap[at], heap[to]);
            at = to;
        }
        const GVCell here = nodes[taken].cell;
        spot(here).state = 2;

        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const GVCell next{here.column + dx, here.row + dy};
                if (!ground.Inside(next.column, next.row) || spot(next).state == 2) continue;
                float cost = static_cast<float>(ground.At(next.column, next.row)) + 1.0f;
                if (dx != 0 && dy != 0) cost = cost * 1.4f;
                const float g = spot(here).g + cost;
                if (spot(next).state == 1) {
                    if (g >= spot(next).g) continue;
                    spot(next).parent = here;
                    spot(next).g = g;
                    size_t position = 1;
                    while (!(nodes[heap[position]].cell == next))
                        ++position;
                    nodes[heap[position]].f = g + nodes[heap[position]].h;
                    while (position > 1 && f(position / 2) > f(position)) {
                        std::swap(heap[position], heap[position / 2]);
                        position /= 2;
                    }
                } else {
                    Node node;
                    node.cell = next;
                    node.h = static_cast<float>(std::abs(next.column - target.column) +
                                                std::abs(next.row - target.row));
                    node.f = g + node.h;
                    nodes.push_back(node);
                    spot(next) = Spot{1, here, g};
                    heap.push_back(static_cast<int>(nodes.size()) - 1);
                    size_t position = heap.size() - 1;
                    while (position > 1 && f(position / 2) >= f(position)) {
                        std::swap(heap[position], heap[position / 2]);
                        position /= 2;
                    }
                }
            }
        }
        if (spot(target).state == 1) {
            Cells chain = {target};
            while (!(chain.front() == start))
                chain.insert(chain.begin(), spot(chain.front()).parent);
            return chain;
        }
    }
    return {};
}

// The straightening's line test: samples one cell apart from a, at t = 0, 1, ... while t is not
// past the length; blocked by a sample whose cell is inside and above 10.
inline bool ModelLineClear(const Ground& ground, GVCell a, GVCell c) {
    const float dx = static_cast<float>(c.column - a.column);
    const float dy = static_cast<float>(c.row - a.row);
    const float length = std::sqrt(dx * dx + dy * dy);
    for (int t = 0; static_cast<float>(t) <= length; ++t) {
        const float x = static_cast<float>(a.column) + static_cast<float>(t) * (dx / length);
        const float y = static_cast<float>(a.row) + static_cast<float>(t) * (dy / length);
        const int column = static_cast<int>(std::trunc(x));
        const int row = static_cast<int>(std::trunc(y));
        if (ground.Inside(column, row) && ground.At(column, row) > 10) return false;
    }
    return true;
}

}  // namespace walktest
