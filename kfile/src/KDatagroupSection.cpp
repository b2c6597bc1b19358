#include "kfile/KDatagroupSection.h"

#include <algorithm>

#include "ByteIO.h"
#include "FramedSections.h"

namespace kfile {
namespace {

constexpr size_t kMaxTextLength = 254;  // its length byte also counts the NUL
constexpr int32_t kFixedSize = 11;      // id, L, type, size, rate, N

int32_t TextFieldSize(const std::string& text) {
    return text.empty() ? 0 : static_cast<int32_t>(text.size()) + 1;
}

}  // namespace

int32_t KFileDatagroupRecord::GetPackedSize() const {
    int64_t size = kFixedSize + TextFieldSize(name_);
    for (const auto& label : labels_) {
        size += static_cast<int64_t>(label.size()) + 2;
    }
    return size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size);
}

void KFileDatagroupRecord::Unpack() {
    bytes::Reader in(GetData(), RawSize());
    uint8_t nameField = 0;
    in.Take(id_);
    in.Take(nameField);
    if (nameField != 0) {
        name_ = in.PeekText();
        in.Skip(nameField);
    }
    uint8_t type = 0;
    if (in.Take(type)) {
        valueType_ = type;
    }
    in.Take(valueSize_);
    in.Take(rate_);
    int16_t labelCount = 0;
    in.Take(labelCount);
    labels_.clear();
    for (int16_t i = 0; i < labelCount; ++i) {
        uint8_t labelField = 0;
        if (!in.Take(labelField)) {
            break;
        }
        labels_.push_back(in.PeekText());
        in.Skip(labelField);
    }
}

int16_t KFileDatagroupRecord::Pack() {
    bool storable = name_.size() <= kMaxTextLength && labels_.size() <= kMaxRecordLength;
    for (const auto& label : labels_) {
        storable = storable && label.size() <= kMaxTextLength;
    }
    int32_t size = GetPackedSize();
    if (!storable || !ReserveRaw(size)) {
        ReserveRaw(-1);  // drops the buffer: the record cannot be stored
        return 0;
    }
    bytes::Writer out(RawData());
    out.Put<int16_t>(id_);
    out.Put<uint8_t>(static_cast<uint8_t>(TextFieldSize(name_)));
    if (!name_.empty()) {
        out.PutText(name_);
    }
    out.Put<uint8_t>(static_cast<uint8_t>(valueType_));
    out.Put<uint8_t>(valueSize_);
    out.Put<float>(rate_);
    out.Put<int16_t>(static_cast<int16_t>(labels_.size()));
    for (const auto& label : labels_) {
        out.Put<uint8_t>(static_cast<uint8_t>(label.size() + 1));
        out.PutText(label);
    }
    SetLength(static_cast<int16_t>(size));
    return static_cast<int16_t>(size);
}

void KFileDatagroupRecord::SetId(int16_t id) {
    id_ = id;
    SetModified();
}
void KFileDatagroupRecord::SetName(const std::string& name) {
    name_ = name;
    SetModified();
}
void KFileDatagroupRecord::SetValueType(int32_t valueType) {
    valueType_ = valueType;
    SetModified();
}
void KFileDatagroupRecord::SetValueSize(uint8_t valueSize) {
    valueSize_ = valueSize;
    SetModified();
}
void KFileDatagroupRecord::SetRate(float rate) {
    rate_ = rate;
    SetModified();
}
void KFileDatagroupRecord::SetLabel(const std::string& label, int32_t index) {
    if (index >= 0 && index < GetLabelCount()) {
        labels_[static_cast<size_t>(index)] = label;
    }
    SetModified();
}
void KFileDatagroupRecord::InsertLabel(const std::string& label, int32_t index) {
    labels_.insert(labels_.begin() + std::clamp(index, 0, GetLabelCount()), label);
    SetModified();
}
void KFileDatagroupRecord::AppendLabel(const std::string& label) {
    labels_.push_back(label);
    SetModified();
}
void KFileDatagroupRecord::RemoveLabel(int32_t index) {
    index = index > 0 ? index : 0;
    if (index < GetLabelCount()) {
        labels_.erase(labels_.begin() + index);
    }
    SetModified();
}

const KFileDatagroupRecord* KFileDatagroupSection::FindRecord(int16_t id) const {
    for (const KFileDatagroupRecord& record : GetRecords()) {
        if (record.GetId() == id) {
            return &record;
        }
    }
    return nullptr;
}

KFileDatagroupRecord* KFileDatagroupSection::FindRecord(int16_t id) {
    return const_cast<KFileDatagroupRecord*>(
        static_cast<const KFileDatagroupSection*>(this)->FindRecord(id));
}

int32_t KDatagroupSectionHandler::ReadSection(KFileContents* contents, int32_t bodyLength) {
    return ReadFramedSection<KFileDatagroupSection, KFileDatagroupRecord>(*Wrapper(), *contents,
                                                                          bodyLength);
}

bool KDatagroupSectionHandler::WriteSection(KFileSection* section) {
    return WriteFramedSection<KFileDatagroupSection>(*this, *Wrapper(), section);
}

}  // namespace kfile
