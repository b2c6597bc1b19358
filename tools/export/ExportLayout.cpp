#include "ExportLayout.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <tuple>

#include "LabelReading.h"

using namespace kfile;

namespace {

// A datagroup as the export sees it: its record and how the import reads its labels.
struct Datagroup {
    const KFileDatagroupRecord* record = nullptr;
    std::vector<LabelReading> readings;
    bool numeric = false;
    bool hasMarkers = false;
    bool hasSegments = false;

    bool PlacesPoints() const { return hasMarkers || hasSegments; }
};

bool IsNumeric(int32_t valueType) {
    return valueType >= kValueShort && valueType <= kValueBoolean;
}

// "29.97 Hz": the shortest text that reads back as the stored rate.
std::string Rate(float rate) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, rate);
    return std::string(text, written.ptr) + " Hz";
}

std::string Named(const KFileDatagroupRecord& record) {
    const std::string name = record.GetName();
    return "datagroup " + std::to_string(record.GetId()) + (name.empty() ? "" : " '" + name + "'");
}

// The datagroups in section order, the first record of each id standing (as FindRecord does).
std::vector<Datagroup> ReadDatagroups(const KFileDatagroupSection& section) {
    std::vector<Datagroup> datagroups;
    for (const KFileDatagroupRecord& record : section.GetRecords()) {
        if (section.FindRecord(record.GetId()) != &record) {
            continue;
        }
        Datagroup datagroup;
        datagroup.record = &record;
        datagroup.numeric = IsNumeric(record.GetValueType());
        if (datagroup.numeric) {
            datagroup.readings = ReadLabels(record.GetLabels());
        }
        for (const LabelReading& reading : datagroup.readings) {
            if (!reading.keys.empty()) {
                datagroup.hasMarkers |= reading.kind == "marker";
                datagroup.hasSegments |= reading.kind == "segment";
            }
        }
        datagroups.push_back(std::move(datagroup));
    }
    return datagroups;
}

// The axis an attribute keys: 0 for "tx" or "rx" to 2 for "tz" or "rz".
size_t AxisOf(const std::string& attribute) {
    return static_cast<size_t>(attribute[1] - 'x');
}

// The points of one datagroup, in order of first appearance of their names.
void AddPoints(const Datagroup& datagroup, ExportLayout& layout) {
    const KFileDatagroupRecord& record = *datagroup.record;
    std::map<std::tuple<PointKind, std::string>, size_t> found;
    const size_t firstPoint = layout.points.size();
    for (const LabelReading& reading : datagroup.readings) {
        if (reading.keys.empty()) {
            layout.leftOut.push_back(Named(record) + " channel '" + reading.label +
                                     "': the import keys nothing with it (" + reading.skipReason +
                                     ")");
            continue;
        }
        if (reading.kind == "local") {
            layout.leftOut.push_back(Named(record) + " channel '" + reading.label + "': it keys " +
                                     reading.keys.front().NodePath() + "." +
                                     reading.keys.front().attribute +
                                     ", neither a marker nor a segment");
            continue;
        }
        for (const LabelKey& key : reading.keys) {
            const bool rotation = key.attribute[0] == 'r';
            const PointKind kind = reading.kind == "marker" ? PointKind::kMarker
                                   : rotation               ? PointKind::kAngles
                                                            : PointKind::kTranslation;
            auto [entry, added] = found.insert({{kind, reading.name}, layout.points.size()});
            if (added) {
                PointSource point;
                point.label = reading.name + (kind == PointKind::kAngles ? "Angles" : "");
                point.kind = kind;
                point.datagroup = record.GetId();
                point.valueType = record.GetValueType();
                layout.points.push_back(point);
            }
            layout.points[entry->second].channels[AxisOf(key.attribute)] = reading.channel;
        }
    }
    // A point needs all three of its channels.
    auto incomplete = [](const PointSource& point) {
        return std::find(point.channels.begin(), point.channels.end(), -1) != point.channels.end();
    };
    for (auto point = layout.points.begin() + static_cast<std::ptrdiff_t>(firstPoint);
         point != layout.points.end(); ++point) {
        if (incomplete(*point)) {
            layout.leftOut.push_back(Named(record) + " point '" + point->label +
                                     "': it lacks one of its X, Y and Z channels");
        }
    }
    layout.points.erase(
        std::remove_if(layout.points.begin() + static_cast<std::ptrdiff_t>(firstPoint),
                       layout.points.end(), incomplete),
        layout.points.end());
}

// The whole number of analog samples per point frame, or 0 when the rates make none.
int64_t SamplesPerFrame(float analogRate, float pointRate) {
    const double ratio = static_cast<double>(analogRate) / pointRate;
    const double whole = std::round(ratio);
    return std::isfinite(ratio) && whole >= 1.0 && whole < 1e9 &&
                   std::fabs(ratio - whole) <= 1e-6 * whole
               ? static_cast<int64_t>(whole)
               : 0;
}

void AddAnalog(const Datagroup& datagroup, ExportLayout& layout) {
    const KFileDatagroupRecord& record = *datagroup.record;
    const int64_t samples = SamplesPerFrame(record.GetRate(), layout.rate);
    if (samples == 0) {
        layout.leftOut.push_back(Named(record) + ": its rate " + Rate(record.GetRate()) +
                                 " is not a whole multiple of the points' " + Rate(layout.rate));
        return;
    }
    if (!layout.analogs.empty() && samples != layout.samplesPerFrame) {
        layout.leftOut.push_back(Named(record) + ": its rate " + Rate(record.GetRate()) +
                                 " differs from the analog channels' " + Rate(layout.analogRate));
        return;
    }
    layout.analogRate = record.GetRate();
    layout.samplesPerFrame = static_cast<int32_t>(samples);
    for (int32_t channel = 0; channel < record.GetLabelCount(); ++channel) {
        layout.analogs.push_back(
            {record.GetLabel(channel), record.GetId(), record.GetValueType(), channel});
    }
}

// The chosen datagroup, or why there is none.
std::string Choose(const std::vector<Datagroup>& datagroups, std::optional<int16_t> id,
                   const Datagroup*& chosen) {
    for (const Datagroup& datagroup : datagroups) {
        if (id ? datagroup.record->GetId() == *id : datagroup.hasMarkers) {
            chosen = &datagroup;
            break;
        }
    }
    if (!chosen && !id) {
        for (const Datagroup& datagroup : datagroups) {
            if (datagroup.hasSegments) {
                chosen = &datagroup;
                break;
            }
        }
    }
    if (!chosen) {
        return id ? "has no datagroup " + std::to_string(*id)
                  : "has no datagroup with markers or segments";
    }
    if (!chosen->PlacesPoints()) {
        return Named(*chosen->record) + " has no markers or segments";
    }
    const float rate = chosen->record->GetRate();
    if (!(rate > 0.0f) || !std::isfinite(rate)) {
        return Named(*chosen->record) + " has no usable rate (" + std::to_string(rate) + ")";
    }
    return "";
}

// The frame range of the points' records, or why it cannot be written.
std::string FindFrames(const KFileContents& contents, ExportLayout& layout) {
    std::vector<int16_t> ids;
    for (const PointSource& point : layout.points) {
        ids.push_back(point.datagroup);
    }
    int64_t first = INT64_MAX;
    int64_t last = INT64_MIN;
    for (const KFileDynamicRecord& record : contents.GetDynamicRecords()) {
        if (std::find(ids.begin(), ids.end(), record.GetId()) != ids.end()) {
            first = std::min<int64_t>(first, record.GetFrame());
            last = std::max<int64_t>(last, record.GetFrame());
        }
    }
    if (first > last) {
        return "has no records of the datagroups with points";
    }
    if (first < 0) {
        return "starts at frame " + std::to_string(first) +
               ", and exported frame numbers cannot be negative";
    }
    layout.firstFrame = static_cast<int32_t>(first);
    layout.frames = last - first + 1;
    if (layout.frames > kMostExportFrames) {
        return "spans " + std::to_string(layout.frames) + " frames (" + std::to_string(first) +
               " to " + std::to_string(last) + "), more than the " +
               std::to_string(kMostExportFrames) + " an export holds";
    }
    return "";
}

}  // namespace

std::string PlanExport(const KFileContents& contents, std::optional<int16_t> datagroup,
                       ExportLayout& layout) {
    layout = ExportLayout();
    const KFileDatagroupSection* section = contents.GetDatagroupSection();
    if (!section) {
        return "has no datagroups";
    }
    const std::vector<Datagroup> datagroups = ReadDatagroups(*section);
    const Datagroup* chosen = nullptr;
    std::string problem = Choose(datagroups, datagroup, chosen);
    if (!problem.empty()) {
        return problem;
    }
    layout.rate = chosen->record->GetRate();
    AddPoints(*chosen, layout);
    for (const Datagroup& other : datagroups) {
        const KFileDatagroupRecord& record = *other.record;
        if (&other == chosen) {
            continue;
        }
        if (!other.numeric) {
            layout.leftOut.push_back(Named(record) + ": its values of type " +
                                     std::to_string(record.GetValueType()) + " are not numbers");
        } else if (!other.PlacesPoints()) {
            AddAnalog(other, layout);
        } else if (record.GetRate() == layout.rate) {
            AddPoints(other, layout);
        } else {
            layout.leftOut.push_back(Named(record) + ": its points are at " +
                                     Rate(record.GetRate()) + ", not at the exported " +
                                     Rate(layout.rate));
        }
    }
    if (layout.points.empty()) {
        return Named(*chosen->record) + " has no marker or segment with all three channels";
    }
    return FindFrames(contents, layout);
}
