#pragma once
// The editor's numbered history: every commit saves the whole picture as
// "history<n>" (a BMP file) in a folder private to the running program.
// Shown() is the file the picture was last written to or read from; a write
// goes just above it, ends the redo chain (every file above the write) and
// drops the file ten below it, except file 0. The index is the number the
// next write takes after a write, the shown number after an undo or redo.
//
// History is a convenience: when a file cannot be written the history is
// switched off for good (its files removed) and the picture goes on as it is.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/bitmap.h"

namespace pc::editor {

class HistoryFiles {
public:
    // folder ends in '/'. Removes every history file left from before.
    explicit HistoryFiles(std::string folder);

    // The disk space a full history of a side x side picture may take at
    // once: the files kept, the one being written and its temporary file.
    static int64_t RoomNeeded(int side);

    int Index() const { return index_; }
    int Shown() const { return shown_; }
    bool Off() const { return off_; }
    std::string Path(int n) const;
    bool Exists(int n) const;

    // Saves picture as the file numbered Shown() + 1, which becomes the
    // shown one; the index is one above it. Throws when the file cannot be
    // written; the history is off then.
    void Write(const Bitmap& picture);
    // The file numbered n as a 24-bit picture; nothing when it is missing.
    std::optional<Bitmap> Read(int n) const;
    // Whether file n holds picture; the shown file is compared in memory.
    bool Holds(int n, const Bitmap& picture) const;
    // Undo and redo: file n is shown now; no file is touched.
    void StepTo(int n) { index_ = shown_ = n; }

    // Removes every file written: file 0 and those up to ten below the
    // highest number written.
    void RemoveAll();
    // A history with no file yet: what was before cannot be reached.
    void Restart();

private:
    void Remove(int n) const;

    std::string folder_;
    int index_ = 0;
    int shown_ = -1;
    // The highest number written since the start; no file lies above it.
    int top_ = -1;
    bool off_ = false;
    // The picture of the file last written or read, and its number.
    mutable std::optional<std::pair<int, Bitmap>> last_;
};

} // namespace pc::editor
