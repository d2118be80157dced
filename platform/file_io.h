#pragma once
// Whole-file reads with a size cap, and saves that go through a temporary
// file beside the target so a failed save never destroys the old file.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace pc {

// Only a regular file is read (a FIFO or device is refused, never waited
// on). Throws FileError when it cannot be read or is larger than maxBytes,
// judged from its size before anything is read.
std::vector<uint8_t> ReadFileBytes(const std::string& path, int64_t maxBytes = int64_t(1) << 31);

// For a reader whose header says how much of the file it needs: needed gets
// the first headBytes (all of a shorter file) and the file's size, throws to
// refuse the file, and returns how many bytes from the start to read. The
// rest is never read.
using BytesNeeded = std::function<int64_t(std::span<const uint8_t> head, int64_t fileSize)>;
std::vector<uint8_t> ReadFileStart(const std::string& path, size_t headBytes, const BytesNeeded& needed);

// Writes the bytes to a temporary file beside path, then renames it over path.
void WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes);
void WriteFileAtomic(const std::string& path, const uint8_t* data, size_t size);

// Calls write(tempPath), syncs the result to the disk and renames it over
// path; removes the temporary file when write throws. The temporary file is
// ".<name>.tmp<pid>" beside path, listed in the work folder while it exists.
void SaveThroughTemp(const std::string& path, const std::function<void(const std::string& tempPath)>& write);

bool FileExists(const std::string& path);

// A file opened for reading parts of it, so a large file is never read whole
// to look at its end.
class FileReader {
public:
    // Throws FileError when the file cannot be opened or is not a regular file.
    explicit FileReader(const std::string& path);
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    int64_t Size() const { return size_; }
    // Fills out from offset; throws FileError when the file ends first.
    void ReadAt(int64_t offset, std::span<uint8_t> out) const;

private:
    std::string path_;
    int fd_ = -1;
    int64_t size_ = 0;
};

} // namespace pc
