#pragma once
// The editor's numbered history: every commit saves the whole picture as
// "history<n>" (a BMP file) in a folder private to the running program.
// The index is the number the next commit writes. A commit ends the redo
// chain (every file above it) and drops the file ten below it, except file 0.
#include <optional>
#include <string>

#include "platform/bitmap.h"

namespace pc::editor {

class HistoryFiles {
public:
    // folder ends in '/'. Removes history files 0 to 20 left from before.
    explicit HistoryFiles(std::string folder);

    int Index() const { return index_; }
    std::string Path(int n) const;
    bool Exists(int n) const;

    // Saves picture as the file numbered Index(), then moves on by one.
    void Write(const Bitmap& picture);
    // The file numbered n as a 24-bit picture; nothing when it is missing.
    std::optional<Bitmap> Read(int n) const;
    // Steps the index without touching any file (undo and redo).
    void SetIndex(int n) { index_ = n; }

    // Removes files 0 to 20 and those within ten of the index.
    void RemoveAll();

private:
    void Remove(int n) const;

    std::string folder_;
    int index_ = 0;
};

} // namespace pc::editor
