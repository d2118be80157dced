#include "platform/file_io.h"

#include <algorithm>
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

namespace {

std::string SizeText(int64_t bytes)
{
    constexpr int64_t kMega = int64_t(1) << 20;
    return bytes % kMega == 0 ? std::to_string(bytes / kMega) + " MB" : std::to_string(bytes) + " bytes";
}

} // namespace

std::vector<uint8_t> ReadFileBytes(const std::string& path, int64_t maxBytes)
{
    FileReader file(path);
    if (file.Size() > maxBytes)
        throw FileError("File too large: \"" + path + "\" is larger than the " + SizeText(maxBytes) +
                        " a file of its kind may be");
    std::vector<uint8_t> out(size_t(file.Size()));
    file.ReadAt(0, out);
    return out;
}

std::vector<uint8_t> ReadFileStart(const std::string& path, size_t headBytes, const BytesNeeded& needed)
{
    FileReader file(path);
    std::vector<uint8_t> out(size_t(std::min<int64_t>(file.Size(), int64_t(headBytes))));
    file.ReadAt(0, out);
    const size_t head = out.size();
    const int64_t n = std::clamp<int64_t>(needed(out, file.Size()), int64_t(head), file.Size());
    out.resize(size_t(n));
    file.ReadAt(int64_t(head), std::span(out).subspan(head));
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

namespace {

// The file a save replaces: a symbolic link is followed to the file it
// names, so the link stays and the real file gets the new bytes.
fs::path SaveTarget(const std::string& path)
{
    fs::path p(path);
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(p, ec))
            return p;
        fs::path next = fs::read_symlink(p, ec);
        if (ec)
            throw FileError("Cannot write file \"" + path + "\": " + ec.message());
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    throw FileError("Cannot write file \"" + path + "\": " + std::strerror(ELOOP));
}

// What a file that is not a regular file is, for a message.
std::string KindOfFile(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISSOCK(mode))
        return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    return "a special file";
}

// Gives the temporary file the owner, group and mode of the file it
// replaces; the owner and group only where the user may set them.
void TakeOver(const std::string& tmp, const struct stat& old, const std::string& path)
{
    struct stat now {};
    if (::stat(tmp.c_str(), &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        ::chown(tmp.c_str(), old.st_uid, old.st_gid) != 0) {
        // Another owner is not ours to give; a group of ours may be.
        [[maybe_unused]] int ignored = ::chown(tmp.c_str(), uid_t(-1), old.st_gid);
    }
    // After chown, which may clear the set-id bits.
    if (::chmod(tmp.c_str(), old.st_mode & 07777) != 0)
        throw FileError("Cannot write file \"" + path + "\": " + std::strerror(errno));
}

} // namespace

void SaveThroughTemp(const std::string& path, const std::function<void(const std::string&)>& write)
{
    const fs::path target = SaveTarget(path);
    fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string tmp = (dir / ("." + target.filename().string() + ".tmp" + std::to_string(::getpid()))).string();
    // Only a regular file is replaced: the name of a FIFO, device, socket or
    // folder keeps what it is, and nothing is written beside it.
    struct stat old {};
    const bool replaces = ::lstat(target.c_str(), &old) == 0;
    if (replaces && !S_ISREG(old.st_mode))
        throw FileError("Cannot save \"" + path + "\": " +
                        (path == target.string() ? "it" : "the file it links to (" + target.string() + ")") +
                        " is not a regular file but " + KindOfFile(old.st_mode) + ".");
    // Scratch files need not survive a power cut; the user's files must.
    const bool durable = !IsWorkFile(target.string());
    // Listed first, so that the next start finds it if this instance is killed.
    NoteTemporaryFile(tmp);
    try {
        if (replaces) {
            // Private until it takes the old file's mode: the bytes of a 0600
            // file are never readable by others on the way.
            std::remove(tmp.c_str());
            int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd < 0)
                throw FileError("Cannot write file \"" + path + "\": " + std::strerror(errno));
            ::close(fd);
        }
        write(tmp);
        if (replaces)
            TakeOver(tmp, old, path);
        // The new bytes reach the disk before the name moves to them.
        if (int error = durable ? SyncError(tmp, O_RDONLY) : 0)
            throw FileError("Cannot write file \"" + path + "\": " + std::strerror(error));
    } catch (...) {
        std::remove(tmp.c_str());
        throw;
    }
    if (std::rename(tmp.c_str(), target.c_str()) != 0) {
        int e = errno;
        std::remove(tmp.c_str());
        throw FileError("Cannot write file \"" + path + "\": " + std::strerror(e));
    }
    if (durable)
        SyncError(dir.string(), O_RDONLY | O_DIRECTORY); // the file is saved either way
}

void WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes)
{
    WriteFileAtomic(path, bytes.data(), bytes.size());
}

void WriteFileAtomic(const std::string& path, const uint8_t* data, size_t size)
{
    SaveThroughTemp(path, [&](const std::string& tmp) {
        std::FILE* f = std::fopen(tmp.c_str(), "wb");
        if (!f)
            throw FileError("Cannot write file \"" + path + "\": " + std::strerror(errno));
        int error = 0;
        if (size && std::fwrite(data, 1, size, f) != size)
            error = errno;
        if (std::fflush(f) != 0 && !error)
            error = errno;
        if (std::fclose(f) != 0 && !error)
            error = errno;
        if (error)
            throw FileError("Cannot write file \"" + path + "\": " + std::strerror(error));
    });
}

bool FileExists(const std::string& path)
{
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

FileReader::FileReader(const std::string& path) : path_(path)
{
    // Without blocking: opening a FIFO would wait for a writer for ever.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd_ < 0)
        throw FileError("Cannot open file \"" + path + "\": " + std::strerror(errno));
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        const int error = errno;
        ::close(fd_);
        throw FileError("Cannot read file \"" + path + "\": " + std::strerror(error));
    }
    // A pipe, device or folder has no size to check and may never end.
    if (!S_ISREG(st.st_mode)) {
        ::close(fd_);
        throw FileError("Cannot open file \"" + path + "\": not a regular file");
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
