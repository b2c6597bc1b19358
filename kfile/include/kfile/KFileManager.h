// Entry point of the K-file library: opens a K-file, reads it whole in one pass, and writes
// K-files.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "kfile/KFileContents.h"
#include "kfile/KFileSection.h"
#include "kfile/KFileWrapper.h"

namespace kfile {

// The fixed parts of a K-file's layout.
constexpr int32_t kFileHeaderSize = 4;      // "K#", int16 version
constexpr int32_t kSectionHeaderSize = 32;  // int32 body length, 28-byte name field
constexpr int16_t kWrittenVersion = 1;      // the version the library writes

// Takes the sections whose name no other handler takes. Reading consumes the body and keeps
// nothing of it, unless asked to keep such sections as KFileUnknownSection; those are written
// back byte for byte, the name field included (up to 28 characters, as it is read).
class KUnknownSectionHandler : public KSectionHandler {
  public:
    using KSectionHandler::KSectionHandler;

    void SetKeep(bool keep) { keep_ = keep; }
    // The name of the section whose body ReadSection reads next, from its header.
    void SetNextName(std::string name) { nextName_ = std::move(name); }
    bool Handles(const std::string&) const override { return true; }
    int32_t ReadSection(KFileContents* contents, int32_t bodyLength) override;
    // Writes a KFileUnknownSection with a body; false for an empty one, which would end the
    // section list, and for any other kind of section.
    bool WriteSection(KFileSection* section) override;
    bool WriteSectionHeader(int32_t size, const std::string& name) override;

  private:
    std::string nextName_;
    bool keep_ = false;
};

// Why a read gave no contents.
enum class KReadError {
    kNone,
    kCannotOpen,
    kNotOpen,
    kTooShort,
    kBadMagic,
    kNoSectionTerminator,
    kSectionCutShort,
    kCannotSeek,
    kNoMemory,
};

// A sentence for each KReadError.
const char* KReadErrorMessage(KReadError error);

// One section header met while reading.
struct KSectionReport {
    std::string name;
    uint64_t offset = 0;  // of its 32-byte header
    int32_t size = 0;     // the body length its header gives
    bool kept = false;    // the contents hold it: refused sections no, unknown ones when asked
};

// How a read went: why it stopped, where, and every section met on the way.
struct KReadReport {
    KReadError error = KReadError::kNone;
    int systemError = 0;       // with kCannotOpen: the errno of the open, when the system told
    uint64_t errorOffset = 0;  // byte at which reading gave up
    std::string errorSection;  // the section whose body was cut short; empty elsewhere
    uint64_t fileSize = 0;
    std::vector<KSectionReport> sections;  // in file order, failed reads included
    // Bytes of a dynamic record that the file ends inside of, its length field included: the
    // record is dropped, and a take cut by a failed copy shows here. 0 for a whole take.
    uint64_t incompleteBytes = 0;
    uint64_t incompleteOffset = 0;  // where that record starts, with incompleteBytes

    bool Succeeded() const { return error == KReadError::kNone; }
    // The reason and where it was found, for telling a user.
    std::string Describe() const;
};

// The contents of a take (null when it did not read) and how the read went.
struct KReadResult {
    std::unique_ptr<KFileContents> contents;
    KReadReport report;
};

// What a read keeps beyond what the format's readers need.
struct KReadOptions {
    // Sections of names no handler knows, as KFileUnknownSection in file order, so that writing
    // puts them back in their place. Off: they are stepped over.
    bool keepUnknownSections = false;
};

// Opens, reads and closes the take `fileName` with a KFileManager of its own.
[[nodiscard]] KReadResult ReadTake(const std::string& fileName, const KReadOptions& options = {});

// How a write to a path went.
struct KWriteReport {
    bool written = false;
    int systemError = 0;  // the errno of the step that failed; 0 when the system told none
    // "written", or the system's reason for the failure.
    std::string Describe() const;
};

// Replaces `fileName` only with a complete file. `write` is given the path of a new, empty
// temporary file in the same folder; it fills it and closes it, and answers whether all went
// well. Only then is the temporary flushed to disk and renamed over `fileName`, taking the
// permissions and, as far as this user may give it, the owner of the file it replaces. An
// existing `fileName` that this user may not write (read-only, or another's) is refused with
// EACCES before anything is written, as writing it in place would be. On any failure the
// temporary is removed and `fileName` keeps what it held.
//
// Interrupts: while `write` runs, SIGINT, SIGTERM and SIGHUP whose action is still the default
// remove the temporary before they end the process as they would have; a SIGXFSZ whose action
// is the default (a file size limit) is ignored, so that the write fails with EFBIG instead of
// the process ending. Signals the program handles itself are left to it. Threads: several
// writes may run at once.
[[nodiscard]] KWriteReport WriteFileSafely(const std::string& fileName,
                                           const std::function<bool(const std::string&)>& write);

// Writes the take to exactly `fileName` through WriteFileSafely (see KFileManager::Write).
[[nodiscard]] KWriteReport WriteTake(const std::string& fileName, KFileContents& contents);

// Threads: one manager serves one thread at a time; managers are independent of each other.
class KFileManager {
  public:
    // Registers the handlers of the parameter and datagroup sections; sections that no handler
    // takes are consumed by a catch-all that is always asked last.
    KFileManager();
    KFileManager(const KFileManager&) = delete;
    KFileManager& operator=(const KFileManager&) = delete;
    virtual ~KFileManager();

    // Asks `handler` before every handler already registered.
    void AddHandlerFirst(std::unique_ptr<KSectionHandler> handler);
    // Asks `handler` after every handler already registered, but before the catch-all.
    void AddHandler(std::unique_ptr<KSectionHandler> handler);
    // Whether Read keeps the sections that reach the catch-all (off by default; see
    // KReadOptions::keepUnknownSections).
    void SetKeepUnknownSections(bool keep) { unknownHandler_.SetKeep(keep); }

    [[nodiscard]] KOpenResult Open(const std::string& fileName);
    // Reads the open file from its first byte. A new contents object, or null when the file is
    // not a complete K-file (GetLastReport() then tells why).
    [[nodiscard]] std::unique_ptr<KFileContents> Read();
    void Close();

    // The report of the last Read; it stays valid after Close.
    const KReadReport& GetLastReport() const { return lastReport_; }
    KReadError GetLastError() const { return lastReport_.error; }
    // Byte offset in the file at which the last failed Read gave up.
    uint64_t GetLastErrorOffset() const { return lastReport_.errorOffset; }
    // The reason and where it was found, for telling a user.
    std::string DescribeLastError() const { return lastReport_.Describe(); }

    // Writing ----------------------------------------------------------------------------------

    // Creates the file (".K" is appended when the name holds neither ".k" nor ".K") and writes
    // the file header with version 1.
    [[nodiscard]] bool Create(const std::string& fileName);
    // The 4-byte file header at the current position.
    [[nodiscard]] bool WriteHeader(int16_t version = kWrittenVersion);
    // The section terminator: 32 zero bytes.
    [[nodiscard]] bool WriteTerminator();
    // Writes a section through the handler of its name; false when that handler cannot write.
    [[nodiscard]] bool WriteSection(KFileSection* section);
    // Packs the record and writes its int16 length and its bytes; false when the record cannot
    // be stored or a write failed.
    [[nodiscard]] bool WriteDynamicRecord(KFileDynamicRecord* record);
    [[nodiscard]] bool Flush();
    // Writes a whole K-file to exactly `fileName`: the header with the contents' version, every
    // section through its handler, the terminator and every dynamic record, through a
    // temporary file that replaces `fileName` only once complete (see WriteFileSafely).
    // False when a file is already open (it stays open), a section has no writing handler, a
    // record cannot be stored or a write failed; `fileName` is then left as it was.
    //
    // A take read and written again gives the same bytes when everything in it was kept:
    // sections of unknown names only when reading kept them (SetKeepUnknownSections), and never
    // bytes that lie outside what the records account for (surplus body bytes, empty record
    // frames, an incomplete record at the end, junk after a negative record length), nor name
    // fields with bytes after their NUL.
    [[nodiscard]] bool Write(const std::string& fileName, KFileContents& contents);
    // The same, with the system's reason when it fails.
    [[nodiscard]] KWriteReport WriteReporting(const std::string& fileName, KFileContents& contents);

    KExtendedFileWrapper& GetWrapper() { return wrapper_; }
    const KExtendedFileWrapper& GetWrapper() const { return wrapper_; }

  private:
    KSectionHandler& FindHandler(const std::string& name) const;
    std::unique_ptr<KFileContents> ReadContents();
    bool ReadHeader(KFileContents& contents);
    bool ReadSections(KFileContents& contents);
    // The body of the section whose header was reported last.
    bool ReadSection(KFileContents& contents, int32_t bodyLength);
    // Whether the stream stands at `bodyEnd` (or has run into the end of the file), after
    // moving it there when a handler left it elsewhere.
    bool AtBodyEnd(uint64_t bodyEnd);
    // False when memory ran out.
    bool ReadDynamicRecords(KFileContents& contents);
    bool ReadDynamicRecord(KFileContents& contents);
    // Counts the bytes from `start` to where reading stopped as a record cut by the end of the
    // file.
    void NoteIncompleteRecord(uint64_t start);
    bool WriteContents(KFileContents& contents);
    void Fail(KReadError error, uint64_t offset);

    KExtendedFileWrapper wrapper_;
    std::vector<std::unique_ptr<KSectionHandler>> handlers_;
    KUnknownSectionHandler unknownHandler_{&wrapper_};
    KReadReport lastReport_;
};

}  // namespace kfile
