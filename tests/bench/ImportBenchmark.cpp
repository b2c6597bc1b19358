// Import speed and memory of the module inside the stand-in host, against the host's own cost
// of the keys it makes, measured in the same run.
//
// Build and run (optimised build, from the repository root):
//
//   cmake --preset release && cmake --build --preset release &&
//   build/release/tests/bench/import_bench [--frames=1000,10000,100000] [--takes=FOLDER]
//
// The takes are those of `kfile generate OUT --subjects 2 --markers 40 --segments 20 --rate 120
// --frames N` (about 3.9 KB and 480 keys a frame), written as FOLDER/import_N.K unless
// they are there already; without --takes into a fresh temporary folder. The module is loaded
// with loadPlugin, and each take is imported into an emptied scene by the translator's own
// steps, timed apart: kfile::ReadTake, then per datagroup setUpDatagroup and keyDatagroupFrames.
// Times are processor time of the importing thread, so that other work on a shared machine
// does not blur the ratios. Counters:
//
//   keys             keys in the scene after the import
//   read_s, setup_s, keying_s   seconds of each phase; releasing the take counts as keying
//   ns_per_key       nanoseconds of the whole import per key
//   vs_tenth_length  import time over that of the take a tenth as long, measured earlier in
//                    the same run: 10 when the import is linear in the take's length (target
//                    <= 10.5)
//   bare_ns_per_key  the baseline: the host adding keys at the same times to the same curves,
//                    emptied after the import, with MFnAnimCurve::addKeyframe, curve after
//                    curve, each in time order
//   vs_bare          ns_per_key over bare_ns_per_key (target <= 3)
//   kernel_share, bare_kernel_share   the part of the import's and of the baseline's time
//                    spent in the kernel, mostly mapping fresh memory
//   user_ns_per_key  ns_per_key without that part: the import's own work
//   peak_vs_budget   highest live heap during the import over file size + 40 bytes a key
//                    (target <= 1); every operator new and delete is counted (HeapCounter.cpp)
//   scene_bytes_per_key  heap the scene holds after the import, per key: what the stand-in's
//                    nodes and curves cost

#include <benchmark/benchmark.h>

#include <maya/MFnAnimCurve.h>
#include <maya/MGlobal.h>
#include <maya/MTime.h>

#include <sys/resource.h>
#include <time.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <host/command_log.h>
#include <host/scene.h>

#include "BenchOption.h"
#include "HeapCounter.h"
#include "TakeGenerator.h"
#include "TestFiles.h"
#include "import/TakeImport.h"
#include "kfile/kfile.h"
#include "scene/access.h"
#include "scene/model.h"

namespace {

constexpr double kBudgetBytesPerKey = 40.0;
constexpr double kTicks = 6000.0;  // the host's time resolution, per second

// Processor time of this thread, in seconds: other work on a shared machine does not count
// against it. `kernel` is the part spent in the kernel: above all mapping fresh memory, and
// reclaiming memory for it when the system runs short.
struct CpuTime {
    double all = 0.0;
    double kernel = 0.0;

    static CpuTime Now() {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        rusage usage{};
        getrusage(RUSAGE_THREAD, &usage);
        return {static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9,
                static_cast<double>(usage.ru_stime.tv_sec) +
                    static_cast<double>(usage.ru_stime.tv_usec) * 1e-6};
    }
    CpuTime& operator+=(const CpuTime& other) {
        all += other.all;
        kernel += other.kernel;
        return *this;
    }
    CpuTime operator-(const CpuTime& other) const {
        return {all - other.all, kernel - other.kernel};
    }
};

struct Take {
    std::string path;
    double bytes = 0.0;
};

// Takes by frame count, and the import time of each once measured, for the ratios.
std::map<int64_t, Take> takes;
std::map<int64_t, double> secondsPerImport;

struct Phases {
    CpuTime read;
    CpuTime setup;
    CpuTime keying;  // releasing the take at the end included
    CpuTime total() const {
        CpuTime sum = read;
        sum += setup;
        sum += keying;
        return sum;
    }
};

// The translator's import, phase by phase. False when the take cannot be read.
bool TimedImport(const std::string& path, Phases& phases) {
    CpuTime last = CpuTime::Now();
    auto lap = [&last](CpuTime& phase) {
        const CpuTime now = CpuTime::Now();
        phase += now - last;
        last = now;
    };
    kfile::KReadResult take = kfile::ReadTake(path);
    lap(phases.read);
    if (!take.contents) {
        return false;
    }
    ChannelAnimatorList animators;
    ImportedDofNodes imported;
    widenPlaybackRange(*take.contents);
    for (int32_t group = 0; group < take.contents->GetDatagroupCount(); ++group) {
        setUpDatagroup(*take.contents, static_cast<int16_t>(group), animators, imported);
        lap(phases.setup);
        keyDatagroupFrames(*take.contents, group, animators);
        lap(phases.keying);
    }
    animators.clear();  // the translator drops them and the take before it returns
    take.contents.reset();
    lap(phases.keying);
    return true;
}

// Hands freed memory back to the system, so that every import, as the one import into a fresh
// session, gets memory the system has to map afresh: otherwise a short take would find its
// memory already mapped by the run before and a long one would not.
void ReturnFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

// As a fresh session has it: an empty scene, and no log of the commands of earlier imports,
// which would otherwise grow by thousands of lines an import and be copied as it grows.
void FreshScene() {
    host::resetScene();
    host::clearCommandLog();
    host::clearMessageLog();
    ReturnFreedMemory();
}

std::vector<scene::Node*> Curves() {
    std::vector<scene::Node*> curves;
    for (scene::Node* node : scene::theScene().nodes()) {
        if (node->isCurve()) {
            curves.push_back(node);
        }
    }
    return curves;
}

int64_t KeysInScene() {
    int64_t keys = 0;
    for (const scene::Node* curve : Curves()) {
        keys += static_cast<int64_t>(curve->keys.size());
    }
    return keys;
}

// Seconds the host takes to add the imported keys back to their curves, emptied and with the
// memory of their keys handed back to the system, so that the host maps it afresh as it does
// in an import. Curve after curve, each in time order; the value of each key is its time,
// since only the times are kept aside (4 bytes a key) and values do not change what a key
// costs.
CpuTime BareKeying() {
    std::vector<std::pair<scene::Node*, std::vector<uint32_t>>> ticks;
    for (scene::Node* curve : Curves()) {
        ticks.emplace_back(curve, std::vector<uint32_t>());
        for (const scene::Key& key : curve->keys) {
            ticks.back().second.push_back(static_cast<uint32_t>(std::lround(key.time * kTicks)));
        }
        std::deque<scene::Key>().swap(curve->keys);
    }
    ReturnFreedMemory();
    const CpuTime start = CpuTime::Now();
    for (const auto& [node, times] : ticks) {
        MFnAnimCurve curve(MObjectAccess::forNode(node->id));
        for (uint32_t tick : times) {
            const double seconds = tick / kTicks;
            curve.addKeyframe(MTime(seconds, MTime::kSeconds), seconds,
                              MFnAnimCurve::kTangentLinear, MFnAnimCurve::kTangentLinear, nullptr);
        }
    }
    return CpuTime::Now() - start;
}

void BM_Import(benchmark::State& state) {
    const Take& take = takes.at(state.range(0));
    Phases phases;
    CpuTime bare;
    double keys = 0.0;
    double peakBytes = 0.0;
    double sceneBytes = 0.0;
    for (auto _ : state) {
        FreshScene();
        const size_t before = heap::LiveBytes();
        heap::ResetPeak();
        Phases once;
        if (!TimedImport(take.path, once)) {
            state.SkipWithError("the take cannot be read");
            return;
        }
        state.SetIterationTime(once.total().all);
        peakBytes = std::max(peakBytes, static_cast<double>(heap::PeakBytes() - before));
        sceneBytes = static_cast<double>(heap::LiveBytes() - before);
        keys = static_cast<double>(KeysInScene());
        phases.read += once.read;
        phases.setup += once.setup;
        phases.keying += once.keying;
        bare += BareKeying();
    }
    FreshScene();
    const double iterations = static_cast<double>(state.iterations());
    const CpuTime total = phases.total();
    const double seconds = total.all / iterations;
    state.counters["keys"] = keys;
    state.counters["read_s"] = phases.read.all / iterations;
    state.counters["setup_s"] = phases.setup.all / iterations;
    state.counters["keying_s"] = phases.keying.all / iterations;
    state.counters["ns_per_key"] = seconds / keys * 1e9;
    state.counters["bare_ns_per_key"] = bare.all / iterations / keys * 1e9;
    state.counters["vs_bare"] = total.all / bare.all;
    state.counters["kernel_share"] = total.kernel / total.all;
    state.counters["user_ns_per_key"] = (total.all - total.kernel) / iterations / keys * 1e9;
    state.counters["bare_kernel_share"] = bare.kernel / bare.all;
    state.counters["peak_vs_budget"] = peakBytes / (take.bytes + kBudgetBytesPerKey * keys);
    state.counters["scene_bytes_per_key"] = sceneBytes / keys;
    auto tenth = secondsPerImport.find(state.range(0) / 10);
    if (tenth != secondsPerImport.end()) {
        state.counters["vs_tenth_length"] = seconds / tenth->second;
    }
    secondsPerImport[state.range(0)] = seconds;
}

// The take of `frames` frames in the folder, written there first when it is missing.
bool FindOrWriteTake(const std::string& folder, int64_t frames) {
    const std::string path = folder + "/import_" + std::to_string(frames) + ".K";
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        TakeOptions options;
        options.subjects = 2;
        options.markers = 40;
        options.segments = 20;
        options.rate = 120.0f;
        options.frames = static_cast<int32_t>(frames);
        if (!WriteGeneratedTake(options, path)) {
            std::fprintf(stderr, "import_bench: cannot write \"%s\"\n", path.c_str());
            return false;
        }
    }
    takes[frames] = Take{path, static_cast<double>(std::filesystem::file_size(path, error))};
    return !error;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    testsupport::TempDir ownFolder;
    const std::string folder = benchsupport::Option(argc, argv, "takes", ownFolder.Path(""));
    std::istringstream frameList(benchsupport::Option(argc, argv, "frames", "1000,10000,100000"));
    for (std::string frames; std::getline(frameList, frames, ',');) {
        if (!FindOrWriteTake(folder, std::stoll(frames))) {
            return 1;
        }
    }
    if (!MGlobal::executeCommand("loadPlugin MayaKFileReader")) {
        return 1;
    }
    // Shorter takes first: each longer one is compared with the one before.
    for (const auto& entry : takes) {
        benchmark::RegisterBenchmark("BM_Import", BM_Import)
            ->Arg(entry.first)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return MGlobal::executeCommand("unloadPlugin MayaKFileReader") ? 0 : 1;
}
