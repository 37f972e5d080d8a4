// The recipes the art generator draws from (recipes/*.txt, read with drawkit's recipe text):
// - a group file per sheet set: its kind (creature, monster, grave or mover), the descriptions it
//   makes, the number of sheets its pictures take, the canvas, the rig (joints with pivots, parts
//   made of shapes bound to joints and to sprite children), variants, and where hands and loads
//   sit;
// - motions.txt: the motions, keyframes per joint channel and a face per frame, shared by every
//   rig (a group may add or replace its own);
// - props.txt: the props (tools, loads, icons, disease marks, hearts), each with its grip point;
// - a place group (placerecipe.h): describe blocks with the place's children and layout.
//
// Coordinates are pixels of the figure at rest, the feet at (0, 0), y growing downwards, facing
// right. Everything read is checked; a fault is "file:line: what is wrong".
#pragma once

#include <map>
#include <string>
#include <vector>

#include "islandmap.h"
#include "recipetext.h"

namespace artgen {

// One drawing step of a part or a prop.
struct Shape {
    // ellipse, box, path, eye, mouth, grin, brow, spots, stripes; cloud (lumps around an
    // ellipse, one outline), rock (a seeded stone), shadow (soft, no outline), cells (a place's
    // cells at the stage drawn, each grown by its number, one outline)
    std::string kind;
    std::string ramp;  // a ramp name, or "$key" taken from the variant
    std::vector<double> numbers;
    std::vector<std::string> pathWords;  // path: "c", "l", "z" and numbers
    std::string view;                    // "" both, "SE" front, "NE" back
    bool shaded = true;
    bool outlined = true;
    double alpha = 1.0;
    double rotate = 0;  // degrees, around the shape's centre
    double width = 3;   // strokes of an open path
    // Drawn repeat times, each time moved by (repeatX, repeatY) more, each copy moved by up to
    // jitter pixels more (seeded).
    int repeat = 1;
    double repeatX = 0, repeatY = 0;
    double jitter = 0;
    drawkit::Statement where;
};

struct Part {
    std::string name;
    std::string layer;  // the sprite child it belongs to: body, head or a layer's name
    std::string joint;
    double z = 0;
    double neZ = 0;
    bool hasNeZ = false;
    std::string view;
    int levelFrom = 1;
    int levelTo = 99;
    double grow = 0;  // size added per level above the first
    double anchorX = 0, anchorY = 0;
    std::string clip;  // a part whose fill clips this one
    // Variant key and value; a value "A-B" of two whole numbers holds for a whole number from A
    // to B.
    std::vector<std::pair<std::string, std::string>> when;
    std::vector<Shape> shapes;
    drawkit::Statement where;
};

struct Joint {
    std::string name;
    std::string parent;
    double pivotX = 0, pivotY = 0;
    double length = 0;   // a leg's length, for strides
    bool rigid = false;  // moves without turning (its pictures repeat and are kept once)
};

struct Channel {
    std::string joint;
    std::string what;  // rot, dx, dy, sx, sy, swing, alpha
    std::vector<double> keys;
    int lag = 0;  // frames behind
};

struct Motion {
    std::string name;
    int frames = 1;
    int delay = 100;
    std::vector<Channel> channels;
    std::vector<std::string> faces;  // one a frame, or one for all
    bool pair = false;               // the breeding pair: the figure twice, with hearts
    std::string extra;               // a prop drawn over the figure in every frame
    double extraX = 0, extraY = 0;
};

struct Prop {
    std::string name;
    double gripX = 0, gripY = 0;
    std::vector<Shape> shapes;
};

struct LevelLayer {
    std::string name;
    std::string rides;  // "head" or "body"
};

// A state of a place's child that names its own states (the cures, the ark materials' piles):
// hidden, or drawn with variant keys of its own, played as a motion, bobbing.
struct PlaceState {
    std::string id;
    bool hidden = false;
    std::string motion;
    std::map<std::string, std::string> vars;
    // A DeltaMoveInterpolator on the state: the keys, "x y" pairs, and its time.
    std::string bobKeys;
    int bobTime = 0;
};

// A sprite child of a place: "level" (a picture per build stage, in every state of the
// location view), "stock" (a picture per stock picture, in every state of the view) or
// "fixed" (the states listed under it, untouched by the view's level and stock).
struct PlaceChild {
    std::string id;
    std::string role = "level";
    std::string motion;  // played by every state of a level or stock child
    std::vector<PlaceState> states;
    drawkit::Statement where;
};

// One grid of a place's layout, holding for the build stages from to to. Rows of cells: "."
// nothing, "X" blocked, "1" to "9" a walk cost, "m" a mount point, "s" a special approach cell,
// "S" both; the place's own cell once: "@" blocked, "o" open, "M" a mount point.
struct LayoutGrid {
    int from = 0, to = 0;
    std::vector<std::string> rows;
    drawkit::Statement where;
};

// What a place adds to its describe block.
struct PlaceSpec {
    int stages = 1;                     // PerLevelImagesCount
    int stock = 0;                      // CapacityImagesCount
    bool levels = true;                 // false: no level states at all (the treasure, the bonuses)
    double deltaZ = 0;                  // the root's depth offset
    int canvasW = 0, canvasH = 0;       // 0: the group's canvas
    double originX = -1, originY = -1;  // where the place's position lies on the canvas
    // Where the place's position lies in its cell, in pixels from the cell's top left (the
    // middle unless the place stands at one position that says otherwise). Its parts are drawn
    // around the cell's middle.
    int cellX = 10, cellY = 10;
    std::vector<PlaceChild> children;
    std::vector<LayoutGrid> grids;
};

struct Describe {
    std::string name;
    std::string logic;  // the creature definition file it belongs to, or empty
    int level = 1;
    double scaling = 1.0;
    std::map<std::string, std::string> vars;
    PlaceSpec place;  // for a place
};

struct Attachment {
    std::string joint;
    double x = 0, y = 0;
};

struct ExtraState {
    std::string id;
    std::string motion;
    bool headHidden = false;
};

struct Recipe {
    std::string file;
    std::string group;
    std::string kind;  // creature, monster, grave, mover, place, landscape
    int sheets = 1;
    drawkit::Statement sheetsStatement;
    int canvasW = 200, canvasH = 200;
    std::string trade;
    std::vector<Describe> describes;
    std::vector<Joint> joints;
    std::vector<Part> parts;
    std::vector<LevelLayer> layers;
    std::vector<std::map<std::string, std::string>> bodyVariants;
    std::vector<std::map<std::string, std::string>> headVariants;
    std::map<std::string, Motion> motions;
    std::vector<ExtraState> extraStates;
    Attachment hand, back;
    // The landscape: its map file (beside the recipes), legend and decorations.
    std::string map;
    std::vector<LegendEntry> legend;
    std::vector<DecorationKind> decorations;
    // The figure's size for marks, shadows and effects when no definition gives one.
    int width = 60, height = 60;

    const Joint* FindJoint(const std::string& name) const;
    const Part* FindPart(const std::string& name) const;
    const Motion* FindMotion(const std::string& name) const;
    const DecorationKind* FindDecoration(const std::string& name) const;
};

// Reads the motions (motions.txt) into *motions.
bool ReadMotions(const std::string& path, std::map<std::string, Motion>* motions,
                 std::string* error);
// Reads the props (props.txt).
bool ReadProps(const std::string& path, std::map<std::string, Prop>* props, std::string* error);
// Reads a group file; its motions are added to (or replace) the shared ones given.
bool ReadRecipe(const std::string& path, const std::map<std::string, Motion>& sharedMotions,
                Recipe* recipe, std::string* error);

}  // namespace artgen
