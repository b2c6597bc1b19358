#include "kfile/KFileManager.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <new>
#include <system_error>

#include "ByteIO.h"
#include "KFileFormat.h"
#include "kfile/KDatagroupSection.h"
#include "kfile/KParameterSection.h"

namespace kfile {

int32_t KUnknownSectionHandler::ReadSection(KFileContents* contents, int32_t bodyLength) {
    if (bodyLength <= 0) {
        return kDone;
    }
    const auto length = static_cast<uint64_t>(bodyLength);
    // A body is kept when asked and the file's size shows it whole: in a stream of unknown
    // length (a pipe, whose Remaining() is UINT64_MAX) a 32-byte header could claim 2 GB.
    // Otherwise it is read through, not skipped, so that a body cut by the end of the file is
    // a short read whatever the stream can seek, and consumed without a buffer of its size.
    const uint64_t left = Wrapper()->Remaining();
    if (!keep_ || left == UINT64_MAX || length > left) {
        return Wrapper()->Discard(length) ? kDone : kShortRead;
    }
    KBytes body(new (std::nothrow) uint8_t[length]);
    if (!body) {
        return kNoMemory;
    }
    if (!Wrapper()->Read(body.get(), static_cast<unsigned>(length))) {
        return kShortRead;
    }
    contents->AddUnknownSection(
        std::make_unique<KFileUnknownSection>(bodyLength, nextName_, std::move(body)));
    return kDone;
}

// A body length of 0 or less would end the section list: such a section cannot be stored.
bool KUnknownSectionHandler::WriteSection(KFileSection* section) {
    auto* unknown = dynamic_cast<KFileUnknownSection*>(section);
    const int32_t size = unknown ? unknown->GetStoredSize() : 0;
    return size > 0 && unknown->GetBody() && WriteSectionHeader(size, unknown->GetName()) &&
           Wrapper()->Write(unknown->GetBody(), static_cast<unsigned>(size));
}

// The whole 28-byte field may hold the name: a name read without a NUL is written back so.
bool KUnknownSectionHandler::WriteSectionHeader(int32_t size, const std::string& name) {
    uint8_t header[kSectionHeaderSize] = {};
    bytes::Store<int32_t>(header, size);
    std::copy_n(name.begin(), std::min(name.size(), kSectionNameField), header + 4);
    return Wrapper()->Write(header, sizeof header);
}

const char* KReadErrorMessage(KReadError error) {
    switch (error) {
        case KReadError::kNone:
            return "no error";
        case KReadError::kCannotOpen:
            return "the file cannot be opened";  // Describe() adds the system's reason
        case KReadError::kNotOpen:
            return "no file is open";
        case KReadError::kTooShort:
            return "the file is shorter than the 4-byte K-file header";
        case KReadError::kBadMagic:
            return "the file does not start with the K-file magic \"K#\"";
        case KReadError::kNoSectionTerminator:
            return "the section list ends without a section terminator";
        case KReadError::kSectionCutShort:
            return "the file ends inside a section";
        case KReadError::kCannotSeek:
            return "the file cannot be positioned";
        case KReadError::kNoMemory:
            return "there is not enough memory to hold the file";
    }
    return "unknown error";
}

std::string KReadReport::Describe() const {
    if (error == KReadError::kCannotOpen && systemError != 0) {
        return std::string(KReadErrorMessage(error)) + ": " +
               std::generic_category().message(systemError);
    }
    // Memory that ran out before the file's size was known leaves no place to tell.
    const bool nowhere = error == KReadError::kNoMemory && fileSize == 0;
    if (error == KReadError::kNone || error == KReadError::kNotOpen ||
        error == KReadError::kCannotOpen || nowhere) {
        return KReadErrorMessage(error);
    }
    std::string where = errorSection.empty() ? "" : "in section " + errorSection + ", ";
    return std::string(KReadErrorMessage(error)) + " (" + where + "at byte " +
           std::to_string(errorOffset) + " of a " + std::to_string(fileSize) + "-byte file)";
}

KReadResult ReadTake(const std::string& fileName, const KReadOptions& options) {
    KReadResult result;
    try {
        KFileManager manager;
        manager.SetKeepUnknownSections(options.keepUnknownSections);
        // A folder opens for reading on some systems, and then reads as nothing.
        std::error_code ignored;
        errno = std::filesystem::is_directory(fileName, ignored) ? EISDIR : 0;
        if (errno != 0 || manager.Open(fileName) == kNotOpened) {
            result.report.error = KReadError::kCannotOpen;
            result.report.systemError = errno;
            return result;
        }
        result.contents = manager.Read();
        manager.Close();
        result.report = manager.GetLastReport();
    } catch (const std::bad_alloc&) {
        result.contents.reset();
        result.report = KReadReport();
        result.report.error = KReadError::kNoMemory;
    }
    return result;
}

KFileManager::KFileManager() {
    AddHandlerFirst(std::make_unique<KDatagroupSectionHandler>(&wrapper_));
    AddHandlerFirst(std::make_unique<KParameterSectionHandler>(&wrapper_));
}

KFileManager::~KFileManager() {
    handlers_.clear();
}

void KFileManager::AddHandlerFirst(std::unique_ptr<KSectionHandler> handler) {
    handlers_.insert(handlers_.begin(), std::move(handler));
}

void KFileManager::AddHandler(std::unique_ptr<KSectionHandler> handler) {
    handlers_.push_back(std::move(handler));
}

KOpenResult KFileManager::Open(const std::string& fileName) {
    return wrapper_.OpenExisting(fileName);
}

void KFileManager::Close() {
    wrapper_.Close();
}

void KFileManager::Fail(KReadError error, uint64_t offset) {
    lastReport_.error = error;
    lastReport_.errorOffset = offset;
}

std::unique_ptr<KFileContents> KFileManager::Read() {
    lastReport_ = KReadReport();
    lastReport_.fileSize = wrapper_.Size();
    if (!wrapper_.IsOpen()) {
        Fail(KReadError::kNotOpen, 0);
        return nullptr;
    }
    try {
        return ReadContents();
    } catch (const std::bad_alloc&) {
        Fail(KReadError::kNoMemory, wrapper_.Position());
        return nullptr;  // with every section and record read so far
    }
}

std::unique_ptr<KFileContents> KFileManager::ReadContents() {
    // A stream that cannot seek (a pipe) is read as it comes, as long as it is at its start.
    if (!wrapper_.Seek(0, KSeekOrigin::kStart) && wrapper_.Position() != 0) {
        Fail(KReadError::kCannotSeek, wrapper_.Position());
        return nullptr;
    }
    auto contents = std::make_unique<KFileContents>();
    if (!ReadHeader(*contents) || !ReadSections(*contents)) {
        return nullptr;  // with every section read so far
    }
    if (!ReadDynamicRecords(*contents)) {
        return nullptr;
    }
    return contents;
}

bool KFileManager::ReadHeader(KFileContents& contents) {
    uint8_t header[kFileHeaderSize];
    if (!wrapper_.Read(header, sizeof header)) {
        Fail(KReadError::kTooShort, wrapper_.Position());
        return false;
    }
    if (header[0] != 'K' || header[1] != '#') {
        Fail(KReadError::kBadMagic, 0);
        return false;
    }
    contents.SetVersion(bytes::Load<int16_t>(header + 2));
    return true;
}

bool KFileManager::ReadSections(KFileContents& contents) {
    uint8_t header[kSectionHeaderSize];
    bool lastBodyCut = false;  // the previous section declared more bytes than the file has
    for (;;) {
        uint64_t start = wrapper_.Position();
        if (!wrapper_.Read(header, sizeof header)) {
            if (lastBodyCut) {
                const KSectionReport& cut = lastReport_.sections.back();
                lastReport_.errorSection = cut.name;
                Fail(KReadError::kSectionCutShort, cut.offset);
            } else {
                bool nothingMore = wrapper_.Position() == start;
                Fail(nothingMore ? KReadError::kNoSectionTerminator : KReadError::kSectionCutShort,
                     start);
            }
            return false;
        }
        int32_t bodyLength = bytes::Load<int32_t>(header);
        if (bodyLength <= 0) {
            return true;  // the terminator; a negative length skips nothing
        }
        lastReport_.sections.push_back({SectionName(header + 4), start, bodyLength, false});
        lastBodyCut = static_cast<uint64_t>(bodyLength) > wrapper_.Remaining();
        if (!ReadSection(contents, bodyLength)) {
            return false;
        }
    }
}

// A short read is not acted on here: a cut body shows at the next header. A handler that left
// the stream elsewhere than at the end of the body would make the next header be read from the
// wrong place, so the stream is put there, or reading stops.
bool KFileManager::ReadSection(KFileContents& contents, int32_t bodyLength) {
    KSectionReport& report = lastReport_.sections.back();
    int32_t sectionsBefore = contents.GetSectionCount();
    unknownHandler_.SetNextName(report.name);
    int32_t status = FindHandler(report.name).ReadSection(&contents, bodyLength);
    report.kept = contents.GetSectionCount() > sectionsBefore;
    KReadError error = KReadError::kNone;
    if (status == KSectionHandler::kNoMemory) {
        error = KReadError::kNoMemory;
    } else if (!AtBodyEnd(report.offset + kSectionHeaderSize + uint64_t(bodyLength))) {
        error = KReadError::kCannotSeek;
    }
    if (error != KReadError::kNone) {
        lastReport_.errorSection = report.name;
        Fail(error, report.offset);
        return false;
    }
    return true;
}

bool KFileManager::AtBodyEnd(uint64_t bodyEnd) {
    if (wrapper_.Position() == bodyEnd || wrapper_.AtEnd()) {
        return true;
    }
    return bodyEnd <= uint64_t(LONG_MAX) &&
           wrapper_.Seek(static_cast<long>(bodyEnd), KSeekOrigin::kStart);
}

KSectionHandler& KFileManager::FindHandler(const std::string& name) const {
    for (const auto& handler : handlers_) {
        if (handler->Handles(name)) {
            return *handler;
        }
    }
    return const_cast<KUnknownSectionHandler&>(unknownHandler_);
}

void KFileManager::NoteIncompleteRecord(uint64_t start) {
    lastReport_.incompleteBytes = wrapper_.Position() - start;
    lastReport_.incompleteOffset = start;
}

bool KFileManager::ReadDynamicRecords(KFileContents& contents) {
    while (!wrapper_.AtEnd() && !wrapper_.HasError()) {
        if (!ReadDynamicRecord(contents)) {
            return false;
        }
    }
    return true;
}

// An empty frame or a record cut by the end of the file is dropped and reading goes on (the
// loop then ends at the end of the file); only running out of memory stops it. The bytes of a
// cut record are counted in the report.
bool KFileManager::ReadDynamicRecord(KFileContents& contents) {
    const uint64_t start = wrapper_.Position();
    int16_t length = 0;
    if (!ReadInt16(wrapper_, length)) {
        NoteIncompleteRecord(start);
        return true;
    }
    if (length <= 0) {
        return true;
    }
    if (static_cast<uint64_t>(length) > wrapper_.Remaining()) {
        wrapper_.Discard(static_cast<uint64_t>(length));
        NoteIncompleteRecord(start);
        return true;
    }
    KBytes payload = contents.NewRecordBytes(length, wrapper_.Remaining());
    if (!payload) {
        Fail(KReadError::kNoMemory, wrapper_.Position());
        return false;
    }
    if (!wrapper_.Read(payload.get(), static_cast<unsigned>(length))) {
        NoteIncompleteRecord(start);
        return true;
    }
    auto record = std::make_unique<KFileDynamicRecord>(std::move(payload), length);
    record->Unpack();
    contents.AddDynamicRecord(std::move(record));
    return true;
}

bool KFileManager::Create(const std::string& fileName) {
    try {
        std::string name = fileName;
        if (name.find(".k") == std::string::npos && name.find(".K") == std::string::npos) {
            name += ".K";
        }
        return wrapper_.Create(name) && WriteHeader() && Flush();
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool KFileManager::WriteHeader(int16_t version) {
    uint8_t header[kFileHeaderSize] = {'K', '#'};
    bytes::Store<int16_t>(header + 2, version);
    return wrapper_.Write(header, sizeof header) && Flush();
}

bool KFileManager::WriteTerminator() {
    const uint8_t terminator[kSectionHeaderSize] = {};
    return wrapper_.Write(terminator, sizeof terminator);
}

bool KFileManager::Flush() {
    return wrapper_.Flush();
}

bool KFileManager::WriteSection(KFileSection* section) {
    try {
        return FindHandler(section->GetName()).WriteSection(section);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool KFileManager::WriteDynamicRecord(KFileDynamicRecord* record) {
    int16_t length = record->Pack();
    return length > 0 && WriteInt16(wrapper_, length) &&
           wrapper_.Write(record->GetData(), static_cast<unsigned>(length));
}

bool KFileManager::Write(const std::string& fileName, KFileContents& contents) {
    return WriteReporting(fileName, contents).written;
}

KWriteReport KFileManager::WriteReporting(const std::string& fileName, KFileContents& contents) {
    if (wrapper_.IsOpen()) {
        return KWriteReport();
    }
    return WriteFileSafely(fileName, [&](const std::string& temporary) {
        if (!wrapper_.Create(temporary)) {
            return false;
        }
        bool written = WriteContents(contents) && Flush();
        return wrapper_.Close() == 0 && written;
    });
}

bool KFileManager::WriteContents(KFileContents& contents) {
    if (!WriteHeader(contents.GetVersion())) {
        return false;
    }
    for (KFileSection& section : contents.GetSections()) {
        if (!WriteSection(&section)) {
            return false;
        }
    }
    if (!WriteTerminator()) {
        return false;
    }
    for (KFileDynamicRecord& record : contents.GetDynamicRecords()) {
        if (!WriteDynamicRecord(&record)) {
            return false;
        }
    }
    return true;
}

}  // namespace kfile
