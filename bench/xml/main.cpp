// The benchmark program: the usual console output, then the reader beside pugixml on each
// document, the best and the median time of each side. The trees of both are compared before
// either side is timed (pugixml_bench.cpp); a difference fails that benchmark.
//
// The heap keeps the memory given back to it: glibc's malloc otherwise returns the top of its
// heap once more than a threshold lies free there, and moves that threshold after the largest
// block it has mapped, so a side's time would hang on what ran before it (a parse then pays the
// kernel's clearing of every page it touches, or not).
#include <malloc.h>

#include <cstdio>
#include <string>

#include "../support/summary.h"
#include "documents.h"

namespace {

void PrintSummary(const bench::TSummaryReporter& times) {
    std::printf("\nParse and free, document by document (µs; ratios of ours to pugixml)\n");
    std::printf("%-8s %9s %9s %9s %9s %9s %6s %6s %6s\n", "document", "bytes", "ours", "median",
                "pugixml", "median", "ratio", "median", "trees");
    for (int k = 0; k < bench_xml::kDocumentCount; ++k) {
        const bench_xml::Document& document = bench_xml::Documents()[static_cast<size_t>(k)];
        const std::string ours = "BM_XmlParse/" + std::to_string(k);
        const std::string theirs = "BM_PugixmlParse/" + std::to_string(k);
        if (times.BestUs(ours) == 0.0 && times.BestUs(theirs) == 0.0) continue;
        std::printf("%-8s %9zu", document.name, document.Bytes());
        bench::PrintTime(times.BestUs(ours), 9);
        bench::PrintTime(times.MedianUs(ours), 9);
        bench::PrintTime(times.BestUs(theirs), 9);
        bench::PrintTime(times.MedianUs(theirs), 9);
        bench::PrintRatio(times.BestUs(ours), times.BestUs(theirs), 6);
        bench::PrintRatio(times.MedianUs(ours), times.MedianUs(theirs), 6);
#if UMBRAVA_HAVE_PUGIXML
        std::printf(" %6s", bench_xml::TreesCompared(k));
#endif
        std::printf("\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    return bench::RunWithSummary(argc, argv, PrintSummary, [] {
#if UMBRAVA_HAVE_PUGIXML
        if (bench_xml::TreesDiffered()) {
            std::fprintf(stderr, "The two readers' trees differ.\n");
            return 1;
        }
#endif
        return 0;
    });
}
