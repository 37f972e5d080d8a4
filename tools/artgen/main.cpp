// artgen: draws the world's figures from the recipes beside it and writes, into the built game
// folder, each group's sheets "anim/<group>/sheet<n>.png" and its descriptions "xml/<name>.xml".
//
//   artgen --recipes DIR --style FILE --logic DIR --out DIR [--contact DIR] [--jobs N]
//          [--zlib LEVEL] [--world FILE] GROUP...
//
// --recipes  the recipe folder: motions.txt, props.txt and one <group>.txt per group
// --style    drawkit's style.txt
// --logic    the folder of the creature definitions the descriptions belong to
// --out      the game folder the sheets and descriptions go into (nothing is written elsewhere)
// --contact  also a contact sheet per description, "<name>.png" in this folder
// --jobs     groups drawn at once (default 2); each group is drawn by one job, in a fixed order,
//            so the output does not depend on the number of jobs
// --zlib     the PNG writer's zlib level (default the game's; the benchmark compares 0)
// --world    after the groups, a picture of the whole world at a quarter of its size, drawn from
//            what --out holds (worldpicture.h); no group is needed with it
//
// Every failure is one line on the error stream ("file:line: what is wrong" for a recipe) and
// the exit status 1; outputs written before it are whole (tools/outputfile).
#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "build.h"
#include "contactsheet.h"
#include "outputfile.h"
#include "pngwriter.h"
#include "recipe.h"
#include "style.h"
#include "toolmain.h"
#include "worldpicture.h"

namespace {

struct Options {
    std::string recipes, style, logic, out, contact, world;
    int jobs = 2;
    int zlib = drawkit::kPngZlibLevel;
    std::vector<std::string> groups;
};

int Usage() {
    std::fprintf(stderr,
                 "usage: artgen --recipes DIR --style FILE --logic DIR --out DIR [--contact DIR] "
                 "[--jobs N] [--zlib LEVEL] [--world FILE] GROUP...\n");
    return 2;
}

bool MakeFolder(const std::string& path, std::string* error) {
    std::error_code code;
    std::filesystem::create_directories(path, code);
    if (code) {
        *error = "cannot write " + path + ": " + code.message();
        return false;
    }
    return true;
}

bool DrawGroup(const Options& o, const drawkit::Style& style,
               const std::map<std::string, artgen::Motion>& motions,
               const std::map<std::string, artgen::Prop>& props, const std::string& group,
               std::string* error) {
    artgen::Recipe recipe;
    if (!artgen::ReadRecipe(o.recipes + "/" + group + ".txt", motions, &recipe, error))
        return false;
    artgen::GroupArt art;
    if (!artgen::BuildGroup(recipe, style, props, o.logic, &art, error)) return false;
    if (art.packer.SheetCount() != recipe.sheets) {
        *error = recipe.sheetsStatement.Where("the pictures take " +
                                              std::to_string(art.packer.SheetCount()) +
                                              " sheets, not " + std::to_string(recipe.sheets));
        if (recipe.sheetsStatement.line == 0)
            *error = recipe.file + ": the pictures take " +
                     std::to_string(art.packer.SheetCount()) + " sheets; say so with sheets N";
        return false;
    }
    const std::string anim = o.out + "/anim/" + recipe.group;
    if (!MakeFolder(anim, error) || !MakeFolder(o.out + "/xml", error)) return false;
    for (int sheet = 0; sheet < art.packer.SheetCount(); ++sheet) {
        std::string bytes;
        if (!drawkit::EncodePng(art.packer.Compose(sheet), o.zlib, &bytes, error)) return false;
        if (!tools::WriteOutputFile(anim + "/sheet" + std::to_string(sheet) + ".png", bytes, error))
            return false;
    }
    for (const artgen::GroupFile& file : art.files) {
        const std::string path = o.out + "/" + file.path;
        std::string png;
        if (file.picture.width > 0 && !drawkit::EncodePng(file.picture, o.zlib, &png, error))
            return false;
        if (!MakeFolder(std::filesystem::path(path).parent_path().string(), error) ||
            !tools::WriteOutputFile(path, file.picture.width > 0 ? png : file.bytes, error))
            return false;
    }
    for (const drawkit::Description& d : art.descriptions) {
        auto first = art.firstChildren.find(d.id);
        const std::string text =
            drawkit::WriteDescription(d, art.packer, recipe.group + "/sheet",
                                      first == art.firstChildren.end() ? "" : first->second);
        if (!tools::WriteOutputFile(o.out + "/xml/" + d.id + ".xml", text, error)) return false;
        if (!o.contact.empty()) {
            if (!MakeFolder(o.contact, error) ||
                !drawkit::WriteContactSheet(d, art.packer, style, o.contact + "/" + d.id + ".png",
                                            error))
                return false;
        }
    }
    return true;
}

int Run(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string* into) {
            if (i + 1 >= argc) return false;
            *into = argv[++i];
            return true;
        };
        std::string number;
        if (arg == "--recipes") {
            if (!value(&o.recipes)) return Usage();
        } else if (arg == "--style") {
            if (!value(&o.style)) return Usage();
        } else if (arg == "--logic") {
            if (!value(&o.logic)) return Usage();
        } else if (arg == "--out") {
            if (!value(&o.out)) return Usage();
        } else if (arg == "--contact") {
            if (!value(&o.contact)) return Usage();
        } else if (arg == "--world") {
            if (!value(&o.world)) return Usage();
        } else if (arg == "--jobs" || arg == "--zlib") {
            if (!value(&number)) return Usage();
            char* end = nullptr;
            const long n = std::strtol(number.c_str(), &end, 10);
            if (*end != '\0' || n < (arg == "--jobs" ? 1 : 0) || n > (arg == "--jobs" ? 64 : 9))
                return Usage();
            (arg == "--jobs" ? o.jobs : o.zlib) = int(n);
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage();
        } else {
            o.groups.push_back(arg);
        }
    }
    if (o.recipes.empty() || o.style.empty() || o.logic.empty() || o.out.empty() ||
        (o.groups.empty() && o.world.empty()))
        return Usage();

    std::string error;
    drawkit::Style style;
    std::map<std::string, artgen::Motion> motions;
    std::map<std::string, artgen::Prop> props;
    if (!style.Load(o.style, &error) ||
        !artgen::ReadMotions(o.recipes + "/motions.txt", &motions, &error) ||
        !artgen::ReadProps(o.recipes + "/props.txt", &props, &error)) {
        std::fprintf(stderr, "artgen: %s\n", error.c_str());
        return 1;
    }

    // Each group is one job; the first failure (in group order) is the one told.
    std::vector<std::string> errors(o.groups.size());
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t g; (g = next.fetch_add(1)) < o.groups.size();) {
            std::string e;
            if (!DrawGroup(o, style, motions, props, o.groups[g], &e))
                errors[g] = e.empty() ? "failed" : e;
        }
    };
    std::vector<std::thread> threads;
    const size_t count = std::min<size_t>(size_t(o.jobs), o.groups.size());
    for (size_t t = 1; t < count; ++t)
        threads.emplace_back(work);
    work();
    for (std::thread& t : threads)
        t.join();
    for (const std::string& e : errors) {
        if (!e.empty()) {
            std::fprintf(stderr, "artgen: %s\n", e.c_str());
            return 1;
        }
    }
    if (!o.world.empty()) {
        drawkit::Image picture;
        std::string bytes;
        if (!artgen::DrawWorldPicture(o.out, o.logic, 0.25, &picture, &error) ||
            !MakeFolder(std::filesystem::path(o.world).parent_path().string(), &error) ||
            !drawkit::EncodePng(picture, 1, &bytes, &error) ||
            !tools::WriteOutputFile(o.world, bytes, &error)) {
            std::fprintf(stderr, "artgen: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return tools::RunReportingThrows("artgen", [&] { return Run(argc, argv); });
}
