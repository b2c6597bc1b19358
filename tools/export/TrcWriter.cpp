#include "TrcWriter.h"

#include <charconv>
#include <string>
#include <vector>

#include "ExportFrames.h"

namespace {

// The shortest text that reads back as the same float.
std::string FloatText(float value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string DoubleText(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace

bool WriteTrc(std::ostream& out, const kfile::KFileContents& contents, const ExportLayout& layout,
              const std::string& fileName) {
    std::vector<size_t> positions;
    for (size_t p = 0; p < layout.points.size(); ++p) {
        if (layout.points[p].kind != PointKind::kAngles) {
            positions.push_back(p);
        }
    }
    const std::string rate = FloatText(layout.rate);
    out << "PathFileType\t4\t(X/Y/Z)\t" << fileName << "\n"
        << "DataRate\tCameraRate\tNumFrames\tNumMarkers\tUnits\tOrigDataRate\t"
           "OrigDataStartFrame\tOrigNumFrames\n"
        << rate << "\t" << rate << "\t" << layout.frames << "\t" << positions.size() << "\tmm\t"
        << rate << "\t" << layout.firstFrame << "\t" << layout.frames << "\n"
        << "Frame#\tTime";
    for (size_t p : positions) {
        out << "\t" << layout.points[p].label << "\t\t";
    }
    out << "\n\t";
    for (size_t n = 1; n <= positions.size(); ++n) {
        out << "\tX" << n << "\tY" << n << "\tZ" << n;
    }
    out << "\n\n";

    ExportFrames frames(contents, layout);
    std::vector<PointValue> points;
    std::string row;
    for (int64_t f = 0; f < layout.frames && out; ++f) {
        frames.ReadPoints(f, points);
        const int64_t frame = layout.firstFrame + f;
        row = std::to_string(frame) + "\t" + DoubleText(frame / static_cast<double>(layout.rate));
        for (size_t p : positions) {
            for (float coordinate : points[p].xyz) {
                row += '\t';
                if (points[p].valid) {
                    row += FloatText(coordinate);
                }
            }
        }
        row += '\n';
        out << row;
    }
    return static_cast<bool>(out);
}
