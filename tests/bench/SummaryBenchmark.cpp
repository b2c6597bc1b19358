// The main job's work against the import it shows: `scripts/run.sh` imports a take with
// import_summary, which then summarises the scene. Both are measured in the same run, on the
// run command's sample shape (2 subjects of 12 markers and 5 segments at 120 fps) at several
// lengths.
//
//   build/release/tests/bench/summary_bench [--frames=10000,100000]
//
// Each iteration imports the take into an emptied scene twice: alone, then followed by the
// summary as import_summary prints it. Times are processor time of this thread. Counters:
//
//   import_s    seconds of the import alone
//   run_s       seconds of the import and the summary
//   vs_import   run_s over import_s (target <= 1.5)

#include <benchmark/benchmark.h>

#include <maya/MGlobal.h>
#include <maya/MString.h>

#include <time.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include <host/scene.h>

#include "BenchOption.h"
#include "SceneSummary.h"
#include "TakeGenerator.h"
#include "TestFiles.h"

namespace {

std::map<int64_t, std::string> takes;  // paths by frame count

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Seconds of thread time to import the take into an emptied scene, then to run `after`.
template <typename After>
double TimeImport(const std::string& take, After after) {
    host::resetScene();
    const double start = ThreadSeconds();
    if (!MGlobal::executeCommand(MString(("file -import \"" + take + "\"").c_str()))) {
        return -1.0;
    }
    after();
    return ThreadSeconds() - start;
}

void BM_RunAgainstImport(benchmark::State& state) {
    const std::string& take = takes.at(state.range(0));
    double importSeconds = 0.0;
    double runSeconds = 0.0;
    for (auto _ : state) {
        const double alone = TimeImport(take, [] {});
        std::ostringstream summary;
        const PlaybackRange before = CurrentPlaybackRange();
        const double run = TimeImport(take, [&] {
            PrintSummary(summary, SummariseLocators(), before, CurrentPlaybackRange());
        });
        if (alone < 0 || run < 0) {
            state.SkipWithError("the import failed");
            return;
        }
        benchmark::DoNotOptimize(summary.str());
        state.SetIterationTime(run);
        importSeconds += alone;
        runSeconds += run;
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["import_s"] = importSeconds / iterations;
    state.counters["run_s"] = runSeconds / iterations;
    state.counters["vs_import"] = runSeconds / importSeconds;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    testsupport::TempDir folder;
    std::istringstream frameList(benchsupport::Option(argc, argv, "frames", "10000,100000"));
    for (std::string frames; std::getline(frameList, frames, ',');) {
        TakeOptions options;  // the run command's sample but for its length
        options.subjects = 2;
        options.markers = 12;
        options.segments = 5;
        options.rate = 120.0f;
        options.frames = static_cast<int32_t>(std::stoll(frames));
        const std::string path = folder.Path("run_" + frames + ".K");
        if (!WriteGeneratedTake(options, path)) {
            std::fprintf(stderr, "summary_bench: cannot write \"%s\"\n", path.c_str());
            return 1;
        }
        takes[options.frames] = path;
    }
    if (!MGlobal::executeCommand("loadPlugin MayaKFileReader")) {
        return 1;
    }
    for (const auto& entry : takes) {
        benchmark::RegisterBenchmark("BM_RunAgainstImport", BM_RunAgainstImport)
            ->Arg(entry.first)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    host::resetScene();
    return MGlobal::executeCommand("unloadPlugin MayaKFileReader") ? 0 : 1;
}
