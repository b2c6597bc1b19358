// Bases of the sections of a K-file and of the handlers that read and write them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kfile/KFileRecord.h"
#include "kfile/KRange.h"

namespace kfile {

class KFileContents;
class KExtendedFileWrapper;

class KFileSection {
  public:
    KFileSection(int32_t size, std::string name) : name_(std::move(name)), storedSize_(size) {}
    KFileSection(const KFileSection&) = delete;
    KFileSection& operator=(const KFileSection&) = delete;
    virtual ~KFileSection() = default;

    // Body bytes that the section's present content occupies when stored.
    virtual int32_t GetSize() const = 0;
    // Brings the raw bytes of every record up to date from the records' fields; false when a
    // record cannot be stored.
    virtual bool Pack() = 0;

    std::string GetName() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    // The body length read from the section header, or the size last written.
    int32_t GetStoredSize() const { return storedSize_; }
    void SetStoredSize(int32_t size) { storedSize_ = size; }

  private:
    std::string name_;
    int32_t storedSize_;
};

// The raw body of a section whose name no handler knows, kept when reading is asked to (see
// KFileManager::SetKeepUnknownSections) and written back as it was.
class KFileUnknownSection : public KFileSection {
  public:
    KFileUnknownSection(int32_t size, std::string name, KBytes body)
        : KFileSection(size, std::move(name)), body_(std::move(body)) {}

    int32_t GetSize() const override { return GetStoredSize(); }
    bool Pack() override { return true; }
    const uint8_t* GetBody() const { return body_.get(); }

  private:
    KBytes body_;
};

// A section whose body is a run of records, each framed by an int16 length, ended by an int16
// zero. Owns its records.
template <typename Record>
class KRecordSection : public KFileSection {
    using Owners = std::vector<std::unique_ptr<Record>>;

  public:
    using KFileSection::KFileSection;

    // 2 bytes of length per record, the record's raw bytes, and the closing zero.
    int32_t GetSize() const override {
        int64_t size = 2;
        for (const auto& record : records_) {
            size += 2 + record->GetLength();
        }
        return size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size);
    }

    bool Pack() override {
        bool packed = true;
        for (auto& record : records_) {
            packed = record->Pack() > 0 && packed;
        }
        return packed;
    }

    int32_t GetRecordCount() const { return static_cast<int32_t>(records_.size()); }
    // No range test: 0 <= index < GetRecordCount().
    const Record* GetRecord(int32_t index) const {
        return records_[static_cast<size_t>(index)].get();
    }
    Record* GetRecord(int32_t index) { return records_[static_cast<size_t>(index)].get(); }
    // The records in file order, for range-for.
    KOwnedRange<const Record, Owners> GetRecords() const {
        return MakeRange<const Record>(records_);
    }
    KOwnedRange<Record, Owners> GetRecords() { return MakeRange<Record>(records_); }
    void AddRecord(std::unique_ptr<Record> record) { records_.push_back(std::move(record)); }

  private:
    Owners records_;
};

// Reads and writes the sections of one name. Keeps a non-owning pointer to the file wrapper of
// the KFileManager that owns the handler.
class KSectionHandler {
  public:
    // Status of ReadSection.
    enum Status : int32_t { kDone = 0, kShortRead = 1, kNoMemory = 2 };

    explicit KSectionHandler(KExtendedFileWrapper* wrapper) : wrapper_(wrapper) {}
    KSectionHandler(const KSectionHandler&) = delete;
    KSectionHandler& operator=(const KSectionHandler&) = delete;
    virtual ~KSectionHandler() = default;

    virtual bool Handles(const std::string& name) const = 0;
    // Called with the stream just after the section's 32-byte header; returns with the stream at
    // the end of the body. What it builds goes to `contents` or is destroyed.
    // kNoMemory when memory ran out; the manager then gives up on the file.
    virtual int32_t ReadSection(KFileContents* contents, int32_t bodyLength) = 0;
    // Writes a whole section (header, records, closing zero) at the current position. False
    // when the section cannot be stored or a write failed; the section's stored size then stays
    // as it was.
    [[nodiscard]] virtual bool WriteSection(KFileSection* section) = 0;
    // Writes a 32-byte section header: the size, then the name cut to 27 characters and padded
    // with NUL bytes.
    [[nodiscard]] virtual bool WriteSectionHeader(int32_t size, const std::string& name) = 0;

  protected:
    KExtendedFileWrapper* Wrapper() const { return wrapper_; }

  private:
    KExtendedFileWrapper* const wrapper_;
};

// Base of the handlers of the sections whose body is a run of framed records (int16 length,
// payload) ended by an int16 zero: the datagroup and the parameter sections.
class KFramedSectionHandler : public KSectionHandler {
  public:
    KFramedSectionHandler(KExtendedFileWrapper* wrapper, const char* sectionName)
        : KSectionHandler(wrapper), sectionName_(sectionName) {}

    // The section name, ignoring ASCII case.
    bool Handles(const std::string& name) const override;
    bool WriteSectionHeader(int32_t size, const std::string& name) override;

  private:
    const char* sectionName_;
};

}  // namespace kfile
