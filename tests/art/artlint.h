// The art lint: the world's art as the program meets it, every sprite description, image, layout
// and name, checked as one set. The names it asks for come from the game's data through the
// game's own loaders (testing_support::WorldCast); each description is read as a document for
// the views' contract and loaded through the real factory as the precache and the views load it,
// every image through the texture loader. What it finds is listed with its check, description,
// child and state, so a planted fault is known by where it lies.
//
// The folder is found through the file layer: the caller makes the game folder "assets" below
// the working folder and indexes it (the built one, or a copy a test changed), and keeps the
// application object up on the fake clock for the sprites' timers. Run needs the folder's path
// too, for the files nothing names and for the budgets. Main thread only.
#pragma once

#include <string>
#include <vector>

namespace artlint {

struct Finding {
    // "names" (a description, layout or image asked for and missing, or one nothing asks for),
    // "root" (the root element and its id), "load" (the factory), "image" (a picture as the
    // texture loader reads it), "frames" (a frame against its image), "states" (the description
    // format's rules), "figure" (the creature views' contract), "place" (the location views'),
    // "layout" (a layout against its pictures), "words" (the name-key registry), "budget".
    std::string check;
    // The description's name ("puff_l1", "loc_well", "level1"); "-" for the set as a whole.
    std::string description;
    // The child object by id; empty for the description itself.
    std::string child;
    // The state by id; empty when the finding is not about one.
    std::string state;
    std::string message;
};

// The budgets of the whole world art: its files, and the surfaces the game makes of its images
// (sides rounded up as the texture loader rounds them, 4 bytes a pixel).
inline constexpr double kFileBudgetBytes = 60e6;
inline constexpr double kSurfaceBudgetBytes = 160.0 * 1024 * 1024;
// The name-key registry's words after everything is loaded, the program's keys included.
inline constexpr int kWordBudget = 200;

// What the set measured, beside the budgets.
struct Totals {
    double fileBytes = 0;
    double surfaceBytes = 0;
    int words = 0;
    int descriptions = 0;
    int images = 0;
};

// Every check over the indexed game folder, whose path on disk is folder; the totals when asked.
std::vector<Finding> Run(const std::string& folder, Totals* totals = nullptr);

// One line per finding, for test failure messages.
std::string Describe(const std::vector<Finding>& findings);

}  // namespace artlint
