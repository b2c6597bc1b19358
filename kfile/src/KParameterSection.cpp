#include "kfile/KParameterSection.h"

#include <algorithm>

#include "ByteIO.h"
#include "FramedSections.h"

namespace kfile {

using bytes::LoadOrZero;
using bytes::StoreIfPresent;

namespace {
constexpr size_t kMaxNameLength = 254;  // its length byte also counts the NUL
constexpr size_t kMaxDimensions = 255;
}  // namespace

KFileParameterRecord::KFileParameterRecord(const std::string& name, int32_t type)
    : name_(name), type_(type) {
    dimensions_.reserve(3);
}

int32_t KFileParameterRecord::GetElementCount() const {
    int64_t count = 1;
    for (int16_t dimension : dimensions_) {
        count = std::clamp<int64_t>(count * dimension, INT32_MIN, INT32_MAX);
    }
    return static_cast<int32_t>(count);
}

int64_t KFileParameterRecord::ValueBlockSize() const {
    return std::max<int64_t>(0, int64_t{GetElementCount()} * GetElementSize());
}

int32_t KFileParameterRecord::GetPackedSize() const {
    int64_t size = static_cast<int64_t>(name_.size()) + 4 +
                   2 * static_cast<int64_t>(dimensions_.size()) + ValueBlockSize();
    return static_cast<int32_t>(std::min<int64_t>(size, INT32_MAX));
}

void KFileParameterRecord::Unpack() {
    bytes::Reader in(GetData(), RawSize());
    uint8_t nameField = 0;
    if (in.Take(nameField)) {
        name_ = in.PeekText();
        in.Skip(nameField);
    }
    uint8_t type = 0;
    if (in.Take(type)) {
        type_ = type;
    }
    uint8_t dimensionCount = 0;
    in.Take(dimensionCount);
    dimensions_.clear();
    for (int16_t dimension = 0; dimensions_.size() < dimensionCount && in.Take(dimension);) {
        dimensions_.push_back(dimension);
    }
    size_t present = static_cast<size_t>(std::min<int64_t>(
        ValueBlockSize(), static_cast<int64_t>(in.Exhausted() ? 0 : in.Remaining())));
    values_.assign(in.Here(), in.Here() + present);
}

int16_t KFileParameterRecord::Pack() {
    int64_t block = ValueBlockSize();
    bool storable = name_.size() <= kMaxNameLength && dimensions_.size() <= kMaxDimensions &&
                    GetElementCount() >= 0;
    int32_t size = GetPackedSize();
    if (!storable || !ReserveRaw(size)) {
        ReserveRaw(-1);  // drops the buffer: the record cannot be stored
        return 0;
    }
    bytes::Writer out(RawData());
    out.Put<uint8_t>(static_cast<uint8_t>(name_.size() + 1));
    out.PutText(name_);
    out.Put<uint8_t>(static_cast<uint8_t>(type_));
    out.Put<uint8_t>(static_cast<uint8_t>(dimensions_.size()));
    for (int16_t dimension : dimensions_) {
        out.Put<int16_t>(dimension);
    }
    size_t copied = std::min(values_.size(), static_cast<size_t>(block));
    out.PutBytes(values_.data(), copied);
    std::fill_n(RawData() + out.Position(), static_cast<size_t>(block) - copied, uint8_t{0});
    SetLength(static_cast<int16_t>(size));
    return static_cast<int16_t>(size);
}

const uint8_t* KFileParameterRecord::Element(int32_t index, int32_t width) const {
    if (index < 0 || width <= 0 ||
        int64_t{index} * width + width > static_cast<int64_t>(values_.size())) {
        return nullptr;
    }
    return values_.data() + static_cast<size_t>(index) * static_cast<size_t>(width);
}

uint8_t* KFileParameterRecord::WritableElement(int32_t index, int32_t width) {
    int64_t block = ValueBlockSize();
    if (index < 0 || width <= 0 || int64_t{index} * width + width > block) {
        return nullptr;
    }
    // Only a block that a record can hold is grown: anything larger could not be packed.
    if (static_cast<int64_t>(values_.size()) < block && block <= kMaxRecordLength) {
        values_.resize(static_cast<size_t>(block), 0);
    }
    SetModified();
    return const_cast<uint8_t*>(Element(index, width));
}

uint8_t KFileParameterRecord::GetByte(int32_t index) const {
    return LoadOrZero<uint8_t>(Element(index, 1));
}
int16_t KFileParameterRecord::GetShort(int32_t index) const {
    return LoadOrZero<int16_t>(Element(index, 2));
}
int32_t KFileParameterRecord::GetLong(int32_t index) const {
    return LoadOrZero<int32_t>(Element(index, 4));
}
float KFileParameterRecord::GetFloat(int32_t index) const {
    return LoadOrZero<float>(Element(index, 4));
}
double KFileParameterRecord::GetDouble(int32_t index) const {
    return LoadOrZero<double>(Element(index, 8));
}

bool KFileParameterRecord::SetByte(int32_t index, uint8_t value) {
    return StoreIfPresent(WritableElement(index, 1), value);
}
bool KFileParameterRecord::SetShort(int32_t index, int16_t value) {
    return StoreIfPresent(WritableElement(index, 2), value);
}
bool KFileParameterRecord::SetLong(int32_t index, int32_t value) {
    return StoreIfPresent(WritableElement(index, 4), value);
}
bool KFileParameterRecord::SetFloat(int32_t index, float value) {
    return StoreIfPresent(WritableElement(index, 4), value);
}
bool KFileParameterRecord::SetDouble(int32_t index, double value) {
    return StoreIfPresent(WritableElement(index, 8), value);
}

int32_t KFileParameterRecord::TextWidth() const {
    return dimensions_.empty() ? 1 : dimensions_.front();
}

std::string KFileParameterRecord::GetText(int32_t index) const {
    int32_t width = TextWidth();
    const auto* slot = reinterpret_cast<const char*>(Element(index, width));
    if (!slot) {
        return {};
    }
    size_t length = 0;
    while (length < static_cast<size_t>(width) - 1 && slot[length] != '\0') {
        ++length;
    }
    return std::string(slot, length);
}

bool KFileParameterRecord::SetText(int32_t index, const std::string& text) {
    int32_t width = TextWidth();
    uint8_t* slot = WritableElement(index, width);
    if (!slot) {
        return false;
    }
    size_t kept = std::min(text.size(), static_cast<size_t>(width));
    std::copy_n(text.begin(), kept, slot);
    std::fill(slot + kept, slot + width, uint8_t{0});
    return true;
}

void KFileParameterRecord::SetType(int32_t type) {
    type_ = type;
    SetModified();
}
void KFileParameterRecord::SetName(const std::string& name) {
    name_ = name;
    SetModified();
}
void KFileParameterRecord::SetDimension(int16_t value, int32_t index) {
    if (index >= 0 && index < static_cast<int32_t>(dimensions_.size())) {
        dimensions_[static_cast<size_t>(index)] = value;
    }
    SetModified();
}
void KFileParameterRecord::InsertDimension(int16_t value, int32_t index) {
    index = std::clamp(index, 0, static_cast<int32_t>(dimensions_.size()));
    dimensions_.insert(dimensions_.begin() + index, value);
    SetModified();
}
void KFileParameterRecord::AppendDimension(int16_t value) {
    dimensions_.push_back(value);
    SetModified();
}
void KFileParameterRecord::RemoveDimension(int32_t index) {
    index = index > 0 ? index : 0;
    if (index < static_cast<int32_t>(dimensions_.size())) {
        dimensions_.erase(dimensions_.begin() + index);
    }
    SetModified();
}

const KFileParameterRecord* KFileParameterSection::FindRecord(const std::string& name) const {
    for (const KFileParameterRecord& record : GetRecords()) {
        if (record.GetName() == name) {
            return &record;
        }
    }
    return nullptr;
}

KFileParameterRecord* KFileParameterSection::FindRecord(const std::string& name) {
    return const_cast<KFileParameterRecord*>(
        static_cast<const KFileParameterSection*>(this)->FindRecord(name));
}

int32_t KParameterSectionHandler::ReadSection(KFileContents* contents, int32_t bodyLength) {
    return ReadFramedSection<KFileParameterSection, KFileParameterRecord>(*Wrapper(), *contents,
                                                                          bodyLength);
}

bool KParameterSectionHandler::WriteSection(KFileSection* section) {
    return WriteFramedSection<KFileParameterSection>(*this, *Wrapper(), section);
}

}  // namespace kfile
