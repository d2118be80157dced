#include "platform/paths.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <climits>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cwchar>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/errors.h"

namespace pc {

namespace fs = std::filesystem;

namespace {

std::mutex mutex;
std::string programFolderOverride;
std::string workFolder;

constexpr const char* kWorkPrefix = "prismcase-";
constexpr const char* kSavesList = "saves"; // temporary files, each ended by a NUL

std::string WithSlash(std::string s)
{
    if (s.empty() || s.back() != '/')
        s += '/';
    return s;
}

std::string ExePath()
{
    std::error_code ec;
    fs::path p = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
}

bool FolderWritable(const std::string& folder)
{
    return ::access(folder.c_str(), W_OK) == 0;
}

std::string EnvOr(const char* name, const std::string& fallback)
{
    const char* v = std::getenv(name);
    return v && *v ? std::string(v) : fallback;
}

std::string Home()
{
    return EnvOr("HOME", fs::temp_directory_path().string());
}

constexpr char16_t kEscapeBase = 0xDC00; // a lone low surrogate; bytes 0x80-0xFF map above 0xDC80

bool IsEscapedByte(char32_t c)
{
    return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF;
}

void AppendCodePoint(std::string& out, char32_t c, std::mbstate_t& state)
{
    if (c < 0x80) {
        out += char(c);
        return;
    }
    char buf[MB_LEN_MAX];
    size_t n = std::wcrtomb(buf, wchar_t(c), &state);
    if (n != size_t(-1)) {
        out.append(buf, n);
        return;
    }
    // Not in the local encoding: its UTF-8 form.
    state = std::mbstate_t{};
    out += QString::fromUcs4(&c, 1).toStdString();
}

bool Exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// The entry of folder that Qt shows as name, when exactly one does.
std::optional<std::string> EntryShownAs(const std::string& folder, const QString& name)
{
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()), ::closedir);
    if (!dir)
        return std::nullopt;
    std::optional<std::string> found;
    while (const dirent* e = ::readdir(dir.get())) {
        if (QFile::decodeName(e->d_name) != name)
            continue;
        if (found)
            return std::nullopt;
        found = e->d_name;
    }
    return found;
}

std::string WorkBase()
{
    std::string base = EnvOr("XDG_RUNTIME_DIR", "");
    if (base.empty() || !FolderWritable(base))
        base = fs::temp_directory_path().string();
    return base;
}

// The pid in a work folder's name "prismcase-<pid>-<random>", 0 when it has none.
pid_t OwnerOf(const std::string& name)
{
    const size_t prefix = std::string(kWorkPrefix).size();
    if (name.compare(0, prefix, kWorkPrefix) != 0)
        return 0;
    size_t dash = name.find('-', prefix);
    if (dash == std::string::npos || dash == prefix || dash - prefix > 9)
        return 0;
    pid_t pid = 0;
    for (size_t i = prefix; i < dash; ++i) {
        if (name[i] < '0' || name[i] > '9')
            return 0;
        pid = pid * 10 + (name[i] - '0');
    }
    return pid;
}

bool Running(pid_t pid)
{
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

bool OwnedPlain(const std::string& path, bool folder)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || st.st_uid != ::getuid())
        return false;
    return folder ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode);
}

// Removes the temporary files a dead instance's saves list, when their
// names are the ones its saves gave them.
void RemoveLeftTemporaryFiles(const std::string& folder, pid_t pid)
{
    std::ifstream list(folder + kSavesList, std::ios::binary);
    const std::string suffix = ".tmp" + std::to_string(pid);
    std::string path;
    while (std::getline(list, path, '\0')) {
        std::string name = fs::path(path).filename().string();
        if (name.size() > suffix.size() + 1 && name[0] == '.' &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0 && OwnedPlain(path, false))
            ::unlink(path.c_str());
    }
}

} // namespace

std::string ProgramFolder()
{
    std::lock_guard lock(mutex);
    if (!programFolderOverride.empty())
        return programFolderOverride;
    return WithSlash(fs::path(ExePath()).parent_path().string());
}

std::string ExecutableName()
{
    std::string n = fs::path(ExePath()).filename().string();
    return n.empty() ? "prismcase" : n;
}

std::string WorkFolder()
{
    std::lock_guard lock(mutex);
    if (workFolder.empty()) {
        std::string base = WorkBase();
        std::string templ = WithSlash(base) + kWorkPrefix + std::to_string(::getpid()) + "-XXXXXX";
        if (!::mkdtemp(templ.data()))
            throw FileError("Cannot create the work folder in " + base);
        workFolder = WithSlash(templ);
    }
    return workFolder;
}

std::string TextureFolder()
{
    std::string t = WorkFolder() + "Texture/";
    std::error_code ec;
    fs::create_directories(t, ec);
    if (ec)
        throw FileError("Cannot create " + t);
    return t;
}

void RemoveWorkFolder()
{
    std::lock_guard lock(mutex);
    if (!workFolder.empty()) {
        std::error_code ec;
        fs::remove_all(workFolder, ec);
        workFolder.clear();
    }
}

bool IsWorkFile(const std::string& path)
{
    std::error_code ec;
    std::string full = fs::absolute(path, ec).string();
    std::lock_guard lock(mutex);
    return !ec && !workFolder.empty() && full.compare(0, workFolder.size(), workFolder) == 0;
}

void NoteTemporaryFile(const std::string& path)
{
    std::error_code ec;
    std::string record = fs::absolute(path, ec).string();
    if (ec)
        return;
    record += '\0';
    std::lock_guard lock(mutex);
    // Files inside the work folder go with it.
    if (workFolder.empty() || record.compare(0, workFolder.size(), workFolder) == 0)
        return;
    int fd = ::open((workFolder + kSavesList).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    // One write per record: appends from several threads never interleave.
    [[maybe_unused]] ssize_t written = ::write(fd, record.data(), record.size());
    ::close(fd);
}

void RemoveStaleWorkFolders()
{
    std::vector<std::string> bases = {WithSlash(WorkBase()), WithSlash(fs::temp_directory_path().string())};
    if (bases[1] == bases[0])
        bases.pop_back();
    for (const std::string& base : bases) {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(base, ec)) {
            const std::string name = entry.path().filename().string();
            const std::string folder = base + name;
            const pid_t pid = OwnerOf(name);
            if (pid <= 0 || Running(pid) || !OwnedPlain(folder, true))
                continue;
            RemoveLeftTemporaryFiles(WithSlash(folder), pid);
            std::error_code removeError;
            fs::remove_all(folder, removeError);
        }
    }
}

std::string SettingsPath()
{
    std::string name = ExecutableName() + ".INI";
    std::string folder = ProgramFolder();
    if (FolderWritable(folder))
        return folder + name;
    std::string config = WithSlash(EnvOr("XDG_CONFIG_HOME", Home() + "/.config")) + "prismcase/";
    std::error_code ec;
    fs::create_directories(config, ec);
    return config + name;
}

std::string ProgramTemplatesFolder()
{
    return ProgramFolder() + "templates/";
}

std::string UserTemplatesFolder()
{
    std::string own = ProgramTemplatesFolder();
    std::error_code ec;
    if (fs::is_directory(own, ec) ? FolderWritable(own) : FolderWritable(ProgramFolder())) {
        fs::create_directories(own, ec);
        return own;
    }
    std::string data = WithSlash(EnvOr("XDG_DATA_HOME", Home() + "/.local/share")) + "prismcase/templates/";
    fs::create_directories(data, ec);
    return data;
}

QString PathToQString(const std::string& path)
{
    QString out;
    std::mbstate_t state{};
    size_t i = 0;
    while (i < path.size()) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if (byte < 0x80) {
            out += QChar(byte);
            ++i;
            continue;
        }
        wchar_t c = 0;
        size_t n = std::mbrtowc(&c, path.data() + i, path.size() - i, &state);
        if (n == 0 || n > path.size() - i || c < 0x80 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out += QChar(char16_t(kEscapeBase + byte));
            state = std::mbstate_t{};
            ++i;
            continue;
        }
        const char32_t code = char32_t(c);
        out += QString::fromUcs4(&code, 1);
        i += n;
    }
    return out;
}

std::string PathFromQString(const QString& text)
{
    std::string out;
    std::mbstate_t state{};
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            AppendCodePoint(out, QChar::surrogateToUcs4(c, text[i + 1]), state);
            ++i;
        } else if (IsEscapedByte(c.unicode())) {
            out += char(c.unicode() - kEscapeBase);
        } else {
            AppendCodePoint(out, c.isSurrogate() ? U'\uFFFD' : char32_t(c.unicode()), state);
        }
    }
    return out;
}

std::string PathFromDialog(const QString& chosen)
{
    std::string direct = PathFromQString(chosen);
    if (Exists(direct))
        return direct;
    // Walk down from the root, finding each name the way the dialog showed it.
    const QStringList parts = chosen.split('/');
    std::string path;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            path += '/';
        std::string part = PathFromQString(parts[i]);
        if (!part.empty() && !Exists(path + part))
            if (auto entry = EntryShownAs(path, parts[i]))
                part = *entry;
        path += part;
    }
    return path;
}

void SetProgramFolderForTesting(const std::string& folder)
{
    std::lock_guard lock(mutex);
    programFolderOverride = folder.empty() ? std::string() : WithSlash(folder);
}

} // namespace pc
