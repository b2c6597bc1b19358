// Speed of `kfile info` against the library's read of the same take, in the same run.
//
//   cmake --preset release && cmake --build --preset release --target info_bench &&
//   build/release/tests/bench/info_bench [--frames=N]
//
// Writes a generated take of 100,000 frames (2 subjects, about 120 MB; --frames=N sets another
// count) into a fresh temporary folder and removes it at the end.
//
//   Info   each iteration reads the take with kfile::ReadTake (the baseline), then runs
//          `kfile info TAKE` in-process. Counter info_vs_read: the time of info over the time
//          of the read; target <= 2 (info reads once and counts missing values without
//          formatting them).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "Cli.h"
#include "TakeGenerator.h"
#include "TestFiles.h"
#include "kfile/kfile.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string gTake;

void BM_Info(benchmark::State& state) {
    double readSeconds = 0.0;
    double infoSeconds = 0.0;
    for (auto _ : state) {
        const Clock::time_point readStart = Clock::now();
        kfile::KReadResult take = kfile::ReadTake(gTake);
        benchmark::DoNotOptimize(take.contents.get());
        take.contents.reset();
        readSeconds += SecondsSince(readStart);

        const Clock::time_point infoStart = Clock::now();
        std::ostringstream out;
        std::ostringstream err;
        Console console{out, err, false};
        const char* argv[] = {"kfile", "info", gTake.c_str()};
        const int status = RunKfile(3, argv, console);
        const double seconds = SecondsSince(infoStart);
        if (status != 0) {
            state.SkipWithError(err.str().c_str());
            return;
        }
        infoSeconds += seconds;
        state.SetIterationTime(seconds);
    }
    state.counters["info_vs_read"] = infoSeconds / readSeconds;
    state.counters["read_ms"] = 1e3 * readSeconds / static_cast<double>(state.iterations());
}

}  // namespace

int main(int argc, char** argv) {
    int32_t frames = 100000;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--frames=", 9) == 0) {
            frames = std::atoi(argv[i] + 9);
        }
    }
    benchmark::Initialize(&argc, argv);
    testsupport::TempDir folder;
    gTake = folder.Path("info.K");
    TakeOptions options;
    options.frames = frames;
    if (!folder.IsValid() || !WriteGeneratedTake(options, gTake)) {
        std::fprintf(stderr, "info_bench: cannot write the take\n");
        return 1;
    }
    benchmark::RegisterBenchmark("Info", BM_Info)->UseManualTime()->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
