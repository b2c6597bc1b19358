// Writes the seeds of the read and import fuzzers: small K-files of a few hundred bytes, each
// reaching a different part of the reader, and small takes of `kfile generate` (subjects,
// skeletons, markers with gaps, a force plate, parameters and an unknown section), whose labels
// the import turns into locators. Usage: kfile_fuzz_seeds <folder>
//
// The committed seeds in tests/fuzz/seeds/takes were made with this program; run it again after
// a change of the format or of the sample takes.

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SampleTake.h"
#include "TakeGenerator.h"
#include "kfile/kfile.h"

using namespace kfile;

namespace {

bool WriteSample(const std::string& path, SampleTakeOptions options) {
    return SampleTake(std::move(options)).Write(path);
}

// Adds a datagroup of `labels` channels of one value type, and `frames` records for it whose
// values count up, every third one stored as the type's missing-value marker.
void AddTypedGroup(KFileContents& contents, KFileDatagroupSection& groups, int16_t id,
                   KValueType type, int32_t labels, int32_t frames) {
    auto group = std::make_unique<KFileDatagroupRecord>(
        id, type, static_cast<uint8_t>(KValueTypeWidth(type)), 60.0f);
    group->SetName(KValueTypeName(type));
    for (int32_t l = 0; l < labels; ++l) {
        group->AppendLabel("C" + std::to_string(l));
    }
    group->Pack();
    for (int32_t frame = 0; frame < frames; ++frame) {
        auto record = std::make_unique<KFileDynamicRecord>(*group);
        record->SetFrame(frame);
        for (int32_t l = 0; l < labels; ++l) {
            bool missing = (frame + l) % 3 == 2;
            switch (type) {
                case kValueShort:
                    record->SetShort(l, missing ? -1 : static_cast<int16_t>(frame * 10 + l));
                    break;
                case kValueLong:
                    record->SetLong(l, missing ? -1 : frame * 1000 + l);
                    break;
                case kValueFloat:
                    record->SetFloat(l, missing ? 4294967296.0f : 0.5f * static_cast<float>(l));
                    break;
                default:
                    record->SetBoolean(l, (frame + l) % 2 == 0);
            }
        }
        record->Pack();
        contents.AddDynamicRecord(std::move(record));
    }
    groups.AddRecord(std::move(group));
}

std::unique_ptr<KFileParameterRecord> Parameter(const std::string& name, KValueType type,
                                                std::vector<int16_t> dimensions) {
    auto parameter = std::make_unique<KFileParameterRecord>(name, type);
    for (int16_t dimension : dimensions) {
        parameter->AppendDimension(dimension);
    }
    return parameter;
}

// Datagroups of every value type but double, and parameters of every type.
bool WriteTyped(const std::string& path) {
    KFileContents contents;
    contents.SetVersion(kWrittenVersion);
    auto parameters = std::make_unique<KFileParameterSection>(0);
    auto names = Parameter("NAMES", kValueText, {6, 2});
    names->SetText(0, "Alice");
    names->SetText(1, "Bob");
    auto bytes = Parameter("FLAGS", kValueBinary, {3});
    bytes->SetByte(2, 0xA5);
    auto shorts = Parameter("SHORTS", kValueShort, {2});
    shorts->SetShort(1, -7);
    auto longs = Parameter("LONGS", kValueLong, {});
    longs->SetLong(0, 123456);
    auto floats = Parameter("SCALE", kValueFloat, {1, 1});
    floats->SetFloat(0, 2.5f);
    auto doubles = Parameter("ORIGIN", kValueDouble, {3});
    doubles->SetDouble(2, -1.25);
    auto booleans = Parameter("USED", kValueBoolean, {2});
    booleans->SetBoolean(0, true);
    for (auto* parameter : {&names, &bytes, &shorts, &longs, &floats, &doubles, &booleans}) {
        parameters->AddRecord(std::move(*parameter));
    }
    auto groups = std::make_unique<KFileDatagroupSection>(0);
    AddTypedGroup(contents, *groups, 3, kValueShort, 2, 3);
    AddTypedGroup(contents, *groups, 4, kValueLong, 2, 2);
    AddTypedGroup(contents, *groups, 5, kValueFloat, 3, 2);
    AddTypedGroup(contents, *groups, 7, kValueBoolean, 4, 2);
    return contents.AddSection(std::move(parameters)) && contents.AddSection(std::move(groups)) &&
           KFileManager().Write(path, contents);
}

// A section no handler knows between the known ones; it is read past and dropped.
bool WriteUnknownSection(const std::string& path) {
    SampleTakeOptions options;
    options.markerCount = 1;
    options.segmentCount = 0;
    options.frameCount = 1;
    std::unique_ptr<KFileContents> take = SampleTake(options).MakeContents();
    KFileManager manager;
    KDatagroupSectionHandler headerWriter(&manager.GetWrapper());  // any framed handler will do
    const uint8_t notes[] = {'s', 'e', 's', 's', 'i', 'o', 'n', 0, 1, 2, 3, 4};
    bool written = manager.GetWrapper().Create(path) && manager.WriteHeader() &&
                   manager.WriteSection(take->GetSection(0)) &&
                   headerWriter.WriteSectionHeader(sizeof notes, "NOTES") &&
                   manager.GetWrapper().Write(notes, sizeof notes) &&
                   manager.WriteSection(take->GetSection(1)) && manager.WriteTerminator();
    for (KFileDynamicRecord& record : take->GetDynamicRecords()) {
        written = written && manager.WriteDynamicRecord(&record);
    }
    written = manager.Flush() && written;
    return manager.Close(), written;
}

// Records out of frame order, a repeated (id, frame) pair and negative frames.
bool WriteUnorderedFrames(const std::string& path) {
    SampleTakeOptions options;
    options.markerCount = 1;
    options.segmentCount = 1;
    options.frameCount = 2;
    options.firstFrame = -1;
    std::unique_ptr<KFileContents> take = SampleTake(options).MakeContents();
    const KFileDatagroupSection* groups = take ? take->GetDatagroupSection() : nullptr;
    if (!groups) {
        return false;
    }
    for (int32_t frame : {5, -1, -7}) {
        auto record = std::make_unique<KFileDynamicRecord>(*groups->GetRecord(0));
        record->SetFrame(frame);
        record->SetDouble(0, frame * 1.5);
        record->Pack();
        take->AddDynamicRecord(std::move(record));
    }
    return KFileManager().Write(path, *take);
}

// A generated take of a few frames and channels.
bool WriteGenerated(const std::string& path, int32_t subjects, int32_t frames) {
    TakeOptions options;
    options.subjects = subjects;
    options.markers = 2;
    options.segments = 2;
    options.frames = frames;
    options.missingEvery = 2;
    return WriteGeneratedTake(options, path);
}

// The first `size` bytes of the take written to `path`.
bool Truncate(const std::string& path, uint64_t size) {
    std::error_code error;
    std::filesystem::resize_file(path, size, error);
    return !error;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kfile_fuzz_seeds <folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    auto at = [&](const char* name) { return (folder / name).string(); };

    SampleTakeOptions small;
    small.markerCount = 1;
    small.segmentCount = 1;
    small.frameCount = 2;
    SampleTakeOptions missing;
    missing.markerCount = 2;
    missing.segmentCount = 0;
    missing.frameCount = 3;
    missing.firstFrame = 10;
    missing.missingEvery = 2;

    const std::vector<std::pair<const char*, std::function<bool()>>> seeds = {
        {"take_small.k", [&] { return WriteSample(at("take_small.k"), small); }},
        {"take_missing.k", [&] { return WriteSample(at("take_missing.k"), missing); }},
        {"header_only.k",
         [&] {
             KFileContents empty;
             empty.SetVersion(kWrittenVersion);
             return KFileManager().Write(at("header_only.k"), empty);
         }},
        {"typed.k", [&] { return WriteTyped(at("typed.k")); }},
        {"unknown_section.k", [&] { return WriteUnknownSection(at("unknown_section.k")); }},
        {"unordered_frames.k", [&] { return WriteUnorderedFrames(at("unordered_frames.k")); }},
        {"generated_one_subject.k",
         [&] { return WriteGenerated(at("generated_one_subject.k"), 1, 3); }},
        {"generated_two_subjects.k",
         [&] { return WriteGenerated(at("generated_two_subjects.k"), 2, 2); }},
        {"cut_in_record.k",
         [&] {
             return WriteSample(at("cut_in_record.k"), small) &&
                    Truncate(at("cut_in_record.k"), 400);
         }},
        {"cut_in_section.k",
         [&] {
             return WriteSample(at("cut_in_section.k"), small) &&
                    Truncate(at("cut_in_section.k"), 90);
         }},
    };
    int failures = 0;
    for (const auto& [name, write] : seeds) {
        if (!write()) {
            std::fprintf(stderr, "kfile_fuzz_seeds: could not write %s\n", name);
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
