#include "app/templates/template_list.h"

#include <QString>
#include <algorithm>
#include <filesystem>

#include "platform/paths.h"

namespace fs = std::filesystem;

namespace pc {

namespace {

bool HasProjectExtension(const fs::path& file)
{
    return QString::fromStdString(file.extension().string()).compare(".qv7kb", Qt::CaseInsensitive) == 0;
}

bool SameFolder(const std::string& a, const std::string& b)
{
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

} // namespace

std::vector<std::string> TemplateFolders()
{
    std::vector<std::string> folders{ProgramTemplatesFolder()};
    std::string own = UserTemplatesFolder();
    if (own != folders.front() && !SameFolder(own, folders.front()))
        folders.push_back(own);
    return folders;
}

std::vector<TemplateFile> ListTemplates(const std::vector<std::string>& folders)
{
    std::vector<TemplateFile> found;
    std::vector<std::string> seen;
    for (const std::string& folder : folders) {
        if (std::any_of(seen.begin(), seen.end(), [&](const std::string& s) { return SameFolder(s, folder); }))
            continue;
        seen.push_back(folder);
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code typeError;
            if (!it->is_regular_file(typeError) || !HasProjectExtension(it->path()))
                continue;
            found.push_back({it->path().string(), it->path().stem().string()});
        }
    }
    std::vector<QString> keys;
    keys.reserve(found.size());
    std::vector<size_t> order(found.size());
    for (size_t i = 0; i < found.size(); ++i) {
        keys.push_back(QString::fromStdString(found[i].name));
        order[i] = i;
    }
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        int c = keys[a].compare(keys[b], Qt::CaseInsensitive);
        return c != 0 ? c < 0 : found[a].path < found[b].path;
    });
    std::vector<TemplateFile> sorted;
    sorted.reserve(std::min(order.size(), kMaxTemplates));
    for (size_t i = 0; i < order.size() && i < kMaxTemplates; ++i)
        sorted.push_back(std::move(found[order[i]]));
    return sorted;
}

} // namespace pc
