// Rows of text, font width, an embedded EMF and EMF+ comments. 8-bit text
// is checked against the same characters given as UTF-16 (EMR_EXTTEXTOUTW)
// at the same place: the expected pixels are that rendering's, and a font
// width against the face's metrics as Qt reports them.
#include <QFontMetricsF>
#include <functional>

#include "scene/pictures/metafile_player.h"
#include "tests/scene/pictures/metafile_builders.h"
#include "tests/scene/pictures/metafile_rule_table.h"

namespace pc::test {
namespace {

struct Le {
    std::vector<uint8_t> b;
    Le& n(uint64_t v, int bytes)
    {
        for (int k = 0; k < bytes; ++k)
            b.push_back(k < 8 ? uint8_t(v >> (8 * k)) : 0);
        return *this;
    }
    Le& raw(const std::vector<uint8_t>& v) { return b.insert(b.end(), v.begin(), v.end()), *this; }
};

// LOGFONT; EMF (wide) fonts go to slot 1 and have UTF-16 names.
std::vector<uint8_t> LogFont(int h, int w, int esc, uint8_t charSet, bool wide)
{
    Le f;
    if (wide)
        f.n(1, 4);
    for (int v : {h, w, esc, esc, 400})
        f.n(uint32_t(v), wide ? 4 : 2);
    f.n(0, 3).n(charSet, 1).n(0, 4);
    for (char c : std::string("Liberation Sans"))
        f.n(uint8_t(c), wide ? 2 : 1);
    return f.n(0, wide ? 64 - 30 : 2).b;
}

std::vector<uint8_t> EmfText(std::vector<uint8_t> chars, size_t count, const std::vector<int>& dx, int x, int y)
{
    chars.resize((chars.size() + 3) / 4 * 4);
    Le t;
    t.n(0, 16).n(1, 4).n(0, 8).n(uint32_t(x), 4).n(uint32_t(y), 4).n(count, 4).n(76, 4).n(0, 4);
    t.n(0, 8).n(uint32_t(-1), 4).n(uint32_t(-1), 4).n(dx.empty() ? 0 : 76 + chars.size(), 4).raw(chars);
    for (int d : dx)
        t.n(uint32_t(d), 4);
    return t.b;
}

std::vector<uint8_t> EmfTextFile(uint8_t charSet, uint32_t type, std::vector<uint8_t> chars, size_t count,
                                 const std::vector<int>& dx)
{
    return Emf(1270)
        .RecordBytes(EMR_EXTCREATEFONTINDIRECTW, LogFont(-30, 0, 0, charSet, true))
        .Record(EMR_SELECTOBJECT, {1})
        .RecordBytes(type, EmfText(std::move(chars), count, dx, 3, 5))
        .Bytes();
}

std::vector<Probe> EveryPixel(const std::vector<uint8_t>& file)
{
    const Bitmap b = PlayMetafile(file);
    std::vector<Probe> probes;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            probes.push_back({x, y, b.Pixel(x, y)});
    return probes;
}

std::vector<uint8_t> Utf16(const std::u16string& s)
{
    Le u;
    for (char16_t c : s)
        u.n(c, 2);
    return u.b;
}

// Opaque text in red: its cell is as wide as the advance of "H" stretched
// by the width asked for over the face's average character width.
double StretchedH(int pixelHeight, int pixelWidth)
{
    QFont f("Liberation Sans");
    f.setPixelSize(pixelHeight);
    const QFontMetricsF m(f);
    return m.horizontalAdvance(QString("H")) * pixelWidth / m.averageCharWidth();
}

// The EMF (a red square on white) in WMFC comments of so many bytes each,
// ahead of the WMF's own records that paint everything blue.
std::vector<uint8_t> WmfCarryingEmf(size_t pieceBytes, const std::function<void(std::vector<Le>&)>& tamper = {})
{
    std::vector<uint8_t> emf = Emf()
                                   .Record(EMR_CREATEBRUSHINDIRECT, {1, 0, int32_t(RGB(220, 20, 40)), 0})
                                   .Record(EMR_SELECTOBJECT, {1})
                                   .Record(EMR_RECTANGLE, {10, 10, 60, 60})
                                   .Bytes();
    emf[48] = uint8_t(emf.size()); // the header's count of bytes
    std::vector<Le> pieces;
    for (size_t at = 0; at < emf.size(); at += pieceBytes) {
        const size_t n = std::min(pieceBytes, emf.size() - at);
        Le p;
        p.n(0x000F, 2).n(34 + n, 2).n(0x43464D57, 4).n(1, 4).n(0x10000, 4).n(0, 2).n(0, 4);
        p.n((emf.size() + pieceBytes - 1) / pieceBytes, 4).n(n, 4).n(emf.size() - at - n, 4).n(emf.size(), 4);
        pieces.push_back(p.raw(std::vector<uint8_t>(emf.begin() + long(at), emf.begin() + long(at + n))));
    }
    if (tamper)
        tamper(pieces);
    Wmf wmf(96, 96, 96);
    for (const Le& p : pieces)
        wmf.RecordBytes(META_ESCAPE, p.b);
    return wmf.Record(META_CREATEBRUSHINDIRECT, {0, 0, 0xFF, 0})
        .Record(META_SELECTOBJECT, {0})
        .Record(META_RECTANGLE, {97, 97, -1, -1})
        .Bytes();
}

std::vector<GdiRuleCase> TextRows()
{
    struct CodePage {
        const char* name;
        uint8_t charSet;
        std::vector<uint8_t> bytes;
        std::u16string text;
    };
    const CodePage pages[] = {
        {"Ansi", 0, {0x80, 0x93}, u"€“"}, {"Default", 1, {0x97}, u"—"}, {"EastEurope", 238, {0xA5}, u"Ą"},
        {"Russian", 204, {0xD1}, u"С"},   {"Greek", 161, {0xE1}, u"α"},  {"Turkish", 162, {0xD0}, u"Ğ"},
        {"Hebrew", 177, {0xE0}, u"א"},    {"Arabic", 178, {0xC7}, u"ا"}, {"Baltic", 186, {0xC0}, u"Ą"},
        {"Vietnamese", 163, {0xC3}, u"Ă"}, {"Thai", 222, {0xA1}, u"ก"},  {"Oem", 255, {0xE4}, u"Σ"},
        {"Symbol", 2, {0x61, 0xA5}, u"α∞"},
        {"ShiftJis", 128, {0x82, 0xA0, 'A'}, u"あA"}, {"Gb2312", 134, {0xD6, 0xD0, 'A'}, u"中A"},
        {"Hangul", 129, {0xB0, 0xA1, 'A'}, u"가A"},    {"ChineseBig5", 136, {0xA4, 0xA4, 'A'}, u"中A"},
    };
    std::vector<GdiRuleCase> rows;
    for (const CodePage& c : pages) {
        // Double-byte characters advance by both their bytes' entries.
        std::vector<int> dxA, dxW;
        for (size_t i = 0; i < c.bytes.size(); ++i)
            dxA.push_back(int(7 + i));
        for (size_t i = 0, k = 0; i < c.text.size(); ++i, ++k) {
            dxW.push_back(dxA[k]);
            if (c.bytes.size() > c.text.size() && i == 0)
                dxW.back() += dxA[++k];
        }
        rows.push_back({std::string("CodePage") + c.name,
                        EmfTextFile(c.charSet, EMR_EXTTEXTOUTA, c.bytes, c.bytes.size(), dxA), 48, 48,
                        EveryPixel(EmfTextFile(c.charSet, EMR_EXTTEXTOUTW, Utf16(c.text), c.text.size(), dxW)),
                        "8-bit text is read in the code page of the font's character set, as the same UTF-16 text"});
    }
    // 25 logical units make 24 pixels: the WMF at 24 pixels as the EMF.
    rows.push_back({"CodePageInWmf",
                    Wmf(48, 48, 96)
                        .RecordBytes(META_CREATEFONTINDIRECT, LogFont(-29, 0, 0, 204, false))
                        .Record(META_SELECTOBJECT, {0})
                        .RecordBytes(META_EXTTEXTOUT, Le().n(0, 4).n(2, 2).n(0, 2).raw({0xD1, 0xE8}).n(24, 2).n(24, 2).b)
                        .Bytes(),
                    48, 48,
                    EveryPixel(Emf(1270)
                                   .RecordBytes(EMR_EXTCREATEFONTINDIRECTW, LogFont(-30, 0, 0, 0, true))
                                   .Record(EMR_SELECTOBJECT, {1})
                                   .RecordBytes(EMR_EXTTEXTOUTW, EmfText(Utf16(u"Си"), 2, {25, 25}, 0, 0))
                                   .Bytes()),
                    "WMF text is read in the code page of the font's character set"});
    const double emfCell = 10 + StretchedH(48, 38), wmfCell = 90 - StretchedH(40, 30);
    rows.push_back({"FontWidthStretchesEmfText",
                    Emf()
                        .RecordBytes(EMR_EXTCREATEFONTINDIRECTW, LogFont(-50, 40, 0, 0, true))
                        .Record(EMR_SELECTOBJECT, {1})
                        .Record(EMR_SETBKCOLOR, {int32_t(RGB(255, 0, 0))})
                        .RecordBytes(EMR_EXTTEXTOUTW, EmfText(Utf16(u"H"), 1, {}, 10, 10))
                        .Bytes(),
                    96, 96,
                    {{int(emfCell) - 2, 30, RGB(255, 0, 0)}, {int(emfCell) + 2, 30, clWhite}},
                    "a font's width makes its average character width (38 pixels for 40 units): the cell grows with it"});
    rows.push_back({"FontWidthStretchesEscapedWmfText",
                    Wmf(100, 100, 96)
                        .RecordBytes(META_CREATEFONTINDIRECT, LogFont(-40, 30, 900, 0, false))
                        .Record(META_SELECTOBJECT, {0})
                        .Record(META_SETBKCOLOR, {int(RGB(255, 0, 0)), 0})
                        .RecordBytes(META_EXTTEXTOUT, Le().n(90, 2).n(20, 2).n(1, 2).n(0, 2).raw({'H', 0}).b)
                        .Bytes(),
                    100, 100,
                    {{30, int(wmfCell) + 2, RGB(255, 0, 0)}, {30, int(wmfCell) - 2, clWhite}},
                    "a font's width stretches text along its escapement: upward text grows upward"});
    rows.push_back({"EmbeddedEmfPlaysInsteadOfItsRecords", WmfCarryingEmf(40), 96, 96,
                    {{30, 30, RGB(220, 20, 40)}, {80, 80, clWhite}},
                    "a WMF whose WMFC comments carry a whole EMF is played as that EMF"});
    const std::pair<const char*, std::vector<uint8_t>> fallbacks[] = {
        {"EmbeddedEmfWithAPieceMissingFallsBack", WmfCarryingEmf(40, [](auto& p) { p.erase(p.begin() + 1); })},
        {"EmbeddedEmfOutOfOrderFallsBack", WmfCarryingEmf(40, [](auto& p) { std::swap(p[2], p[3]); })},
        {"EmbeddedEmfOfAnotherSizeFallsBack", WmfCarryingEmf(400, [](auto& p) { p[0].b[34] ^= 4; })}};
    for (const auto& [name, file] : fallbacks)
        rows.push_back({name, file, 96, 96, {{30, 30, RGB(0, 0, 255)}, {80, 80, RGB(0, 0, 255)}},
                        "an embedded EMF whose pieces do not add up is not played: the WMF's own records are"});
    // An EMF+ rectangle fill in red before the GDI records' blue one.
    Le plus;
    plus.n(0x2B464D45, 4).n(0x400A, 2).n(0x8000, 2).n(36, 4).n(24, 4).n(0xFFFF0000, 4).n(1, 4);
    plus.n(0, 4).n(0, 4).n(0x42C80000, 4).n(0x42C80000, 4);
    rows.push_back({"EmfPlusCommentsArePassedOver",
                    Emf()
                        .RecordBytes(EMR_COMMENT, Le().n(plus.b.size(), 4).raw(plus.b).b)
                        .Record(EMR_CREATEBRUSHINDIRECT, {1, 0, int32_t(RGB(0, 0, 255)), 0})
                        .Record(EMR_SELECTOBJECT, {1})
                        .Record(EMR_RECTANGLE, {50, 50, 90, 90})
                        .Bytes(),
                    96, 96, {{20, 20, clWhite}, {60, 60, RGB(0, 0, 255)}},
                    "EMF+ records in comments are passed over; the GDI records draw the picture"});
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Text, GdiRule, testing::ValuesIn(TextRows()), GdiRuleName);

} // namespace
} // namespace pc::test
