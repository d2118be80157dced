#include "editor/window/history_files.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <vector>

#include "platform/bmp_file.h"
#include "platform/errors.h"
#include "platform/file_io.h"

namespace pc::editor {

namespace {

constexpr int kKept = 10;
constexpr std::string_view kPrefix = "history";
constexpr int64_t kBmpHeaders = 14 + 40;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

HistoryFiles::HistoryFiles(std::string folder) : folder_(std::move(folder))
{
    // Every number left from before, not only 0 to 20: a file above the ones
    // this history writes would come back as a redo.
    namespace fs = std::filesystem;
    std::vector<fs::path> left;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(folder_, ec)) {
        const std::string name = e.path().filename().string();
        const std::string_view number = std::string_view(name).substr(std::min(name.size(), kPrefix.size()));
        if (name.starts_with(kPrefix) && !number.empty() && std::all_of(number.begin(), number.end(), IsDigit))
            left.push_back(e.path());
    }
    for (const fs::path& p : left)
        fs::remove(p, ec);
}

int64_t HistoryFiles::RoomNeeded(int side)
{
    const int64_t file = CheckedAdd(kBmpHeaders, CheckedMul(DibStride(side, 24), side));
    return CheckedMul(file, kKept + 2);
}

std::string HistoryFiles::Path(int n) const
{
    return folder_ + std::string(kPrefix) + std::to_string(n);
}

bool HistoryFiles::Exists(int n) const
{
    return !off_ && n >= 0 && FileExists(Path(n));
}

void HistoryFiles::Remove(int n) const
{
    if (n >= 0)
        std::remove(Path(n).c_str());
}

void HistoryFiles::Write(const Bitmap& picture)
{
    if (off_)
        return;
    try {
        SaveBmpFile(Path(shown_ + 1), picture);
    } catch (const Error&) {
        RemoveAll();
        off_ = true;
        last_.reset();
        throw;
    }
    ++shown_;
    index_ = shown_ + 1;
    last_.emplace(shown_, picture);
    // Undos may have left newer files above: the whole redo chain ends here.
    for (int n = index_; n <= top_; ++n)
        Remove(n);
    top_ = shown_;
    if (index_ > kKept)
        Remove(index_ - kKept);
}

std::optional<Bitmap> HistoryFiles::Read(int n) const
{
    if (!Exists(n))
        return std::nullopt;
    if (last_ && last_->first == n)
        return last_->second;
    Bitmap b = LoadBmpFile(Path(n));
    b.SetPixelFormat(PixelFormat::pf24bit);
    last_.emplace(n, b);
    return b;
}

bool HistoryFiles::Holds(int n, const Bitmap& picture) const
{
    if (!Exists(n))
        return false;
    if (!last_ || last_->first != n)
        Read(n);
    return last_->second == picture;
}

void HistoryFiles::RemoveAll()
{
    // Below the ten newest only file 0 stays.
    Remove(0);
    for (int n = std::max(1, top_ - kKept); n <= top_; ++n)
        Remove(n);
}

void HistoryFiles::Restart()
{
    RemoveAll();
    index_ = 0;
    shown_ = -1;
    top_ = -1;
    last_.reset();
}

} // namespace pc::editor
