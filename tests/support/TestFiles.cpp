#include "TestFiles.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

namespace testsupport {
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
    std::error_code error;
    const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    if (error) {
        return;
    }
#ifdef _WIN32
    // No mkdtemp: try random names; create_directory makes only a folder that did not exist.
    std::random_device random;
    for (int attempt = 0; attempt < 100 && root_.empty(); ++attempt) {
        std::filesystem::path candidate = temp / ("kfile-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate, error)) {
            root_ = candidate;
        }
    }
#else
    std::string pattern = (temp / "kfile-test-XXXXXX").string();
    if (mkdtemp(pattern.data())) {
        root_ = pattern;
    }
#endif
}

TempDir::~TempDir() {
    std::error_code ignored;
    if (IsValid()) {
        std::filesystem::remove_all(root_, ignored);
    }
}

std::string TempDir::Write(const std::string& name, const uint8_t* data, size_t size) const {
    std::string path = Path(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    return out ? path : std::string();
}

Bytes ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string DescribeContents(const kfile::KFileContents& contents) {
    std::ostringstream out;
    out << "version " << contents.GetVersion() << "\n";
    for (const kfile::KFileSection& section : contents.GetSections()) {
        out << "section " << section.GetName() << "\n";
    }
    if (const kfile::KFileDatagroupSection* groups = contents.GetDatagroupSection()) {
        for (const kfile::KFileDatagroupRecord& g : groups->GetRecords()) {
            out << "  group " << g.GetId() << " '" << g.GetName() << "' " << g.GetValueType() << " "
                << int{g.GetValueSize()} << " " << g.GetRate();
            for (const auto& label : g.GetLabels()) {
                out << " [" << label << "]";
            }
            out << "\n";
        }
    }
    if (const kfile::KFileParameterSection* parameters = contents.GetParameterSection()) {
        for (const kfile::KFileParameterRecord& p : parameters->GetRecords()) {
            out << "  parameter '" << p.GetName() << "' " << p.GetType() << " dims";
            for (int16_t d : p.GetDimensions()) {
                out << " " << d;
            }
            out << " values";
            for (uint8_t v : p.GetValues()) {
                out << " " << int{v};
            }
            out << "\n";
        }
    }
    for (const kfile::KFileDynamicRecord& r : contents.GetDynamicRecords()) {
        out << "record " << r.GetId() << " " << r.GetFrame() << " :";
        for (int32_t b = 0; b < r.GetLength(); ++b) {
            out << " " << int{r.GetData()[b]};
        }
        out << "\n";
    }
    return out.str();
}

}  // namespace testsupport
