// Read speed and memory of the K-file library, each against a baseline measured in the same run.
//
// Build and run (optimised build, from the repository root):
//
//   cmake --preset release && cmake --build --preset release &&
//   build/release/tests/bench/kfile_bench [take.K ...]
//
// Without takes on the command line the run writes synthetic ones (100 markers, 25 segments;
// the full take is about 217 MB, plus a half-length and a quarter-length take) into a fresh
// temporary folder, which it removes at the end; KFILE_BENCH_FRAMES=<n> sets the frame count of
// the full take (default 60000), e.g. for a quick trial run. Given takes (scripts/bench.sh makes
// them with `kfile generate`), the largest is the full take. Benchmarks:
//
//   RawRead      fread of the full take in 64 KiB blocks into one buffer, as `cat` reads: the
//                baseline.
//   KFileRead    KFileManager Open, Read and Close of the full take, each preceded by a raw pass
//                as in RawRead and followed by handing the freed memory back to the system, so
//                that every read pays for fresh memory as an import does. Counters: read_vs_raw
//                (library throughput over raw throughput of those same iterations, target >= 0.25),
//                read_vs_raw_cpu (the same in processor time of the reading thread, which other
//                work on a shared machine does not blur) and peak_heap_vs_file (highest live heap
//                during Read over the file size, target <= 1.25). Every operator new and delete of
//                this binary is counted (HeapCounter.cpp).
//   FrameWalk/n  FindDynamicRecord for every frame of every datagroup and GetDouble of every
//                channel, on takes of n frames. s_per_record stays flat and the fitted
//                complexity is O(N) when lookups take constant time. FrameWalk measures walks
//                over a take already indexed; FirstFrameWalk the first walk over a freshly read
//                take, index building included.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include <time.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "HeapCounter.h"
#include "SampleTake.h"
#include "TestFiles.h"
#include "kfile/kfile.h"

using namespace kfile;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t kDefaultFrames = 60000;
constexpr size_t kRawBlock = 64 * 1024;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Wall and processor time of one timed stretch.
struct Stopwatch {
    Clock::time_point wallStart = Clock::now();
    double cpuStart = ThreadSeconds();

    double Wall() const { return SecondsSince(wallStart); }
    double Cpu() const { return ThreadSeconds() - cpuStart; }
};

// Writes a take of `frames` frames into `folder` with the streaming writer; its path, or empty
// on failure.
std::string MakeTake(const testsupport::TempDir& folder, int32_t frames) {
    if (!folder.IsValid()) {
        return {};
    }
    SampleTakeOptions options;
    options.markerCount = 100;
    options.segmentCount = 25;
    options.frameCount = frames;
    std::string path = folder.Path("take_" + std::to_string(frames) + ".k");
    return SampleTake(options).Write(path) ? path : std::string();
}

struct Take {
    std::string path;
    uint64_t size = 0;
};

// Shared state of the benchmarks of one run.
struct Run {
    Take full;
    std::map<int64_t, Take> byFrames;  // every take, by frame count
    // Walk benchmarks keep the contents they walk between their repetitions.
    std::map<int64_t, std::unique_ptr<KFileContents>> indexed;
};

Run* run = nullptr;

// One cat-style pass; answers the bytes read.
uint64_t RawPass(const std::string& path, std::vector<char>& buffer) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return 0;
    }
    uint64_t total = 0;
    size_t arrived;
    while ((arrived = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
        total += arrived;
    }
    std::fclose(file);
    return total;
}

void BM_RawRead(benchmark::State& state) {
    std::vector<char> buffer(kRawBlock);
    uint64_t bytes = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        uint64_t read = RawPass(run->full.path, buffer);
        state.SetIterationTime(SecondsSince(start));
        if (read != run->full.size) {
            state.SkipWithError("raw read came up short");
            return;
        }
        bytes += read;
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

// Each iteration first makes a cat-style pass over the take and then reads it with the
// library, so that the ratio compares passes made under the same load on the machine.
// Hands what the last read freed back to the system, so that the next read, like the one read
// of an import, gets memory the system has to map afresh rather than what the C library kept.
void ReturnFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

void BM_KFileRead(benchmark::State& state) {
    std::vector<char> buffer(kRawBlock);
    uint64_t bytes = 0;
    double seconds = 0.0, rawSeconds = 0.0, cpuSeconds = 0.0, rawCpuSeconds = 0.0;
    size_t peak = 0;
    int64_t records = 0;
    for (auto _ : state) {
        Stopwatch raw;
        if (RawPass(run->full.path, buffer) != run->full.size) {
            state.SkipWithError("raw read came up short");
            return;
        }
        rawSeconds += raw.Wall();
        rawCpuSeconds += raw.Cpu();

        Stopwatch read;
        KFileManager manager;
        if (manager.Open(run->full.path) == kNotOpened) {
            state.SkipWithError("cannot open the take");
            return;
        }
        size_t liveBefore = heap::LiveBytes();
        heap::ResetPeak();
        std::unique_ptr<KFileContents> contents = manager.Read();
        peak = std::max(peak, heap::PeakBytes() - liveBefore);
        manager.Close();
        double elapsed = read.Wall();
        cpuSeconds += read.Cpu();
        if (!contents) {
            state.SkipWithError("the take did not read");
            return;
        }
        records = contents->GetDynamicRecordCount();
        contents.reset();
        ReturnFreedMemory();
        state.SetIterationTime(elapsed);  // neither the raw pass nor the release is reading
        bytes += run->full.size;
        seconds += elapsed;
    }
    double fileSize = static_cast<double>(run->full.size);
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
    state.counters["read_vs_raw"] = rawSeconds / seconds;
    state.counters["read_vs_raw_cpu"] = rawCpuSeconds / cpuSeconds;
    state.counters["raw_MB_per_s"] = static_cast<double>(bytes) / rawSeconds / 1e6;
    state.counters["read_MB_per_cpu_s"] = static_cast<double>(bytes) / cpuSeconds / 1e6;
    state.counters["raw_MB_per_cpu_s"] = static_cast<double>(bytes) / rawCpuSeconds / 1e6;
    state.counters["peak_heap_vs_file"] = static_cast<double>(peak) / fileSize;
    state.counters["peak_heap_MB"] = static_cast<double>(peak) / 1e6;
    state.counters["file_MB"] = fileSize / 1e6;
    state.counters["records"] = static_cast<double>(records);
}

// Looks up every frame of every datagroup and reads every channel; answers the records found.
int64_t WalkFrames(const KFileContents& contents) {
    const KFileDatagroupSection* groups = contents.GetDatagroupSection();
    if (!groups) {
        return 0;
    }
    int64_t found = 0;
    double sum = 0.0;
    const int32_t last = contents.GetLastFrame();  // a pass over every record: asked once
    for (int32_t frame = contents.GetFirstFrame(); frame <= last; ++frame) {
        for (const KFileDatagroupRecord& group : groups->GetRecords()) {
            const KFileDynamicRecord* record = contents.FindDynamicRecord(group.GetId(), frame);
            if (!record) {
                continue;
            }
            ++found;
            for (int32_t channel = 0; channel < group.GetLabelCount(); ++channel) {
                double value = 0.0;
                if (record->GetDouble(channel, value)) {
                    sum += value;
                }
            }
        }
    }
    benchmark::DoNotOptimize(sum);
    return found;
}

void ReportWalk(benchmark::State& state, int64_t records) {
    state.SetComplexityN(records);
    state.counters["records"] = static_cast<double>(records);
    state.counters["s_per_record"] = benchmark::Counter(
        static_cast<double>(records),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_FrameWalk(benchmark::State& state) {
    const Take& take = run->byFrames[state.range(0)];
    std::unique_ptr<KFileContents>& contents = run->indexed[state.range(0)];
    if (!contents) {
        contents = ReadTake(take.path).contents;
        if (!contents) {
            state.SkipWithError("the take did not read");
            return;
        }
        WalkFrames(*contents);  // builds the index
    }
    int64_t records = 0;
    for (auto _ : state) {
        records = WalkFrames(*contents);
    }
    ReportWalk(state, records);
}

void BM_FirstFrameWalk(benchmark::State& state) {
    const Take& take = run->byFrames[state.range(0)];
    int64_t records = 0;
    for (auto _ : state) {
        std::unique_ptr<KFileContents> contents = ReadTake(take.path).contents;
        if (!contents) {
            state.SkipWithError("the take did not read");
            return;
        }
        auto start = Clock::now();
        records = WalkFrames(*contents);
        state.SetIterationTime(SecondsSince(start));
    }
    ReportWalk(state, records);
}

int32_t FullFrameCount() {
    const char* text = std::getenv("KFILE_BENCH_FRAMES");
    int32_t frames = text ? std::atoi(text) : kDefaultFrames;
    return frames >= 4 ? frames : kDefaultFrames;
}

void RegisterBenchmarks(const std::vector<int64_t>& lengths) {
    benchmark::RegisterBenchmark("RawRead", BM_RawRead)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    // The warm-up keeps out the first read of a run, whose memory a virtual machine may still
    // have to back on the host: a cost of the machine, paid once, that no allocation scheme
    // avoids.
    benchmark::RegisterBenchmark("KFileRead", BM_KFileRead)
        ->MinWarmUpTime(1.0)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    auto* walk = benchmark::RegisterBenchmark("FrameWalk", BM_FrameWalk);
    auto* firstWalk = benchmark::RegisterBenchmark("FirstFrameWalk", BM_FirstFrameWalk);
    for (int64_t frames : lengths) {
        walk->Arg(frames);
        firstWalk->Arg(frames);
    }
    walk->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
    firstWalk->UseManualTime()
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond)
        ->Complexity(benchmark::oN);
}

// The frames a take spans; 0 when it does not read.
int64_t FramesOf(const std::string& path) {
    std::unique_ptr<KFileContents> contents = ReadTake(path).contents;
    return contents ? int64_t{contents->GetLastFrame()} - contents->GetFirstFrame() + 1 : 0;
}

// Adds a take of `frames` frames; the largest so far becomes the full take.
bool AddTake(Run& state, const std::string& path, int64_t frames) {
    std::error_code error;
    uint64_t size = path.empty() ? 0 : std::filesystem::file_size(path, error);
    if (path.empty() || error || frames <= 0) {
        std::fprintf(stderr, "kfile_bench: no take of %lld frames at \"%s\"\n",
                     static_cast<long long>(frames), path.c_str());
        return false;
    }
    state.byFrames[frames] = Take{path, size};
    if (size > state.full.size) {
        state.full = state.byFrames[frames];
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // What the benchmark library left are the takes to read; anything else is a mistake.
    std::vector<std::string> given(argv + 1, argv + argc);
    for (const std::string& argument : given) {
        if (argument.rfind('-', 0) == 0 && benchmark::ReportUnrecognizedArguments(argc, argv)) {
            return 1;
        }
    }
    Run state;
    run = &state;
    testsupport::TempDir folder;
    if (given.empty()) {
        int32_t frames = FullFrameCount();
        for (int32_t length : {frames / 4, frames / 2, frames}) {
            if (!AddTake(state, MakeTake(folder, length), length)) {
                return 1;
            }
        }
    }
    for (const std::string& path : given) {
        if (!AddTake(state, path, FramesOf(path))) {
            return 1;
        }
    }
    std::vector<int64_t> lengths;
    for (const auto& [frames, take] : state.byFrames) {
        lengths.push_back(frames);
    }
    RegisterBenchmarks(lengths);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    state.indexed.clear();
    run = nullptr;
    return 0;
}
