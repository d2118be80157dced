#pragma once
// Rules behind the main window's small commands: what is enabled or shown,
// where the help is, what the About box says. No widgets here.
#include <optional>
#include <string>

namespace pc {

// The product's web page: "Home Page", the address under the page control,
// the About box and the help when no help file is installed.
inline constexpr const char* kProductWebAddress = "https://github.com/prismcase/prismcase";
inline constexpr const char* kProductName = "Prismcase";
inline constexpr const char* kProductVersion = "1.0";

// What the update step looks at.
struct WindowFacts {
    bool hasCurrentObject = false;
    unsigned floorTexture = 0;      // 0: a solid colour
    unsigned backgroundTexture = 0; // 0: a solid colour
    bool publishing = false;        // the scene must not change under the render
};

// What the update step sets.
struct CommandStates {
    bool copyObject = false;
    bool floorTiling = false;      // the floor's "Texture H " and "Texture V "
    bool backgroundTiling = false; // the same for the background
};

CommandStates CommandStatesFor(const WindowFacts& facts);

// The first help file present in the program folder (which ends in '/').
std::optional<std::string> FindHelpFile(const std::string& programFolder);

// The About box text around the pixel-format description.
std::string AboutText(const std::string& pixelFormatInfo);

} // namespace pc
