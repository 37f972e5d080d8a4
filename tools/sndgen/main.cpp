// sndgen: makes the game's sounds from the text sources beside it (tools/sndgen/sounds/).
//   sndgen --sources DIR --out GAMEFOLDER [--reel DIR] ITEM...
//       renders each item ("music/mainmenumusic", "sfx/picked_up", "voice/pickedup",
//       "ambience/surf") into GAMEFOLDER/audio/..., and its review WAV and figures into the reel
//   sndgen --summary DIR
//       joins the reel's figures into DIR/report.txt and prints the totals
// A bad source fails with "file:line: what is wrong" and exit status 1, writing nothing for it.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "inputfile.h"
#include "instrument.h"
#include "item.h"
#include "outputfile.h"
#include "toolmain.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: sndgen --sources DIR --out GAMEFOLDER [--reel DIR] ITEM...\n"
                 "       sndgen --summary REELDIR\n");
    return 2;
}

// The reel's figure files joined, in name order, with the sums of their lengths and times.
int Summary(const std::string& reel) {
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(reel, error)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".txt" && name != "report.txt") files.push_back(name);
    }
    if (error) {
        std::fprintf(stderr, "sndgen: cannot read %s: %s\n", reel.c_str(), error.message().c_str());
        return 1;
    }
    std::sort(files.begin(), files.end());
    std::string report;
    double sound = 0.0, made = 0.0;
    int count = 0;
    for (const std::string& name : files) {
        std::string text, why;
        if (!tools::ReadInputFile((fs::path(reel) / name).string(), 1 << 20, &text, &why)) {
            std::fprintf(stderr, "sndgen: %s\n", why.c_str());
            return 1;
        }
        report += text;
        size_t at = 0;
        while (at < text.size()) {
            const size_t end = std::min(text.find('\n', at), text.size());
            const std::string line = text.substr(at, end - at);
            double length = 0, seconds = 0;
            char file[256];
            if (std::sscanf(line.c_str(), "%255s %lf s", file, &length) == 2) sound += length;
            const size_t mark = line.rfind("made in ");
            if (mark != std::string::npos &&
                std::sscanf(line.c_str() + mark, "made in %lf", &seconds) == 1)
                made += seconds;
            ++count;
            at = end + 1;
        }
    }
    std::string why;
    if (!tools::WriteOutputFile((fs::path(reel) / "report.txt").string(), report, &why)) {
        std::fprintf(stderr, "sndgen: %s\n", why.c_str());
        return 1;
    }
    std::printf(
        "sndgen: %d sound files, %.1f s of sound, made in %.1f s of processor time "
        "(figures in %s/report.txt)\n",
        count, sound, made, reel.c_str());
    return 0;
}

int Run(int argc, char** argv) {
    sndgen::ItemOptions options;
    std::vector<std::string> items;
    std::string summary;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--sources" || arg == "--out" || arg == "--reel" || arg == "--summary") &&
            i + 1 < argc) {
            std::string& target = arg == "--sources" ? options.sources
                                  : arg == "--out"   ? options.out
                                  : arg == "--reel"  ? options.reel
                                                     : summary;
            target = argv[++i];
        } else if (arg.rfind("--", 0) == 0) {
            return Usage();
        } else {
            items.push_back(arg);
        }
    }
    if (!summary.empty()) return items.empty() ? Summary(summary) : Usage();
    if (options.sources.empty() || options.out.empty() || items.empty()) return Usage();
    sndgen::InstrumentFile instruments;
    std::string error;
    const std::string instrumentPath =
        (std::filesystem::path(options.sources) / "instruments.txt").string();
    if (!sndgen::ReadInstrumentFile(instrumentPath, &instruments, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    int status = 0;
    for (const std::string& item : items) {
        std::vector<std::string> lines;
        if (!sndgen::MakeItem(options, instruments, item, &lines, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            status = 1;
            continue;
        }
        for (const std::string& line : lines)
            std::printf("%s\n", line.c_str());
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    return tools::RunReportingThrows("sndgen", [&] { return Run(argc, argv); });
}
