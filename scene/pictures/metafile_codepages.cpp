#include "scene/pictures/metafile_codepages.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <memory>

namespace pc::metafile {

namespace {

constexpr uint8_t kSymbolCharset = 2;

const char* CodePageOf(uint8_t charSet)
{
    switch (charSet) {
    case 238: return "CP1250"; // EASTEUROPE
    case 204: return "CP1251"; // RUSSIAN
    case 161: return "CP1253"; // GREEK
    case 162: return "CP1254"; // TURKISH
    case 177: return "CP1255"; // HEBREW
    case 178: return "CP1256"; // ARABIC
    case 186: return "CP1257"; // BALTIC
    case 163: return "CP1258"; // VIETNAMESE
    case 222: return "CP874";  // THAI
    case 128: return "CP932";  // SHIFTJIS
    case 134: return "CP936";  // GB2312
    case 129: return "CP949";  // HANGUL
    case 136: return "CP950";  // CHINESEBIG5
    case 255: return "CP437";  // OEM
    default: return "CP1252";  // ANSI, DEFAULT and the rest
    }
}

// The Symbol font's characters 0x20-0x7F and 0xA0-0xFF as Unicode; 0: none.
constexpr std::array<char16_t, 96> kSymbolLow = {
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B, 0x0028, 0x0029, 0x2217, 0x002B,
    0x002C, 0x2212, 0x002E, 0x002F, 0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F, 0x2245, 0x0391, 0x0392, 0x03A7,
    0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F,
    0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396, 0x005B,
    0x2234, 0x005D, 0x22A5, 0x005F, 0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3,
    0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF, 0x03C0, 0x03B8, 0x03C1, 0x03C3,
    0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6, 0x007B, 0x007C, 0x007D, 0x223C, 0};
constexpr std::array<char16_t, 96> kSymbolHigh = {
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663, 0x2666, 0x2665, 0x2660, 0x2194,
    0x2190, 0x2191, 0x2192, 0x2193, 0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022,
    0x00F7, 0x2260, 0x2261, 0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5, 0x2135, 0x2111, 0x211C, 0x2118,
    0x2297, 0x2295, 0x2205, 0x2229, 0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209,
    0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5, 0x00AC, 0x2227, 0x2228, 0x21D4,
    0x21D0, 0x21D1, 0x21D2, 0x21D3, 0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C,
    0x239D, 0x23A1, 0x23A2, 0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA, 0,      0x232A, 0x222B, 0x2320,
    0x23AE, 0x2321, 0x239E, 0x239F, 0x23A0, 0x23A4, 0x23A5, 0x23A6, 0x23AB, 0x23AC, 0x23AD, 0};

// The fonts of the symbol character set have no Unicode mapping of their
// own: their bytes are drawn as the Symbol font's characters, and a byte it
// leaves empty as the private-use character symbol fonts put it at.
char16_t SymbolChar(uint8_t b)
{
    char16_t c = 0;
    if (b >= 0x20 && b < 0x80)
        c = kSymbolLow[b - 0x20];
    else if (b >= 0xA0)
        c = kSymbolHigh[b - 0xA0];
    return c ? c : char16_t(0xF000 + b);
}

struct IconvCloser {
    void operator()(void* cd) const { iconv_close(iconv_t(cd)); }
};

// One character at a time, so each knows the bytes it came from.
class CharDecoder {
public:
    explicit CharDecoder(const char* codePage) : cd_(iconv_open("UTF-16LE", codePage))
    {
        if (cd_.get() == reinterpret_cast<void*>(-1))
            cd_.release();
    }

    // The character at the front of in appended to out; returns the bytes
    // it took (1 or 2), with undefined ones standing for themselves.
    size_t Next(std::span<const uint8_t> in, std::u16string& out)
    {
        for (size_t n = 1; cd_ && n <= std::min<size_t>(2, in.size()); ++n) {
            char buf[16];
            char* src = const_cast<char*>(reinterpret_cast<const char*>(in.data()));
            char* dst = buf;
            size_t srcLeft = n, dstLeft = sizeof buf;
            iconv(iconv_t(cd_.get()), nullptr, nullptr, nullptr, nullptr);
            const size_t r = iconv(iconv_t(cd_.get()), &src, &srcLeft, &dst, &dstLeft);
            if (r == size_t(-1) && errno == EINVAL)
                continue; // a lead byte: take its trail byte too
            if (r == size_t(-1))
                break;
            // A code page that combines marks holds the last character back.
            iconv(iconv_t(cd_.get()), nullptr, nullptr, &dst, &dstLeft);
            for (const char* c = buf; c + 1 < dst; c += 2)
                out.push_back(char16_t(uint8_t(c[0]) | uint8_t(c[1]) << 8));
            return n;
        }
        out.push_back(char16_t(in[0]));
        return 1;
    }

private:
    std::unique_ptr<void, IconvCloser> cd_;
};

} // namespace

DecodedText DecodeText(std::span<const uint8_t> bytes, std::span<const double> dx, uint8_t charSet)
{
    DecodedText d;
    const bool withDx = !dx.empty() && dx.size() >= bytes.size();
    if (charSet == kSymbolCharset) {
        for (size_t i = 0; i < bytes.size(); ++i) {
            d.text.push_back(SymbolChar(bytes[i]));
            if (withDx)
                d.dx.push_back(dx[i]);
        }
        return d;
    }
    CharDecoder decoder(CodePageOf(charSet));
    for (size_t i = 0; i < bytes.size();) {
        const size_t before = d.text.size();
        const size_t n = decoder.Next(bytes.subspan(i), d.text);
        if (withDx && d.text.size() > before) {
            double advance = 0;
            for (size_t k = i; k < i + n; ++k)
                advance += dx[k];
            // A character beyond the basic plane takes two units: the
            // advance goes with the first.
            d.dx.push_back(advance);
            d.dx.resize(d.text.size(), 0.0);
        }
        i += n;
    }
    return d;
}

} // namespace pc::metafile
