#include "documents.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace bench_xml {

namespace {

constexpr size_t kSize = 5 * 1024 * 1024;

struct Lcg {
    uint32_t state;
    uint32_t Next() { return state = state * 1103515245u + 12345u; }
    uint32_t Below(uint32_t n) { return (Next() >> 8) % n; }
};

// How the world's elements are laid out: what goes before an element, an attribute or a text at
// a depth (0 for the top).
struct Layout {
    bool indented;
    std::string Before(int depth) const { return indented ? Line(depth) : ""; }
    std::string BeforeAttribute(int depth) const { return indented ? Line(depth + 1) : " "; }
    static std::string Line(int depth) {
        std::string line(1, '\n');
        line.append(4 * static_cast<size_t>(depth), ' ');
        return line;
    }
};

// objects creatures, or with objects 0 as many as make kSize bytes (*made is how many).
std::string World(const Layout& layout, int objects, int* made) {
    std::string out =
        "<?xml version=\"1.0\"?>" + layout.Before(0) + "<World CurrentTime=\"123456\" Seed=\"42\">";
    Lcg random{12345};
    auto number = [&random](uint32_t below) { return std::to_string(random.Next() % below); };
    int object = 0;
    for (; objects != 0 ? object < objects : out.size() < kSize; ++object) {
        out += layout.Before(1) + "<Creature" + layout.BeforeAttribute(1) + "Id=\"" +
               std::to_string(object) + "\"" + layout.BeforeAttribute(1) + "Name=\"Creature " +
               number(1000) + "\"" + layout.BeforeAttribute(1) + "Health=\"" + number(100) + "\"" +
               layout.BeforeAttribute(1) + "Position=\"" + number(4096) + "," + number(768) + "\">";
        for (int task = 0; task < 4; ++task) {
            out += layout.Before(2) + "<Task" + layout.BeforeAttribute(2) + "Kind=\"" + number(12) +
                   "\"" + layout.BeforeAttribute(2) + "Weight=\"0." + number(1000) + "\">" +
                   layout.Before(2) + "gather water near the pool &amp; rest" + layout.Before(2) +
                   "</Task>";
        }
        out += layout.Before(1) + "</Creature>";
    }
    out += layout.Before(0) + "</World>" + (layout.indented ? "\n" : "");
    *made = object;
    return out;
}

// Level data: layers of objects with many attributes on one line, indented by tabs.
std::string Tabbed() {
    static const char* const kKinds[] = {"Tree", "Rock", "Bush", "Hut", "Well", "Fence"};
    static const char* const kScripts[] = {"grow", "idle", "sway", "", "burn"};
    std::string out =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Level Name=\"Valley\" "
        "Version=\"3\" Width=\"4096\" Height=\"768\">\n";
    Lcg random{2024};
    auto number = [&random](uint32_t below) { return std::to_string(random.Below(below)); };
    for (int layer = 0; out.size() < kSize; ++layer) {
        out += "\t<Layer Name=\"Layer" + std::to_string(layer) + "\" Depth=\"" + number(16) +
               "\" Visible=\"true\" Parallax=\"0." + number(100) + "\">\n";
        for (int object = 0; object < 40; ++object) {
            const bool group = random.Below(8) == 0;
            out += "\t\t<Object Id=\"" + std::to_string(layer * 40 + object) + "\" Kind=\"" +
                   kKinds[random.Below(6)] + "\" X=\"" + number(4096) + "\" Y=\"" + number(768) +
                   "\" Width=\"" + number(256) + "\" Height=\"" + number(256) + "\" Rotation=\"0." +
                   number(100) + "\" Scale=\"1." + number(10) + "\" Flags=\"" + number(64) +
                   "\" Frame=\"" + number(12) + "\" Script=\"" + kScripts[random.Below(5)] +
                   "\" Tint=\"#" + number(1000000) + "\"";
            if (!group) {
                out += "/>\n";
                continue;
            }
            out += ">\n";
            for (int part = 0; part < 3; ++part) {
                out += "\t\t\t<Part Name=\"part" + std::to_string(part) + "\" Dx=\"" + number(64) +
                       "\" Dy=\"" + number(64) + "\" Frame=\"" + number(12) + "\"/>\n";
            }
            out += "\t\t\t<Note>placed by hand &amp; checked</Note>\n\t\t</Object>\n";
        }
        out += "\t</Layer>\n";
    }
    out += "</Level>\n";
    return out;
}

std::vector<std::string> LogicFiles() {
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(UMBRAVA_XML_BENCH_LOGIC)) {
        if (entry.path().extension() == ".xml") paths.push_back(entry.path());
    }
    std::sort(paths.begin(), paths.end());
    std::vector<std::string> texts;
    for (const auto& path : paths) {
        std::ifstream in(path, std::ios::binary);
        texts.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return texts;
}

}  // namespace

const std::vector<Document>& Documents() {
    static const std::vector<Document> documents = [] {
        int objects = 0;
        std::string world = World(Layout{true}, 0, &objects);
        std::string compact = World(Layout{false}, objects, &objects);
        return std::vector<Document>{
            {"world", {std::move(world)}},
            {"compact", {std::move(compact)}},
            {"tabbed", {Tabbed()}},
            {"logic", LogicFiles()},
        };
    }();
    return documents;
}

}  // namespace bench_xml
