#pragma once
// What of a project's settings text a read could not use: values that are
// there but are not numbers, keys and sections the read never asks for,
// repeated ones (the first counts) and lines that are neither. Keys that are
// missing are no damage: older files lack them.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/ini_file.h"

namespace pc::project {

class SettingsDamage {
public:
    // The read asked for the key, whether it is there or not.
    void Asked(const std::string& section, const std::string& key);
    void Unreadable(const std::string& section, const std::string& key);
    // After the read: names what it could not use, at most kShown of them,
    // as "these settings cannot be read: ..."; empty when nothing.
    std::string Describe(const IniFile& ini);

    static constexpr size_t kShown = 10;

private:
    void Add(const std::string& name);

    std::unordered_map<std::string, std::unordered_set<std::string>> asked_; // lower-case
    std::vector<std::string> names_;
    int64_t more_ = 0;
};

} // namespace pc::project
