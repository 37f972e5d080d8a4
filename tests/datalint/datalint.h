// The data lint: reads the game-logic data set the way the game does (the parameter, message and
// definition loaders, the string table, the names registry) and lists every broken invariant the
// rules rely on, each with its file, element and check. The loaders pass over a bad entry without
// a word, so the lint also compares what each file lists with what the loaders kept.
//
// The files are found through the file layer: the caller indexes the asset folder first (the
// shipped "assets/" or a copy) and the built game folder's generated art under "art:" (the
// layouts and level cells the walk grid needs; the art itself is the art lint's, tests/art). Main
// thread only; the lint lends the string table for the texts'
// lookups and takes it back.
#pragma once

#include <string>
#include <vector>

namespace datalint {

struct Finding {
    // The virtual name of the file, e.g. "xml/logic/main.xml".
    std::string file;
    // The element, with what names it ("Task flakeout", "Location Beach", "Row rest").
    std::string element;
    // The check: "1" to "26" as numbered in the data's design, or one of "markup" (declarations,
    // document types, comments), "dropped" (a child the loader passed over), "range16" (a value
    // kept in 16 bits), "duration", "float32" (a float saved times 100), "install", "rows"
    // (a label in several rows), "lookup" (a label that does not give its cell).
    std::string check;
    std::string message;
};

// Runs every check over the indexed data set.
std::vector<Finding> Run();

// One line per finding, for test failure messages.
std::string Describe(const std::vector<Finding>& findings);

struct LabelGroup {
    char group;
    std::vector<const char*> labels;
};
// The labels the program and the data look up, groups A to N.
const std::vector<LabelGroup>& RequiredLabels();

}  // namespace datalint
