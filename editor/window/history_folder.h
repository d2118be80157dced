#pragma once
// Where the editor keeps its history files. The program's work folder often
// lies on a small RAM disk; when it lacks room for a full history of the
// largest picture, the editor makes a folder of its own in the user's cache
// folder, else in the temp folder, and removes it when it goes. When none
// has room the work folder stays, and the history goes off once it is full.
#include <cstdint>
#include <string>

namespace pc::editor {

class HistoryFolder {
public:
    // workFolder ends in '/'; roomNeeded is in bytes.
    HistoryFolder(const std::string& workFolder, int64_t roomNeeded);
    ~HistoryFolder();
    HistoryFolder(const HistoryFolder&) = delete;
    HistoryFolder& operator=(const HistoryFolder&) = delete;

    // Ends in '/'.
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    bool own_ = false;
};

} // namespace pc::editor
