// Synthetic motion-capture takes: marker trajectories and a solved skeleton for one or more
// subjects,
// made with the K-file library's own writer. Used by the kfile command, the tests and the
// benchmarks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kfile/kfile.h"

struct SampleTakeOptions {
    std::string subject = "Bob";
    int32_t markerCount = 12;  // datagroup 0: three position channels per marker
    int32_t segmentCount = 5;  // datagroup 1: rotation vector and translation per segment
    int32_t frameCount = 240;
    int32_t firstFrame = 1;
    float rate = 120.0f;
    // Every n-th marker sample is stored as missing (0: none).
    int32_t missingEvery = 17;
    // Further subjects with the same markers and segments, each after the one before.
    std::vector<std::string> otherSubjects;
};

class SampleTake {
  public:
    explicit SampleTake(SampleTakeOptions options);

    // The whole take in memory.
    std::unique_ptr<kfile::KFileContents> MakeContents() const;
    // Streams the take to `fileName` record by record, without holding it in memory.
    bool Write(const std::string& fileName) const;

    // Bytes the take occupies on disk.
    uint64_t FileSize() const;

  private:
    std::unique_ptr<kfile::KFileDatagroupSection> MakeDatagroupSection() const;
    std::unique_ptr<kfile::KFileParameterSection> MakeParameterSection() const;
    std::unique_ptr<kfile::KFileDynamicRecord> MakeFrameRecord(
        const kfile::KFileDatagroupRecord& group, int32_t frame) const;

    SampleTakeOptions options_;
};
