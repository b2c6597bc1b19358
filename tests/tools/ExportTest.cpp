// kfile export --format c3d and trc, and --out-dir: the C3D layout as bytes, every exported
// channel read back against the take, and many takes at once.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <sstream>

#include "Cli.h"
#include "TakeGenerator.h"
#include "TakeReading.h"
#include "TestFiles.h"
#include "ToolRun.h"

using namespace testsupport;

namespace {

double Missing() {
    double missing;
    const uint64_t marker = 0x43F0000000000000ull;
    std::memcpy(&missing, &marker, sizeof missing);
    return missing;
}

// A C3D file read with the layout of the format's user guide, independently of the writer.
struct C3d {
    struct Parameter {
        int8_t type = 0;
        std::vector<size_t> dimensions;
        const uint8_t* data = nullptr;
    };
    Bytes bytes;
    std::map<std::string, Parameter> parameters;  // "POINT:LABELS"

    uint16_t Word(size_t word) const { return LoadLittleEndian<uint16_t>(&bytes[2 * word - 2]); }
    float HeaderFloat(size_t word) const { return LoadLittleEndian<float>(&bytes[2 * word - 2]); }
    const Parameter& Get(const std::string& name) const {
        static const Parameter none;
        auto found = parameters.find(name);
        return found == parameters.end() ? none : found->second;
    }
    float Float(const std::string& name, size_t i = 0) const {
        return LoadLittleEndian<float>(Get(name).data + 4 * i);
    }
    int16_t Int(const std::string& name, size_t i = 0) const {
        return LoadLittleEndian<int16_t>(Get(name).data + 2 * i);
    }
    // The texts of NAME, NAME2, ... of a 2-D character parameter, trailing spaces cut.
    std::vector<std::string> Texts(const std::string& name) const {
        std::vector<std::string> texts;
        for (int part = 1; parameters.count(part == 1 ? name : name + std::to_string(part));
             ++part) {
            const Parameter& p = Get(part == 1 ? name : name + std::to_string(part));
            const size_t count = p.dimensions.size() == 2 ? p.dimensions[1] : 1;
            for (size_t t = 0; t < count; ++t) {
                std::string text(reinterpret_cast<const char*>(p.data) + t * p.dimensions[0],
                                 p.dimensions[0]);
                texts.push_back(text.erase(text.find_last_not_of(' ') + 1));
            }
        }
        return texts;
    }
    // Frame count: POINT:FRAMES, a float when the int16 cannot hold it.
    int64_t Frames() const {
        const Parameter& frames = Get("POINT:FRAMES");
        return frames.type == 4 ? static_cast<int64_t>(Float("POINT:FRAMES")) : Int("POINT:FRAMES");
    }
    int64_t TrialField(const std::string& name) const {
        return static_cast<uint16_t>(Int(name, 0)) +
               (int64_t{static_cast<uint16_t>(Int(name, 1))} << 16);
    }
    // Float `index` of frame `frame` of the data section.
    float Data(int64_t frame, size_t index) const {
        const size_t perFrame = 4 * Word(2) + Word(3);
        return LoadLittleEndian<float>(
            &bytes[(Word(9) - 1) * 512 + 4 * (static_cast<size_t>(frame) * perFrame + index)]);
    }
};

C3d ReadC3d(const std::string& path) {
    C3d file;
    file.bytes = ReadFileBytes(path);
    std::map<int, std::string> groups;
    size_t at = (file.bytes[0] - 1) * 512 + 4;
    for (;;) {
        const size_t nameLength =
            static_cast<size_t>(std::abs(static_cast<int8_t>(file.bytes[at])));
        const auto id = static_cast<int8_t>(file.bytes[at + 1]);
        const std::string name(reinterpret_cast<const char*>(&file.bytes[at + 2]), nameLength);
        const size_t offsetAt = at + 2 + nameLength;
        const auto offset = LoadLittleEndian<int16_t>(&file.bytes[offsetAt]);
        if (id < 0) {
            groups[-id] = name;
        } else {
            C3d::Parameter parameter;
            parameter.type = static_cast<int8_t>(file.bytes[offsetAt + 2]);
            const size_t count = file.bytes[offsetAt + 3];
            for (size_t d = 0; d < count; ++d) {
                parameter.dimensions.push_back(file.bytes[offsetAt + 4 + d]);
            }
            parameter.data = &file.bytes[offsetAt + 4 + count];
            file.parameters[groups[id] + ":" + name] = parameter;
        }
        if (offset == 0) {
            return file;
        }
        at = offsetAt + static_cast<size_t>(offset);
    }
}

// The tab-separated cells of each line, `columns` of them (trailing empty cells included).
std::vector<std::vector<std::string>> TrcRows(const std::string& text, size_t columns) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        rows.emplace_back();
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');) {
            rows.back().push_back(cell);
        }
        rows.back().resize(columns);
    }
    return rows;
}

class Export : public testing::Test {
  protected:
    std::string Generated(TakeOptions options) {
        const std::string path = dir_.Path("take" + std::to_string(taken_++) + ".K");
        EXPECT_TRUE(WriteGeneratedTake(options, path));
        return path;
    }

    std::unique_ptr<kfile::KFileContents> Read(const std::string& path) {
        std::ostringstream sink;
        Console console{sink, sink, false};
        return ReadTakeOrComplain(path, console);
    }

    // Markers (datagroup 0 at `rate`) and forces (datagroup 1 at twice the rate), by frame.
    std::string MarkersAndForces(const std::vector<std::string>& markerLabels,
                                 const std::vector<std::vector<double>>& markers,
                                 const std::vector<std::vector<double>>& forces, float rate,
                                 int32_t firstFrame) {
        ByteBuilder take;
        take.FileHeader()
            .Section("DATAGROUP",
                     RecordBody({DatagroupPayload(0, "Markers", 6, 8, rate, markerLabels),
                                 DatagroupPayload(1, "Forces", 6, 8, 2 * rate,
                                                  {"Plate1:Fz", "Plate1:Mz"})}))
            .Terminator();
        for (size_t f = 0; f < markers.size(); ++f) {
            take.Framed(DynamicPayload(0, firstFrame + static_cast<int32_t>(f), markers[f]));
        }
        for (size_t f = 0; f < forces.size(); ++f) {
            take.Framed(DynamicPayload(1, 2 * firstFrame + static_cast<int32_t>(f), forces[f]));
        }
        return dir_.Write("hand.K", take.bytes());
    }

    TempDir dir_;
    int taken_ = 0;
};

TEST_F(Export, C3dHeaderParametersAndFramesAreLaidOutAsTheFormatDescribes) {
    const double gap = Missing();
    const std::string take =
        MarkersAndForces({"Bob:LFHD <P-X>", "Bob:LFHD <P-Y>", "Bob:LFHD <P-Z>", "REF <P-X>",
                          "REF <P-Y>", "REF <P-Z>"},
                         {{1, 2, 3, 4, 5, 6}, {7, 8, gap, 10, 11, 12}},
                         {{0.5, -0.5}, {1.5, gap}, {2.5, -2.5}, {3.5, -3.5}}, 29.97f, 3);
    const std::string out = dir_.Path("out.c3d");
    const ToolRun run = RunTool({"export", take, "--format", "c3d", "--out", out});
    ASSERT_EQ(run.status, 0) << run.err;
    const Bytes bytes = ReadFileBytes(out);
    ASSERT_EQ(bytes.size() % 512, 0u);
    // Header: parameters in block 2, key 0x50, 2 points, 2 channels x 2 samples, frames 3-4.
    const std::vector<uint16_t> words = {0x5002, 2, 4, 3, 4, 0};
    for (size_t w = 0; w < words.size(); ++w) {
        EXPECT_EQ(LoadLittleEndian<uint16_t>(&bytes[2 * w]), words[w]) << "word " << w + 1;
    }
    EXPECT_EQ(LoadLittleEndian<float>(&bytes[12]), -1.0f);
    EXPECT_EQ(LoadLittleEndian<uint16_t>(&bytes[16]), 4u);  // data after 2 parameter blocks
    EXPECT_EQ(LoadLittleEndian<uint16_t>(&bytes[18]), 2u);  // samples per frame
    EXPECT_EQ(LoadLittleEndian<float>(&bytes[20]), 29.97f);
    // Parameter section: reserved bytes, two blocks, Intel; then the group POINT and POINT:USED.
    const Bytes heading(bytes.begin() + 512, bytes.begin() + 516);
    EXPECT_EQ(heading, (Bytes{1, 0x50, 2, 84}));
    const Bytes point(bytes.begin() + 516, bytes.begin() + 516 + 7);
    EXPECT_EQ(point, (Bytes{5, 0xFF, 'P', 'O', 'I', 'N', 'T'}));
    const size_t used = 516 + 7 + 2 + 1 + bytes[516 + 7 + 2];
    // Name, group 1, offset to the next (itself, type, dimensions, value, description), int16,
    // no dimensions, the value 2, 16 bytes of description.
    EXPECT_EQ(Bytes(bytes.begin() + used, bytes.begin() + used + 13),
              (Bytes{4, 1, 'U', 'S', 'E', 'D', 2 + 1 + 1 + 2 + 1 + 16, 0, 2, 0, 2, 0, 16}));

    const C3d file = ReadC3d(out);
    EXPECT_EQ(file.Texts("POINT:LABELS"), (std::vector<std::string>{"Bob:LFHD", "REF"}));
    EXPECT_EQ(file.Texts("POINT:UNITS"), (std::vector<std::string>{"mm"}));
    EXPECT_EQ(file.Float("POINT:RATE"), 29.97f);
    EXPECT_EQ(file.Int("POINT:DATA_START"), 4);
    EXPECT_EQ(file.Frames(), 2);
    EXPECT_EQ(file.Texts("ANALOG:LABELS"), (std::vector<std::string>{"Plate1:Fz", "Plate1:Mz"}));
    EXPECT_EQ(file.Int("ANALOG:USED"), 2);
    EXPECT_EQ(file.Float("ANALOG:RATE"), 2 * 29.97f);
    EXPECT_EQ(file.Float("ANALOG:GEN_SCALE"), 1.0f);
    EXPECT_EQ(file.Float("ANALOG:SCALE", 1), 1.0f);
    EXPECT_EQ(file.Int("ANALOG:OFFSET", 1), 0);
    EXPECT_EQ(file.TrialField("TRIAL:ACTUAL_START_FIELD"), 3);
    EXPECT_EQ(file.TrialField("TRIAL:ACTUAL_END_FIELD"), 4);
    // Frame 3: both points valid (residual 0), then force samples 6 and 7, a missing one NaN.
    const std::vector<float> first = {1, 2, 3, 0, 4, 5, 6, 0, 0.5f, -0.5f, 1.5f};
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(file.Data(0, i), first[i]) << i;
    }
    EXPECT_TRUE(std::isnan(file.Data(0, 11)));
    // Frame 4: the marker lacking Z is invalid (0, 0, 0, residual -1); samples 8 and 9.
    const std::vector<float> second = {0, 0, 0, -1, 10, 11, 12, 0, 2.5f, -2.5f, 3.5f, -3.5f};
    for (size_t i = 0; i < second.size(); ++i) {
        EXPECT_EQ(file.Data(1, i), second[i]) << i;
    }
}

// Every marker and segment translation of a generated take, frame by frame, with gaps as
// invalid points; the force plate as analog channels.
TEST_F(Export, C3dReadsBackAsTheTake) {
    TakeOptions options;
    options.frames = 60;
    options.markers = 4;
    options.segments = 2;
    options.missingEvery = 8;
    options.firstFrame = 7;
    const std::string take = Generated(options);
    const std::string out = dir_.Path("take.c3d");
    const ToolRun run = RunTool({"export", take, "-f", "c3d", "-o", out});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("left out datagroup 1 'Skeleton' channel 'Bob1:Hips <a-X>'"),
              std::string::npos)
        << run.err;

    const C3d file = ReadC3d(out);
    const auto contents = Read(take);
    const std::vector<std::string> labels = file.Texts("POINT:LABELS");
    ASSERT_EQ(labels.size(), file.Word(2));
    EXPECT_EQ(file.Word(4), 7);
    EXPECT_EQ(file.Frames(), 60);
    std::map<std::string, size_t> index;
    for (size_t p = 0; p < labels.size(); ++p) {
        index[labels[p]] = p;
    }
    int64_t checked = 0;
    int64_t invalid = 0;
    for (int16_t id : {0, 1}) {
        const auto& group = *contents->GetDatagroupSection()->FindRecord(id);
        for (int32_t c = 0; c < group.GetLabelCount(); ++c) {
            const std::string label = group.GetLabel(c);
            const size_t suffix = label.find(" <");
            const char kind = label[suffix + 2];
            if (kind != 'P' && kind != 'T') {
                continue;
            }
            ASSERT_TRUE(index.count(label.substr(0, suffix))) << label;
            const size_t point = index[label.substr(0, suffix)];
            const size_t axis = static_cast<size_t>(label[suffix + 4] - 'X');
            for (int64_t f = 0; f < 60; ++f) {
                double value = 0.0;
                const bool present = contents->FindDynamicRecord(id, static_cast<int32_t>(7 + f))
                                         ->GetDouble(c, value);
                const float residual = file.Data(f, 4 * point + 3);
                if (present) {
                    EXPECT_EQ(file.Data(f, 4 * point + axis), static_cast<float>(value));
                } else {
                    EXPECT_EQ(residual, -1.0f) << label << " frame " << f;
                    EXPECT_EQ(file.Data(f, 4 * point + axis), 0.0f);
                    ++invalid;
                }
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, 60 * 3 * (2 * 4 + 2 + 2 * 2));
    EXPECT_GT(invalid, 0);
    const std::vector<std::string> analog = file.Texts("ANALOG:LABELS");
    ASSERT_EQ(analog.size(), 6u);
    const auto& forces = *contents->GetDatagroupSection()->FindRecord(2);
    for (int64_t f = 0; f < 60; ++f) {
        for (int32_t c = 0; c < 6; ++c) {
            float value = 0.0f;
            ASSERT_TRUE(
                contents->FindDynamicRecord(2, static_cast<int32_t>(7 + f))->GetFloat(c, value));
            EXPECT_EQ(file.Data(f, 4 * labels.size() + static_cast<size_t>(c)), value);
        }
    }
    EXPECT_EQ(analog[0], forces.GetLabel(0));
}

// A segment that turns about Z through pi and on past a whole turn: its angles run on.
TEST_F(Export, C3dAnglesOfASegmentRunOnThroughPi) {
    ByteBuilder take;
    take.FileHeader()
        .Section(
            "DATAGROUP",
            RecordBody({DatagroupPayload(0, "Skeleton", 6, 8, 100.0f,
                                         {"Bob:Hips <A-X>", "Bob:Hips <A-Y>", "Bob:Hips <A-Z>",
                                          "Bob:Hips <T-X>", "Bob:Hips <T-Y>", "Bob:Hips <T-Z>"})}))
        .Terminator();
    const int frames = 50;
    for (int f = 0; f < frames; ++f) {
        const double angle = 0.3 * f;  // to 14.7 rad, past two whole turns
        take.Framed(DynamicPayload(0, f + 1, {0.0, 0.0, angle, 10.0 * f, 0.0, 0.0}));
    }
    const std::string out = dir_.Path("turn.c3d");
    const ToolRun run =
        RunTool({"export", dir_.Write("turn.K", take.bytes()), "-f", "c3d", "-o", out});
    ASSERT_EQ(run.status, 0) << run.err;
    const C3d file = ReadC3d(out);
    EXPECT_EQ(file.Texts("POINT:LABELS"), (std::vector<std::string>{"Bob:HipsAngles", "Bob:Hips"}));
    EXPECT_EQ(file.Texts("POINT:ANGLES"), (std::vector<std::string>{"Bob:HipsAngles"}));
    EXPECT_EQ(file.Texts("POINT:ANGLE_UNITS"), (std::vector<std::string>{"deg"}));
    for (int f = 0; f < frames; ++f) {
        EXPECT_NEAR(file.Data(f, 0), 0.0, 1e-3) << f;
        EXPECT_NEAR(file.Data(f, 1), 0.0, 1e-3) << f;
        EXPECT_NEAR(file.Data(f, 2), 0.3 * f * 180.0 / M_PI, 1e-3) << f;
        EXPECT_EQ(file.Data(f, 4), 10.0f * f);
    }
}

// A long take from a frame past 65535: TRIAL's fields and POINT:FRAMES carry what the header's
// 16-bit words cannot; more than 255 points go on in POINT:LABELS2; 8-bit names stay bytes.
TEST_F(Export, C3dHoldsLongTakesManyPointsAndEightBitNames) {
    TakeOptions options;
    options.subjects = 1;
    options.markers = 1;
    options.segments = 0;
    options.frames = 70000;
    options.firstFrame = 100000;
    options.missingEvery = 0;
    const std::string longTake = Generated(options);
    const std::string out = dir_.Path("long.c3d");
    ASSERT_EQ(RunTool({"export", longTake, "-f", "c3d", "-o", out}).status, 0);
    const C3d file = ReadC3d(out);
    EXPECT_EQ(file.Word(4), 65535);
    EXPECT_EQ(file.Word(5), 65535);
    EXPECT_EQ(file.Frames(), 70000);
    EXPECT_EQ(file.TrialField("TRIAL:ACTUAL_START_FIELD"), 100000);
    EXPECT_EQ(file.TrialField("TRIAL:ACTUAL_END_FIELD"), 169999);
    const auto contents = Read(longTake);
    double last = 0.0;
    ASSERT_TRUE(contents->FindDynamicRecord(0, 169999)->GetDouble(2, last));
    EXPECT_EQ(file.Data(69999, 2), static_cast<float>(last));
    EXPECT_EQ(file.bytes.size(),
              (file.Word(9) - 1) * 512u + (70000u * (4 * 3 + 6) * 4 + 511) / 512 * 512);

    std::vector<std::string> labels;
    std::vector<double> values;
    for (int m = 0; m < 300; ++m) {
        for (const char* axis : {"X", "Y", "Z"}) {
            labels.push_back("M\xE9" + std::to_string(m) + " <P-" + axis + ">");
            values.push_back(m);
        }
    }
    ByteBuilder many;
    many.FileHeader()
        .Section("DATAGROUP", RecordBody({DatagroupPayload(0, "M", 6, 8, 100.0f, labels)}))
        .Terminator()
        .Framed(DynamicPayload(0, 1, values));
    const std::string manyOut = dir_.Path("many.c3d");
    ASSERT_EQ(
        RunTool({"export", dir_.Write("many.K", many.bytes()), "-f", "c3d", "-o", manyOut}).status,
        0);
    const C3d manyFile = ReadC3d(manyOut);
    EXPECT_EQ(manyFile.Int("POINT:USED"), 300);
    EXPECT_EQ(manyFile.Get("POINT:LABELS").dimensions[1], 255u);
    const std::vector<std::string> read = manyFile.Texts("POINT:LABELS");
    ASSERT_EQ(read.size(), 300u);
    EXPECT_EQ(read[299],
              "M\xE9"
              "299");
    EXPECT_EQ(manyFile.Data(0, 4 * 299), 299.0f);
}

TEST_F(Export, TrcHasItsHeaderLinesAndEmptyCellsForGaps) {
    const double gap = Missing();
    const std::string take =
        MarkersAndForces({"Bob:LFHD <P-X>", "Bob:LFHD <P-Y>", "Bob:LFHD <P-Z>"},
                         {{1.5, 2, 3}, {gap, 8, 9}}, {}, 29.97f, 10);
    const std::string out = dir_.Path("out.trc");
    const ToolRun run = RunTool({"export", take, "--format", "trc", "--out", out});
    ASSERT_EQ(run.status, 0) << run.err;
    const Bytes bytes = ReadFileBytes(out);
    const std::string text(bytes.begin(), bytes.end());
    const std::string header =
        "PathFileType\t4\t(X/Y/Z)\tout.trc\n"
        "DataRate\tCameraRate\tNumFrames\tNumMarkers\tUnits\tOrigDataRate\t"
        "OrigDataStartFrame\tOrigNumFrames\n"
        "29.97\t29.97\t2\t1\tmm\t29.97\t10\t2\n"
        "Frame#\tTime\tBob:LFHD\t\t\n"
        "\t\tX1\tY1\tZ1\n"
        "\n";
    ASSERT_EQ(text.substr(0, header.size()), header);
    std::vector<std::vector<std::string>> rows = TrcRows(text.substr(header.size()), 5);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(std::stod(rows[1][1]), 11 / static_cast<double>(29.97f));
    EXPECT_EQ(rows[0], (std::vector<std::string>{"10", rows[0][1], "1.5", "2", "3"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"11", rows[1][1], "", "", ""}));
    EXPECT_NE(run.err.find("left out 2 analog channels"), std::string::npos) << run.err;

    // Every marker of a generated take, cell by cell.
    TakeOptions options;
    options.frames = 40;
    options.markers = 3;
    options.segments = 0;
    options.missingEvery = 6;
    const std::string generated = Generated(options);
    ASSERT_EQ(RunTool({"export", generated, "-f", "trc", "-o", out}).status, 0);
    const Bytes written = ReadFileBytes(out);
    const std::string lines(written.begin(), written.end());
    const auto contents = Read(generated);
    const auto& markers = *contents->GetDatagroupSection()->FindRecord(0);
    const size_t body = lines.find("\n\n") + 2;
    rows = TrcRows(lines.substr(body), 2 + static_cast<size_t>(markers.GetLabelCount()));
    ASSERT_EQ(rows.size(), 40u);
    size_t empty = 0;
    for (int32_t f = 0; f < 40; ++f) {
        const kfile::KFileDynamicRecord& record = *contents->FindDynamicRecord(0, f + 1);
        for (int32_t c = 0; c < markers.GetLabelCount(); ++c) {
            double value = 0.0;
            const std::string& cell = rows[static_cast<size_t>(f)][2 + static_cast<size_t>(c)];
            if (record.GetDouble(c, value)) {
                EXPECT_EQ(std::stof(cell), static_cast<float>(value)) << f << " " << c;
            } else {
                EXPECT_EQ(cell, "") << f << " " << c;
                ++empty;
            }
        }
    }
    EXPECT_GT(empty, 0u);
}

// Three takes, one of them no K-file: its error is told, the others are written, exit 1.
TEST_F(Export, ManyTakesGoOnPastOneThatFails) {
    TakeOptions options;
    options.frames = 20;
    const std::string first = Generated(options);
    const std::string broken = dir_.Write("broken.K", Bytes{'n', 'o', 't', ' ', 'a', ' ', 'K'});
    const std::string second = Generated(options);
    const std::string folder = dir_.Path("out/c3d");
    for (const char* format : {"c3d", "trc", "csv"}) {
        const ToolRun run =
            RunTool({"export", first, broken, second, "-f", format, "--out-dir", folder});
        EXPECT_EQ(run.status, 1) << format;
        EXPECT_NE(run.err.find("kfile: '" + broken + "'"), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("exporting"), std::string::npos) << "not a terminal";
        for (const char* name : {"take0.", "take1."}) {
            EXPECT_FALSE(ReadFileBytes(folder + "/" + name + format).empty()) << name << format;
        }
        EXPECT_TRUE(ReadFileBytes(folder + "/broken." + std::string(format)).empty());
    }
    // Two takes of one name would write one file: the second is refused.
    const ToolRun twice = RunTool({"export", first, first, "-f", "c3d", "--out-dir", folder});
    EXPECT_EQ(twice.status, 1);
    EXPECT_NE(twice.err.find("would replace that of"), std::string::npos) << twice.err;
}

// The progress line: on a terminal only, and never with --quiet.
TEST_F(Export, ManyTakesShowProgressOnATerminalOnly) {
    TakeOptions options;
    options.frames = 10;
    const std::string take = Generated(options);
    const std::string folder = dir_.Path("out");
    for (bool quiet : {false, true}) {
        std::vector<std::string> arguments = {"kfile", "export", take,        take + "x",
                                              "-f",    "c3d",    "--out-dir", folder};
        if (quiet) {
            arguments.push_back("--quiet");
        }
        std::vector<const char*> argv;
        for (const std::string& argument : arguments) {
            argv.push_back(argument.c_str());
        }
        std::ostringstream out;
        std::ostringstream err;
        Console terminal{out, err, true};
        EXPECT_EQ(RunKfile(static_cast<int>(argv.size()), argv.data(), terminal), 1);
        const bool shown =
            err.str().find("\r\033[Kexporting 0 of 2 takes, 0.0 MB of ") != std::string::npos;
        EXPECT_EQ(shown, !quiet) << err.str();
        // The failure of the second take is told on a line of its own.
        EXPECT_NE(err.str().find((quiet ? "" : "\r\033[K") + std::string("kfile: '") + take + "x'"),
                  std::string::npos)
            << err.str();
    }
}

}  // namespace
