#include "app/window/window_commands.h"

#include <filesystem>

namespace pc {

CommandStates CommandStatesFor(const WindowFacts& facts)
{
    return {facts.hasCurrentObject && !facts.publishing, facts.floorTexture != 0, facts.backgroundTexture != 0};
}

std::optional<std::string> FindHelpFile(const std::string& programFolder)
{
    for (const char* name : {"help.chm", "help.hlp", "help.htm", "help.html", "help.txt"}) {
        std::string path = programFolder + name;
        std::error_code ec;
        if (std::filesystem::is_regular_file(path, ec))
            return path;
    }
    return std::nullopt;
}

std::string AboutText(const std::string& pixelFormatInfo)
{
    return std::string(kProductName) + " - box shots for your products\n\nVersion " + kProductVersion + "\n\n" +
           pixelFormatInfo + "\n\n" + kProductWebAddress + "\n\nDo you want to access home page now?\n";
}

} // namespace pc
