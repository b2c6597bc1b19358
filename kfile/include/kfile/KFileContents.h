// The in-memory image of one K-file: its version, its sections and its dynamic records.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "kfile/KFileDynamicRecord.h"
#include "kfile/KFileSection.h"
#include "kfile/KRange.h"

namespace kfile {

class KFileDatagroupSection;
class KFileParameterSection;
class KRecordArena;

// Threads: const member functions may run on several threads at once (FindDynamicRecord guards
// the index it keeps); a non-const call needs the contents to itself.
class KFileContents {
    using Sections = std::vector<std::unique_ptr<KFileSection>>;
    using DynamicRecords = std::vector<std::unique_ptr<KFileDynamicRecord>>;

    // Keeps the dynamic records of one datagroup.
    struct KeepDatagroup {
        int16_t id;
        bool operator()(const KFileDynamicRecord& record) const { return record.GetId() == id; }
    };

  public:
    KFileContents();
    KFileContents(const KFileContents&) = delete;
    KFileContents& operator=(const KFileContents&) = delete;
    virtual ~KFileContents();

    int16_t GetVersion() const { return version_; }
    void SetVersion(int16_t version) { version_ = version; }

    // Sections -------------------------------------------------------------------------------

    // The first section whose name equals `name` ignoring ASCII case; null when none.
    const KFileSection* FindSection(const std::string& name) const;
    KFileSection* FindSection(const std::string& name);
    // Appends the section and takes it. A section whose name (ignoring case) is already present
    // is refused: false, and the section is destroyed.
    [[nodiscard]] bool AddSection(std::unique_ptr<KFileSection> section);
    // Appends a section of a name no handler knows, whatever sections it shares its name with:
    // such sections are kept to be written back in their place, several of one name included.
    void AddUnknownSection(std::unique_ptr<KFileUnknownSection> section);
    int32_t GetSectionCount() const { return static_cast<int32_t>(sections_.size()); }
    // No range test: 0 <= index < GetSectionCount().
    const KFileSection* GetSection(int32_t index) const {
        return sections_[static_cast<size_t>(index)].get();
    }
    KFileSection* GetSection(int32_t index) { return sections_[static_cast<size_t>(index)].get(); }
    // The sections in file order, for range-for.
    KOwnedRange<const KFileSection, Sections> GetSections() const {
        return MakeRange<const KFileSection>(sections_);
    }
    KOwnedRange<KFileSection, Sections> GetSections() { return MakeRange<KFileSection>(sections_); }

    // The section named "DATAGROUP" or "PARAMETER" as its own type; null when there is none (or
    // a section of that name is of another kind).
    const KFileDatagroupSection* GetDatagroupSection() const;
    KFileDatagroupSection* GetDatagroupSection();
    const KFileParameterSection* GetParameterSection() const;
    KFileParameterSection* GetParameterSection();

    // Datagroups (answered from the section named "DATAGROUP") ---------------------------------

    // Number of datagroup records; 0 without a datagroup section.
    int32_t GetDatagroupCount() const;
    // Rate of the first datagroup record with this id; 0 when there is none.
    float GetDatagroupRate(int16_t id) const;
    // Replaces `labels` by the labels of the datagroup records with this id, the last one
    // winning. False, with `labels` untouched, when no record has the id.
    bool GetDatagroupLabels(int16_t id, std::vector<std::string>& labels) const;

    // Raw bytes for a record that these contents will own, directly or through one of their
    // sections; give them to no other record, for they live only as long as the contents. They
    // are carved from a few large blocks, so that reading a take costs a handful of allocations
    // rather than one per record. `bytesLeft` bounds the record bytes still to come (the bytes
    // left in the file being read, UINT64_MAX when unknown) and no block is made larger. Null
    // when memory ran out or `length` is not positive.
    KBytes NewRecordBytes(int16_t length, uint64_t bytesLeft);

    // Dynamic records --------------------------------------------------------------------------

    // Appends a record and takes it; no checks.
    void AddDynamicRecord(std::unique_ptr<KFileDynamicRecord> record);
    int32_t GetDynamicRecordCount() const { return static_cast<int32_t>(dynamicRecords_.size()); }
    // No range test: 0 <= index < GetDynamicRecordCount().
    const KFileDynamicRecord* GetDynamicRecord(int32_t index) const {
        return dynamicRecords_[static_cast<size_t>(index)].get();
    }
    KFileDynamicRecord* GetDynamicRecord(int32_t index) {
        return dynamicRecords_[static_cast<size_t>(index)].get();
    }
    // Every dynamic record in file order, for range-for; or only those of one datagroup.
    KOwnedRange<const KFileDynamicRecord, DynamicRecords> GetDynamicRecords() const {
        return MakeRange<const KFileDynamicRecord>(dynamicRecords_);
    }
    KOwnedRange<const KFileDynamicRecord, DynamicRecords, KeepDatagroup> GetDynamicRecords(
        int16_t id) const {
        return MakeRange<const KFileDynamicRecord>(dynamicRecords_, KeepDatagroup{id});
    }
    KOwnedRange<KFileDynamicRecord, DynamicRecords> GetDynamicRecords() {
        return MakeRange<KFileDynamicRecord>(dynamicRecords_);
    }

    // Frame of the first dynamic record in file order; 0 when there are none.
    int32_t GetFirstFrame() const;
    // Largest frame number, starting from 0: never below 0.
    int32_t GetLastFrame() const;
    // The first record in file order with this datagroup id and frame; null when none.
    // Constant average time: an index is built on first use and kept by AddDynamicRecord. A
    // record whose id or frame is changed after it was added is never answered for its old
    // key; its new key is seen once the index is rebuilt, which the next stale hit causes.
    const KFileDynamicRecord* FindDynamicRecord(int16_t id, int32_t frame) const;
    KFileDynamicRecord* FindDynamicRecord(int16_t id, int32_t frame);

    // Cursor over the dynamic records, in file order.
    KFileDynamicRecord* FirstDynamicRecord();
    KFileDynamicRecord* NextDynamicRecord();
    // The same, visiting only the records of one datagroup.
    KFileDynamicRecord* FirstDynamicRecord(int16_t id);
    KFileDynamicRecord* NextDynamicRecord(int16_t id);

  private:
    template <typename Section>
    Section* FindTypedSection(const char* name) const;
    KFileDynamicRecord* RecordAtCursor() const;
    // The index lookup; frameIndexMutex_ held.
    KFileDynamicRecord* LookUpFrame(int16_t id, int32_t frame) const;
    void IndexRecord(size_t position) const;

    // Declared first, so that it outlives every record carved from it.
    std::unique_ptr<KRecordArena> recordBytes_;
    int16_t version_ = 0;
    Sections sections_;
    DynamicRecords dynamicRecords_;
    int32_t cursor_ = 0;

    // (datagroup id, frame) -> position in dynamicRecords_ of the first such record. Built on
    // the first FindDynamicRecord; records added later are indexed as they come.
    mutable std::mutex frameIndexMutex_;
    mutable std::unordered_map<uint64_t, size_t> frameIndex_;
    mutable bool frameIndexBuilt_ = false;
};

}  // namespace kfile
