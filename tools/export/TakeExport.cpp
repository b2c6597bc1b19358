#include "TakeExport.h"

#include <algorithm>
#include <fstream>

#include "C3dWriter.h"
#include "ExportLayout.h"
#include "TrcWriter.h"

ExportResult ExportTake(const kfile::KFileContents& contents, ExportFormat format,
                        std::optional<int16_t> datagroup, const std::string& fileName) {
    ExportResult result;
    ExportLayout layout;
    result.problem = PlanExport(contents, datagroup, layout);
    if (result.problem.empty() && format == ExportFormat::kC3d) {
        result.problem = C3dProblem(layout);
    }
    if (!result.problem.empty()) {
        return result;
    }
    result.leftOut = layout.leftOut;
    for (const PointSource& point : layout.points) {
        result.datagroups.push_back(point.datagroup);
    }
    for (const AnalogSource& analog : layout.analogs) {
        result.datagroups.push_back(analog.datagroup);
    }
    std::sort(result.datagroups.begin(), result.datagroups.end());
    result.datagroups.erase(std::unique(result.datagroups.begin(), result.datagroups.end()),
                            result.datagroups.end());
    if (format == ExportFormat::kTrc) {
        for (const PointSource& point : layout.points) {
            if (point.kind == PointKind::kAngles) {
                result.leftOut.push_back("point '" + point.label +
                                         "': TRC holds positions, not angles");
            }
        }
        if (!layout.analogs.empty()) {
            result.leftOut.push_back(std::to_string(layout.analogs.size()) +
                                     " analog channels: TRC holds markers only");
        }
    }
    const std::string shownName = fileName.substr(fileName.find_last_of("/\\") + 1);
    result.write = kfile::WriteFileSafely(fileName, [&](const std::string& path) {
        std::ofstream file(path, std::ios::binary);
        const bool written = format == ExportFormat::kC3d
                                 ? WriteC3d(file, contents, layout)
                                 : WriteTrc(file, contents, layout, shownName);
        file.close();
        return written && !file.fail();
    });
    return result;
}
