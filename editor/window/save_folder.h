#pragma once
// Where the save dialog proposes to save. The program's private work folder
// goes when the program ends, so a name there (or no name at all) is moved
// to the folder a picture was last saved to, else the user's pictures
// folder, else the home folder.
#include <string>

namespace pc::editor {

// name itself, or its file name in a folder that stays.
std::string ProposedSaveName(const std::string& name, const std::string& privateFolder);
// Remembers the folder of a picture just saved, unless it lies in privateFolder.
void NoteSavedPicture(const std::string& path, const std::string& privateFolder);

} // namespace pc::editor
