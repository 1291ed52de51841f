// A fresh directory for a test's files, removed with everything in it when the test ends.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace xq::test {

class TTempDir {
public:
    TTempDir()
    {
        std::string name = (std::filesystem::temp_directory_path() / "xqtest-XXXXXX").string();
        if (::mkdtemp(name.data()))
            Path_ = name;
    }
    ~TTempDir()
    {
        std::error_code ec;
        if (!Path_.empty())
            std::filesystem::remove_all(Path_, ec);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    [[nodiscard]] const std::filesystem::path& Path() const noexcept { return Path_; }
    [[nodiscard]] std::filesystem::path operator/(std::string_view name) const { return Path_ / name; }

private:
    std::filesystem::path Path_;
};

inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace xq::test
