// kfile generate: deterministic takes with the features that exercise an importer.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>

#include "TakeGenerator.h"
#include "TestFiles.h"
#include "ToolRun.h"
#include "kfile/kfile.h"

using namespace kfile;
using namespace testsupport;

namespace {

constexpr double kPi = 3.14159265358979323846;

class Generate : public testing::Test {
  protected:
    std::unique_ptr<KFileContents> Read(const TakeOptions& options) {
        const std::string path = dir_.Path("take.K");
        EXPECT_TRUE(WriteGeneratedTake(options, path));
        KReadResult take = ReadTake(path);
        EXPECT_TRUE(take.contents) << take.report.Describe();
        return std::move(take.contents);
    }

    // Channel `channel` of datagroup `id` per frame; NaN where it is missing.
    static std::vector<double> Channel(const KFileContents& take, int16_t id, int32_t channel) {
        std::vector<double> values;
        for (const KFileDynamicRecord& record : take.GetDynamicRecords(id)) {
            double value = 0;
            values.push_back(record.GetDouble(channel, value) ? value : std::nan(""));
        }
        return values;
    }

    static int32_t ChannelOf(const KFileContents& take, int16_t id, const std::string& label) {
        std::vector<std::string> labels;
        EXPECT_TRUE(take.GetDatagroupLabels(id, labels));
        for (size_t c = 0; c < labels.size(); ++c) {
            if (labels[c] == label) {
                return static_cast<int32_t>(c);
            }
        }
        ADD_FAILURE() << "no channel " << label;
        return 0;
    }

    TempDir dir_;
};

TEST_F(Generate, TheSameSeedGivesTheSameBytesAndAnotherSeedOthers) {
    auto bytesFor = [&](uint32_t seed, const char* name) {
        const ToolRun run = RunTool(
            {"generate", dir_.Path(name), "--seed", std::to_string(seed), "--frames", "30"});
        EXPECT_EQ(run.status, 0) << run.err;
        return ReadFileBytes(dir_.Path(name));
    };
    const Bytes first = bytesFor(7, "a.K");
    EXPECT_EQ(first, bytesFor(7, "b.K"));
    EXPECT_NE(first, bytesFor(8, "c.K"));
}

TEST_F(Generate, SubjectsUnprefixedMarkersLocalAndForceChannels) {
    TakeOptions options;
    options.subjects = 3;
    options.frames = 10;
    auto take = Read(options);
    std::vector<std::string> markers, skeleton, forces;
    ASSERT_TRUE(take->GetDatagroupLabels(0, markers));
    ASSERT_TRUE(take->GetDatagroupLabels(1, skeleton));
    ASSERT_TRUE(take->GetDatagroupLabels(2, forces));
    EXPECT_EQ(markers.front(), "Bob1:LFHD <P-X>");
    EXPECT_NE(std::find(markers.begin(), markers.end(), "Ann:LFHD <P-X>"), markers.end());
    EXPECT_NE(std::find(markers.begin(), markers.end(), "Kim2:LFHD <P-X>"), markers.end());
    EXPECT_EQ(markers.back(), "REF2 <P-Z>");
    EXPECT_NE(std::find(skeleton.begin(), skeleton.end(), "Ann:Hips <a-Y>"), skeleton.end());
    EXPECT_EQ(forces.front(), "Plate1:Fx");
    EXPECT_EQ(take->GetDatagroupRate(0), 120.0f);
    EXPECT_EQ(take->GetDatagroupRate(2), 120.0f);
    ASSERT_NE(take->GetParameterSection(), nullptr);
    EXPECT_EQ(take->GetParameterSection()->FindRecord("SUBJECTS")->GetText(2), "Kim2");
}

TEST_F(Generate, TheRootTurnsBeyondAFullTurnAndOtherSegmentsFlipAcrossPi) {
    TakeOptions options;
    options.frames = 900;  // 7.5 s: a turn and some
    auto take = Read(options);
    const std::vector<double> heading = Channel(*take, 1, ChannelOf(*take, 1, "Bob1:Hips <A-Z>"));
    EXPECT_LT(heading.front(), kPi);
    EXPECT_GT(heading.back(), 2 * kPi);

    // A solver's vector stays within pi and jumps to the other side as the heading passes it.
    const int32_t spine = ChannelOf(*take, 1, "Bob1:Spine <A-Z>");
    const std::vector<double> z = Channel(*take, 1, spine);
    size_t flips = 0;
    for (size_t f = 1; f < z.size(); ++f) {
        std::vector<double> vector;
        for (int32_t axis = 0; axis < 3; ++axis) {
            vector.push_back(Channel(*take, 1, spine - 2 + axis)[f]);
        }
        EXPECT_LE(std::hypot(vector[0], vector[1], vector[2]), kPi + 1e-9);
        flips += std::abs(z[f] - z[f - 1]) > kPi ? 1 : 0;
    }
    EXPECT_GE(flips, 1u);
}

// The root walks at about 1.4 m/s in a short take and in a long one alike.
TEST_F(Generate, SubjectsWalkAtAPersonsPaceWhateverTheTakesLength) {
    for (int32_t frames : {24, 240, 24000}) {
        TakeOptions options;
        options.frames = frames;
        options.rate = 120.0f;
        auto take = Read(options);
        const int32_t x = ChannelOf(*take, 1, "Bob1:Hips <T-X>");
        const std::vector<double> xs = Channel(*take, 1, x);
        const std::vector<double> ys = Channel(*take, 1, x + 1);
        for (size_t f = 1; f < xs.size(); f += 7) {
            const double speed = std::hypot(xs[f] - xs[f - 1], ys[f] - ys[f - 1]) * 120.0;
            EXPECT_NEAR(speed, 1400.0, 50.0) << frames << " frames, frame " << f;
        }
    }
}

TEST_F(Generate, MarkersRideOnTheirSegmentsAndDropOutInGapsOfSeveralLengths) {
    TakeOptions options;
    options.frames = 600;
    options.missingEvery = 40;
    auto take = Read(options);
    // Marker 1 (RFHD) rides on segment 1 (Spine): its distance to the segment's origin stays.
    std::vector<double> distances;
    const int32_t marker = ChannelOf(*take, 0, "Bob1:RFHD <P-X>");
    const int32_t origin = ChannelOf(*take, 1, "Bob1:Spine <T-X>");
    std::vector<std::vector<double>> m, o;
    for (int32_t axis = 0; axis < 3; ++axis) {
        m.push_back(Channel(*take, 0, marker + axis));
        o.push_back(Channel(*take, 1, origin + axis));
    }
    std::vector<size_t> gaps;
    size_t gap = 0;
    for (size_t f = 0; f < m[0].size(); ++f) {
        if (std::isnan(m[0][f])) {
            EXPECT_TRUE(std::isnan(m[1][f]) && std::isnan(m[2][f]));
            ++gap;
            continue;
        }
        if (gap > 0) {
            gaps.push_back(gap);
            gap = 0;
        }
        distances.push_back(std::hypot(m[0][f] - o[0][f], m[1][f] - o[1][f], m[2][f] - o[2][f]));
    }
    ASSERT_GT(distances.size(), 300u);
    const auto [low, high] = std::minmax_element(distances.begin(), distances.end());
    EXPECT_LT(*high - *low, 1e-6);
    EXPECT_GT(*low, 1.0);  // and it moves: the segment turns
    const std::vector<double> x = m[0];
    EXPECT_GT(std::abs(x.front() - x[x.size() / 2]), 100.0);

    ASSERT_GE(gaps.size(), 3u);
    EXPECT_EQ(*std::min_element(gaps.begin(), gaps.end()) < 5, true);
    EXPECT_GT(*std::max_element(gaps.begin(), gaps.end()), 4u);
}

TEST_F(Generate, OptionsTheFormatCannotHoldAreRefused) {
    TakeOptions options;
    EXPECT_EQ(CheckTakeOptions(options), "");
    options.markers = 1400;
    EXPECT_NE(CheckTakeOptions(options), "");
    options = TakeOptions{};
    options.firstFrame = INT32_MAX;
    EXPECT_NE(CheckTakeOptions(options), "");
    options.firstFrame = INT32_MAX - options.frames + 1;
    EXPECT_EQ(CheckTakeOptions(options), "");
    options = TakeOptions{};
    options.frames = kMostFrames + 1;  // 2^31 records
    EXPECT_NE(CheckTakeOptions(options), "");
    options.frames = 0;
    EXPECT_NE(CheckTakeOptions(options), "");
    EXPECT_FALSE(WriteGeneratedTake(TakeOptions{}, dir_.Path("no/such/folder/take.K")));
    EXPECT_EQ(RunTool({"generate", dir_.Path("no/such/folder/take.K")}).status, 1);
    // A take larger than the free space is refused before a byte is written.
    const ToolRun huge = RunTool({"generate", dir_.Path("huge.K"), "--frames", "715827882",
                                  "--markers", "300", "--subjects", "1"});
    EXPECT_EQ(huge.status, 2);
    EXPECT_NE(huge.err.find("free"), std::string::npos) << huge.err;
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("huge.K")));
}

// Takes across the range of every option: each is clean to kfile validate, its subjects keep
// names of their own once the import drops their digits, the plate's rate is a whole multiple
// of the cameras', and every datagroup starts at the same time.
TEST_F(Generate, EveryOptionGivesACleanTake) {
    const std::vector<std::vector<std::string>> sweeps = {
        {},
        {"--subjects", "30", "--markers", "2", "--segments", "1"},
        {"--subjects", "1", "--markers", "0"},
        {"--subjects", "1", "--segments", "0"},
        {"--markers", "40", "--segments", "20"},
        {"--frames", "1"},
        {"--frames", "2", "--rate", "100000"},
        {"--rate", "1"},
        {"--rate", "25"},
        {"--rate", "29.97"},
        {"--rate", "59.94", "--first-frame", "-1000"},
        {"--first-frame", "0"},
        {"--first-frame", "-2147483648", "--frames", "3"},
        {"--first-frame", "2147483645", "--frames", "3"},
        {"--missing-every", "0"},
        {"--missing-every", "1"},
        {"--seed", "4294967295"},
    };
    for (const std::vector<std::string>& sweep : sweeps) {
        std::vector<std::string> arguments{"generate", dir_.Path("sweep.K")};
        arguments.insert(arguments.end(), sweep.begin(), sweep.end());
        if (std::find(sweep.begin(), sweep.end(), "--frames") == sweep.end()) {
            arguments.insert(arguments.end(), {"--frames", "20"});
        }
        std::string name;
        for (const std::string& argument : sweep) {
            name += argument + " ";
        }
        SCOPED_TRACE(name);
        const ToolRun generated = RunTool(arguments);
        ASSERT_EQ(generated.status, 0) << generated.err;
        EXPECT_EQ(generated.out.find("e+"), std::string::npos) << generated.out;  // no 1e+05 fps
        const ToolRun validate = RunTool({"validate", dir_.Path("sweep.K")});
        EXPECT_EQ(validate.status, 0) << validate.out;

        KReadResult take = ReadTake(dir_.Path("sweep.K"));
        ASSERT_TRUE(take.contents);
        const KFileParameterRecord* subjects =
            take.contents->GetParameterSection()->FindRecord("SUBJECTS");
        std::set<std::string> imported;
        for (int32_t s = 0; s < subjects->GetDimensions().back(); ++s) {
            const std::string subject = subjects->GetText(s);
            imported.insert(subject.substr(0, subject.find_first_of("0123456789")));
        }
        EXPECT_EQ(imported.size(), size_t(subjects->GetDimensions().back()));

        const float rate = take.contents->GetDatagroupRate(0);
        const float plateRate = take.contents->GetDatagroupRate(2);
        EXPECT_EQ(plateRate / rate, std::floor(plateRate / rate));
        std::vector<double> starts;
        for (int16_t id = 0; id < 3; ++id) {
            const KFileDynamicRecord& first = *take.contents->GetDynamicRecords(id).begin();
            starts.push_back(first.GetFrame() / double(take.contents->GetDatagroupRate(id)));
        }
        EXPECT_DOUBLE_EQ(starts[1], starts[0]);
        EXPECT_DOUBLE_EQ(starts[2], starts[0]);
    }
}

}  // namespace
