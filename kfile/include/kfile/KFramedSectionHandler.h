// Reading and writing of the sections whose body is a run of framed records (int16 length,
// payload) ended by an int16 zero: the datagroup and the parameter sections.
#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <string>

#include "kfile/KFileContents.h"
#include "kfile/KFileFormat.h"
#include "kfile/KFileSection.h"
#include "kfile/KFileWrapper.h"

template <typename Section, typename Record>
class KFramedSectionHandler : public KSectionHandler {
  public:
    KFramedSectionHandler(KExtendedFileWrapper* wrapper, const char* sectionName)
        : KSectionHandler(wrapper), sectionName_(sectionName) {}

    bool Handles(const std::string& name) const override {
        return kfile::EqualsIgnoringCase(name, sectionName_);
    }

    // Reads records up to the closing zero, then moves to the end of the declared body. A
    // failed record read ends the body as the closing zero would; the records read so far stay.
    int32_t ReadSection(KFileContents* contents, int32_t bodyLength) override {
        std::unique_ptr<Section> section(new (std::nothrow) Section(bodyLength));
        if (!section) {
            return kNoMemory;
        }
        const uint64_t bodyEnd = Wrapper()->Position() + static_cast<uint64_t>(bodyLength);
        for (;;) {
            int16_t length = 0;
            if (!kfile::ReadInt16(Wrapper(), length)) {
                return kShortRead;
            }
            if (length == 0) {
                break;
            }
            int32_t status = ReadRecord(*section, length);
            if (status == kNoMemory) {
                return kNoMemory;
            }
            if (status == kShortRead) {
                break;
            }
        }
        // To the end of the declared body: past surplus bytes, or back from records that ran
        // beyond it. A record frame cut short by the end of the file leaves the stream at that
        // end, so the distance is taken from where the body ends, not from the records' size.
        Wrapper()->Seek(static_cast<long>(static_cast<int64_t>(bodyEnd) -
                                          static_cast<int64_t>(Wrapper()->Position())),
                        1);
        std::unique_ptr<KFileSection> read = std::move(section);
        contents->AddSection(read);  // a refused duplicate is destroyed here
        return kDone;
    }

    // Reads one record payload of `length` bytes into a new record of the section. A negative
    // length, or one beyond the end of the file, is a short read: no buffer is obtained for it.
    int32_t ReadRecord(Section& section, int16_t length) {
        if (length < 0 || static_cast<uint64_t>(length) > Wrapper()->Remaining()) {
            return kShortRead;  // ReadSection then moves to the end of the body
        }
        KBytes bytes(new (std::nothrow) uint8_t[static_cast<size_t>(length)]);
        if (!bytes) {
            return kNoMemory;
        }
        if (!Wrapper()->Read(bytes.get(), static_cast<unsigned>(length))) {
            return kShortRead;
        }
        std::unique_ptr<Record> record(new (std::nothrow) Record(std::move(bytes), length));
        if (!record) {
            return kNoMemory;
        }
        record->Unpack();
        section.AddRecord(std::move(record));
        return kDone;
    }

    // Packs the records first: a section with a record that cannot be stored is not written
    // at all, rather than written with a body that ends early.
    bool WriteSection(KFileSection* fileSection) override {
        auto* section = dynamic_cast<Section*>(fileSection);
        if (!section || !section->Pack()) {
            return false;
        }
        int32_t size = section->GetSize();
        bool written = WriteSectionHeader(size, section->GetName());
        for (int32_t i = 0; written && i < section->GetRecordCount(); ++i) {
            const Record* record = section->GetRecord(i);
            written =
                kfile::WriteInt16(Wrapper(), record->GetLength()) &&
                Wrapper()->Write(record->GetData(), static_cast<unsigned>(record->GetLength()));
        }
        written = written && kfile::WriteInt16(Wrapper(), 0);
        section->SetStoredSize(size);
        return written;
    }

    bool WriteSectionHeader(int32_t size, const std::string& name) override {
        return kfile::WriteSectionHeader(Wrapper(), size, name);
    }

  private:
    const char* sectionName_;
};
