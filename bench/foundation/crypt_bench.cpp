// The cipher's costs: keying (every TCrypt made, e.g. per preference save) and enciphering a
// record with its base64 stage, the form the preference file stores.
#include <benchmark/benchmark.h>

#include <vector>

#include "foundation/prefs/crypt.h"

static void BM_CryptKeySchedule(benchmark::State& state) {
    for (auto _ : state) {
        TCrypt crypt("QuietRiverSt");
        benchmark::DoNotOptimize(&crypt);
    }
}
BENCHMARK(BM_CryptKeySchedule);

static void BM_CryptEncryptBase64(benchmark::State& state) {
    TCrypt crypt("QuietRiverSt");
    std::vector<char> data(static_cast<size_t>(state.range(0)), 'x');
    int size = static_cast<int>(data.size());
    std::vector<char> out(static_cast<size_t>(crypt.Encrypt(data.data(), size, nullptr, 0, true)));
    for (auto _ : state) {
        crypt.Encrypt(data.data(), size, out.data(), static_cast<int>(out.size()), true);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CryptEncryptBase64)->Arg(64)->Arg(64 * 1024);

static void BM_CryptDecryptBase64(benchmark::State& state) {
    TCrypt crypt("QuietRiverSt");
    std::vector<char> data(static_cast<size_t>(state.range(0)), 'x');
    int size = static_cast<int>(data.size());
    std::vector<char> sealed(
        static_cast<size_t>(crypt.Encrypt(data.data(), size, nullptr, 0, true)));
    crypt.Encrypt(data.data(), size, sealed.data(), static_cast<int>(sealed.size()), true);
    std::vector<char> out(data.size());
    int textLength = static_cast<int>(sealed.size()) - 1;
    for (auto _ : state) {
        crypt.Decrypt(sealed.data(), textLength, out.data(), size, true);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CryptDecryptBase64)->Arg(64)->Arg(64 * 1024);
