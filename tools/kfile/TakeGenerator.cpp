#include "TakeGenerator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "kfile/kfile.h"

using namespace kfile;

namespace {

constexpr double kPi = 3.14159265358979323846;
// The circle a subject walks, mm, and its pace, mm per second: a turn in 6.7 s.
constexpr double kWalkRadius = 1500.0;
constexpr double kWalkSpeed = 1400.0;

using Vec3 = std::array<double, 3>;
using Mat3 = std::array<Vec3, 3>;  // rows

Vec3 operator+(const Vec3& a, const Vec3& b) {
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}

Vec3 operator*(const Mat3& m, const Vec3& v) {
    Vec3 out{};
    for (size_t r = 0; r < 3; ++r) {
        out[r] = m[r][0] * v[0] + m[r][1] * v[1] + m[r][2] * v[2];
    }
    return out;
}

Mat3 operator*(const Mat3& a, const Mat3& b) {
    Mat3 out{};
    for (size_t r = 0; r < 3; ++r) {
        for (size_t c = 0; c < 3; ++c) {
            out[r][c] = a[r][0] * b[0][c] + a[r][1] * b[1][c] + a[r][2] * b[2][c];
        }
    }
    return out;
}

// The rotation by the rotation vector v (axis times angle), by Rodrigues' formula.
Mat3 RotationFromVector(const Vec3& v) {
    const double angle = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (angle < 1e-12) {
        return {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    }
    const Vec3 k{v[0] / angle, v[1] / angle, v[2] / angle};
    const double c = std::cos(angle), s = std::sin(angle), t = 1 - c;
    return {{{t * k[0] * k[0] + c, t * k[0] * k[1] - s * k[2], t * k[0] * k[2] + s * k[1]},
             {t * k[0] * k[1] + s * k[2], t * k[1] * k[1] + c, t * k[1] * k[2] - s * k[0]},
             {t * k[0] * k[2] - s * k[1], t * k[1] * k[2] + s * k[0], t * k[2] * k[2] + c}}};
}

// The rotation vector of a rotation matrix, with an angle between 0 and pi: what a solver that
// knows nothing of earlier frames reports.
Vec3 VectorFromRotation(const Mat3& m) {
    const double cosine = std::clamp((m[0][0] + m[1][1] + m[2][2] - 1) / 2, -1.0, 1.0);
    const double angle = std::acos(cosine);
    if (angle < 1e-9) {
        return {0, 0, 0};
    }
    if (kPi - angle < 1e-6) {  // half a turn: the axis from the diagonal
        Vec3 axis{std::sqrt(std::max(0.0, (m[0][0] + 1) / 2)),
                  std::copysign(std::sqrt(std::max(0.0, (m[1][1] + 1) / 2)), m[0][1]),
                  std::copysign(std::sqrt(std::max(0.0, (m[2][2] + 1) / 2)), m[0][2])};
        return {axis[0] * angle, axis[1] * angle, axis[2] * angle};
    }
    const double scale = angle / (2 * std::sin(angle));
    return {(m[2][1] - m[1][2]) * scale, (m[0][2] - m[2][0]) * scale, (m[1][0] - m[0][1]) * scale};
}

// A uniform number in [0, 1) from the generator's raw output: the standard distributions are
// not the same on every standard library, the engine is.
double Uniform(std::mt19937& random) {
    return random() / 4294967296.0;
}

const char* const kSubjectNames[] = {"Bob1", "Ann", "Kim2", "Eve", "Sam3", "Lou", "Zoe4", "Max"};
const char* const kMarkerNames[] = {"LFHD", "RFHD", "LBHD", "RBHD", "C7",   "T10",  "CLAV", "STRN",
                                    "LSHO", "RSHO", "LELB", "RELB", "LWRA", "RWRA", "LASI", "RASI",
                                    "LKNE", "RKNE", "LANK", "RANK", "LTOE", "RTOE", "LHEE", "RHEE"};
const char* const kUnprefixedMarkers[] = {"REF1", "REF2"};
const char* const kForceChannels[] = {"Plate1:Fx", "Plate1:Fy", "Plate1:Fz",
                                      "Plate1:Mx", "Plate1:My", "Plate1:Mz"};
const char* const kAxes[] = {"X", "Y", "Z"};

constexpr int32_t kMostChannels = (kMaxRecordLength - KFileDynamicRecord::kHeaderSize) / 8;

// The force plate samples this many times per camera frame, a whole multiple so that its
// samples fall on the cameras' frames. Its frames are numbered at its own rate from kPlateRatio
// times the first camera frame, so that both start and end at the same time. It is 1: the import
// widens the playback range to the last frame of any datagroup at the rate of datagroup 0, so
// plate frame numbers beyond the cameras' would lengthen the range past the motion.
constexpr int32_t kPlateRatio = 1;
static_assert(int64_t{kMostFrames} * 2 + kPlateRatio * (int64_t{kMostFrames} - 1) + 1 <= INT32_MAX,
              "the records of the most frames fit an int32 count");

struct SegmentShape {
    const char* name;
    int32_t parent;  // index in this table, -1 for the root
    Vec3 offset;     // from the parent's origin, mm
};

const SegmentShape kSkeleton[] = {
    {"Hips", -1, {0, 0, 0}},           {"Spine", 0, {0, 0, 120}},
    {"Chest", 1, {0, 0, 180}},         {"Neck", 2, {0, 0, 200}},
    {"Head", 3, {0, 0, 110}},          {"LeftArm", 2, {170, 0, 160}},
    {"LeftForeArm", 5, {280, 0, 0}},   {"RightArm", 2, {-170, 0, 160}},
    {"RightForeArm", 7, {-280, 0, 0}}, {"LeftUpLeg", 0, {90, 0, -60}},
    {"LeftLeg", 9, {0, 0, -430}},      {"RightUpLeg", 0, {-90, 0, -60}},
    {"RightLeg", 11, {0, 0, -430}},
};
constexpr int32_t kSkeletonSize = static_cast<int32_t>(std::size(kSkeleton));

// Subjects beyond the list repeat it with letters before the digits, Bob1, ..., Max, BobA1, ...,
// MaxA, BobB1: the import names a subject by its prefix up to the first digit, so each subject
// keeps a name of its own.
std::string SubjectName(int32_t index) {
    constexpr int32_t count = static_cast<int32_t>(std::size(kSubjectNames));
    const std::string name = kSubjectNames[index % count];
    std::string letters;
    for (int32_t round = index / count; round > 0; round = (round - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (round - 1) % 26));
    }
    const size_t digits = name.find_first_of("0123456789");
    return digits == std::string::npos ? name + letters
                                       : name.substr(0, digits) + letters + name.substr(digits);
}

// Names beyond the end of a list repeat it with a number: LFHD, ..., RHEE, LFHD1, ...
template <size_t N>
std::string NthName(const char* const (&names)[N], int32_t index) {
    const std::string name = names[static_cast<size_t>(index) % N];
    return index < static_cast<int32_t>(N) ? name : name + std::to_string(index / N);
}

std::string SegmentName(int32_t index) {
    const std::string name = kSkeleton[index % kSkeletonSize].name;
    return index < kSkeletonSize ? name : name + std::to_string(index / kSkeletonSize);
}

// Copies of the skeleton beyond the table hang below the same segment of the copy before.
int32_t SegmentParent(int32_t index) {
    return index < kSkeletonSize ? kSkeleton[index].parent : index - kSkeletonSize;
}

struct Pose {
    std::vector<Mat3> rotations;  // world, per segment
    std::vector<Vec3> origins;    // world, mm
    Vec3 rootVector;              // the root's continuous rotation vector
};

struct Marker {
    int32_t segment;  // the segment it rides on; -1 without a skeleton
    Vec3 offset;      // in the segment's frame, mm
    int32_t gapLeft = 0;
};

struct Subject {
    std::string prefix;  // "Bob1:"
    double phase;
    std::vector<Marker> markers;
};

class Generator {
  public:
    explicit Generator(const TakeOptions& options)
        : options_(options), random_(options.seed), forceRate_(options.rate * kPlateRatio) {
        for (int32_t s = 0; s < options_.subjects; ++s) {
            Subject subject{SubjectName(s) + ":", 0.7 * s, {}};
            for (int32_t m = 0; m < options_.markers; ++m) {
                const int32_t segment = options_.segments > 0 ? m % options_.segments : -1;
                const Vec3 offset{Uniform(random_) * 120 - 60, Uniform(random_) * 120 - 60,
                                  Uniform(random_) * 80 - 40};
                subject.markers.push_back({segment, offset});
            }
            subjects_.push_back(std::move(subject));
        }
        for (size_t r = 0; r < std::size(kUnprefixedMarkers); ++r) {
            referenceMarkers_.push_back({-1, {1000.0 * r, -800, 0}});
        }
    }

    float ForceRate() const { return static_cast<float>(forceRate_); }

    std::unique_ptr<KFileParameterSection> MakeParameters() const;
    std::unique_ptr<KFileDatagroupSection> MakeDatagroups() const;
    void FillMarkers(KFileDynamicRecord& record, int32_t frame);
    void FillSkeleton(KFileDynamicRecord& record, int32_t frame) const;
    void FillForces(KFileDynamicRecord& record, int32_t frame) const;

  private:
    double Seconds(int32_t frame, double rate) const {
        return (frame - options_.firstFrame) / rate;
    }
    double PlateSeconds(int32_t frame) const {
        return (frame - int64_t{kPlateRatio} * options_.firstFrame) / forceRate_;
    }
    Pose PoseAt(const Subject& subject, double seconds) const;
    bool Visible(Marker& marker);
    int32_t GapLength();

    TakeOptions options_;
    std::mt19937 random_;
    double forceRate_;
    std::vector<Subject> subjects_;
    std::vector<Marker> referenceMarkers_;
};

std::unique_ptr<KFileParameterSection> Generator::MakeParameters() const {
    auto section = std::make_unique<KFileParameterSection>(0);
    size_t width = 1;
    for (const Subject& subject : subjects_) {
        width = std::max(width, subject.prefix.size());  // the name without ":" and a NUL
    }
    auto names = std::make_unique<KFileParameterRecord>("SUBJECTS", kValueText);
    names->AppendDimension(static_cast<int16_t>(width));
    names->AppendDimension(static_cast<int16_t>(subjects_.size()));
    for (size_t s = 0; s < subjects_.size(); ++s) {
        const std::string& prefix = subjects_[s].prefix;
        names->SetText(static_cast<int32_t>(s), prefix.substr(0, prefix.size() - 1));
    }
    auto frames = std::make_unique<KFileParameterRecord>("FRAMES", kValueLong);
    frames->AppendDimension(2);
    frames->SetLong(0, options_.firstFrame);
    frames->SetLong(1, options_.firstFrame + (options_.frames - 1));
    auto rate = std::make_unique<KFileParameterRecord>("RATE", kValueFloat);
    rate->SetFloat(0, options_.rate);
    section->AddRecord(std::move(names));
    section->AddRecord(std::move(frames));
    section->AddRecord(std::move(rate));
    return section;
}

std::unique_ptr<KFileDatagroupSection> Generator::MakeDatagroups() const {
    auto markers = std::make_unique<KFileDatagroupRecord>(0, kValueDouble, 8, options_.rate);
    markers->SetName("Markers");
    auto addMarker = [&](const std::string& name) {
        for (const char* axis : kAxes) {
            markers->AppendLabel(name + " <P-" + axis + ">");
        }
    };
    for (const Subject& subject : subjects_) {
        for (int32_t m = 0; m < options_.markers; ++m) {
            addMarker(subject.prefix + NthName(kMarkerNames, m));
        }
    }
    for (const char* name : kUnprefixedMarkers) {
        addMarker(name);
    }

    auto skeleton = std::make_unique<KFileDatagroupRecord>(1, kValueDouble, 8, options_.rate);
    skeleton->SetName("Skeleton");
    for (const Subject& subject : subjects_) {
        for (int32_t s = 0; s < options_.segments; ++s) {
            for (const char* kind : {"A", "T"}) {
                for (const char* axis : kAxes) {
                    skeleton->AppendLabel(subject.prefix + SegmentName(s) + " <" + kind + "-" +
                                          axis + ">");
                }
            }
        }
        for (int32_t axis = 0; options_.segments > 0 && axis < 3; ++axis) {
            skeleton->AppendLabel(subject.prefix + SegmentName(0) + " <a-" + kAxes[axis] + ">");
        }
    }

    auto forces = std::make_unique<KFileDatagroupRecord>(2, kValueFloat, 4, ForceRate());
    forces->SetName("Forces");
    for (const char* channel : kForceChannels) {
        forces->AppendLabel(channel);
    }

    auto section = std::make_unique<KFileDatagroupSection>(0);
    section->AddRecord(std::move(markers));
    section->AddRecord(std::move(skeleton));
    section->AddRecord(std::move(forces));
    return section;
}

// Each subject walks a circle of kWalkRadius around its own spot at a person's pace, whatever
// the take's length, and sways its limbs.
Pose Generator::PoseAt(const Subject& subject, double seconds) const {
    const double heading = kWalkSpeed / kWalkRadius * seconds + subject.phase;
    Pose pose;
    pose.rootVector = {0.05 * std::sin(3 * seconds), 0.04 * std::cos(2 * seconds), heading};
    const size_t count = static_cast<size_t>(std::max(options_.segments, 1));
    pose.rotations.resize(count);
    pose.origins.resize(count);
    pose.rotations[0] = RotationFromVector(pose.rootVector);
    pose.origins[0] = {2500.0 * subject.phase + kWalkRadius * std::cos(heading),
                       kWalkRadius * std::sin(heading), 950 + 25 * std::sin(4 * seconds)};
    for (size_t s = 1; s < count; ++s) {
        const int32_t index = static_cast<int32_t>(s);
        const size_t parent = static_cast<size_t>(SegmentParent(index));
        const double swing = 0.35 * std::sin(2.2 * seconds + s);
        const Vec3 local{swing, 0.2 * std::cos(1.7 * seconds + 2.0 * s), 0.1 * swing};
        pose.rotations[s] = pose.rotations[parent] * RotationFromVector(local);
        pose.origins[s] =
            pose.origins[parent] + pose.rotations[parent] * kSkeleton[index % kSkeletonSize].offset;
    }
    return pose;
}

// Gaps: most last a few frames (a marker hidden by an arm for a moment), some a few dozen, a
// few half a second or so (a marker hidden while its subject turns away).
int32_t Generator::GapLength() {
    const double kind = Uniform(random_);
    if (kind < 0.75) {
        return 1 + static_cast<int32_t>(Uniform(random_) * 4);
    }
    if (kind < 0.97) {
        return 5 + static_cast<int32_t>(Uniform(random_) * 25);
    }
    return 1 + static_cast<int32_t>(options_.rate * (0.25 + Uniform(random_) * 0.5));
}

bool Generator::Visible(Marker& marker) {
    if (marker.gapLeft > 0) {
        --marker.gapLeft;
        return false;
    }
    if (options_.missingEvery > 0 && Uniform(random_) * options_.missingEvery < 1.0) {
        marker.gapLeft = GapLength() - 1;
        return false;
    }
    return true;
}

void SetPosition(KFileDynamicRecord& record, int32_t& channel, const Vec3* position) {
    double missing;
    const uint64_t marker = KFileDynamicRecord::kMissingDouble;
    std::memcpy(&missing, &marker, sizeof missing);
    for (size_t axis = 0; axis < 3; ++axis) {
        (void)record.SetDouble(channel++, position ? (*position)[axis] : missing);
    }
}

void Generator::FillMarkers(KFileDynamicRecord& record, int32_t frame) {
    const double seconds = Seconds(frame, options_.rate);
    int32_t channel = 0;
    for (Subject& subject : subjects_) {
        const Pose pose = PoseAt(subject, seconds);
        for (Marker& marker : subject.markers) {
            const size_t segment = static_cast<size_t>(std::max(marker.segment, 0));
            const Vec3 position = pose.origins[segment] + pose.rotations[segment] * marker.offset;
            SetPosition(record, channel, Visible(marker) ? &position : nullptr);
        }
    }
    for (Marker& marker : referenceMarkers_) {
        const Vec3 position = marker.offset + Vec3{0, 0, 0.3 * std::sin(seconds * 7 + channel)};
        SetPosition(record, channel, Visible(marker) ? &position : nullptr);
    }
}

void Generator::FillSkeleton(KFileDynamicRecord& record, int32_t frame) const {
    const double seconds = Seconds(frame, options_.rate);
    int32_t channel = 0;
    for (const Subject& subject : subjects_) {
        if (options_.segments == 0) {
            continue;
        }
        const Pose pose = PoseAt(subject, seconds);
        for (size_t s = 0; s < static_cast<size_t>(options_.segments); ++s) {
            // The root keeps its turns; the others, as a solver gives them, stay below pi.
            const Vec3 rotation = s == 0 ? pose.rootVector : VectorFromRotation(pose.rotations[s]);
            for (const Vec3* values : {&rotation, &pose.origins[s]}) {
                for (double value : *values) {
                    (void)record.SetDouble(channel++, value);
                }
            }
        }
        for (double value : VectorFromRotation(pose.rotations[0])) {
            (void)record.SetDouble(channel++, value);
        }
    }
}

// One plate: the vertical force of steps, small shear forces and moments.
void Generator::FillForces(KFileDynamicRecord& record, int32_t frame) const {
    const double seconds = PlateSeconds(frame);
    const double step = std::max(0.0, std::sin(kPi * seconds * 1.8));
    const double values[] = {40 * step * std::cos(seconds),
                             25 * step * std::sin(seconds),
                             -750 * step,
                             12 * step,
                             -9 * step,
                             3 * std::sin(seconds)};
    for (size_t c = 0; c < std::size(values); ++c) {
        (void)record.SetFloat(static_cast<int32_t>(c), static_cast<float>(values[c]));
    }
}

// An unknown section: a note about the take that readers of the format step over.
bool WriteTakeInfo(KFileManager& manager, const TakeOptions& options) {
    const std::string note = "synthetic take, seed " + std::to_string(options.seed);
    KDatagroupSectionHandler headerWriter(&manager.GetWrapper());  // any framed handler will do
    const auto size = static_cast<unsigned>(note.size() + 1);
    return headerWriter.WriteSectionHeader(static_cast<int32_t>(size), "TAKEINFO") &&
           manager.GetWrapper().Write(note.c_str(), size);
}

bool WriteRecord(KFileManager& manager, const KFileDatagroupRecord& group, int32_t frame,
                 const std::function<void(KFileDynamicRecord&)>& fill) {
    KFileDynamicRecord record(group);
    record.SetFrame(frame);
    fill(record);
    return manager.WriteDynamicRecord(&record);
}

}  // namespace

std::string CheckTakeOptions(const TakeOptions& options) {
    if (!(options.rate >= 1.0f) || !(options.rate <= kMostRate)) {
        return "the rate must be from 1 to " + std::to_string(static_cast<int64_t>(kMostRate)) +
               " frames per second";
    }
    if (options.subjects < 0 || options.markers < 0 || options.segments < 0 ||
        options.missingEvery < 0) {
        return "counts must not be negative";
    }
    if (options.subjects == 0 || options.markers + int64_t{options.segments} == 0) {
        return "the take would have no subject with a channel: it needs a subject and a marker "
               "or a segment";
    }
    if (options.frames < 1 || options.frames > kMostFrames) {
        return "the frames must be from 1 to " + std::to_string(kMostFrames) +
               ", so that the take holds at most 2^31 - 1 records";
    }
    // Cheap bounds first: a record holds at most 4095 values of 8 bytes.
    if (3 * (int64_t{options.subjects} * options.markers + 2) > kMostChannels ||
        int64_t{options.subjects} * (6 * int64_t{options.segments} + 3) > kMostChannels) {
        return "too many markers or segments for one record (at most " +
               std::to_string(kMostChannels) + " channels per datagroup)";
    }
    // The plate's frame numbers, kPlateRatio times the cameras', must fit 32 bits too.
    const int64_t lastFrame = int64_t{options.firstFrame} + options.frames - 1;
    if (kPlateRatio * int64_t{options.firstFrame} < INT32_MIN ||
        kPlateRatio * lastFrame > INT32_MAX) {
        return "the frame numbers must lie from " + std::to_string(INT32_MIN / kPlateRatio) +
               " to " + std::to_string(INT32_MAX / kPlateRatio) + ", the last frame included";
    }
    // A record's length is an int16: labels and values must fit in 32767 bytes.
    std::unique_ptr<KFileDatagroupSection> groups = Generator(options).MakeDatagroups();
    for (KFileDatagroupRecord& group : groups->GetRecords()) {
        const int64_t valueBytes = int64_t{group.GetLabelCount()} * group.GetValueSize();
        if (group.Pack() == 0 || valueBytes + KFileDynamicRecord::kHeaderSize > kMaxRecordLength) {
            return "datagroup " + group.GetName() + " would have too many channels (" +
                   std::to_string(group.GetLabelCount()) + ") for a record";
        }
    }
    return {};
}

uint64_t EstimatedTakeBytes(const TakeOptions& options) {
    constexpr uint64_t kSectionsBytes = 64 * 1024;  // more than headers and parameters take
    std::unique_ptr<KFileDatagroupSection> groups = Generator(options).MakeDatagroups();
    uint64_t bytes = kSectionsBytes;
    for (const KFileDatagroupRecord& group : groups->GetRecords()) {
        const uint64_t record = 2 + KFileDynamicRecord::kHeaderSize +
                                uint64_t(group.GetLabelCount()) * uint64_t(group.GetValueSize());
        const uint64_t perFrame = group.GetId() == 2 ? kPlateRatio : 1;
        bytes +=
            64 * uint64_t(group.GetLabelCount()) + record * perFrame * uint64_t(options.frames);
    }
    return bytes;
}

namespace {

// The take, record by record, to the file `fileName`.
bool WriteTakeFile(const TakeOptions& options, const std::string& fileName,
                   const TakeProgress& progress) {
    Generator generator(options);
    auto groups = generator.MakeDatagroups();
    const KFileDatagroupRecord& markers = *groups->GetRecord(0);
    const KFileDatagroupRecord& skeleton = *groups->GetRecord(1);
    const KFileDatagroupRecord& forces = *groups->GetRecord(2);

    KFileManager manager;
    if (!manager.GetWrapper().Create(fileName)) {
        return false;
    }
    bool written = manager.WriteHeader() &&
                   manager.WriteSection(generator.MakeParameters().get()) &&
                   WriteTakeInfo(manager, options) && manager.WriteSection(groups.get()) &&
                   manager.WriteTerminator();
    const int32_t firstPlateFrame = kPlateRatio * options.firstFrame;
    for (int32_t f = 0; written && f < options.frames; ++f) {
        const int32_t frame = options.firstFrame + f;
        written = WriteRecord(manager, markers, frame,
                              [&](KFileDynamicRecord& r) { generator.FillMarkers(r, frame); }) &&
                  WriteRecord(manager, skeleton, frame,
                              [&](KFileDynamicRecord& r) { generator.FillSkeleton(r, frame); });
        // The plate's samples up to this camera frame's time: its first, then kPlateRatio more
        // per camera frame, so that it ends when the cameras do.
        const int32_t plateEnd = firstPlateFrame + kPlateRatio * f;
        for (int32_t before = f == 0 ? 0 : kPlateRatio - 1; written && before >= 0; --before) {
            const int32_t plate = plateEnd - before;
            written = WriteRecord(manager, forces, plate,
                                  [&](KFileDynamicRecord& r) { generator.FillForces(r, plate); });
        }
        if (progress && (f % 256 == 255 || f + 1 == options.frames)) {
            progress(f + 1, options.frames);
        }
    }
    written = manager.Flush() && written;
    return manager.GetWrapper().Close() == 0 && written;
}

}  // namespace

KWriteReport WriteGeneratedTakeReporting(const TakeOptions& options, const std::string& fileName,
                                         const TakeProgress& progress) {
    if (!CheckTakeOptions(options).empty()) {
        return KWriteReport();
    }
    return WriteFileSafely(fileName, [&](const std::string& temporary) {
        return WriteTakeFile(options, temporary, progress);
    });
}

bool WriteGeneratedTake(const TakeOptions& options, const std::string& fileName,
                        const TakeProgress& progress) {
    return WriteGeneratedTakeReporting(options, fileName, progress).written;
}
