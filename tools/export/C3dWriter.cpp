#include "C3dWriter.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "ExportFrames.h"

namespace {

constexpr size_t kBlock = 512;
constexpr int kMostBlocks = 255;           // the parameter section's block count is one byte
constexpr size_t kMostPerDimension = 255;  // a dimension is one byte
constexpr size_t kMostDataBytes = 32000;   // the offset to the next parameter is an int16
constexpr int64_t kMostCount = 32767;      // POINT:USED and ANALOG:USED are int16
constexpr int64_t kMostHeaderWord = 65535;
constexpr uint8_t kIntelProcessor = 84;

enum Group : int8_t { kPoint = 1, kAnalog = 2, kTrial = 3 };
enum Type : int8_t { kChar = -1, kInt16 = 2, kFloat = 4 };

void PutWord(std::vector<uint8_t>& bytes, uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void PutFloat(std::vector<uint8_t>& bytes, float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    PutWord(bytes, static_cast<uint16_t>(bits & 0xFFFF));
    PutWord(bytes, static_cast<uint16_t>(bits >> 16));
}

void SetWord(std::vector<uint8_t>& bytes, size_t word, uint16_t value) {
    bytes[2 * (word - 1)] = static_cast<uint8_t>(value & 0xFF);
    bytes[2 * (word - 1) + 1] = static_cast<uint8_t>(value >> 8);
}

void SetFloat(std::vector<uint8_t>& bytes, size_t word, float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    SetWord(bytes, word, static_cast<uint16_t>(bits & 0xFFFF));
    SetWord(bytes, word + 1, static_cast<uint16_t>(bits >> 16));
}

uint16_t HeaderWord(int64_t value) {
    return static_cast<uint16_t>(std::min(value, kMostHeaderWord));
}

// The parameter records, each group or parameter followed by the offset to the next one.
class Parameters {
  public:
    void AddGroup(Group id, const std::string& name, const std::string& description) {
        Start(name, static_cast<int8_t>(-id));
        Finish(description);
    }

    void AddTexts(Group group, const std::string& name, const std::vector<std::string>& texts,
                  const std::string& description) {
        size_t width = 1;
        for (const std::string& text : texts) {
            width = std::max(width, text.size());
        }
        std::vector<uint8_t> data;
        for (const std::string& text : texts) {
            std::string padded = text;
            padded.resize(width, ' ');
            data.insert(data.end(), padded.begin(), padded.end());
        }
        Add(group, name, kChar, {width, texts.size()}, data, description);
    }

    void AddText(Group group, const std::string& name, const std::string& text,
                 const std::string& description) {
        Add(group, name, kChar, {text.size()}, {text.begin(), text.end()}, description);
    }

    void AddInt16s(Group group, const std::string& name, const std::vector<int16_t>& values,
                   std::vector<size_t> dimensions, const std::string& description) {
        std::vector<uint8_t> data;
        for (int16_t value : values) {
            PutWord(data, static_cast<uint16_t>(value));
        }
        Add(group, name, kInt16, std::move(dimensions), data, description);
    }

    void AddFloats(Group group, const std::string& name, const std::vector<float>& values,
                   std::vector<size_t> dimensions, const std::string& description) {
        std::vector<uint8_t> data;
        for (float value : values) {
            PutFloat(data, value);
        }
        Add(group, name, kFloat, std::move(dimensions), data, description);
    }

    // Lists of more than one parameter can hold go on in NAME2, NAME3, ...: `add` is given
    // the name and the range of items of each.
    template <typename Add>
    static void Chunked(const std::string& name, size_t count, size_t itemBytes, Add add) {
        const size_t perChunk =
            std::max<size_t>(1, std::min(kMostPerDimension, kMostDataBytes / itemBytes));
        size_t begin = 0;
        int part = 1;
        do {
            const size_t end = std::min(count, begin + perChunk);
            add(part == 1 ? name : name + std::to_string(part), begin, end);
            begin = end;
            ++part;
        } while (begin < count);
    }

    // The section: its 4-byte heading, the records, the last one's offset 0, whole blocks.
    std::vector<uint8_t> Section() const {
        std::vector<uint8_t> section = {1, 0x50, 0, kIntelProcessor};
        section.insert(section.end(), records_.begin(), records_.end());
        if (lastOffset_ != std::string::npos) {
            section[4 + lastOffset_] = 0;
            section[4 + lastOffset_ + 1] = 0;
        }
        section.resize((section.size() + kBlock - 1) / kBlock * kBlock, 0);
        section[2] = static_cast<uint8_t>(std::min<size_t>(section.size() / kBlock, 255));
        return section;
    }

    size_t Blocks() const { return (4 + records_.size() + kBlock - 1) / kBlock; }

  private:
    void Start(const std::string& name, int8_t id) {
        records_.push_back(static_cast<uint8_t>(name.size()));
        records_.push_back(static_cast<uint8_t>(id));
        records_.insert(records_.end(), name.begin(), name.end());
        lastOffset_ = records_.size();
        PutWord(records_, 0);  // set by Finish once the record's length is known
    }

    // The record's description (always shorter than 256 bytes here) and its offset.
    void Finish(const std::string& description) {
        records_.push_back(static_cast<uint8_t>(description.size()));
        records_.insert(records_.end(), description.begin(), description.end());
        const size_t offset = records_.size() - lastOffset_;
        records_[lastOffset_] = static_cast<uint8_t>(offset & 0xFF);
        records_[lastOffset_ + 1] = static_cast<uint8_t>(offset >> 8);
    }

    void Add(Group group, const std::string& name, Type type, std::vector<size_t> dimensions,
             const std::vector<uint8_t>& data, const std::string& description) {
        Start(name, group);
        records_.push_back(static_cast<uint8_t>(type));
        records_.push_back(static_cast<uint8_t>(dimensions.size()));
        for (size_t dimension : dimensions) {
            records_.push_back(static_cast<uint8_t>(dimension));
        }
        records_.insert(records_.end(), data.begin(), data.end());
        Finish(description);
    }

    std::vector<uint8_t> records_;
    size_t lastOffset_ = std::string::npos;
};

size_t LongestLabel(const std::vector<std::string>& labels) {
    size_t longest = 1;
    for (const std::string& label : labels) {
        longest = std::max(longest, label.size());
    }
    return longest;
}

// LABELS and DESCRIPTIONS (and their continuations) of one group.
void AddNames(Parameters& parameters, Group group, const std::vector<std::string>& labels,
              const std::vector<std::string>& descriptions) {
    const size_t width = std::max(LongestLabel(labels), LongestLabel(descriptions));
    Parameters::Chunked(
        "LABELS", labels.size(), width, [&](const std::string& name, size_t b, size_t e) {
            parameters.AddTexts(group, name, {labels.begin() + b, labels.begin() + e}, "labels");
        });
    Parameters::Chunked("DESCRIPTIONS", descriptions.size(), width,
                        [&](const std::string& name, size_t b, size_t e) {
                            parameters.AddTexts(
                                group, name, {descriptions.begin() + b, descriptions.begin() + e},
                                "descriptions");
                        });
}

// A frame number as the two 16-bit words, low first, that TRIAL's fields hold.
std::vector<int16_t> Field(int64_t frame) {
    return {static_cast<int16_t>(static_cast<uint16_t>(frame & 0xFFFF)),
            static_cast<int16_t>(static_cast<uint16_t>((frame >> 16) & 0xFFFF))};
}

void AddPoint(Parameters& parameters, const ExportLayout& layout, int16_t dataStart) {
    std::vector<std::string> labels;
    std::vector<std::string> descriptions;
    std::vector<std::string> angles;
    for (const PointSource& point : layout.points) {
        labels.push_back(point.label);
        descriptions.push_back(point.kind == PointKind::kMarker        ? "marker"
                               : point.kind == PointKind::kTranslation ? "segment translation"
                                                                       : "segment XYZ angles");
        if (point.kind == PointKind::kAngles) {
            angles.push_back(point.label);
        }
    }
    parameters.AddGroup(kPoint, "POINT", "3D points");
    parameters.AddInt16s(kPoint, "USED", {static_cast<int16_t>(layout.points.size())}, {},
                         "points per frame");
    parameters.AddFloats(kPoint, "SCALE", {-1.0f}, {}, "negative: floating-point data");
    parameters.AddFloats(kPoint, "RATE", {layout.rate}, {}, "frames per second");
    parameters.AddInt16s(kPoint, "DATA_START", {dataStart}, {}, "first block of the data");
    if (layout.frames <= kMostCount) {
        parameters.AddInt16s(kPoint, "FRAMES", {static_cast<int16_t>(layout.frames)}, {}, "frames");
    } else {
        parameters.AddFloats(kPoint, "FRAMES", {static_cast<float>(layout.frames)}, {}, "frames");
    }
    parameters.AddText(kPoint, "UNITS", "mm", "units of the coordinates");
    AddNames(parameters, kPoint, labels, descriptions);
    if (!angles.empty()) {
        Parameters::Chunked("ANGLES", angles.size(), LongestLabel(angles),
                            [&](const std::string& name, size_t b, size_t e) {
                                parameters.AddTexts(kPoint, name,
                                                    {angles.begin() + b, angles.begin() + e},
                                                    "points that hold angles");
                            });
        parameters.AddText(kPoint, "ANGLE_UNITS", "deg", "units of the angles");
    }
}

void AddAnalog(Parameters& parameters, const ExportLayout& layout) {
    std::vector<std::string> labels;
    for (const AnalogSource& analog : layout.analogs) {
        labels.push_back(analog.label);
    }
    const size_t count = labels.size();
    parameters.AddGroup(kAnalog, "ANALOG", "analog channels");
    parameters.AddInt16s(kAnalog, "USED", {static_cast<int16_t>(count)}, {}, "channels");
    AddNames(parameters, kAnalog, labels, std::vector<std::string>(count));
    parameters.AddFloats(kAnalog, "GEN_SCALE", {1.0f}, {}, "scale of every channel");
    Parameters::Chunked("SCALE", count, 4, [&](const std::string& name, size_t b, size_t e) {
        parameters.AddFloats(kAnalog, name, std::vector<float>(e - b, 1.0f), {e - b},
                             "scale per channel");
    });
    Parameters::Chunked("OFFSET", count, 2, [&](const std::string& name, size_t b, size_t e) {
        parameters.AddInt16s(kAnalog, name, std::vector<int16_t>(e - b, 0), {e - b},
                             "offset per channel");
    });
    Parameters::Chunked("UNITS", count, 1, [&](const std::string& name, size_t b, size_t e) {
        parameters.AddTexts(kAnalog, name, std::vector<std::string>(e - b), "units");
    });
    parameters.AddFloats(kAnalog, "RATE",
                         {layout.analogs.empty() ? layout.rate : layout.analogRate}, {},
                         "samples per second");
    parameters.AddText(kAnalog, "FORMAT", "SIGNED", "");
    parameters.AddInt16s(kAnalog, "BITS", {16}, {}, "");
}

Parameters MakeParameters(const ExportLayout& layout, int16_t dataStart) {
    Parameters parameters;
    AddPoint(parameters, layout, dataStart);
    AddAnalog(parameters, layout);
    parameters.AddGroup(kTrial, "TRIAL", "the take's frames");
    parameters.AddInt16s(kTrial, "ACTUAL_START_FIELD", Field(layout.firstFrame), {2},
                         "first frame: low and high word");
    parameters.AddInt16s(kTrial, "ACTUAL_END_FIELD", Field(layout.firstFrame + layout.frames - 1),
                         {2}, "last frame: low and high word");
    return parameters;
}

std::vector<uint8_t> Header(const ExportLayout& layout, size_t dataStart) {
    std::vector<uint8_t> header(kBlock, 0);
    header[0] = 2;  // the parameter section's first block
    header[1] = 0x50;
    const int64_t analogValues =
        static_cast<int64_t>(layout.analogs.size()) * layout.samplesPerFrame;
    SetWord(header, 2, static_cast<uint16_t>(layout.points.size()));
    SetWord(header, 3, static_cast<uint16_t>(analogValues));
    // Frame numbers past 65535 are in TRIAL's fields and the count in POINT:FRAMES.
    SetWord(header, 4, HeaderWord(layout.firstFrame));
    SetWord(header, 5, HeaderWord(layout.firstFrame + layout.frames - 1));
    SetFloat(header, 7, -1.0f);
    SetWord(header, 9, static_cast<uint16_t>(dataStart));
    SetWord(header, 10, static_cast<uint16_t>(layout.analogs.empty() ? 1 : layout.samplesPerFrame));
    SetFloat(header, 11, layout.rate);
    SetWord(header, 150, 0x3039);  // event labels of four characters
    return header;
}

}  // namespace

std::string C3dProblem(const ExportLayout& layout) {
    const int64_t analogValues =
        static_cast<int64_t>(layout.analogs.size()) * layout.samplesPerFrame;
    if (static_cast<int64_t>(layout.points.size()) > kMostCount) {
        return std::to_string(layout.points.size()) + " points are more than the " +
               std::to_string(kMostCount) + " a C3D file holds";
    }
    if (static_cast<int64_t>(layout.analogs.size()) > kMostCount ||
        analogValues > kMostHeaderWord) {
        return std::to_string(layout.analogs.size()) + " analog channels of " +
               std::to_string(layout.samplesPerFrame) +
               " samples per frame are more than a C3D file holds (65535 values per frame)";
    }
    for (const PointSource& point : layout.points) {
        if (point.label.size() > kMostPerDimension) {
            return "the point name '" + point.label + "' is longer than 255 bytes";
        }
    }
    for (const AnalogSource& analog : layout.analogs) {
        if (analog.label.size() > kMostPerDimension) {
            return "the analog label '" + analog.label + "' is longer than 255 bytes";
        }
    }
    if (MakeParameters(layout, 0).Blocks() > kMostBlocks) {
        return "the labels take more than the 255 blocks of a C3D parameter section";
    }
    return "";
}

bool WriteC3d(std::ostream& out, const kfile::KFileContents& contents, const ExportLayout& layout) {
    const size_t dataStart = 2 + MakeParameters(layout, 0).Blocks();
    const std::vector<uint8_t> header = Header(layout, dataStart);
    const std::vector<uint8_t> section =
        MakeParameters(layout, static_cast<int16_t>(dataStart)).Section();
    out.write(reinterpret_cast<const char*>(header.data()),
              static_cast<std::streamsize>(header.size()));
    out.write(reinterpret_cast<const char*>(section.data()),
              static_cast<std::streamsize>(section.size()));

    ExportFrames frames(contents, layout);
    std::vector<PointValue> points;
    std::vector<float> samples;
    std::vector<uint8_t> bytes;
    uint64_t written = 0;
    for (int64_t f = 0; f < layout.frames && out; ++f) {
        bytes.clear();
        frames.ReadPoints(f, points);
        for (const PointValue& point : points) {
            for (float coordinate : point.xyz) {
                PutFloat(bytes, coordinate);
            }
            PutFloat(bytes, point.valid ? 0.0f : -1.0f);  // the residual; negative: invalid
        }
        frames.ReadAnalog(f, samples);
        for (float sample : samples) {
            PutFloat(bytes, sample);
        }
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        written += bytes.size();
    }
    const std::vector<char> padding((kBlock - written % kBlock) % kBlock, 0);
    out.write(padding.data(), static_cast<std::streamsize>(padding.size()));
    return static_cast<bool>(out);
}
