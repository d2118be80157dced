#include "platform/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/errors.h"
#include "platform/paths.h"

namespace pc {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadFileBytes(const std::string& path, int64_t maxBytes)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        throw FileError("Cannot open file \"" + path + "\": " + std::strerror(errno));
    std::vector<uint8_t> out;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        if (int64_t(out.size() + n) > maxBytes) {
            std::fclose(f);
            throw FileError("File too large: " + path);
        }
        out.insert(out.end(), buf, buf + n);
    }
    bool failed = std::ferror(f);
    std::fclose(f);
    if (failed)
        throw FileError("Cannot read file \"" + path + "\"");
    return out;
}

namespace {

// Waits until the file (or folder) is on the disk; 0 or the error. A file
// system that cannot sync is taken as it is.
int SyncError(const std::string& path, int flags)
{
    int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP ? 0 : errno;
    ::close(fd);
    return error;
}

} // namespace

void SaveThroughTemp(const std::string& path, const std::function<void(const std::string&)>& write)
{
    fs::path target(path);
    fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string tmp = (dir / ("." + target.filename().string() + ".tmp" + std::to_string(::getpid()))).string();
    // Listed first, so that the next start finds it if this instance is killed.
    NoteTemporaryFile(tmp);
    try {
        write(tmp);
        // The new bytes reach the disk before the name moves to them.
        if (int error = SyncError(tmp, O_RDONLY))
            throw FileError("Cannot write file \"" + path + "\": " + std::strerror(error));
    } catch (...) {
        std::remove(tmp.c_str());
        throw;
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        int e = errno;
        std::remove(tmp.c_str());
        throw FileError("Cannot write file \"" + path + "\": " + std::strerror(e));
    }
    SyncError(dir.string(), O_RDONLY | O_DIRECTORY); // the file is saved either way
}

void WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes)
{
    SaveThroughTemp(path, [&](const std::string& tmp) {
        std::FILE* f = std::fopen(tmp.c_str(), "wb");
        if (!f)
            throw FileError("Cannot write file \"" + path + "\": " + std::strerror(errno));
        bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        ok = std::fflush(f) == 0 && ok;
        ok = std::fclose(f) == 0 && ok;
        if (!ok)
            throw FileError("Cannot write file \"" + path + "\"");
    });
}

bool FileExists(const std::string& path)
{
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

FileReader::FileReader(const std::string& path) : path_(path)
{
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        throw FileError("Cannot open file \"" + path + "\": " + std::strerror(errno));
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd_);
        throw FileError("Cannot read file \"" + path + "\"");
    }
    size_ = int64_t(st.st_size);
}

FileReader::~FileReader()
{
    ::close(fd_);
}

void FileReader::ReadAt(int64_t offset, std::span<uint8_t> out) const
{
    size_t done = 0;
    while (done < out.size()) {
        ssize_t n = ::pread(fd_, out.data() + done, out.size() - done, off_t(offset + int64_t(done)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw FileError("Cannot read file \"" + path_ + "\"");
        done += size_t(n);
    }
}

} // namespace pc
