#include "editor/window/history_files.h"

#include <cstdio>

#include "platform/bmp_file.h"
#include "platform/file_io.h"

namespace pc::editor {

namespace {

constexpr int kKept = 10;
constexpr int kSweep = 20;

} // namespace

HistoryFiles::HistoryFiles(std::string folder) : folder_(std::move(folder))
{
    for (int n = 0; n <= kSweep; ++n)
        Remove(n);
}

std::string HistoryFiles::Path(int n) const
{
    return folder_ + "history" + std::to_string(n);
}

bool HistoryFiles::Exists(int n) const
{
    return n >= 0 && FileExists(Path(n));
}

void HistoryFiles::Remove(int n) const
{
    if (n >= 0)
        std::remove(Path(n).c_str());
}

void HistoryFiles::Write(const Bitmap& picture)
{
    SaveBmpFile(Path(shown_ + 1), picture);
    ++shown_;
    index_ = shown_ + 1;
    // Undos may have left newer files above: the whole redo chain ends here.
    for (int n = index_; n <= index_ + kSweep; ++n)
        Remove(n);
    if (index_ > kKept)
        Remove(index_ - kKept);
}

std::optional<Bitmap> HistoryFiles::Read(int n) const
{
    if (!Exists(n))
        return std::nullopt;
    Bitmap b = LoadBmpFile(Path(n));
    b.SetPixelFormat(PixelFormat::pf24bit);
    return b;
}

void HistoryFiles::RemoveAll()
{
    for (int n = 0; n <= kSweep; ++n) {
        Remove(n);
        Remove(index_ - kKept + n);
    }
}

} // namespace pc::editor
