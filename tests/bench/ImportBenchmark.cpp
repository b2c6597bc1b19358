// Import speed of the module inside the stand-in host, against its own shorter takes.
//
// Build and run (optimised build, from the repository root):
//
//   cmake --preset release && cmake --build --preset release &&
//   build/release/tests/bench/import_bench
//
// The run writes takes of 1,000, 10,000 and 100,000 frames (two subjects with 40 markers and
// 20 segments each, 120 Hz; the longest is about 390 MB) into a fresh temporary folder, loads
// the module with loadPlugin and imports each take with file -import into an emptied scene, as
// a user would. Only the import is timed, as processor time of the importing thread, so that
// other work on the machine does not blur the ratios. Counters:
//
//   keys             keys in the scene after the import
//   s_per_key        seconds of import per key
//   vs_tenth_length  import time over that of the take a tenth as long, measured earlier in
//                    the same run: 10 when the import is linear in the take's length (target
//                    <= 10.5)

#include <benchmark/benchmark.h>

#include <maya/MGlobal.h>

#include <time.h>

#include <cstdint>
#include <map>
#include <string>

#include <host/scene.h>

#include "SampleTake.h"
#include "TestFiles.h"
#include "scene/model.h"

namespace {

// The import's own processor time: other work on a shared machine does not count against it.
double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Takes by frame count, written on first use.
class Takes {
  public:
    std::string PathFor(int32_t frames) {
        auto known = paths_.find(frames);
        if (known != paths_.end()) {
            return known->second;
        }
        SampleTakeOptions options;
        options.subject = "Bob";
        options.otherSubjects = {"Ann"};
        options.markerCount = 40;
        options.segmentCount = 20;
        options.frameCount = frames;
        options.rate = 120.0f;
        const std::string path = folder_.Path("take_" + std::to_string(frames) + ".k");
        if (!folder_.IsValid() || !SampleTake(options).Write(path)) {
            return {};
        }
        return paths_[frames] = path;
    }

  private:
    testsupport::TempDir folder_;
    std::map<int32_t, std::string> paths_;
};

Takes* takes = nullptr;
std::map<int64_t, double> secondsPerImport;  // by frame count, for the ratios

int64_t KeysInScene() {
    int64_t keys = 0;
    for (const scene::Node* node : scene::theScene().nodes()) {
        keys += static_cast<int64_t>(node->keys.size());
    }
    return keys;
}

void BM_Import(benchmark::State& state) {
    const auto frames = static_cast<int32_t>(state.range(0));
    const std::string path = takes->PathFor(frames);
    if (path.empty()) {
        state.SkipWithError("cannot write the take");
        return;
    }
    const MString import = ("file -import \"" + path + "\"").c_str();
    double seconds = 0.0;
    int64_t keys = 0;
    for (auto _ : state) {
        host::resetScene();
        const double start = ThreadSeconds();
        const MStatus status = MGlobal::executeCommand(import);
        const double elapsed = ThreadSeconds() - start;
        if (!status) {
            state.SkipWithError("the import failed");
            return;
        }
        state.SetIterationTime(elapsed);
        seconds += elapsed;
        keys = KeysInScene();
    }
    host::resetScene();
    const double mean = seconds / static_cast<double>(state.iterations());
    state.counters["keys"] = static_cast<double>(keys);
    state.counters["s_per_key"] = mean / static_cast<double>(keys);
    auto tenth = secondsPerImport.find(frames / 10);
    if (tenth != secondsPerImport.end()) {
        state.counters["vs_tenth_length"] = mean / tenth->second;
    }
    secondsPerImport[frames] = mean;
}

// Shorter takes first: each longer one is compared with the one before.
BENCHMARK(BM_Import)->Arg(1000)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(
    benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!MGlobal::executeCommand("loadPlugin MayaKFileReader")) {
        return 1;
    }
    Takes run;
    takes = &run;
    benchmark::RunSpecifiedBenchmarks();
    takes = nullptr;
    benchmark::Shutdown();
    return MGlobal::executeCommand("unloadPlugin MayaKFileReader") ? 0 : 1;
}
