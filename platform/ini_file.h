#pragma once
// INI text with Windows profile semantics: section and key names match
// without regard to case, the first match wins, values are trimmed, stripped of
// one pair of surrounding quotes and cut at 2047 characters. Lines beginning
// with ';' or '#' are comments, and a UTF-8 byte-order mark before the first
// line is no part of it. Lines end in LF or CR LF, or in CR in a text without
// LF. Writes update the first matching line in place, append a key at the end
// of its section and a new section at the end of the text; lines end in CR LF,
// or in CR in a text of CR line ends. Lines nobody wrote stay byte for byte as
// they were, and so do the mark and CR line ends.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pc {

class IniFile {
public:
    static constexpr size_t kMaxValue = 2047;
    // Section and key names match without regard to case (ASCII, as the
    // profile functions do): two names match when their folded forms are equal.
    static std::string FoldName(std::string name);
    // Whether the text's first character after blanks begins a comment.
    static bool IsComment(const std::string& text);

    IniFile() = default;
    static IniFile FromText(std::string text);
    // A missing file gives an empty INI; an unreadable one throws FileError.
    static IniFile Load(const std::string& path);
    // Through a temporary file beside the target; throws FileError.
    void Save(const std::string& path) const;

    std::string Text() const;

    std::string ReadString(const std::string& section, const std::string& key, const std::string& def = {}) const;
    // Decimal, or hexadecimal after "$" or "0x"; anything else gives def.
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    // A value as ReadInteger reads it; nothing when it is not an integer.
    static std::optional<int> ParseInteger(const std::string& value);
    // An integer that is true when not 0.
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;
    // Decimal with '.'; anything else gives def.
    double ReadFloat(const std::string& section, const std::string& key, double def) const;

    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value); // "1" or "0"

    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    std::vector<std::string> Sections() const;
    std::vector<std::string> Keys(const std::string& section) const;
    void EraseSection(const std::string& section);
    void DeleteKey(const std::string& section, const std::string& key);

    enum class LineKind { Header, Key, Other };
    // Every line that is neither blank nor a comment, in order, with the section it stands in
    // ("" before the first header), its name (the section's for a header,
    // the key's for a key, the trimmed line for anything else) and the line.
    using LineVisit = std::function<void(LineKind, const std::string& section, const std::string& name,
                                         const std::string& line)>;
    void ForEachLine(const LineVisit& visit) const;

private:
    // Empty lines are counted on the line before them rather than held one
    // by one, so a text of line ends takes no memory per line.
    struct Line {
        std::string raw;   // without its line end
        size_t blanks = 0; // empty lines after it
    };
    // Where the first section of each name starts, made in one pass over the
    // lines when first asked for, and where the keys of each section asked
    // for stand; dropped by any change that moves lines.
    struct Index;
    const Index& Indexed() const;
    // Index of the first line of the first matching section's header, or npos.
    size_t FindSection(const std::string& section) const;
    // End (exclusive) of the section whose header is at line h.
    size_t SectionEnd(size_t h) const;
    // The line of the key in the first matching section, or npos.
    size_t FindKey(const std::string& section, const std::string& key) const;

    std::vector<Line> lines_;
    bool finalNewline_ = true;
    bool byteOrderMark_ = false;
    bool crLineEnds_ = false;
    mutable std::shared_ptr<const Index> index_;
};

} // namespace pc
