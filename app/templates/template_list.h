#pragma once
// The templates the browser offers: the project files (".qv7kb") of the
// program's "templates" folder and of the user's own templates folder.
#include <string>
#include <vector>

namespace pc {

struct TemplateFile {
    std::string path;   // full path of the project file
    std::string name;   // file name without folder and extension
};

// More would make a sheet of gigabytes; the rest are left out, in name order.
inline constexpr size_t kMaxTemplates = 1000;

// The program's "templates" folder, then the user's own when it is another.
std::vector<std::string> TemplateFolders();

// Every "*.qv7kb" (extension in any case) of the folders, sorted by name
// without regard to case (the full path breaks ties). Missing or unreadable
// folders give nothing.
std::vector<TemplateFile> ListTemplates(const std::vector<std::string>& folders);

} // namespace pc
