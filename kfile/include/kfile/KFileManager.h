// Entry point of the K-file library: opens a K-file, reads it whole in one pass, and writes
// K-files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kfile/KFileContents.h"
#include "kfile/KFileSection.h"
#include "kfile/KFileWrapper.h"

// Consumes the body of a section whose name no other handler takes; keeps nothing of it.
class KUnknownSectionHandler : public KSectionHandler {
  public:
    using KSectionHandler::KSectionHandler;

    bool Handles(const std::string&) const override { return true; }
    int32_t ReadSection(KFileContents* contents, int32_t bodyLength) override;
    bool WriteSection(KFileSection*) override { return false; }
    bool WriteSectionHeader(int32_t, const std::string&) override { return false; }
};

// Why the last KFileManager::Read answered null.
enum class KReadError {
    kNone,
    kNotOpen,
    kTooShort,
    kBadMagic,
    kNoSectionTerminator,
    kSectionCutShort,
};

// A sentence for each KReadError.
const char* KReadErrorMessage(KReadError error);

class KFileManager {
  public:
    // Registers the handlers: parameter, datagroup, then the catch-all for any other name.
    KFileManager();
    KFileManager(const KFileManager&) = delete;
    KFileManager& operator=(const KFileManager&) = delete;
    virtual ~KFileManager();

    // Asks `handler` before every handler already registered; takes ownership.
    void AddHandlerFirst(KSectionHandler* handler);
    // Asks `handler` after every handler already registered; takes ownership.
    void AddHandler(KSectionHandler* handler);

    // 3: opened for reading and update, 1: read-only, 0: not opened.
    int32_t Open(const std::string& fileName);
    // Reads the open file from its first byte. A new contents object, or null when the file is
    // not a complete K-file (GetLastError() then tells why). Prints nothing.
    std::unique_ptr<KFileContents> Read();
    void Close();

    KReadError GetLastError() const { return lastError_; }
    // Byte offset in the file at which the last failed Read gave up.
    uint64_t GetLastErrorOffset() const { return lastErrorOffset_; }
    // The reason and where it was found, for telling a user.
    std::string DescribeLastError() const;

    // Writing ----------------------------------------------------------------------------------

    // Creates the file (".K" is appended when the name holds neither ".k" nor ".K") and writes
    // the file header with version 1.
    bool Create(const std::string& fileName);
    // The 4-byte file header at the current position.
    bool WriteHeader(int16_t version = 1);
    // The section terminator: 32 zero bytes.
    bool WriteTerminator();
    // Writes a section through the handler of its name; false when that handler cannot write.
    bool WriteSection(KFileSection* section);
    // Packs the record and writes its int16 length and its bytes; false when the record cannot
    // be stored or a write failed.
    bool WriteDynamicRecord(KFileDynamicRecord* record);
    bool Flush();
    // Writes a whole K-file to exactly `fileName`: the header with the contents' version, every
    // section through its handler, the terminator and every dynamic record. False (and the
    // file closed) when a section has no writing handler, a record cannot be stored or a write
    // failed.
    bool Write(const std::string& fileName, KFileContents& contents);

    KExtendedFileWrapper& GetWrapper() { return wrapper_; }

  private:
    KSectionHandler* FindHandler(const std::string& name) const;
    bool ReadHeader(KFileContents& contents);
    bool ReadSections(KFileContents& contents);
    void ReadDynamicRecords(KFileContents& contents);
    bool ReadDynamicRecord(KFileContents& contents);
    bool WriteContents(KFileContents& contents);
    void Fail(KReadError error);

    KExtendedFileWrapper wrapper_;
    std::vector<std::unique_ptr<KSectionHandler>> handlers_;
    KReadError lastError_ = KReadError::kNone;
    uint64_t lastErrorOffset_ = 0;
};
