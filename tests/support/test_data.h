#pragma once
// Where the real test data of the Debian packages lives, and the temporary
// folders tests write into.
#include <filesystem>
#include <string>
#include <vector>

namespace pc::test {

inline const std::string kPngSuite = "/usr/share/doc/libsixel-examples/examples/images/pngsuite/";
inline const std::string kGifTestImages = "/usr/libexec/installed-tests/gdk-pixbuf/test-images/";
inline const std::string k3dsModels = "/usr/share/assimp/models/3DS/";
inline const std::string kSdlImages = "/usr/libexec/installed-tests/SDL2_image/";

// Every regular file below dir (recursively) whose name ends in one of the
// extensions (lower-case, with the dot; empty = all), sorted.
std::vector<std::string> FilesIn(const std::string& dir, const std::vector<std::string>& extensions = {});

// A fresh empty folder for one test, removed when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// While it lives, a write that would make a file larger than bytes fails with
// EFBIG ("File too large"), as a full disk fails a write: a real failing write.
class FileSizeLimit {
public:
    explicit FileSizeLimit(long long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    unsigned long long old_ = 0;
    void (*oldHandler_)(int) = nullptr;
};

// A readable test-case name from a path or free text.
std::string CaseName(const std::string& text);

} // namespace pc::test
