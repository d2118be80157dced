#pragma once
// Where the program's files live. Paths use '/' and folder names end in '/'.
//  - program folder: the executable's folder; read-only data only.
//  - work folder: private to this running instance (under $XDG_RUNTIME_DIR,
//    else the temp folder, named "prismcase-<pid>-<random>"), holding
//    "Texture/<n>", "temp.bmp", "tempini.ini", "tempimage.bmp", the history
//    files and the temporary project; removed by RemoveWorkFolder() when the
//    main window goes. It also lists the temporary files of the saves under
//    way, so that what a killed instance left is found again.
//  - settings file: "<executable name>.INI" beside the program when that folder
//    is writable, else in $XDG_CONFIG_HOME/prismcase/.
//  - user templates: the program's "templates/" when writable, else
//    $XDG_DATA_HOME/prismcase/templates/.
#include <string>

class QString;

namespace pc {

std::string ProgramFolder();
std::string ExecutableName(); // without folder
std::string WorkFolder();     // created on first use
std::string TextureFolder();  // WorkFolder() + "Texture/", created on first use
void RemoveWorkFolder();

// True when path lies inside this instance's work folder (false while there
// is none): a scratch file that need not reach the disk.
bool IsWorkFile(const std::string& path);

// Records a save's temporary file in the work folder, when there is one,
// before the file is made.
void NoteTemporaryFile(const std::string& path);
// Removes the work folders of this user's instances that no longer run, and
// the temporary files their saves left; a live instance's are never touched.
void RemoveStaleWorkFolders();

std::string SettingsPath();
std::string ProgramTemplatesFolder();
std::string UserTemplatesFolder(); // created on first use

// File names are bytes. They are shown through the local 8-bit encoding; a
// byte that does not decode stands as U+DC80 + byte (as Python's
// "surrogateescape" does), so the way back gives the same bytes.
QString PathToQString(const std::string& path);
std::string PathFromQString(const QString& text);
// A path chosen in a Qt file dialog, which shows a byte that does not decode
// as U+FFFD: the existing file or folder whose name the dialog showed.
std::string PathFromDialog(const QString& chosen);

// For tests and tools that run outside the build folder.
void SetProgramFolderForTesting(const std::string& folder);

} // namespace pc
