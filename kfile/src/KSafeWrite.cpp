// Writing a file so that a failure or an interrupt never leaves the target half written: a
// temporary file in the same folder is renamed over it once complete.
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <new>
#include <system_error>

#include "kfile/KFileManager.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kfile {

namespace {

#ifdef _WIN32
int CurrentProcessId() {
    return _getpid();
}
int CreateExclusive(const std::string& path) {
    int fd = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    return fd < 0 ? errno : (_close(fd), 0);
}
#else
int CurrentProcessId() {
    return static_cast<int>(getpid());
}
int CreateExclusive(const std::string& path) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    return fd < 0 ? errno : (close(fd), 0);
}
#endif

// Temporary files being written, where a signal handler finds them: fixed storage and an atomic
// state per slot, since a handler may neither allocate nor lock.
enum SlotState : int { kFree, kClaimed, kWriting };
struct PendingFile {
    std::atomic<int> state{kFree};
    char path[4096] = {};
};
PendingFile gPending[16];

#ifndef _WIN32
constexpr int kCleanedSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr size_t kCleanedCount = sizeof kCleanedSignals / sizeof kCleanedSignals[0];

std::mutex gSignalsMutex;
int gWritesRunning = 0;
struct sigaction gPrevious[kCleanedCount];
bool gReplaced[kCleanedCount] = {};
bool gIgnoringSizeLimit = false;

extern "C" void RemovePendingFilesAndEnd(int signal) {
    for (PendingFile& file : gPending) {
        if (file.state.load() == kWriting) {
            unlink(file.path);
        }
    }
    struct sigaction standard = {};
    standard.sa_handler = SIG_DFL;
    sigaction(signal, &standard, nullptr);
    raise(signal);  // delivered, with its default action, once this handler returns
}

bool HasDefaultAction(int signal, struct sigaction& current) {
    return sigaction(signal, nullptr, &current) == 0 && !(current.sa_flags & SA_SIGINFO) &&
           current.sa_handler == SIG_DFL;
}

void TakeOverSignals() {
    std::lock_guard<std::mutex> lock(gSignalsMutex);
    if (gWritesRunning++ > 0) {
        return;
    }
    struct sigaction cleanup = {};
    cleanup.sa_handler = RemovePendingFilesAndEnd;
    sigfillset(&cleanup.sa_mask);
    for (size_t i = 0; i < kCleanedCount; ++i) {
        gReplaced[i] = HasDefaultAction(kCleanedSignals[i], gPrevious[i]) &&
                       sigaction(kCleanedSignals[i], &cleanup, nullptr) == 0;
    }
    struct sigaction current = {};
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    gIgnoringSizeLimit =
        HasDefaultAction(SIGXFSZ, current) && sigaction(SIGXFSZ, &ignore, nullptr) == 0;
}

// Gives back each action that is still the one set above.
void ReturnSignals() {
    std::lock_guard<std::mutex> lock(gSignalsMutex);
    if (--gWritesRunning > 0) {
        return;
    }
    struct sigaction current = {};
    for (size_t i = 0; i < kCleanedCount; ++i) {
        if (gReplaced[i] && sigaction(kCleanedSignals[i], nullptr, &current) == 0 &&
            current.sa_handler == RemovePendingFilesAndEnd) {
            sigaction(kCleanedSignals[i], &gPrevious[i], nullptr);
        }
    }
    if (gIgnoringSizeLimit && sigaction(SIGXFSZ, nullptr, &current) == 0 &&
        current.sa_handler == SIG_IGN) {
        struct sigaction standard = {};
        standard.sa_handler = SIG_DFL;
        sigaction(SIGXFSZ, &standard, nullptr);
    }
}

// A rename replaces a file whatever its permissions say; a file that this user may not write
// (read-only, or another's) is refused as opening it for writing would refuse it. Opening
// without truncating changes nothing. Answers 0 for a file that may be written or none at all.
int RefusedTarget(const std::string& target) {
    int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) {
        close(fd);
        return 0;
    }
    return errno == ENOENT ? 0 : errno;
}

// Gives the temporary the owner (as far as this user may) and permissions of the file it
// replaces; the owner first, since a change of owner clears the set-id bits.
void KeepOwnerAndPermissions(const std::string& target, const std::string& temporary) {
    struct stat existing = {};
    if (stat(target.c_str(), &existing) != 0 || !S_ISREG(existing.st_mode)) {
        return;
    }
    // Another's file that this user may write becomes this user's, in the file's group if this
    // user belongs to it.
    const bool ownerKept = chown(temporary.c_str(), existing.st_uid, existing.st_gid) == 0 ||
                           chown(temporary.c_str(), static_cast<uid_t>(-1), existing.st_gid) == 0;
    static_cast<void>(ownerKept);
    chmod(temporary.c_str(), existing.st_mode & 07777);
}

// Puts the bytes on the disk before the rename makes them the target.
int SyncToDisk(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    int error = fsync(fd) == 0 ? 0 : errno;
    close(fd);
    return error;
}
#else
void TakeOverSignals() {}
void ReturnSignals() {}
int RefusedTarget(const std::string& target) {
    return _access(target.c_str(), 2) == 0 || errno == ENOENT ? 0 : errno;
}
void KeepOwnerAndPermissions(const std::string&, const std::string&) {}
int SyncToDisk(const std::string&) {
    return 0;
}
#endif

// A temporary file next to the target, known to the signal handler while it exists; removed on
// destruction unless it was renamed over the target.
class Temporary {
  public:
    explicit Temporary(const std::string& target) {
        TakeOverSignals();
        for (PendingFile& file : gPending) {
            int free = kFree;
            if (file.state.compare_exchange_strong(free, kClaimed)) {
                slot_ = &file;
                break;
            }
        }
        error_ = Create(target);
    }
    ~Temporary() {
        if (created_) {
            std::remove(path_.c_str());
        }
        if (slot_) {
            slot_->state.store(kFree);
        }
        ReturnSignals();
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    const std::string& Path() const { return path_; }
    int Error() const { return error_; }

    int RenameOver(const std::string& target) {
        std::error_code error;
        std::filesystem::rename(std::filesystem::path(path_), std::filesystem::path(target), error);
        if (error) {
            return error.default_error_condition().value();
        }
        created_ = false;
        return 0;
    }

  private:
    // ".take.K.1234-5.tmp" beside "take.K": hidden, and unique to this process and write.
    int Create(const std::string& target) {
        static std::atomic<unsigned> counter{0};
        const size_t slash = target.find_last_of(kSeparators);
        const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
        const std::string folder = target.substr(0, nameStart);
        const std::string name = target.substr(nameStart, 200);
        int error = EEXIST;
        for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
            path_ = folder + "." + name + "." + std::to_string(CurrentProcessId()) + "-" +
                    std::to_string(counter++) + ".tmp";
            if (slot_ && path_.size() < sizeof slot_->path) {
                slot_->state.store(kClaimed);
                std::memcpy(slot_->path, path_.c_str(), path_.size() + 1);
                slot_->state.store(kWriting);
            }
            error = CreateExclusive(path_);
        }
        created_ = error == 0;
        return error;
    }

#ifdef _WIN32
    static constexpr const char* kSeparators = "/\\";
#else
    static constexpr const char* kSeparators = "/";
#endif
    PendingFile* slot_ = nullptr;
    std::string path_;
    bool created_ = false;
    int error_ = 0;
};

// The file a write to `fileName` replaces: a symbolic link's destination, so that the link stays.
std::string ReplacedFile(const std::string& fileName) {
    std::error_code error;
    if (!std::filesystem::is_symlink(fileName, error)) {
        return fileName;
    }
    std::filesystem::path destination = std::filesystem::canonical(fileName, error);
    return error ? fileName : destination.string();
}

// A device or a pipe (/dev/null, /dev/stdout, a FIFO) is written as it is: it cannot be replaced.
bool IsSpecialFile(const std::string& fileName) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(fileName, error);
    return !error && std::filesystem::is_other(status);
}

KWriteReport Outcome(bool written, int error) {
    KWriteReport report;
    report.written = written;
    report.systemError = written ? 0 : error;
    return report;
}

KWriteReport Failed(int error) {
    return Outcome(false, error);
}

}  // namespace

std::string KWriteReport::Describe() const {
    if (written) {
        return "written";
    }
    if (systemError == 0) {
        return "the file could not be written";
    }
    return std::generic_category().message(systemError);
}

KWriteReport WriteFileSafely(const std::string& target,
                             const std::function<bool(const std::string&)>& write) {
    try {
        const std::string fileName = ReplacedFile(target);
        if (IsSpecialFile(fileName)) {
            errno = 0;
            const bool written = write(fileName);
            return Outcome(written, errno);
        }
        if (int error = RefusedTarget(fileName)) {
            return Failed(error);
        }
        Temporary temporary(fileName);
        if (temporary.Error() != 0) {
            return Failed(temporary.Error());
        }
        errno = 0;
        if (!write(temporary.Path())) {
            return Failed(errno);
        }
        KeepOwnerAndPermissions(fileName, temporary.Path());
        if (int error = SyncToDisk(temporary.Path())) {
            return Failed(error);
        }
        if (int error = temporary.RenameOver(fileName)) {
            return Failed(error);
        }
        return Outcome(true, 0);
    } catch (const std::bad_alloc&) {
        return Failed(ENOMEM);
    }
}

KWriteReport WriteTake(const std::string& fileName, KFileContents& contents) {
    try {
        KFileManager manager;
        return manager.WriteReporting(fileName, contents);
    } catch (const std::bad_alloc&) {
        return Failed(ENOMEM);
    }
}

}  // namespace kfile
