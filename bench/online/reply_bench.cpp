// A reply received through TSimpleHttp (a worker thread, the port's internet calls, libcurl)
// and polled to its end, beside a plain libcurl transfer of the same request and the same bytes.
// Both POST one form field to the same in-process test server on 127.0.0.1 and open a new
// connection each time. A table of the best and median times of both, and their ratios, closes
// the output.
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "../support/summary.h"
#include "online/httpwork.h"
#include "online/simplehttp.h"
#include "port/control.h"
#include "support/fakehttp.h"

namespace {

using testing_support::FakeHttpServer;
using testing_support::FakeReply;

// The hiscore service's replies are a few kilobytes; 4 MiB shows the cost per byte.
constexpr size_t kSizes[] = {2 * 1024, 4 * 1024 * 1024};

// The server's path for a reply of that size.
std::string PathOf(size_t size) {
    std::string path = "/";
    path += std::to_string(size);
    return path;
}

FakeHttpServer& Server() {
    static FakeHttpServer* server = [] {
        auto* made = new FakeHttpServer;
        for (size_t size : kSizes) {
            made->Answer(PathOf(size), FakeReply::Text(200, testing_support::HugeBody(size)));
        }
        return made;
    }();
    return *server;
}

int Fetch(TSimpleHttp& http, const std::string& url) {
    http.SetUrl(url.c_str(), true, nullptr);
    http.AddField("name", "player one");
    http.Send(1);
    int state;
    while ((state = http.GetState()) == TSimpleHttp::kRunning) {
        std::this_thread::sleep_for(std::chrono::microseconds(20));
    }
    return state;
}

void BM_Reply_SimpleHttp(benchmark::State& state) {
    size_t size = static_cast<size_t>(state.range(0));
    std::string url = Server().Url(PathOf(size));
    TSimpleHttp http;
    if (Fetch(http, url) != TSimpleHttp::kDone ||
        http.GetReply() != testing_support::HugeBody(size)) {
        state.SkipWithError("wrong reply");
        return;
    }
    for (auto _ : state) {
        if (Fetch(http, url) != TSimpleHttp::kDone) {
            state.SkipWithError("request failed");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

// The body kept as the worker keeps it (online/httpwork.h), so that the two differ only by the
// port layer and the worker.
size_t Append(char* data, size_t size, size_t count, void* target) {
    auto* reply = static_cast<online::HttpReply*>(target);
    size_t length = size * count;
    if (!reply->Reserve(reply->length + length + 1, size_t{1} << 30)) return 0;
    std::memcpy(reply->text.get() + reply->length, data, length);
    reply->length += length;
    reply->text.get()[reply->length] = '\0';
    return length;
}

// libcurl as a program would use it for this request: an easy handle per transfer. Answers the
// reply, empty when the transfer failed.
online::HttpReply CurlFetch(const std::string& url) {
    online::HttpReply reply;
    CURL* curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, "name=player%20one");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Append);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
    CURLcode result = curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    if (result != CURLE_OK) reply.length = 0;
    return reply;
}

void BM_Reply_PlainCurl(benchmark::State& state) {
    size_t size = static_cast<size_t>(state.range(0));
    std::string url = Server().Url(PathOf(size));
    online::HttpReply first = CurlFetch(url);
    if (first.length == 0 ||
        std::string(first.text.get(), first.length) != testing_support::HugeBody(size)) {
        state.SkipWithError("wrong reply");
        return;
    }
    for (auto _ : state) {
        if (CurlFetch(url).length != size) {
            state.SkipWithError("request failed");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

BENCHMARK(BM_Reply_SimpleHttp)->Arg(kSizes[0])->Arg(kSizes[1])->UseRealTime();
BENCHMARK(BM_Reply_PlainCurl)->Arg(kSizes[0])->Arg(kSizes[1])->UseRealTime();

void PrintSummary(const bench::TSummaryReporter& times) {
    std::printf(
        "\nA reply received and polled to its end (µs; ratios of TSimpleHttp to libcurl)\n");
    std::printf("%-8s %9s %9s %9s %9s %6s %6s\n", "bytes", "ours", "median", "libcurl", "median",
                "ratio", "median");
    for (size_t size : kSizes) {
        const std::string ours = "BM_Reply_SimpleHttp/" + std::to_string(size);
        const std::string theirs = "BM_Reply_PlainCurl/" + std::to_string(size);
        if (times.BestUs(ours) == 0.0 && times.BestUs(theirs) == 0.0) continue;
        std::printf("%-8zu", size);
        bench::PrintTime(times.BestUs(ours), 9);
        bench::PrintTime(times.MedianUs(ours), 9);
        bench::PrintTime(times.BestUs(theirs), 9);
        bench::PrintTime(times.MedianUs(theirs), 9);
        bench::PrintRatio(times.BestUs(ours), times.BestUs(theirs), 6);
        bench::PrintRatio(times.MedianUs(ours), times.MedianUs(theirs), 6);
        std::printf("\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Nothing here may leave this machine.
    port::control::SetHttpLoopbackOnly(true);
    curl_global_init(CURL_GLOBAL_DEFAULT);
    return bench::RunWithSummary(argc, argv, PrintSummary);
}
