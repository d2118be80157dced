#pragma once
// Texts of project files (3D text, object and font names). A text that is
// valid UTF-8 is UTF-8; any other was written by an 8-bit program and is
// Windows-1252, its five undefined bytes kept as the C1 controls of the same
// number so that they come back. The bytes of such a text are kept as read,
// and an unchanged text is written back as them.
#include <string>
#include <vector>

namespace pc::project {

std::string TextFromFile(const std::string& bytes);

// The bytes of an 8-bit text as read; empty for UTF-8 ones, whose bytes the
// text itself is.
std::string EightBitBytes(const std::string& bytes);

// What to write for text: read (EightBitBytes of what the file held) while
// the text is what they decode to, else the text.
const std::string& TextToFile(const std::string& text, const std::string& read);

// The bytes a 3D text of these lines is saved as: read (EightBitBytes of
// what the file held) while the lines are what it decodes to, else every
// line followed by CR LF, line ends inside a line made blanks.
std::string TextLinesToFile(const std::vector<std::string>& lines, const std::string& read);

// Lines split at CR LF, LF or CR.
std::vector<std::string> SplitLines(const std::string& text);

} // namespace pc::project
