// Reading and writing of the sections whose body is a run of framed records (int16 length,
// payload) ended by an int16 zero: the datagroup and the parameter sections.
#pragma once

#include <cstdint>
#include <memory>
#include <new>

#include "KFileFormat.h"
#include "kfile/KFileContents.h"
#include "kfile/KFileSection.h"
#include "kfile/KFileWrapper.h"

namespace kfile {

// Reads one record payload of `length` bytes into a new record of the section. A negative
// length, or one beyond the end of the file, is a short read: no buffer is obtained for it.
template <typename Section, typename Record>
int32_t ReadFramedRecord(KThinFileWrapper& wrapper, KFileContents& contents, Section& section,
                         int16_t length) {
    if (length < 0 || static_cast<uint64_t>(length) > wrapper.Remaining()) {
        return KSectionHandler::kShortRead;  // the caller then moves to the end of the body
    }
    KBytes bytes = contents.NewRecordBytes(length, wrapper.Remaining());
    if (!bytes) {
        return KSectionHandler::kNoMemory;
    }
    if (!wrapper.Read(bytes.get(), static_cast<unsigned>(length))) {
        return KSectionHandler::kShortRead;
    }
    auto record = std::make_unique<Record>(std::move(bytes), length);
    record->Unpack();
    section.AddRecord(std::move(record));
    return KSectionHandler::kDone;
}

// Reads records up to the closing zero, then moves to the end of the declared body. A failed
// record read ends the body as the closing zero would; the records read so far stay.
template <typename Section, typename Record>
int32_t ReadFramedSection(KThinFileWrapper& wrapper, KFileContents& contents, int32_t bodyLength) {
    try {
        auto section = std::make_unique<Section>(bodyLength);
        const uint64_t bodyEnd = wrapper.Position() + static_cast<uint64_t>(bodyLength);
        for (;;) {
            int16_t length = 0;
            if (!ReadInt16(wrapper, length)) {
                return KSectionHandler::kShortRead;
            }
            if (length == 0) {
                break;
            }
            int32_t status = ReadFramedRecord<Section, Record>(wrapper, contents, *section, length);
            if (status == KSectionHandler::kNoMemory) {
                return status;
            }
            if (status != KSectionHandler::kDone) {
                break;
            }
        }
        // To the end of the declared body: past surplus bytes, or back from records that ran
        // beyond it. A record frame cut short by the end of the file leaves the stream at that
        // end, so the distance is taken from where the body ends, not from the records' size.
        // A stream that cannot seek (a pipe) gets no seek where none is needed.
        int64_t distance = static_cast<int64_t>(bodyEnd) - static_cast<int64_t>(wrapper.Position());
        if (distance != 0 && !wrapper.Seek(static_cast<long>(distance), KSeekOrigin::kCurrent)) {
            return KSectionHandler::kShortRead;  // the manager finds the stream out of place
        }
        (void)contents.AddSection(std::move(section));  // a refused duplicate is destroyed
        return KSectionHandler::kDone;
    } catch (const std::bad_alloc&) {
        return KSectionHandler::kNoMemory;
    }
}

// Packs the records first: a section with a record that cannot be stored is not written at all,
// rather than written with a body that ends early. The stored size changes only once the whole
// section is written.
template <typename Section>
bool WriteFramedSection(KSectionHandler& handler, KThinFileWrapper& wrapper,
                        KFileSection* fileSection) {
    auto* section = dynamic_cast<Section*>(fileSection);
    if (!section || !section->Pack()) {
        return false;
    }
    int32_t size = section->GetSize();
    bool written = handler.WriteSectionHeader(size, section->GetName());
    for (const auto& record : section->GetRecords()) {
        written = written && WriteInt16(wrapper, record.GetLength()) &&
                  wrapper.Write(record.GetData(), static_cast<unsigned>(record.GetLength()));
    }
    if (!written || !WriteInt16(wrapper, 0)) {
        return false;
    }
    section->SetStoredSize(size);
    return true;
}

}  // namespace kfile
