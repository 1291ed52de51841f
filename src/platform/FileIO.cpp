// Bounded reads of whole files and atomic replacement of files, with the reason of every failure.
#include "platform/FileIO.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <new>
#include <system_error>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace xq {

namespace fs = std::filesystem;

namespace {

void SetError(std::string* error, const std::filesystem::path& path, const std::string& reason)
{
    if (error)
        *error = path.string() + ": " + reason;
}

std::string ErrnoText(int err)
{
    return std::system_category().message(err);
}

/// Closes the descriptor on every path.
class TDescriptor {
public:
    explicit TDescriptor(int fd) noexcept : Fd_(fd) {}
    ~TDescriptor()
    {
        if (Fd_ >= 0)
            ::close(Fd_);
    }
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;

    [[nodiscard]] int Get() const noexcept { return Fd_; }
    /// Closes now, reporting whether the close succeeded (a delayed write error shows here).
    [[nodiscard]] bool Close() noexcept
    {
        const int fd = Fd_;
        Fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int Fd_;
};

[[nodiscard]] bool WriteAll(int fd, std::string_view bytes) noexcept
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(std::size_t(n));
    }
    return true;
}

/// Makes a rename in dir durable; a file system that cannot sync directories is no error.
void SyncDirectory(const fs::path& dir) noexcept
{
    TDescriptor handle(::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (handle.Get() >= 0)
        (void)::fsync(handle.Get());
}

} // namespace

bool ReadFileBytes(const std::filesystem::path& path, std::string& bytes, std::size_t maxBytes, std::string* error)
{
    bytes.clear();
    // O_NONBLOCK: opening a pipe without a writer must not wait; it is refused below anyway.
    TDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0) {
        SetError(error, path, ErrnoText(errno));
        return false;
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        SetError(error, path, ErrnoText(errno));
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        SetError(error, path, ErrnoText(EISDIR));
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        SetError(error, path, "not a regular file");
        return false;
    }
    const auto tooLarge = [&] {
        SetError(error, path, "file too large (more than " + std::to_string(maxBytes) + " bytes)");
        bytes.clear();
        bytes.shrink_to_fit();
        return false;
    };
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes)
        return tooLarge();

    try {
        // The size may change while we read: read until the end, never beyond maxBytes + 1.
        bytes.reserve(static_cast<std::size_t>(info.st_size));
        constexpr std::size_t Chunk = std::size_t(1) << 20;
        // One byte beyond the limit tells a file that is too large from one that just fits.
        const std::size_t limit = maxBytes < SIZE_MAX ? maxBytes + 1 : maxBytes;
        for (;;) {
            const std::size_t used = bytes.size();
            const std::size_t room = limit - used;
            const std::size_t step = room < Chunk ? room : Chunk;
            bytes.resize(used + step);
            const ssize_t n = ::read(file.Get(), bytes.data() + used, step);
            if (n < 0) {
                bytes.resize(used);
                if (errno == EINTR)
                    continue;
                const int err = errno;
                bytes.clear();
                SetError(error, path, ErrnoText(err));
                return false;
            }
            bytes.resize(used + static_cast<std::size_t>(n));
            if (n == 0)
                return true;
            if (bytes.size() > maxBytes)
                return tooLarge();
        }
    } catch (const std::bad_alloc&) {
        bytes.clear();
        bytes.shrink_to_fit();
        SetError(error, path, "not enough memory to read the file");
        return false;
    }
}

bool IsWriteProtected(const fs::path& path) noexcept
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false; // nothing there to protect
    // A file without any write permission was made read-only on purpose, even where the user
    // (root) could write it anyway.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return true;
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

namespace {

/// The name of a temporary file of the process pid for the target name.
std::string TemporaryName(const std::string& target, long pid, unsigned serial)
{
    return "." + target + "." + std::to_string(pid) + "." + std::to_string(serial) + ".tmp";
}

/// Removes the temporary files that saves of target by processes no longer running left in dir:
/// a save that was killed between naming its temporary file and the rename.
void RemoveStaleTemporaries(const fs::path& dir, const std::string& target) noexcept
{
    try {
        const std::string prefix = "." + target + ".";
        std::error_code ec;
        for (const fs::directory_entry& entry : fs::directory_iterator(dir.empty() ? fs::path(".") : dir, ec)) {
            const std::string name = entry.path().filename().string();
            if (name.size() <= prefix.size() + 4 || name.compare(0, prefix.size(), prefix) != 0 ||
                name.compare(name.size() - 4, 4, ".tmp") != 0)
                continue;
            // ".NAME.PID.SERIAL.tmp": the process must be gone.
            const std::string middle = name.substr(prefix.size(), name.size() - prefix.size() - 4);
            const std::size_t dot = middle.find('.');
            if (dot == 0 || dot == std::string::npos || dot > 10 ||
                middle.find_first_not_of("0123456789.") != std::string::npos || middle.find('.', dot + 1) != std::string::npos)
                continue;
            const long pid = std::stol(middle.substr(0, dot));
            if (pid <= 0 || pid == ::getpid() || ::kill(pid_t(pid), 0) == 0 || errno != ESRCH)
                continue;
            std::error_code removeError;
            fs::remove(entry.path(), removeError);
        }
    } catch (...) {
        // Cleaning up is a courtesy; the save goes on without it.
    }
}

/// An unnamed file in dir (where the file system has them), which disappears with the process
/// whatever happens before it is given a name; -1 when there is none.
int OpenUnnamedFile(const fs::path& dir) noexcept
{
#ifdef O_TMPFILE
    return ::open(dir.empty() ? "." : dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#else
    (void)dir;
    return -1;
#endif
}

} // namespace

bool WriteFileAtomically(const fs::path& path, std::string_view bytes) noexcept
{
    try {
        // Saving through a symbolic link replaces the file it points to, not the link.
        fs::path target = path;
        std::error_code ec;
        if (fs::is_symlink(path, ec)) {
            fs::path resolved = fs::canonical(path, ec);
            if (!ec)
                target = std::move(resolved);
        }
        if (target.filename().empty())
            return false;
        struct stat old {};
        const bool replacing = ::stat(target.c_str(), &old) == 0;
        if (replacing && !S_ISREG(old.st_mode)) {
            errno = S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
            return false;
        }
        if (replacing && IsWriteProtected(target)) {
            errno = EACCES;
            return false;
        }

        const fs::path dir = target.parent_path();
        const std::string name = target.filename().string();
        RemoveStaleTemporaries(dir, name);

        static std::atomic<unsigned> serial{0};
        fs::path temp;
        const auto openNamed = [&]() -> int {
            for (int attempt = 0; attempt < 100; ++attempt) {
                temp = dir / TemporaryName(name, ::getpid(), serial++);
                // 0666 lets the umask decide, as for any new file.
                const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
                if (fd >= 0 || errno != EEXIST)
                    return fd;
            }
            errno = EEXIST;
            return -1;
        };
        const auto writeInto = [&](int fd) {
            bool written = WriteAll(fd, bytes);
            if (written && replacing)
                (void)::fchmod(fd, old.st_mode & 07777);
            return written && ::fsync(fd) == 0;
        };

        // The content goes into an unnamed file first, so that a save killed while writing
        // leaves nothing behind; it gets its temporary name only for the rename, through the
        // descriptor's entry in /proc.
        bool linked = false;
        TDescriptor unnamed(OpenUnnamedFile(dir));
        if (unnamed.Get() >= 0 && writeInto(unnamed.Get())) {
            const std::string self = "/proc/self/fd/" + std::to_string(unnamed.Get());
            for (int attempt = 0; attempt < 100 && !linked; ++attempt) {
                temp = dir / TemporaryName(name, ::getpid(), serial++);
                linked = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0;
                if (!linked && errno != EEXIST)
                    break;
            }
        }
        bool ok = unnamed.Close() && linked;
        if (linked && !ok)
            ::unlink(temp.c_str());
        if (!ok) {
            // No unnamed files here (or no /proc): a named temporary file from the start.
            temp.clear();
            TDescriptor named(openNamed());
            if (named.Get() < 0)
                return false;
            ok = writeInto(named.Get());
            ok = named.Close() && ok;
        }
        ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
        if (!ok) {
            const int err = errno; // the caller may report why
            if (!temp.empty())
                ::unlink(temp.c_str());
            errno = err;
            return false;
        }
        SyncDirectory(dir);
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace xq
