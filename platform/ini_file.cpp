#include "platform/ini_file.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <unordered_map>
#include <utility>

#include "platform/errors.h"
#include "platform/file_io.h"

namespace pc {

namespace {

constexpr size_t npos = size_t(-1);
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// Whether the line is a section header; cheap, for passes over every line.
bool IsHeader(const std::string& raw)
{
    size_t b = raw.find_first_not_of(" \t");
    return b != std::string::npos && raw[b] == '[';
}

// The section name of a header line, or false when the line is no header.
bool HeaderName(const std::string& raw, std::string& name)
{
    if (!IsHeader(raw))
        return false;
    std::string t = Trim(raw);
    size_t close = t.find(']');
    name = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

// Key and value of a key line, or false when the line holds no '=' or is a comment.
bool KeyValue(const std::string& raw, std::string& key, std::string& value)
{
    size_t eq = raw.find('=');
    if (eq == std::string::npos || IniFile::IsComment(raw))
        return false;
    key = Trim(raw.substr(0, eq));
    value = Trim(raw.substr(eq + 1));
    return true;
}

std::string Unquote(std::string v)
{
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
        v = v.substr(1, v.size() - 2);
    if (v.size() > IniFile::kMaxValue)
        v.resize(IniFile::kMaxValue);
    return v;
}

} // namespace

std::string IniFile::FoldName(std::string name)
{
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return name;
}

bool IniFile::IsComment(const std::string& text)
{
    size_t b = text.find_first_not_of(" \t");
    return b != std::string::npos && (text[b] == ';' || text[b] == '#');
}

IniFile IniFile::FromText(std::string text)
{
    IniFile ini;
    ini.byteOrderMark_ = text.starts_with(kByteOrderMark);
    // A text with a LF anywhere ends its lines in LF; a CR inside one of
    // them then belongs to the line.
    ini.crLineEnds_ = text.find('\n') == std::string::npos && text.find('\r') != std::string::npos;
    const char eol = ini.crLineEnds_ ? '\r' : '\n';
    ini.finalNewline_ = text.empty() || text.back() == eol;
    size_t start = ini.byteOrderMark_ ? sizeof kByteOrderMark - 1 : 0;
    while (start < text.size()) {
        size_t nl = text.find(eol, start);
        size_t end = nl == std::string::npos ? text.size() : nl;
        size_t cut = end > start && eol == '\n' && text[end - 1] == '\r' ? end - 1 : end;
        if (cut == start && !ini.lines_.empty())
            ++ini.lines_.back().blanks;
        else
            ini.lines_.push_back({text.substr(start, cut - start)});
        if (nl == std::string::npos)
            break;
        start = nl + 1;
    }
    return ini;
}

IniFile IniFile::Load(const std::string& path)
{
    if (!FileExists(path))
        return {};
    auto bytes = ReadFileBytes(path, int64_t(64) << 20);
    return FromText(std::string(bytes.begin(), bytes.end()));
}

void IniFile::Save(const std::string& path) const
{
    std::string t = Text();
    WriteFileAtomic(path, std::vector<uint8_t>(t.begin(), t.end()));
}

std::string IniFile::Text() const
{
    const char* eol = crLineEnds_ ? "\r" : "\r\n";
    std::string out = byteOrderMark_ ? kByteOrderMark : "";
    for (size_t i = 0; i < lines_.size(); ++i) {
        out += lines_[i].raw;
        for (size_t b = 0; b < lines_[i].blanks; ++b)
            out += eol;
        if (i + 1 < lines_.size() || finalNewline_)
            out += eol;
    }
    return out;
}

struct IniFile::Index {
    std::unordered_map<std::string, size_t> sections; // lower-case name -> header of the first
    // Lower-case key name -> first line, per header; a section's keys are
    // gathered when it is first asked for, as readers ask for few sections.
    mutable std::unordered_map<size_t, std::unordered_map<std::string, size_t>> keys;
};

const IniFile::Index& IniFile::Indexed() const
{
    if (index_)
        return *index_;
    auto index = std::make_shared<Index>();
    // Sized once, so a text of many sections is not hashed again and again.
    size_t headers = 0;
    for (const Line& l : lines_)
        headers += IsHeader(l.raw) ? 1 : 0;
    index->sections.reserve(headers);
    std::string name;
    for (size_t i = 0; i < lines_.size(); ++i)
        if (HeaderName(lines_[i].raw, name))
            index->sections.try_emplace(IniFile::FoldName(name), i);
    index_ = std::move(index);
    return *index_;
}

size_t IniFile::FindSection(const std::string& section) const
{
    const auto& sections = Indexed().sections;
    auto it = sections.find(IniFile::FoldName(section));
    return it == sections.end() ? npos : it->second;
}

size_t IniFile::SectionEnd(size_t h) const
{
    size_t i = h + 1;
    while (i < lines_.size() && !IsHeader(lines_[i].raw))
        ++i;
    return i;
}

size_t IniFile::FindKey(const std::string& section, const std::string& key) const
{
    const size_t h = FindSection(section);
    if (h == npos)
        return npos;
    auto [it, fresh] = index_->keys.try_emplace(h);
    if (fresh) {
        std::string k, v;
        for (size_t i = h + 1, end = SectionEnd(h); i < end; ++i)
            if (KeyValue(lines_[i].raw, k, v))
                it->second.try_emplace(IniFile::FoldName(k), i);
    }
    auto k = it->second.find(IniFile::FoldName(key));
    return k == it->second.end() ? npos : k->second;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const
{
    size_t i = FindKey(section, key);
    if (i == npos)
        return def;
    std::string k, v;
    KeyValue(lines_[i].raw, k, v);
    return Unquote(v);
}

int IniFile::ReadInteger(const std::string& section, const std::string& key, int def) const
{
    return ParseInteger(ReadString(section, key, "")).value_or(def);
}

std::optional<int> IniFile::ParseInteger(const std::string& s)
{
    if (s.empty())
        return std::nullopt;
    bool neg = s[0] == '-';
    size_t p = (neg || s[0] == '+') ? 1 : 0;
    int base = 10;
    if (s.compare(p, 1, "$") == 0) {
        base = 16;
        p += 1;
    } else if (s.size() > p + 1 && s[p] == '0' && (s[p + 1] == 'x' || s[p + 1] == 'X')) {
        base = 16;
        p += 2;
    }
    long long v = 0;
    auto [ptr, ec] = std::from_chars(s.data() + p, s.data() + s.size(), v, base);
    if (ec != std::errc() || ptr != s.data() + s.size() || p == s.size())
        return std::nullopt;
    v = neg ? -v : v;
    if (base == 16 && v > INT32_MAX && v <= UINT32_MAX) // hex spells the bit pattern
        v = int32_t(uint32_t(v));
    if (v < INT32_MIN || v > INT32_MAX)
        return std::nullopt;
    return int(v);
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

double IniFile::ReadFloat(const std::string& section, const std::string& key, double def) const
{
    std::string s = ReadString(section, key, "");
    if (s.empty())
        return def;
    double v = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || ptr != s.data() + s.size())
        return def;
    return v;
}

void IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    std::string line = key + "=" + value;
    size_t h = FindSection(section);
    if (h == npos) {
        index_.reset();
        lines_.push_back({"[" + section + "]"});
        lines_.push_back({line});
        finalNewline_ = true;
        return;
    }
    size_t i = FindKey(section, key);
    if (i != npos) {
        lines_[i].raw = line; // the same key: the index stands
        return;
    }
    index_.reset();
    // After the section's last non-blank line.
    size_t end = SectionEnd(h);
    size_t at = end;
    while (at > h + 1 && Trim(lines_[at - 1].raw).empty())
        --at;
    // The empty lines that ended the section still end it.
    lines_.insert(lines_.begin() + std::ptrdiff_t(at), Line{line, std::exchange(lines_[at - 1].blanks, 0)});
    if (at == lines_.size() - 1)
        finalNewline_ = true;
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int value)
{
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

bool IniFile::SectionExists(const std::string& section) const
{
    return FindSection(section) != npos;
}

bool IniFile::ValueExists(const std::string& section, const std::string& key) const
{
    return FindKey(section, key) != npos;
}

std::vector<std::string> IniFile::Sections() const
{
    std::vector<std::string> out;
    std::string name;
    for (const auto& l : lines_)
        if (HeaderName(l.raw, name))
            out.push_back(name);
    return out;
}

std::vector<std::string> IniFile::Keys(const std::string& section) const
{
    std::vector<std::string> out;
    size_t h = FindSection(section);
    if (h == npos)
        return out;
    std::string k, v;
    for (size_t i = h + 1, end = SectionEnd(h); i < end; ++i)
        if (KeyValue(lines_[i].raw, k, v))
            out.push_back(k);
    return out;
}

void IniFile::EraseSection(const std::string& section)
{
    for (size_t h; (h = FindSection(section)) != npos;) {
        lines_.erase(lines_.begin() + std::ptrdiff_t(h), lines_.begin() + std::ptrdiff_t(SectionEnd(h)));
        index_.reset();
    }
}

void IniFile::DeleteKey(const std::string& section, const std::string& key)
{
    size_t i = FindKey(section, key);
    if (i != npos) {
        lines_[i - 1].blanks += lines_[i].blanks;
        lines_.erase(lines_.begin() + std::ptrdiff_t(i));
        index_.reset();
    }
}

void IniFile::ForEachLine(const LineVisit& visit) const
{
    std::string section, name, value;
    for (const Line& l : lines_) {
        if (HeaderName(l.raw, section))
            visit(LineKind::Header, section, section, l.raw);
        else if (KeyValue(l.raw, name, value))
            visit(LineKind::Key, section, name, l.raw);
        else if (!(name = Trim(l.raw)).empty() && !IsComment(name))
            visit(LineKind::Other, section, name, l.raw);
    }
}

} // namespace pc
