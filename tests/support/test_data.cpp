#include "tests/support/test_data.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace pc::test {

namespace fs = std::filesystem;

std::vector<std::string> FilesIn(const std::string& dir, const std::vector<std::string>& extensions)
{
    std::vector<std::string> out;
    std::error_code ec;
    if (!fs::is_directory(dir, ec))
        return out;
    for (const auto& e : fs::recursive_directory_iterator(dir, ec)) {
        if (!e.is_regular_file())
            continue;
        std::string ext = e.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        if (extensions.empty() || std::find(extensions.begin(), extensions.end(), ext) != extensions.end())
            out.push_back(e.path().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

FileSizeLimit::FileSizeLimit(long long bytes)
{
    // The write fails instead of the process being killed.
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit r {};
    ::getrlimit(RLIMIT_FSIZE, &r);
    old_ = r.rlim_cur;
    r.rlim_cur = rlim_t(bytes);
    ::setrlimit(RLIMIT_FSIZE, &r);
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit r {};
    ::getrlimit(RLIMIT_FSIZE, &r);
    r.rlim_cur = rlim_t(old_);
    ::setrlimit(RLIMIT_FSIZE, &r);
    std::signal(SIGXFSZ, oldHandler_);
}

TempDir::TempDir()
{
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() / ("prismcase-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string CaseName(const std::string& text)
{
    std::string n = fs::path(text).filename().string();
    if (n.empty())
        n = text;
    for (auto& c : n)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return n;
}

} // namespace pc::test
