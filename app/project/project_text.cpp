#include "app/project/project_text.h"

#include <algorithm>
#include <cstdint>

namespace pc::project {

namespace {

bool ValidUtf8(const std::string& s)
{
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (n < 0 || (n > 0 && i + size_t(n) >= s.size()))
            return false;
        for (int k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(s[i + size_t(k)]) & 0xC0) != 0x80)
                return false;
        i += size_t(n) + 1;
    }
    return true;
}

// Windows-1252 0x80 to 0x9F; the rest of the upper half is Latin-1.
constexpr uint16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void PutUtf8(std::string& out, uint32_t u)
{
    if (u < 0x80) {
        out += char(u);
    } else if (u < 0x800) {
        out += char(0xC0 | u >> 6);
        out += char(0x80 | (u & 0x3F));
    } else {
        out += char(0xE0 | u >> 12);
        out += char(0x80 | (u >> 6 & 0x3F));
        out += char(0x80 | (u & 0x3F));
    }
}

} // namespace

std::string TextFromFile(const std::string& bytes)
{
    if (ValidUtf8(bytes))
        return bytes;
    std::string out;
    for (unsigned char c : bytes)
        PutUtf8(out, c >= 0x80 && c < 0xA0 ? kHigh[c - 0x80] : c);
    return out;
}

std::string EightBitBytes(const std::string& bytes)
{
    return ValidUtf8(bytes) ? std::string() : bytes;
}

const std::string& TextToFile(const std::string& text, const std::string& read)
{
    return !read.empty() && TextFromFile(read) == text ? read : text;
}

std::string TextLinesToFile(const std::vector<std::string>& lines, const std::string& read)
{
    if (!read.empty() && SplitLines(TextFromFile(read)) == lines)
        return read;
    std::string out;
    for (const auto& l : lines) {
        const size_t at = out.size();
        out += l;
        std::replace_if(out.begin() + std::ptrdiff_t(at), out.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
        out += "\r\n";
    }
    return out;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t nl = text.find_first_of("\r\n", start);
        if (nl == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, nl - start));
        start = nl + (text.compare(nl, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

} // namespace pc::project
