// What an export writes: which channels of which datagroups become points (markers, segment
// translations, segment angles) and analog channels, at what rate, over which frames, and what
// is left out. Channels are placed by the import's label rules.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "kfile/kfile.h"

enum class PointKind {
    kMarker,       // <P-X> <P-Y> <P-Z>, millimetres
    kTranslation,  // a segment's <T-X> <T-Y> <T-Z>, millimetres
    kAngles,       // a segment's rotation vector <A-X> <A-Y> <A-Z>, written as XYZ Euler degrees
};

// One point of every frame, read from three channels of one datagroup.
struct PointSource {
    std::string label;  // 8-bit text: "Bob:LFHD", "Bob:Hips", "Bob:HipsAngles"
    PointKind kind = PointKind::kMarker;
    int16_t datagroup = 0;
    int32_t valueType = 0;
    std::array<int32_t, 3> channels{{-1, -1, -1}};  // X, Y, Z
};

// One analog channel: one channel of a datagroup whose rate is a whole multiple of the points'.
struct AnalogSource {
    std::string label;
    int16_t datagroup = 0;
    int32_t valueType = 0;
    int32_t channel = 0;
};

struct ExportLayout {
    float rate = 0.0f;       // of the points, as the datagroup stores it
    int32_t firstFrame = 0;  // the smallest frame number of the points' records
    int64_t frames = 0;      // from the first to the last frame number, gaps included
    std::vector<PointSource> points;
    float analogRate = 0.0f;      // 0 without analog channels
    int32_t samplesPerFrame = 1;  // analog samples per point frame: analogRate / rate
    std::vector<AnalogSource> analogs;
    std::vector<std::string> leftOut;  // one sentence for each thing not written
};

// The most frames an export holds: frame counts above 2^24 lose their last digits in the
// single-precision fields that carry them.
constexpr int64_t kMostExportFrames = int64_t{1} << 24;

// Plans the export of `contents`: the points of `datagroup` (by default the first datagroup
// with markers, else with segments) and of every other datagroup at its rate; analog channels
// from the datagroups whose labels place nothing and whose rate is a whole multiple of it.
// Answers why the take cannot be exported, or empty.
std::string PlanExport(const kfile::KFileContents& contents, std::optional<int16_t> datagroup,
                       ExportLayout& layout);
