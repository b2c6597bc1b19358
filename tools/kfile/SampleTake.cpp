#include "SampleTake.h"

#include <cmath>
#include <cstring>

using namespace kfile;

namespace {

const char* const kMarkerNames[] = {"LFHD", "RFHD", "LBHD", "RBHD", "C7",   "T10",  "CLAV", "STRN",
                                    "LSHO", "RSHO", "LELB", "RELB", "LWRA", "RWRA", "LASI", "RASI",
                                    "LKNE", "RKNE", "LANK", "RANK", "LTOE", "RTOE", "LHEE", "RHEE"};
const char* const kSegmentNames[] = {"Hips",    "Spine",    "Chest",   "Neck",     "Head",
                                     "LeftArm", "RightArm", "LeftLeg", "RightLeg", "LeftFoot"};
const char* const kAxes[] = {"X", "Y", "Z"};

template <size_t N>
std::string NthName(const char* const (&names)[N], int32_t index) {
    std::string name = names[static_cast<size_t>(index) % N];
    return index < static_cast<int32_t>(N) ? name : name + std::to_string(index / N);
}

}  // namespace

SampleTake::SampleTake(SampleTakeOptions options) : options_(std::move(options)) {}

std::unique_ptr<KFileDatagroupSection> SampleTake::MakeDatagroupSection() const {
    auto section = std::make_unique<KFileDatagroupSection>(0);
    auto markers = std::make_unique<KFileDatagroupRecord>(0, kValueDouble, 8, options_.rate);
    markers->SetName("Markers");
    auto skeleton = std::make_unique<KFileDatagroupRecord>(1, kValueDouble, 8, options_.rate);
    skeleton->SetName("Skeleton");
    std::vector<std::string> subjects = {options_.subject};
    subjects.insert(subjects.end(), options_.otherSubjects.begin(), options_.otherSubjects.end());
    for (const std::string& subject : subjects) {
        for (int32_t m = 0; m < options_.markerCount; ++m) {
            for (const char* axis : kAxes) {
                markers->AppendLabel(subject + ":" + NthName(kMarkerNames, m) + " <P-" + axis +
                                     ">");
            }
        }
        for (int32_t s = 0; s < options_.segmentCount; ++s) {
            for (const char* kind : {"A", "T"}) {
                for (const char* axis : kAxes) {
                    skeleton->AppendLabel(subject + ":" + NthName(kSegmentNames, s) + " <" + kind +
                                          "-" + axis + ">");
                }
            }
        }
    }
    section->AddRecord(std::move(markers));
    section->AddRecord(std::move(skeleton));
    section->Pack();
    return section;
}

std::unique_ptr<KFileParameterSection> SampleTake::MakeParameterSection() const {
    auto section = std::make_unique<KFileParameterSection>(0);
    auto subject = std::make_unique<KFileParameterRecord>("SUBJECT", kValueText);
    subject->AppendDimension(static_cast<int16_t>(options_.subject.size() + 1));
    subject->AppendDimension(1);
    subject->SetText(0, options_.subject);
    auto frames = std::make_unique<KFileParameterRecord>("FRAMES", kValueLong);
    frames->AppendDimension(2);
    frames->SetLong(0, options_.firstFrame);
    frames->SetLong(1, options_.firstFrame + options_.frameCount - 1);
    section->AddRecord(std::move(subject));
    section->AddRecord(std::move(frames));
    section->Pack();
    return section;
}

// Markers follow slow circles in millimetres; segments turn about a tilted axis and sway.
std::unique_ptr<KFileDynamicRecord> SampleTake::MakeFrameRecord(const KFileDatagroupRecord& group,
                                                                int32_t frame) const {
    auto record = std::make_unique<KFileDynamicRecord>(group);
    record->SetFrame(frame);
    double t = (frame - options_.firstFrame) / static_cast<double>(options_.rate);
    int32_t channels = group.GetLabelCount();
    for (int32_t c = 0; c < channels; ++c) {
        int32_t item = c / 3;
        int32_t axis = c % 3;
        double value;
        if (group.GetId() == 0) {
            double phase = t * 2.0 + item * 0.7 + axis * 1.3;
            value = 300.0 * item + 150.0 * std::sin(phase) + (axis == 2 ? 900.0 : 0.0);
            int64_t sample = int64_t{frame} * channels + c;
            if (options_.missingEvery > 0 && axis == 0 && sample % options_.missingEvery == 0) {
                uint64_t marker = KFileDynamicRecord::kMissingDouble;
                std::memcpy(&value, &marker, sizeof value);
            }
        } else if (item % 2 == 0) {  // rotation vector, radians
            value = (axis == 1 ? 2.5 : 0.4) * std::sin(t * 0.8 + item + axis);
        } else {  // translation, millimetres
            value = 100.0 * (axis + 1) + 20.0 * std::cos(t + item);
        }
        record->SetDouble(c, value);
    }
    record->Pack();
    return record;
}

std::unique_ptr<KFileContents> SampleTake::MakeContents() const {
    auto contents = std::make_unique<KFileContents>();
    contents->SetVersion(kWrittenVersion);
    std::unique_ptr<KFileDatagroupSection> datagroups = MakeDatagroupSection();
    const KFileDatagroupSection& groups = *datagroups;
    if (!contents->AddSection(MakeParameterSection()) ||
        !contents->AddSection(std::move(datagroups))) {
        return nullptr;
    }
    for (int32_t f = 0; f < options_.frameCount; ++f) {
        for (const KFileDatagroupRecord& group : groups.GetRecords()) {
            contents->AddDynamicRecord(MakeFrameRecord(group, options_.firstFrame + f));
        }
    }
    return contents;
}

bool SampleTake::Write(const std::string& fileName) const {
    KFileManager manager;
    if (!manager.GetWrapper().Create(fileName) || !manager.WriteHeader()) {
        return false;
    }
    auto groups = MakeDatagroupSection();
    bool written = manager.WriteSection(MakeParameterSection().get()) &&
                   manager.WriteSection(groups.get()) && manager.WriteTerminator();
    for (int32_t f = 0; written && f < options_.frameCount; ++f) {
        for (const KFileDatagroupRecord& group : groups->GetRecords()) {
            auto record = MakeFrameRecord(group, options_.firstFrame + f);
            written = written && manager.WriteDynamicRecord(record.get());
        }
    }
    written = manager.Flush() && written;
    manager.Close();
    return written;
}

uint64_t SampleTake::FileSize() const {
    auto groups = MakeDatagroupSection();
    uint64_t perFrame = 0;
    for (const KFileDatagroupRecord& group : groups->GetRecords()) {
        perFrame += 2 + 6 + uint64_t{8} * static_cast<uint64_t>(group.GetLabelCount());
    }
    uint64_t sections =
        2 * 32 + static_cast<uint64_t>(groups->GetSize() + MakeParameterSection()->GetSize());
    return kFileHeaderSize + sections + 32 + perFrame * static_cast<uint64_t>(options_.frameCount);
}
