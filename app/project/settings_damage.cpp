#include "app/project/settings_damage.h"

#include <algorithm>

namespace pc::project {

namespace {

// A damaged name as a message can show it: bytes outside printable ASCII as
// \xNN, and no longer than a message line.
std::string Shown(const std::string& name)
{
    static const char* const kHex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : name.substr(0, 40)) {
        if (c >= 0x20 && c < 0x7F) {
            out += char(c);
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return name.size() > 40 ? out + "..." : out;
}

} // namespace

void SettingsDamage::Asked(const std::string& section, const std::string& key)
{
    asked_[IniFile::FoldName(section)].insert(IniFile::FoldName(key));
}

void SettingsDamage::Unreadable(const std::string& section, const std::string& key)
{
    Add("[" + section + "] " + key);
}

void SettingsDamage::Add(const std::string& name)
{
    const std::string shown = Shown(name);
    if (std::find(names_.begin(), names_.end(), shown) != names_.end())
        return;
    if (names_.size() < kShown)
        names_.push_back(shown);
    else
        ++more_;
}

std::string SettingsDamage::Describe(const IniFile& ini)
{
    std::unordered_set<std::string> sections, keys;
    const std::unordered_set<std::string>* known = nullptr; // keys of the section the line stands in
    bool named = false;                                     // its header is named already
    // A line end lost to damage joins two lines: the second is lost and the
    // first holds a CR, which no writer puts inside a line, or runs on past
    // the ']' of its header with more than a comment.
    auto joined = [](IniFile::LineKind kind, const std::string& line) {
        if (line.find('\r') != std::string::npos)
            return true;
        if (kind != IniFile::LineKind::Header)
            return false;
        const size_t close = line.find(']');
        return close == std::string::npos || (line.find_first_not_of(" \t", close + 1) != std::string::npos &&
                                              !IniFile::IsComment(line.substr(close + 1)));
    };
    ini.ForEachLine([&](IniFile::LineKind kind, const std::string& section, const std::string& name,
                        const std::string& line) {
        if (kind == IniFile::LineKind::Header) {
            const std::string lower = IniFile::FoldName(section);
            auto it = asked_.find(lower);
            known = it == asked_.end() ? nullptr : &it->second;
            named = !known || !sections.insert(lower).second;
            if (named || joined(kind, line))
                Add("[" + section + "]");
            keys.clear();
        } else if (!named) {
            const bool used = kind == IniFile::LineKind::Key && known && known->count(IniFile::FoldName(name)) &&
                              keys.insert(IniFile::FoldName(name)).second;
            if (!used || joined(kind, line))
                Add(section.empty() && !known ? name : "[" + section + "] " + name);
        }
    });
    if (names_.empty())
        return {};
    std::string text = "these settings cannot be read: ";
    for (size_t i = 0; i < names_.size(); ++i)
        text += (i ? ", " : "") + names_[i];
    if (more_ > 0)
        text += ", and " + std::to_string(more_) + " more";
    return text;
}

} // namespace pc::project
