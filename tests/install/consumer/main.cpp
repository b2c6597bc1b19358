// Writes a small take with the installed K-file library, reads it back and checks what it holds.
// Usage: kfile_consumer <take file>

#include <kfile/kfile.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace kfile;

namespace {

constexpr int kFrames = 5;

double ValueAt(int frame, int channel) {
    return frame * 10.0 + channel;
}

bool WriteTake(const std::string& path) {
    auto group = std::make_unique<KFileDatagroupRecord>(0, kValueDouble, 8, 100.0f);
    group->SetName("Markers");
    for (const char* label : {"Bob:HEAD <P-X>", "Bob:HEAD <P-Y>", "Bob:HEAD <P-Z>"}) {
        group->AppendLabel(label);
    }
    KFileContents contents;
    contents.SetVersion(1);
    for (int frame = 1; frame <= kFrames; ++frame) {
        auto record = std::make_unique<KFileDynamicRecord>(*group);
        record->SetFrame(frame);
        for (int channel = 0; channel < 3; ++channel) {
            record->SetDouble(channel, ValueAt(frame, channel));
        }
        contents.AddDynamicRecord(std::move(record));
    }
    auto section = std::make_unique<KFileDatagroupSection>(0);
    section->AddRecord(std::move(group));
    return contents.AddSection(std::move(section)) && KFileManager().Write(path, contents);
}

bool CheckTake(const std::string& path) {
    KReadResult take = ReadTake(path);
    const KFileContents* contents = take.contents.get();
    if (!contents) {
        std::fprintf(stderr, "read failed: %s\n", take.report.Describe().c_str());
        return false;
    }
    std::vector<std::string> labels;
    bool ok = contents->GetDatagroupCount() == 1 && contents->GetDatagroupRate(0) == 100.0f &&
              contents->GetDatagroupLabels(0, labels) && labels.size() == 3 &&
              labels[1] == "Bob:HEAD <P-Y>" && contents->GetFirstFrame() == 1 &&
              contents->GetLastFrame() == kFrames;
    for (int frame = 1; ok && frame <= kFrames; ++frame) {
        const KFileDynamicRecord* record = contents->FindDynamicRecord(0, frame);
        double value = 0.0;
        ok = record && record->GetDouble(2, value) && value == ValueAt(frame, 2);
    }
    std::printf("kfile consumer: %d records, %s\n", contents->GetDynamicRecordCount(),
                ok ? "as written" : "NOT as written");
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kfile_consumer <take file>\n");
        return 2;
    }
    if (!WriteTake(argv[1])) {
        std::fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    return CheckTake(argv[1]) ? 0 : 1;
}
