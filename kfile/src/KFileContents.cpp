#include "kfile/KFileContents.h"

#include <algorithm>
#include <new>
#include <utility>

#include "KFileFormat.h"
#include "KRecordArena.h"
#include "kfile/KDatagroupSection.h"
#include "kfile/KParameterSection.h"

namespace kfile {
namespace {
uint64_t FrameKey(int16_t id, int32_t frame) {
    return (uint64_t{static_cast<uint16_t>(id)} << 32) | static_cast<uint32_t>(frame);
}
}  // namespace

KFileContents::KFileContents() = default;

KFileContents::~KFileContents() {
    sections_.clear();
    dynamicRecords_.clear();
}

const KFileSection* KFileContents::FindSection(const std::string& name) const {
    for (const KFileSection& section : GetSections()) {
        if (EqualsIgnoringCase(section.GetName(), name)) {
            return &section;
        }
    }
    return nullptr;
}

KFileSection* KFileContents::FindSection(const std::string& name) {
    return const_cast<KFileSection*>(std::as_const(*this).FindSection(name));
}

bool KFileContents::AddSection(std::unique_ptr<KFileSection> section) {
    if (!section || FindSection(section->GetName())) {
        return false;
    }
    sections_.push_back(std::move(section));
    return true;
}

void KFileContents::AddUnknownSection(std::unique_ptr<KFileUnknownSection> section) {
    if (section) {
        sections_.push_back(std::move(section));
    }
}

template <typename Section>
Section* KFileContents::FindTypedSection(const char* name) const {
    return dynamic_cast<Section*>(const_cast<KFileSection*>(FindSection(name)));
}

const KFileDatagroupSection* KFileContents::GetDatagroupSection() const {
    return FindTypedSection<KFileDatagroupSection>(KFileDatagroupSection::kName);
}
KFileDatagroupSection* KFileContents::GetDatagroupSection() {
    return FindTypedSection<KFileDatagroupSection>(KFileDatagroupSection::kName);
}
const KFileParameterSection* KFileContents::GetParameterSection() const {
    return FindTypedSection<KFileParameterSection>(KFileParameterSection::kName);
}
KFileParameterSection* KFileContents::GetParameterSection() {
    return FindTypedSection<KFileParameterSection>(KFileParameterSection::kName);
}

int32_t KFileContents::GetDatagroupCount() const {
    const KFileDatagroupSection* section = GetDatagroupSection();
    return section ? section->GetRecordCount() : 0;
}

float KFileContents::GetDatagroupRate(int16_t id) const {
    const KFileDatagroupSection* section = GetDatagroupSection();
    const KFileDatagroupRecord* record = section ? section->FindRecord(id) : nullptr;
    return record ? record->GetRate() : 0.0f;
}

bool KFileContents::GetDatagroupLabels(int16_t id, std::vector<std::string>& labels) const {
    const KFileDatagroupSection* section = GetDatagroupSection();
    if (!section) {
        return false;
    }
    const KFileDatagroupRecord* last = nullptr;
    for (const KFileDatagroupRecord& record : section->GetRecords()) {
        last = record.GetId() == id ? &record : last;
    }
    if (!last) {
        return false;
    }
    labels = last->GetLabels();
    return true;
}

KBytes KFileContents::NewRecordBytes(int16_t length, uint64_t bytesLeft) {
    if (length <= 0) {
        return KBytes(nullptr);
    }
    if (!recordBytes_) {
        recordBytes_.reset(new (std::nothrow) KRecordArena);
        if (!recordBytes_) {
            return KBytes(nullptr);
        }
    }
    return recordBytes_->Carve(static_cast<size_t>(length), bytesLeft);
}

void KFileContents::AddDynamicRecord(std::unique_ptr<KFileDynamicRecord> record) {
    dynamicRecords_.push_back(std::move(record));
    if (frameIndexBuilt_) {
        IndexRecord(dynamicRecords_.size() - 1);
    }
}

int32_t KFileContents::GetFirstFrame() const {
    return dynamicRecords_.empty() ? 0 : dynamicRecords_.front()->GetFrame();
}

int32_t KFileContents::GetLastFrame() const {
    int32_t last = 0;
    for (const KFileDynamicRecord& record : GetDynamicRecords()) {
        last = std::max(last, record.GetFrame());
    }
    return last;
}

void KFileContents::IndexRecord(size_t position) const {
    const KFileDynamicRecord& record = *dynamicRecords_[position];
    frameIndex_.emplace(FrameKey(record.GetId(), record.GetFrame()), position);  // first wins
}

const KFileDynamicRecord* KFileContents::FindDynamicRecord(int16_t id, int32_t frame) const {
    std::lock_guard<std::mutex> lock(frameIndexMutex_);
    return LookUpFrame(id, frame);
}

KFileDynamicRecord* KFileContents::FindDynamicRecord(int16_t id, int32_t frame) {
    return const_cast<KFileDynamicRecord*>(std::as_const(*this).FindDynamicRecord(id, frame));
}

KFileDynamicRecord* KFileContents::LookUpFrame(int16_t id, int32_t frame) const {
    if (!frameIndexBuilt_) {
        frameIndex_.reserve(dynamicRecords_.size());
        for (size_t i = 0; i < dynamicRecords_.size(); ++i) {
            IndexRecord(i);
        }
        frameIndexBuilt_ = true;
    }
    auto found = frameIndex_.find(FrameKey(id, frame));
    if (found == frameIndex_.end()) {
        return nullptr;
    }
    KFileDynamicRecord* record = dynamicRecords_[found->second].get();
    if (record->GetId() != id || record->GetFrame() != frame) {
        // A record's id or frame was changed after it was indexed: index afresh.
        frameIndex_.clear();
        frameIndexBuilt_ = false;
        return LookUpFrame(id, frame);
    }
    return record;
}

KFileDynamicRecord* KFileContents::RecordAtCursor() const {
    return cursor_ >= 0 && static_cast<size_t>(cursor_) < dynamicRecords_.size()
               ? dynamicRecords_[static_cast<size_t>(cursor_)].get()
               : nullptr;
}

KFileDynamicRecord* KFileContents::FirstDynamicRecord() {
    cursor_ = 0;
    return RecordAtCursor();
}

KFileDynamicRecord* KFileContents::NextDynamicRecord() {
    if (cursor_ < GetDynamicRecordCount()) {
        ++cursor_;  // stops one past the last record
    }
    return RecordAtCursor();
}

KFileDynamicRecord* KFileContents::FirstDynamicRecord(int16_t id) {
    cursor_ = -1;
    return NextDynamicRecord(id);
}

KFileDynamicRecord* KFileContents::NextDynamicRecord(int16_t id) {
    for (KFileDynamicRecord* record = NextDynamicRecord(); record; record = NextDynamicRecord()) {
        if (record->GetId() == id) {
            return record;
        }
    }
    return nullptr;
}

}  // namespace kfile
