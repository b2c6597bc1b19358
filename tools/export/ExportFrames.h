// The values of an export, frame by frame: each point's X, Y and Z or none, and the analog
// samples of the frame.
#pragma once

#include <cstdint>
#include <vector>

#include "EulerAngles.h"
#include "ExportLayout.h"

struct PointValue {
    float xyz[3] = {0.0f, 0.0f, 0.0f};
    bool valid = false;  // false when the frame has no record or a channel has no value
};

class ExportFrames {
  public:
    ExportFrames(const kfile::KFileContents& contents, const ExportLayout& layout);

    // The points of frame `index` (0 is the layout's first frame), in layout order. Call with
    // rising indices: angles are brought next to those of the frame before.
    void ReadPoints(int64_t index, std::vector<PointValue>& points);

    // The analog samples of frame `index`: samplesPerFrame rows of one value per channel, NaN
    // where there is none.
    void ReadAnalog(int64_t index, std::vector<float>& samples) const;

  private:
    const kfile::KFileContents& contents_;
    const ExportLayout& layout_;
    std::vector<ContinuousEuler> angles_;  // one per point
};

// One channel's value as a number, read as the datagroup's value type; false when missing.
bool ReadNumber(const kfile::KFileDynamicRecord& record, int32_t valueType, int32_t channel,
                double& value);
