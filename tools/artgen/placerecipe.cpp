#include "placerecipe.h"

#include <set>

#include "recipeparse.h"

namespace artgen {

using drawkit::Statement;
using namespace recipeparse;

namespace {

// The words of a describe statement that are flags, not variant keys.
bool IsPlaceOption(const std::string& key) {
    static const std::set<std::string> kOptions = {"stages", "stock", "deltaZ", "canvas",
                                                   "origin", "cell",  "logic"};
    return kOptions.count(key) != 0;
}

PlaceState ReadState(const Statement& s) {
    const std::vector<std::string> plain = s.Plain();
    if (plain.size() < 2) Fail(s, "state ID [hidden] [motion=M] [bob=X,Y,MS] [KEY=VALUE...]");
    PlaceState state;
    state.id = plain[1];
    for (size_t k = 2; k < plain.size(); ++k) {
        if (plain[k] != "hidden") Fail(s, "unknown word " + plain[k]);
        state.hidden = true;
    }
    for (const auto& [key, value] : Options(s)) {
        if (key == "motion") {
            state.motion = value;
        } else if (key == "bob") {
            const size_t comma = value.rfind(',');
            if (comma == std::string::npos) Fail(s, "bob is X,Y,MS");
            double x = 0, y = 0;
            Pair(s, value.substr(0, comma), "bob", &x, &y);
            state.bobTime = Whole(s, value.substr(comma + 1), "bob's time", 100, 10000);
            // Out and back: from rest to the offset and home again.
            const std::string to = std::to_string(int(x)) + " " + std::to_string(int(y));
            state.bobKeys = "0 0 " + to + " 0 0";
        } else {
            state.vars[key] = value;
        }
    }
    if (state.hidden && (!state.motion.empty() || !state.vars.empty() || state.bobTime != 0))
        Fail(s, "a hidden state draws nothing");
    return state;
}

// Reads the rows of a layout grid up to its end; answers the index after it.
size_t ReadGrid(const std::vector<Statement>& all, size_t i, LayoutGrid* grid) {
    const Statement& open = all[i];
    const std::vector<std::string> plain = open.Plain();
    if (plain.size() != 2) Fail(open, "layout STAGES, then its rows, then end");
    Range(open, plain[1], "the layout's stages", 0, 9, &grid->from, &grid->to);
    grid->where = open;
    int bases = 0;
    for (++i; i < all.size(); ++i) {
        const Statement& row = all[i];
        if (row.words[0] == "end") {
            if (grid->rows.empty()) Fail(open, "a layout without rows");
            if (bases != 1) Fail(open, "a layout marks the place's own cell (@, o or M) once");
            return i + 1;
        }
        if (row.words.size() != 1) Fail(row, "a layout row is one word of cells");
        const std::string& cells = row.words[0];
        if (cells.find_first_not_of(".XmsS@oM123456789") != std::string::npos)
            Fail(row, "a layout cell is one of . X m s S @ o M or a walk cost 1 to 9");
        if (!grid->rows.empty() && cells.size() != grid->rows.front().size())
            Fail(row, "the rows of a layout have one length");
        for (char c : cells)
            bases += c == '@' || c == 'o' || c == 'M';
        grid->rows.push_back(cells);
    }
    Fail(open, "the layout has no end");
}

}  // namespace

size_t ReadPlaceDescribe(const std::vector<Statement>& all, size_t i, Describe* d) {
    const Statement& s = all[i];
    const std::vector<std::string> plain = s.Plain();
    if (plain.size() < 2) Fail(s, "describe NAME stages=N [stock=C] ...");
    d->name = plain[1];
    PlaceSpec& p = d->place;
    for (size_t k = 2; k < plain.size(); ++k) {
        if (plain[k] == "flat") {
            p.deltaZ = kFlatDeltaZ;
        } else if (plain[k] == "nolevels") {
            p.levels = false;
        } else {
            Fail(s, "unknown word " + plain[k]);
        }
    }
    p.stages = Whole(s, s.Option("stages", "1"), "stages", 1, 9);
    p.stock = Whole(s, s.Option("stock", "0"), "stock", 0, 9);
    if (s.HasOption("deltaZ")) p.deltaZ = Number(s, s.Option("deltaZ"), "deltaZ");
    if (s.HasOption("canvas")) {
        double w = 0, h = 0;
        Pair(s, s.Option("canvas"), "canvas", &w, &h);
        if (w < 16 || h < 16 || w > 2048 || h > 2048 || w != int(w) || h != int(h))
            Fail(s, "the canvas is 16 to 2048 whole pixels a side");
        p.canvasW = int(w);
        p.canvasH = int(h);
    }
    if (s.HasOption("origin")) Pair(s, s.Option("origin"), "origin", &p.originX, &p.originY);
    if (s.HasOption("cell")) {
        double x = 0, y = 0;
        Pair(s, s.Option("cell"), "cell", &x, &y);
        if (x < 0 || y < 0 || x >= 20 || y >= 20 || x != int(x) || y != int(y))
            Fail(s, "cell is where the position lies in its cell: 0 to 19 each way");
        p.cellX = int(x);
        p.cellY = int(y);
    }
    if (!p.levels && (p.stages != 1 || p.stock != 0))
        Fail(s, "a place without level states has one stage and no stock");
    d->vars["place"] = d->name;
    for (const auto& [key, value] : Options(s)) {
        if (!IsPlaceOption(key)) d->vars[key] = value;
    }

    std::set<std::string> ids;
    for (++i; i < all.size();) {
        const Statement& t = all[i];
        const std::string& verb = t.words[0];
        if (verb == "end") {
            if (p.children.empty()) Fail(s, "a place without children");
            std::vector<int> covered(size_t(p.stages), 0);
            for (const LayoutGrid& g : p.grids) {
                if (g.to >= p.stages) Fail(g.where, "a stage beyond the place's stages");
                for (int stage = g.from; stage <= g.to; ++stage)
                    ++covered[size_t(stage)];
            }
            for (int stage = 0; stage < p.stages; ++stage) {
                if (covered[size_t(stage)] != 1)
                    Fail(s, "stage " + std::to_string(stage) + " needs exactly one layout");
            }
            for (const PlaceChild& c : p.children) {
                if (c.role == "fixed" && (c.states.empty() || c.states.front().id != "normal"))
                    Fail(c.where, "a child with states of its own lists \"normal\" first");
            }
            return i + 1;
        }
        if (verb == "child") {
            const std::vector<std::string> words = t.Plain();
            if (words.size() < 2 || words.size() > 3) Fail(t, "child ID [stock|fixed] [motion=M]");
            PlaceChild c;
            c.id = words[1];
            c.where = t;
            if (words.size() == 3) {
                if (words[2] != "stock" && words[2] != "fixed") Fail(t, "unknown word " + words[2]);
                c.role = words[2];
            }
            c.motion = t.Option("motion");
            if (!p.levels && c.role != "fixed")
                Fail(t, "a place without level states has only children with states of their own");
            if (c.role == "stock" && p.stock == 0)
                Fail(t, "a stock child in a place without stock");
            if (!ids.insert(c.id).second) Fail(t, "a second child " + c.id);
            p.children.push_back(c);
            ++i;
        } else if (verb == "state") {
            if (p.children.empty() || p.children.back().role != "fixed")
                Fail(t, "a state belongs to a child with states of its own (child ID fixed)");
            PlaceState state = ReadState(t);
            for (const PlaceState& other : p.children.back().states) {
                if (other.id == state.id) Fail(t, "a second state " + state.id);
            }
            p.children.back().states.push_back(state);
            ++i;
        } else if (verb == "layout") {
            LayoutGrid grid;
            i = ReadGrid(all, i, &grid);
            p.grids.push_back(grid);
        } else {
            Fail(t, "a place holds child, state and layout statements, and ends with end");
        }
    }
    Fail(s, "the describe block has no end");
}

}  // namespace artgen
