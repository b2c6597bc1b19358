#include "kfile/KFileManager.h"

#include <new>

#include "ByteIO.h"
#include "kfile/KDatagroupSection.h"
#include "kfile/KFileFormat.h"
#include "kfile/KParameterSection.h"

using kfile::kFileHeaderSize;
using kfile::kSectionHeaderSize;

int32_t KUnknownSectionHandler::ReadSection(KFileContents*, int32_t bodyLength) {
    if (bodyLength <= 0) {
        return kDone;
    }
    if (static_cast<uint64_t>(bodyLength) > Wrapper()->Remaining()) {
        Wrapper()->Discard(static_cast<uint64_t>(bodyLength));  // a short read, without a buffer
        return kShortRead;
    }
    KBytes body(new (std::nothrow) uint8_t[static_cast<size_t>(bodyLength)]);
    if (!body) {
        return kNoMemory;
    }
    if (!Wrapper()->Read(body.get(), static_cast<unsigned>(bodyLength))) {
        return kShortRead;
    }
    // The handler is not told the section's name; the section is consumed and not kept.
    KFileUnknownSection consumed(bodyLength, "BODGE", std::move(body));
    return kDone;
}

const char* KReadErrorMessage(KReadError error) {
    switch (error) {
        case KReadError::kNone:
            return "no error";
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
    }
    return "unknown error";
}

KFileManager::KFileManager() {
    AddHandlerFirst(new KDatagroupSectionHandler(&wrapper_));
    AddHandlerFirst(new KParameterSectionHandler(&wrapper_));
    AddHandler(new KUnknownSectionHandler(&wrapper_));
}

KFileManager::~KFileManager() {
    handlers_.clear();
}

void KFileManager::AddHandlerFirst(KSectionHandler* handler) {
    handlers_.insert(handlers_.begin(), std::unique_ptr<KSectionHandler>(handler));
}

void KFileManager::AddHandler(KSectionHandler* handler) {
    handlers_.push_back(std::unique_ptr<KSectionHandler>(handler));
}

int32_t KFileManager::Open(const std::string& fileName) {
    return wrapper_.OpenExisting(fileName);
}

void KFileManager::Close() {
    wrapper_.Close();
}

void KFileManager::Fail(KReadError error) {
    lastError_ = error;
    lastErrorOffset_ = wrapper_.Position();
}

std::string KFileManager::DescribeLastError() const {
    if (lastError_ == KReadError::kNone || lastError_ == KReadError::kNotOpen) {
        return KReadErrorMessage(lastError_);
    }
    return std::string(KReadErrorMessage(lastError_)) + " (at byte " +
           std::to_string(lastErrorOffset_) + " of a " + std::to_string(wrapper_.Size()) +
           "-byte file)";
}

std::unique_ptr<KFileContents> KFileManager::Read() {
    lastError_ = KReadError::kNone;
    lastErrorOffset_ = 0;
    if (!wrapper_.IsOpen()) {
        Fail(KReadError::kNotOpen);
        return nullptr;
    }
    auto contents = std::make_unique<KFileContents>();
    wrapper_.Seek(0, 0);
    if (!ReadHeader(*contents) || !ReadSections(*contents)) {
        return nullptr;  // with every section read so far
    }
    ReadDynamicRecords(*contents);
    return contents;
}

bool KFileManager::ReadHeader(KFileContents& contents) {
    uint8_t header[kFileHeaderSize];
    if (!wrapper_.Read(header, sizeof header)) {
        Fail(KReadError::kTooShort);
        return false;
    }
    if (header[0] != 'K' || header[1] != '#') {
        lastErrorOffset_ = 0;
        lastError_ = KReadError::kBadMagic;
        return false;
    }
    contents.SetVersion(kfile::bytes::Load<int16_t>(header + 2));
    return true;
}

bool KFileManager::ReadSections(KFileContents& contents) {
    uint8_t header[kSectionHeaderSize];
    uint64_t sectionStart = 0;
    bool lastBodyCut = false;  // the previous section declared more bytes than the file has
    for (;;) {
        uint64_t start = wrapper_.Position();
        if (!wrapper_.Read(header, sizeof header)) {
            bool nothingMore = !lastBodyCut && wrapper_.Position() == start;
            Fail(nothingMore ? KReadError::kNoSectionTerminator : KReadError::kSectionCutShort);
            lastErrorOffset_ = lastBodyCut ? sectionStart : start;
            return false;
        }
        int32_t bodyLength = kfile::bytes::Load<int32_t>(header);
        if (bodyLength <= 0) {
            return true;  // the terminator; a negative length skips nothing
        }
        sectionStart = start;
        lastBodyCut = static_cast<uint64_t>(bodyLength) > wrapper_.Remaining();
        // The handler's status is not acted on: a cut body shows at the next header.
        FindHandler(kfile::SectionName(header + 4))->ReadSection(&contents, bodyLength);
    }
}

KSectionHandler* KFileManager::FindHandler(const std::string& name) const {
    for (const auto& handler : handlers_) {
        if (handler->Handles(name)) {
            return handler.get();
        }
    }
    return nullptr;  // not reached while the catch-all is registered
}

void KFileManager::ReadDynamicRecords(KFileContents& contents) {
    while (!wrapper_.AtEnd() && !wrapper_.HasError()) {
        ReadDynamicRecord(contents);
    }
}

bool KFileManager::ReadDynamicRecord(KFileContents& contents) {
    int16_t length = 0;
    if (!kfile::ReadInt16(&wrapper_, length) || length <= 0) {
        return false;
    }
    if (static_cast<uint64_t>(length) > wrapper_.Remaining()) {
        wrapper_.Discard(static_cast<uint64_t>(length));  // the record is cut: dropped
        return false;
    }
    KBytes payload(new (std::nothrow) uint8_t[static_cast<size_t>(length)]);
    if (!payload) {
        return false;  // the next two bytes, inside this payload, are read as a length
    }
    if (!wrapper_.Read(payload.get(), static_cast<unsigned>(length))) {
        return false;
    }
    auto record = std::make_unique<KFileDynamicRecord>(std::move(payload), length);
    record->Unpack();
    contents.AddDynamicRecord(std::move(record));
    return true;
}

bool KFileManager::Create(const std::string& fileName) {
    std::string name = fileName;
    if (name.find(".k") == std::string::npos && name.find(".K") == std::string::npos) {
        name += ".K";
    }
    return wrapper_.Create(name) && WriteHeader() && Flush();
}

bool KFileManager::WriteHeader(int16_t version) {
    uint8_t header[kFileHeaderSize] = {'K', '#'};
    kfile::bytes::Store<int16_t>(header + 2, version);
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
    return FindHandler(section->GetName())->WriteSection(section);
}

bool KFileManager::WriteDynamicRecord(KFileDynamicRecord* record) {
    int16_t length = record->Pack();
    return length > 0 && kfile::WriteInt16(&wrapper_, length) &&
           wrapper_.Write(record->GetData(), static_cast<unsigned>(length));
}

bool KFileManager::Write(const std::string& fileName, KFileContents& contents) {
    if (!wrapper_.Create(fileName)) {
        return false;
    }
    bool written = WriteContents(contents) && Flush();
    return wrapper_.Close() == 0 && written;
}

bool KFileManager::WriteContents(KFileContents& contents) {
    if (!WriteHeader(contents.GetVersion())) {
        return false;
    }
    for (int32_t i = 0; i < contents.GetSectionCount(); ++i) {
        if (!WriteSection(contents.GetSection(i))) {
            return false;
        }
    }
    if (!WriteTerminator()) {
        return false;
    }
    for (int32_t i = 0; i < contents.GetDynamicRecordCount(); ++i) {
        if (!WriteDynamicRecord(contents.GetDynamicRecord(i))) {
            return false;
        }
    }
    return true;
}
