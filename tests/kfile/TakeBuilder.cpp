#include "TakeBuilder.h"

#include "AllocationTracker.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

namespace {
template <typename Bits, typename T>
void PutLittleEndian(Bytes& bytes, T value) {
    Bits bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (size_t i = 0; i < sizeof bits; ++i) {
        bytes.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    }
}
}  // namespace

ByteBuilder& ByteBuilder::U8(uint8_t value) {
    bytes_.push_back(value);
    return *this;
}
ByteBuilder& ByteBuilder::I16(int16_t value) {
    PutLittleEndian<uint16_t>(bytes_, value);
    return *this;
}
ByteBuilder& ByteBuilder::I32(int32_t value) {
    PutLittleEndian<uint32_t>(bytes_, value);
    return *this;
}
ByteBuilder& ByteBuilder::F32(float value) {
    PutLittleEndian<uint32_t>(bytes_, value);
    return *this;
}
ByteBuilder& ByteBuilder::F64(double value) {
    PutLittleEndian<uint64_t>(bytes_, value);
    return *this;
}
ByteBuilder& ByteBuilder::Raw(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}
ByteBuilder& ByteBuilder::Raw(std::initializer_list<uint8_t> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}
ByteBuilder& ByteBuilder::Text(const std::string& text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    return U8(0);
}
ByteBuilder& ByteBuilder::FileHeader(int16_t version) {
    return U8('K').U8('#').I16(version);
}
ByteBuilder& ByteBuilder::SectionHeader(int32_t bodyLength, const std::string& name) {
    I32(bodyLength);
    for (size_t i = 0; i < 28; ++i) {
        U8(i < name.size() ? static_cast<uint8_t>(name[i]) : 0);
    }
    return *this;
}
ByteBuilder& ByteBuilder::Section(const std::string& name, const Bytes& body) {
    return SectionHeader(static_cast<int32_t>(body.size()), name).Raw(body);
}
ByteBuilder& ByteBuilder::Terminator() {
    return SectionHeader(0, "");
}
ByteBuilder& ByteBuilder::Framed(const Bytes& payload) {
    return I16(static_cast<int16_t>(payload.size())).Raw(payload);
}

Bytes DatagroupPayload(int16_t id, const std::string& name, uint8_t type, uint8_t size, float rate,
                       const std::vector<std::string>& labels) {
    ByteBuilder b;
    b.I16(id).U8(name.empty() ? 0 : static_cast<uint8_t>(name.size() + 1));
    if (!name.empty()) {
        b.Text(name);
    }
    b.U8(type).U8(size).F32(rate).I16(static_cast<int16_t>(labels.size()));
    for (const auto& label : labels) {
        b.U8(static_cast<uint8_t>(label.size() + 1)).Text(label);
    }
    return b.bytes();
}

Bytes DynamicPayload(int16_t id, int32_t frame, const std::vector<double>& values) {
    ByteBuilder b;
    b.I16(id).I32(frame);
    for (double value : values) {
        b.F64(value);
    }
    return b.bytes();
}

Bytes RecordBody(const std::vector<Bytes>& payloads) {
    ByteBuilder b;
    for (const auto& payload : payloads) {
        b.Framed(payload);
    }
    return b.I16(0).bytes();
}

TempDir::TempDir() {
    std::random_device seed;
    root_ = std::filesystem::temp_directory_path() /
            ("kfile-test-" + std::to_string(seed()) + std::to_string(seed()));
    std::filesystem::create_directories(root_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string TempDir::Write(const std::string& name, const Bytes& bytes) const {
    std::string path = Path(name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

Bytes ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ReadResult ReadBytes(const Bytes& bytes) {
    TempDir dir;
    KFileManager manager;
    manager.Open(dir.Write("take.K", bytes));
    ReadResult result;
    {
        AllocationTracker tracker;
        result.contents = manager.Read();
        result.largestAllocation = tracker.Largest();
    }
    result.error = manager.GetLastError();
    manager.Close();
    return result;
}
