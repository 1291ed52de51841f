// ReadFileBytes: one bounded read of a regular file, with the reason of every failure.
#include "platform/FileIO.h"

#include <cerrno>
#include <cstdint>
#include <new>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace xq {

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

private:
    int Fd_;
};

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

} // namespace xq
