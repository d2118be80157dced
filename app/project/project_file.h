#pragma once
// The project file: the blobs back to back, then the INI text, then the INI
// text's offset and length as two little-endian 32-bit integers.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "app/project/project_model.h"
#include "platform/errors.h"
#include "platform/file_io.h"

namespace pc::project {

// A project file that cannot be used; what() says why.
class ProjectError : public BadInput {
public:
    using BadInput::BadInput;
};

struct WriteOptions {
    std::string textureFolder; // where "<textureId>" work files live
    std::string date;          // the "Date" text
};

// The Author text of every file we write.
inline constexpr const char* kAuthor = "Prismcase";
inline constexpr double kVersion = 3.100716;

// Writes the scene through a temporary file beside path. Pictures come from
// the texture work files, a model from its modelPath. Throws FileError when a
// source is missing or the file cannot be written (the old file stays), and
// ProjectError when the blobs would pass 2 GiB or a 3D text kMaxTextBytes.
void WriteProject(const std::string& path, const Scene& scene, const WriteOptions& options);

// The INI text the writer produces for a scene whose blob positions are set.
std::string ProjectIniText(const Scene& scene, const std::string& date);

struct ReadResult {
    Scene scene;
    std::vector<std::string> warnings; // sections skipped, bytes no key refers to; one line each
};

// Where a project's bytes come from, read part by part: the last 8 bytes
// first, then what they name, so a large file that is not a project is
// refused without being read.
class ProjectSource {
public:
    virtual ~ProjectSource() = default;
    virtual int64_t Size() const = 0;
    // The n bytes at offset, which lie inside Size().
    virtual std::vector<uint8_t> Read(int64_t offset, int64_t n) const = 0;
};

class MemoryProjectSource final : public ProjectSource {
public:
    explicit MemoryProjectSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    int64_t Size() const override { return int64_t(bytes_.size()); }
    std::vector<uint8_t> Read(int64_t offset, int64_t n) const override;

private:
    std::span<const uint8_t> bytes_;
};

class FileProjectSource final : public ProjectSource {
public:
    // Throws FileError when the file cannot be opened.
    explicit FileProjectSource(const std::string& path) : file_(path) {}
    int64_t Size() const override { return file_.Size(); }
    std::vector<uint8_t> Read(int64_t offset, int64_t n) const override;

private:
    FileReader file_;
};

// The longest INI text a project may hold; real ones hold a few kilobytes.
constexpr int64_t kMaxIniBytes = int64_t(16) << 20;
// The most bytes no key refers to that a load keeps to write back; a file
// with more is refused rather than partly kept.
constexpr int64_t kMaxUnreferencedBytes = int64_t(256) << 20;
// The longest text of a 3D text object; real ones hold a few words.
constexpr int64_t kMaxTextBytes = int64_t(1) << 20;
// The most materials the models of one scene hold together: as many as one
// model may. Every material writes several keys, so a project also holds at
// most one for every 16 bytes of its settings text.
constexpr int64_t kMaxSceneMaterials = 32767;
constexpr int64_t kMinMaterialIniBytes = 16;

// Validates the whole file (trailer, INI text, every blob range) and returns
// the scene; throws ProjectError with the reason. Nothing is partly read.
ReadResult ReadProject(const ProjectSource& source);
ReadResult ReadProject(std::span<const uint8_t> file);

// The bytes of one blob of a file ReadProject accepted.
std::vector<uint8_t> BlobBytes(const ProjectSource& source, const Blob& blob);
std::span<const uint8_t> BlobBytes(std::span<const uint8_t> file, const Blob& blob);

// "name" with its extension replaced by ".qv7kb".
std::string WithProjectExtension(const std::string& name);

} // namespace pc::project
