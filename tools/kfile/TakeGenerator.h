// Realistic synthetic takes: several subjects, each a skeleton with markers riding on its
// segments, seen by cameras that lose markers now and then, plus a force plate. Deterministic:
// the same options give the same bytes on every machine. Used by `kfile generate`, the tests,
// the samples and the benchmarks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "kfile/KFileManager.h"

struct TakeOptions {
    uint32_t seed = 1;
    int32_t subjects = 2;
    int32_t markers = 12;  // per subject, three position channels each
    int32_t segments = 5;  // per subject, a rotation vector and a translation each
    int32_t frames = 240;  // of the marker and skeleton datagroups
    int32_t firstFrame = 1;
    float rate = 120.0f;  // of the datagroups: markers, skeleton and forces
    // On average a marker drops out once in this many frames, for a few frames or for up to a
    // second; 0 keeps every marker in view.
    int32_t missingEvery = 150;
};

// The highest rate of the cameras, in frames per second.
constexpr float kMostRate = 100000.0f;
// The most frames: the take then holds about 2^31 - 1 records (three per frame), the most a
// contents object counts.
constexpr int32_t kMostFrames = 715827882;

// What is wrong with the options, or empty when they make a take that the file format can hold.
std::string CheckTakeOptions(const TakeOptions& options);

// About the bytes the take occupies, never less.
uint64_t EstimatedTakeBytes(const TakeOptions& options);

// Called now and then while a take is written with the frames written and the frames in all.
using TakeProgress = std::function<void(int32_t done, int32_t total)>;

// Writes the take described by `options` to `fileName`, record by record:
//   PARAMETER  SUBJECTS (text), FRAMES (first and last), RATE
//   TAKEINFO   a section of a kind readers do not know, which they step over
//   DATAGROUP  0 "Markers" (double, mm): "Bob1:LFHD <P-X>" ..., then the unprefixed "REF1 <P-X>"
//              1 "Skeleton" (double): "Bob1:Hips <A-X>" (rotation vector, radians) and
//                "<T-X>" (mm) per segment, and "Bob1:Hips <a-X>" local angles of the root
//              2 "Forces" (float, at the cameras' rate and frames): "Plate1:Fx" ... "Plate1:Mz"
// Each subject walks a circle of 1.5 m at 1.4 m/s, a person's pace, turning once in 6.7 s: in
// a take of more than that its root's rotation vector passes pi and grows beyond 2 pi, while
// the other segments' vectors stay below pi and flip across it.
// The file is replaced only once the take is complete (kfile::WriteFileSafely). Fails when the
// file cannot be written or the options are refused by CheckTakeOptions (with no system error).
kfile::KWriteReport WriteGeneratedTakeReporting(const TakeOptions& options,
                                                const std::string& fileName,
                                                const TakeProgress& progress = {});
bool WriteGeneratedTake(const TakeOptions& options, const std::string& fileName,
                        const TakeProgress& progress = {});
