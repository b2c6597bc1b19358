// Shared fixture of the module's tests: the module loaded into a clean stand-in host, takes
// written with the K-file library into a temporary folder, and queries of the scene.
#pragma once

#include <gtest/gtest.h>
#include <maya/MStatus.h>

#include "Environment.h"
#include "MelText.h"
#include "TestFiles.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

// Stored as the missing-value marker of the datagroup.
constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();

struct TestFrame {
    int32_t frame;
    std::vector<double> values;  // one per label
};

// One datagroup of a test take, with double values.
struct TestDatagroup {
    int16_t id;
    float rate;
    std::vector<std::string> labels;
    std::vector<TestFrame> frames;
    // False: the frames are written, the datagroup record is not.
    bool declared = true;
};

struct Key {
    double time;   // in the UI time unit
    double value;  // in internal units
    bool operator==(const Key& other) const { return time == other.time && value == other.value; }
};
void PrintTo(const Key& key, std::ostream* out);

class ModuleTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the take into the temporary folder (never the working directory); its path.
    std::string writeTake(const std::string& name, const std::vector<TestDatagroup>& groups) const;
    std::string writeBytes(const std::string& name, const testsupport::Bytes& bytes) const {
        return folder_.Write(name, bytes);
    }
    static MStatus importFile(const std::string& path);
    // The MEL that importFile runs: the path as a MEL string (a Windows path's backslashes
    // escaped).
    static std::string importCommand(const std::string& path);

    // Full paths of the node's children, shapes included.
    static std::vector<std::string> children(const std::string& path);
    // The node's keys of the attribute; empty when it has no curve.
    static std::vector<Key> keys(const std::string& node, const std::string& attribute);
    static std::string typeOf(const std::string& node);

  private:
    testsupport::TempDir folder_;
};
