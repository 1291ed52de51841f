// Bounded reads of whole files and atomic replacement of files, with the reason of every failure.
#include "platform/FileIO.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <new>
#include <system_error>

#include <fcntl.h>
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

        const fs::path dir = target.parent_path();
        static std::atomic<unsigned> serial{0};
        fs::path temp;
        int fd = -1;
        for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
            temp = dir / ("." + target.filename().string() + "." + std::to_string(::getpid()) + "." +
                          std::to_string(serial++) + ".tmp");
            // 0666 lets the umask decide, as for any new file.
            fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0 && errno != EEXIST)
                return false;
        }
        if (fd < 0) {
            errno = EEXIST;
            return false;
        }
        TDescriptor file(fd);

        bool ok = WriteAll(file.Get(), bytes);
        if (ok && replacing)
            (void)::fchmod(file.Get(), old.st_mode & 07777);
        ok = ok && ::fsync(file.Get()) == 0;
        ok = file.Close() && ok;
        ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
        if (!ok) {
            const int err = errno; // the caller may report why
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
