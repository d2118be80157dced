#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <random>

#include "app/project/project_file.h"
#include "app/project/project_text.h"
#include "platform/file_io.h"
#include "platform/ini_file.h"
#include "tests/app/project/project_bytes.h"
#include "tests/support/test_data.h"

namespace {

using namespace pc::project;

std::vector<uint8_t> Pattern(size_t n, uint8_t seed)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = uint8_t(i * 7 + seed);
    return v;
}

uint32_t U32At(const std::vector<uint8_t>& v, size_t at)
{
    return uint32_t(v[at]) | uint32_t(v[at + 1]) << 8 | uint32_t(v[at + 2]) << 16 | uint32_t(v[at + 3]) << 24;
}

struct Fixture {
    pc::test::TempDir dir;
    WriteOptions options;
    Fixture()
    {
        std::filesystem::create_directories(dir.path() / "Texture");
        options.textureFolder = dir.file("Texture/");
        options.date = "07/12/2026 10:00:00";
    }
    void Texture(int id, const std::vector<uint8_t>& bytes) { pc::WriteFileAtomic(options.textureFolder + std::to_string(id), bytes); }
    std::vector<uint8_t> Save(const Scene& s, const std::string& name = "p.qv7kb")
    {
        WriteProject(dir.file(name), s, options);
        return pc::ReadFileBytes(dir.file(name));
    }
};

// A project of blobBytes bytes of blobs (a pattern) and the given INI text.
std::vector<uint8_t> FileOf(const std::string& ini, size_t blobBytes)
{
    std::vector<uint8_t> v = Pattern(blobBytes, 1);
    v.insert(v.end(), ini.begin(), ini.end());
    for (uint32_t x : {uint32_t(blobBytes), uint32_t(ini.size())})
        for (int i = 0; i < 4; ++i)
            v.push_back(uint8_t(x >> (8 * i)));
    return v;
}

pc::IniFile IniOf(const std::vector<uint8_t>& file)
{
    uint32_t b = U32At(file, file.size() - 8), n = U32At(file, file.size() - 4);
    return pc::IniFile::FromText(std::string(file.begin() + b, file.begin() + b + n));
}

TEST(ProjectWrite, WorkedLayout)
{
    Fixture fx;
    auto floor = Pattern(30054, 1), front = Pattern(49206, 2);
    fx.Texture(7, floor);
    fx.Texture(9, front);
    Scene s;
    s.floorTextureId = 7;
    Object box;
    box.faces[0].textureId = 9;
    s.objects[0] = box;

    auto file = fx.Save(s);
    EXPECT_TRUE(std::equal(floor.begin(), floor.end(), file.begin()));
    EXPECT_TRUE(std::equal(front.begin(), front.end(), file.begin() + 30054));
    EXPECT_EQ(U32At(file, file.size() - 8), 79260u);
    EXPECT_EQ(U32At(file, file.size() - 4), file.size() - 79260 - 8);
    auto ini = IniOf(file);
    EXPECT_EQ(ini.ReadInteger("Floor", "FSpstart", -1), 0);
    EXPECT_EQ(ini.ReadInteger("Floor", "FSpsize", -1), 30054);
    EXPECT_EQ(ini.ReadInteger("0", "Ipstart0", -1), 30054);
    EXPECT_EQ(ini.ReadInteger("0", "Ipsize0", -1), 49206);
    EXPECT_FALSE(ini.ValueExists("0", "Ipstart1")); // solid colour: no blob keys
    EXPECT_FALSE(ini.ValueExists("Floor", "FBSpstart"));
    // Pictures are numbered in file order, whatever textures they came from.
    EXPECT_EQ(ini.ReadInteger("Floor", "FSt", -1), 1);
    EXPECT_EQ(ini.ReadInteger("0", "It0", -1), 2);
}

// Materials that share one texture share its bytes in the file.
TEST(ProjectWrite, MaterialsSharingATextureShareItsBytes)
{
    Fixture fx;
    fx.Texture(8, Pattern(500, 3));
    fx.Texture(200, Pattern(90, 9));
    Scene s;
    Object model;
    model.kind = kKindModel;
    model.modelPath = fx.options.textureFolder + "200";
    model.materials.resize(3);
    model.materials[0].textureId = 8;
    model.materials[2].textureId = 8;
    s.objects[1] = model;
    auto file = fx.Save(s);
    EXPECT_EQ(U32At(file, file.size() - 8), 590u);
    auto ini = IniOf(file);
    for (const char* m : {"0", "2"}) {
        EXPECT_EQ(ini.ReadInteger("1", std::string("File3dsMatTextStart") + m, -1), 90) << m;
        EXPECT_EQ(ini.ReadInteger("1", std::string("File3dsMatTextSize") + m, -1), 500) << m;
    }
    EXPECT_FALSE(ini.ValueExists("1", "File3dsMatTextStart1"));
}

TEST(ProjectWrite, EmptySceneHas37SectionsInOrder)
{
    Fixture fx;
    auto file = fx.Save(Scene{});
    EXPECT_EQ(U32At(file, file.size() - 8), 0u);
    auto ini = IniOf(file);
    auto sections = ini.Sections();
    ASSERT_EQ(sections.size(), 37u);
    EXPECT_EQ(std::vector<std::string>(sections.begin(), sections.begin() + 5),
              (std::vector<std::string>{"Copyright", "Export", "Camera", "Light", "Floor"}));
    for (int slot = 0; slot < 32; ++slot) {
        EXPECT_EQ(sections[size_t(5 + slot)], std::to_string(slot));
        EXPECT_EQ(ini.Keys(std::to_string(slot)), std::vector<std::string>{"Exist"});
    }
    EXPECT_EQ(ini.ReadString("Copyright", "Version"), "3.100716");
    EXPECT_EQ(ini.ReadString("Copyright", "Author"), "Prismcase");
}

TEST(ProjectWrite, KeyOrderAndValueForms)
{
    Fixture fx;
    fx.Texture(3, Pattern(10, 3));
    Scene s;
    Object model;
    model.kind = kKindModel;
    model.name = "two\r\nlines";
    model.faces[1].textureId = 3; // a model never writes face blobs
    fx.Texture(100, Pattern(50, 4));
    model.modelPath = fx.options.textureFolder + "100";
    Material white;
    white.color = -1;
    white.uTile = 0.1f;
    model.materials = {white, Material{}};
    model.materials[1].textureId = 3;
    model.objectVisibleSize = {1.0f, 0.5f};
    s.objects[2] = model;
    Object text;
    text.kind = kKindText;
    s.objects[0] = text; // empty memo: a zero-length blob

    auto ini = IniOf(fx.Save(s));
    auto keys = ini.Keys("2");
    std::vector<std::string> head(keys.begin(), keys.begin() + 8);
    EXPECT_EQ(head, (std::vector<std::string>{"Exist", "OType", "OName", "Visible", "It0", "Ic0", "It1", "Ic1"}));
    EXPECT_EQ(keys[8], "Tb1_0");
    EXPECT_EQ(ini.ReadString("2", "OName"), "two  lines");
    EXPECT_FALSE(ini.ValueExists("2", "Ipstart1"));
    EXPECT_EQ(ini.ReadString("2", "File3dsMatRU_0"), "0.100000001490116");
    EXPECT_EQ(ini.ReadString("2", "File3dsMatRV_0"), "1");
    EXPECT_EQ(ini.ReadString("2", "File3dsMatColor_0"), "-1");
    EXPECT_EQ(ini.ReadString("2", "File3dsMatColor_1"), "-7829368");
    EXPECT_FALSE(ini.ValueExists("2", "File3dsMatTextStart0"));
    EXPECT_EQ(ini.ReadInteger("2", "File3dsMatTextSize1", 0), 10);
    EXPECT_EQ(ini.ReadString("2", "File3dsObjZS_1"), "0.5");
    EXPECT_EQ(ini.ReadInteger("1", "Exist", -1), 0);
    EXPECT_EQ(ini.ReadInteger("0", "Text3dSize", -1), 0);
    EXPECT_EQ(ini.ReadString("0", "Text3dFontName"), "Arial");
}

TEST(ProjectWrite, MissingWorkFileKeepsTheOldProject)
{
    Fixture fx;
    auto old = fx.Save(Scene{});
    Scene s;
    s.floorTextureId = 42; // no such work file
    EXPECT_THROW(fx.Save(s), pc::FileError);
    EXPECT_EQ(pc::ReadFileBytes(fx.dir.file("p.qv7kb")), old);
}

// A disk that fills in the middle of a picture or at the settings text.
TEST(ProjectWrite, FullDiskNamesTheFileAndTheReasonAndKeepsTheOldProject)
{
    for (long long room : {50000LL, 100100LL}) {
        Fixture fx;
        auto old = fx.Save(Scene{});
        fx.Texture(3, Pattern(100000, 3));
        Scene s;
        s.floorTextureId = 3;
        std::string error;
        {
            pc::test::FileSizeLimit limit(room);
            try {
                WriteProject(fx.dir.file("p.qv7kb"), s, fx.options);
            } catch (const pc::FileError& e) {
                error = e.what();
            }
        }
        EXPECT_NE(error.find("Cannot write the project file \"" + fx.dir.file("p.qv7kb") + "\""), std::string::npos)
            << error;
        EXPECT_NE(error.find("File too large"), std::string::npos) << room << ": " << error;
        EXPECT_EQ(pc::ReadFileBytes(fx.dir.file("p.qv7kb")), old);
    }
}

Scene RichScene(Fixture& fx)
{
    fx.Texture(5, Pattern(300, 5));
    fx.Texture(6, Pattern(200, 6));
    fx.Texture(8, Pattern(64, 8));
    fx.Texture(200, Pattern(90, 9));
    Scene s;
    s.exportW = 640;
    s.exportH = 480;
    s.cameraX = 12;
    s.lightZ = -30;
    s.shadowVisible = true;
    s.floorTextureId = 5;
    s.backgroundColour = pc::RGB(1, 2, 3);
    Object box;
    box.name = "Box one";
    box.faces[2].textureId = 6;
    box.faces[3].colour = pc::RGB(200, 10, 10);
    for (int r = 1; r <= 5; ++r)
        for (int c = 0; c < 4; ++c)
            box.trackbars[size_t(r)][size_t(c)] = r * 10 + c;
    s.objects[0] = box;
    Object model;
    model.kind = kKindModel;
    model.modelPath = fx.options.textureFolder + "200";
    model.materials.resize(2);
    model.materials[0].textureId = 8;
    model.materials[1].color = int32_t(0x80FF0000u);
    model.objectVisibleSize = {0.75f};
    s.objects[3] = model;
    Object text;
    text.kind = kKindText;
    text.fontName = "Liberation Serif";
    text.textLines = {"Hello", "wörld"};
    s.objects[4] = text;
    return s;
}

// Puts the blobs of a read file back into work files under the ids the scene names.
void RestoreWorkFiles(Fixture& fx, const std::vector<uint8_t>& file, Scene& s)
{
    auto put = [&](int id, const Blob& b) {
        auto bytes = BlobBytes(file, b);
        fx.Texture(id, std::vector<uint8_t>(bytes.begin(), bytes.end()));
    };
    if (s.floorTextureId)
        put(s.floorTextureId, s.floorPicture);
    if (s.backgroundTextureId)
        put(s.backgroundTextureId, s.backgroundPicture);
    int next = 1000;
    for (auto& o : s.objects) {
        if (!o)
            continue;
        for (auto& f : o->faces)
            if (f.textureId && o->kind != kKindModel)
                put(f.textureId, f.picture);
        if (o->kind == kKindModel) {
            put(next, o->model);
            o->modelPath = fx.options.textureFolder + std::to_string(next++);
            for (auto& m : o->materials)
                if (m.picture.Present()) {
                    m.textureId = next;
                    put(next++, m.picture);
                }
        }
    }
}

TEST(ProjectRoundTrip, SaveLoadSaveGivesTheSameBytes)
{
    Fixture fx;
    auto first = fx.Save(RichScene(fx), "a.qv7kb");
    auto read = ReadProject(first);
    EXPECT_TRUE(read.warnings.empty());
    const Scene& s = read.scene;
    EXPECT_EQ(s.exportW, 640);
    EXPECT_EQ(s.lightZ, -30);
    EXPECT_TRUE(s.shadowVisible);
    EXPECT_EQ(s.backgroundColour, pc::RGB(1, 2, 3));
    ASSERT_TRUE(s.objects[0] && s.objects[3] && s.objects[4]);
    EXPECT_EQ(s.objects[0]->name, "Box one");
    EXPECT_EQ(s.objects[0]->trackbars[5][3], 53);
    EXPECT_EQ(s.objects[3]->materials[1].color, int32_t(0x80FF0000u));
    EXPECT_FLOAT_EQ(s.objects[3]->objectVisibleSize.at(0), 0.75f);
    EXPECT_EQ(s.objects[4]->textLines, (std::vector<std::string>{"Hello", "wörld"}));
    EXPECT_EQ(s.objects[4]->fontName, "Liberation Serif");

    Scene again = read.scene;
    RestoreWorkFiles(fx, first, again);
    auto second = fx.Save(again, "b.qv7kb");
    EXPECT_EQ(second, first);
}

TEST(ProjectRead, RefusesDamagedFiles)
{
    Fixture fx;
    auto good = fx.Save(RichScene(fx));
    auto withTrailer = [&](int32_t b, int32_t n) {
        auto v = good;
        for (int i = 0; i < 4; ++i) {
            v[v.size() - 8 + size_t(i)] = uint8_t(uint32_t(b) >> (8 * i));
            v[v.size() - 4 + size_t(i)] = uint8_t(uint32_t(n) >> (8 * i));
        }
        return v;
    };
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string t(good.begin(), good.end());
        auto at = t.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        t.replace(at, from.size(), to);
        std::vector<uint8_t> v(t.begin(), t.end());
        // keep the trailer consistent with the changed INI length
        int32_t b = int32_t(U32At(good, good.size() - 8));
        int32_t n = int32_t(v.size() - 8) - b;
        for (int i = 0; i < 4; ++i)
            v[v.size() - 4 + size_t(i)] = uint8_t(uint32_t(n) >> (8 * i));
        return v;
    };
    struct Case { const char* name; std::vector<uint8_t> data; };
    uint32_t b = U32At(good, good.size() - 8);
    std::vector<Case> cases = {
        {"empty", {}},
        {"seven bytes", {1, 2, 3, 4, 5, 6, 7}},
        {"negative blob size", withTrailer(-1, 10)},
        {"zero ini", withTrailer(int32_t(b), 0)},
        {"ini past end", withTrailer(int32_t(b), INT32_MAX)},
        {"sizes do not add up", withTrailer(int32_t(b) - 1, int32_t(good.size() - 8 - b))},
        {"no known section", [] { std::string t = "[Other]\r\nA=1\r\n"; std::vector<uint8_t> v(t.begin(), t.end());
                                  v.insert(v.end(), {0, 0, 0, 0, uint8_t(t.size()), 0, 0, 0}); return v; }()},
        {"face blob past the data", replaced("Ipsize2=200", "Ipsize2=999999")},
        {"negative blob start", replaced("FSpstart=0", "FSpstart=-5")},
        {"huge material count", replaced("File3dsMatCount=2", "File3dsMatCount=2000000000")},
    };
    for (const auto& c : cases)
        EXPECT_THROW(ReadProject(c.data), ProjectError) << c.name;

    // Every truncation is refused, never crashes.
    for (size_t n = 0; n < good.size(); n += 13)
        EXPECT_THROW(ReadProject(std::span<const uint8_t>(good.data(), n)), ProjectError) << n;

    // Random trailers: refused or accepted, never out of range.
    std::mt19937 rng(7);
    for (int i = 0; i < 2000; ++i) {
        auto v = withTrailer(int32_t(rng()), int32_t(rng() % 4096));
        try {
            ReadProject(v);
        } catch (const ProjectError&) {
        }
    }
}

// A source of any size that counts what the reader asks for; it holds
// zeros and the given last 8 bytes.
class CountingSource : public ProjectSource {
public:
    CountingSource(int64_t size, int32_t blobBytes, int32_t iniBytes) : size_(size)
    {
        for (int i = 0; i < 4; ++i) {
            tail_[size_t(i)] = uint8_t(uint32_t(blobBytes) >> (8 * i));
            tail_[size_t(4 + i)] = uint8_t(uint32_t(iniBytes) >> (8 * i));
        }
    }
    int64_t Size() const override { return size_; }
    std::vector<uint8_t> Read(int64_t offset, int64_t n) const override
    {
        asked += n;
        std::vector<uint8_t> out(static_cast<size_t>(n));
        for (int64_t i = 0; i < n; ++i)
            if (offset + i >= size_ - 8)
                out[size_t(i)] = tail_[size_t(offset + i - (size_ - 8))];
        return out;
    }
    mutable int64_t asked = 0;

private:
    int64_t size_;
    std::array<uint8_t, 8> tail_{};
};

// Bytes no key refers to (a key lost to damage) are found, named once, and
// written back after the other blobs.
TEST(ProjectRead, BytesNoKeyRefersToAreKeptAndWrittenBack)
{
    Scene s;
    s.floorTextureId = 1;
    s.floorPicture = {0, 10};
    Object box;
    box.faces[1].textureId = 1;
    box.faces[1].picture = {17, 5};
    box.faces[2].picture = {22, 2}; // a solid colour: its stray keys carry nothing
    s.objects[2] = box;
    const auto file = pc::test::ProjectBytes(
        {Pattern(10, 1), Pattern(7, 2), Pattern(5, 3), Pattern(2, 4), Pattern(3, 5)}, s);
    const ReadResult read = ReadProject(file);
    ASSERT_EQ(read.scene.unreferenced.size(), 2u);
    EXPECT_EQ(read.scene.unreferenced[0].start, 10);
    EXPECT_EQ(read.scene.unreferenced[0].size, 7);
    EXPECT_EQ(read.scene.unreferenced[1].start, 22);
    EXPECT_EQ(read.scene.unreferenced[1].size, 5);
    EXPECT_EQ(read.warnings, std::vector<std::string>{"The project is damaged: 12 bytes of it belong to no setting. "
                                                      "They are kept and saved with the project."});

    Fixture fx;
    fx.Texture(1, Pattern(10, 1));
    fx.Texture(2, Pattern(5, 3));
    Scene again = read.scene;
    again.objects[2]->faces[1].textureId = 2;
    for (const Blob& b : read.scene.unreferenced) {
        auto bytes = BlobBytes(std::span<const uint8_t>(file), b);
        again.unreferencedKept.push_back(std::make_shared<const std::vector<uint8_t>>(bytes.begin(), bytes.end()));
    }
    const auto saved = fx.Save(again);
    std::vector<uint8_t> tail = Pattern(7, 2);
    for (uint8_t b : std::vector<uint8_t>{Pattern(2, 4)[0], Pattern(2, 4)[1], Pattern(3, 5)[0], Pattern(3, 5)[1], Pattern(3, 5)[2]})
        tail.push_back(b);
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), saved.begin() + 15));
    EXPECT_EQ(ReadProject(saved).scene.unreferenced.size(), 1u);
}

TEST(ProjectRead, UnreferencedRunsOfOddLayouts)
{
    struct Case { const char* name; std::string ini; std::vector<std::pair<int64_t, int64_t>> runs; };
    const Case cases[] = {
        {"picture keys of a solid floor and background carry nothing",
         "[Floor]\r\nFSt=0\r\nFSpstart=0\r\nFSpsize=10\r\nFBSt=0\r\nFBSpstart=10\r\nFBSpsize=6\r\n", {{0, 16}}},
        {"a blob inside another",
         "[Floor]\r\nFSt=1\r\nFSpstart=0\r\nFSpsize=10\r\n[0]\r\nExist=1\r\nIt0=1\r\nIpstart0=2\r\nIpsize0=3\r\n",
         {{10, 6}}},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<int64_t, int64_t>> runs;
        for (const Blob& b : ReadProject(FileOf(c.ini, 16)).scene.unreferenced)
            runs.emplace_back(b.start, b.size);
        EXPECT_EQ(runs, c.runs) << c.name;
    }
}

// Missing keys are silent; a value, key or section that is there but
// cannot be used is named in the one message for a damaged project.
TEST(ProjectRead, DamagedSettingsAreNamed)
{
    const std::string damaged = "The project is damaged: these settings cannot be read: ";
    const std::string lost = "5 bytes of it belong to no setting. They are kept and saved with the project.";
    struct Case { std::string ini; size_t blobBytes; std::string warning; };
    const Case cases[] = {
        {"[Camera]\r\nX=240\r\n", 0, ""},
        {"[Camera]\r\nX=2a0\r\nY=5\r\n", 0, damaged + "[Camera] X."},
        {"[Camera]\r\nX\x01=240\r\n", 0, damaged + "[Camera] X\\x01."},
        {"[Cam\xe5ra]\r\nX=240\r\n", 0, damaged + "[Cam\\xE5ra]."},
        {"[Camera]\r\nX=240\r\n[camera]\r\nX=7\r\nX=8\r\n", 0, damaged + "[camera]."},
        {"[Camera]\rX=240\r\nY=5\r\nY=6\r\nZ\r\n", 0, damaged + "[Camera], [Camera] Y, [Camera] Z."},
        {"[Camera]\r\nX=240\rY=5\r\n", 0, damaged + "[Camera] X."},
        {"[0]\r\nExist=1\r\nOName=abc\rVisible=0\r\n", 0, damaged + "[0] OName."},
        {"[Camera]X=240\r\n", 0, damaged + "[Camera]."},
        {"[Floor]\r\nFSt=1\r\nFSpsize=9223372036854775807\r\n", 0, damaged + "[Floor] FSpsize."},
        {"[Floor]\r\nFSt=0\r\nFSpstart=0\r\nFSpsize=5\r\n", 5, damaged + "[Floor] FSpstart, [Floor] FSpsize. " + lost},
        {"[Camera]\r\na=1\r\nb=1\r\nc=1\r\nd=1\r\ne=1\r\nf=1\r\ng=1\r\nh=1\r\ni=1\r\nj=1\r\nk=1\r\nl=1\r\n", 0,
         damaged + "[Camera] a, [Camera] b, [Camera] c, [Camera] d, [Camera] e, [Camera] f, [Camera] g, [Camera] h, "
                   "[Camera] i, [Camera] j, and 2 more."},
    };
    for (const Case& c : cases) {
        const ReadResult r = ReadProject(FileOf("[Export]\r\n" + c.ini, c.blobBytes));
        EXPECT_EQ(r.warnings, c.warning.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.warning})
            << c.ini;
    }
}

// Projects as hand editors and other programs leave them load without a
// word, every value read.
TEST(ProjectRead, ValidVariantsLoadWithoutAMessage)
{
    const std::vector<std::string> lines = {
        "[Copyright]", "Version=3.100716", "Date=d", "Author=a", "[Export]", "W=640", "H=480",
        "[Camera]", "X=240", "TA=12", "[Light]", "SV=1", "[Floor]", "FSc=255",
        "[5]", "Exist=1", "OType=1", "OName=Box", "Ic3=65280", "Tb2_1=77"};
    auto text = [](const std::vector<std::string>& ls, const std::string& eol) {
        std::string t;
        for (const auto& l : ls)
            t += l + eol;
        return t;
    };
    // Section and key names through f, values as they are.
    auto names = [&](char (*f)(size_t, char)) {
        auto ls = lines;
        for (auto& l : ls)
            for (size_t i = 0; i < l.size() && l[i] != '='; ++i)
                l[i] = f(i, l[i]);
        return text(ls, "\r\n");
    };
    const std::string plain = text(lines, "\r\n");
    std::string slots = plain;
    for (int n = 0; n < 32; ++n)
        if (n != 5)
            slots += "[" + std::to_string(n) + "]\r\nExist=1\r\nOType=2\r\n";
    auto replaced = [](std::string t, const std::string& from, const std::string& to) {
        for (size_t at = 0; (at = t.find(from, at)) != std::string::npos; at += to.size())
            t.replace(at, from.size(), to);
        return t;
    };
    struct Case { const char* name; std::string ini; int objects; };
    const Case cases[] = {
        {"as written", plain, 1},
        {"all 32 slots", slots, 32},
        {"blank lines between sections", replaced(plain, "\r\n[", "\r\n\r\n \r\n["), 1},
        {"LF", text(lines, "\n"), 1},
        {"CR", text(lines, "\r"), 1},
        {"upper case", names([](size_t, char c) { return char(std::toupper(c)); }), 1},
        {"lower case", names([](size_t, char c) { return char(std::tolower(c)); }), 1},
        {"mixed case", names([](size_t i, char c) { return char(i % 2 ? std::toupper(c) : std::tolower(c)); }), 1},
        {"shuffled", "[5]\r\nTb2_1=77\r\nIc3=65280\r\nOName=Box\r\nOType=1\r\nExist=1\r\n[Floor]\r\nFSc=255\r\n"
                     "[Camera]\r\nTA=12\r\nX=240\r\n[Light]\r\nSV=1\r\n[Export]\r\nH=480\r\nW=640\r\n"
                     "[Copyright]\r\nAuthor=a\r\nDate=d\r\nVersion=3.100716\r\n", 1},
        {"spaces around =", replaced(plain, "=", " \t= "), 1},
        {"comments", "; made by hand\r\n# and kept\r\n" + replaced(replaced(plain, "[Camera]", "[Camera] ; the view\r\n;X=7"),
                                                                    "[5]\r\n", "[5]\r\n  # a box\r\n#Exist=0\r\n"), 1},
        {"byte-order mark", "\xEF\xBB\xBF" + plain, 1},
        {"byte-order mark and CR", "\xEF\xBB\xBF" + text(lines, "\r"), 1},
    };
    for (const Case& c : cases) {
        const ReadResult r = ReadProject(FileOf(c.ini, 0));
        EXPECT_EQ(r.warnings, std::vector<std::string>{}) << c.name;
        const Scene& s = r.scene;
        EXPECT_FLOAT_EQ(float(s.version), 3.100716f) << c.name;
        EXPECT_EQ(s.author, "a") << c.name;
        EXPECT_EQ(s.exportW, 640) << c.name;
        EXPECT_EQ(s.exportH, 480) << c.name;
        EXPECT_EQ(s.cameraX, 240) << c.name;
        EXPECT_EQ(s.lookAtA, 12) << c.name;
        EXPECT_TRUE(s.shadowVisible) << c.name;
        EXPECT_EQ(s.floorColour, pc::RGB(255, 0, 0)) << c.name;
        EXPECT_EQ(std::count_if(s.objects.begin(), s.objects.end(), [](const auto& o) { return o.has_value(); }),
                  c.objects) << c.name;
        if (!s.objects[5]) {
            ADD_FAILURE() << c.name << ": no object [5]";
            continue;
        }
        EXPECT_EQ(s.objects[5]->kind, 1) << c.name;
        EXPECT_EQ(s.objects[5]->name, "Box") << c.name;
        EXPECT_EQ(s.objects[5]->faces[3].colour, pc::RGB(0, 255, 0)) << c.name;
        EXPECT_EQ(s.objects[5]->trackbars[2][1], 77) << c.name;
    }
}

// The materials of all models are charged together, before any is made:
// 16 bytes of settings text each, and kMaxSceneMaterials in all.
TEST(ProjectRead, MaterialsAreBoundedPerScene)
{
    struct Case { std::vector<int> counts; size_t iniBytes; bool fits; };
    const Case cases[] = {
        {{100}, 1600, true}, {{101}, 1600, false}, {{60, 40}, 1600, true}, {{60, 41}, 1600, false},
        {{32767}, 16 * 32768, true}, {{32767, 1}, 16 * 32768, false},
    };
    for (const Case& c : cases) {
        std::string ini;
        for (size_t s = 0; s < c.counts.size(); ++s)
            ini += "[" + std::to_string(s) + "]\r\nExist=1\r\nOType=7\r\nFile3dsMatCount=" + std::to_string(c.counts[s]) + "\r\n";
        ini.resize(c.iniBytes, '\n');
        const auto file = FileOf(ini, 0);
        if (c.fits)
            EXPECT_EQ(ReadProject(file).scene.objects[c.counts.size() - 1]->materials.size(), size_t(c.counts.back()));
        else
            EXPECT_THROW(ReadProject(file), ProjectError) << c.counts.size() << " " << c.counts.back();
    }
}

// A 3D text holds at most 1 MB as the writer writes it, every line ending in
// CR LF: no file the reader refuses is ever written, and every text the
// reader takes is written again.
TEST(ProjectRead, TextOfA3dTextObjectIsCapped)
{
    auto repeated = [](const std::string& piece, int64_t bytes) {
        std::string t;
        while (int64_t(t.size()) < bytes)
            t += piece;
        return t;
    };
    // refused: what the message says after "[4] The text of this 3D text object "; null when it loads.
    struct Case { const char* name; std::string text; const char* refused; };
    const char* saved = "would be larger than 1 MB saved with CR LF line ends.";
    const Case cases[] = {
        {"1 MB less 2, saved with CR LF", std::string(size_t(kMaxTextBytes) - 2, 'a'), nullptr},
        {"1 MB less 1, saved with CR LF", std::string(size_t(kMaxTextBytes) - 1, 'a'), saved},
        {"1 MB of CR LF lines", repeated("ab\r\n", kMaxTextBytes), nullptr},
        {"900 KB of LF lines", repeated("x\n", 900 << 10), saved},
        {"900 KB of LF lines, 7 characters each", repeated("abcdefg\n", 900 << 10), nullptr},
        {"1 MB of 8-bit text, saved as read", std::string(size_t(kMaxTextBytes), '\xE9'), nullptr},
        {"past 1 MB", std::string(size_t(kMaxTextBytes) + 1, 'a'), "is larger than 1 MB."},
    };
    Fixture fx;
    for (const Case& c : cases) {
        Scene s;
        Object text;
        text.kind = kKindText;
        text.text = {0, int64_t(c.text.size())};
        s.objects[4] = text;
        const auto file = pc::test::ProjectBytes({std::vector<uint8_t>(c.text.begin(), c.text.end())}, s);
        if (c.refused) {
            try {
                ReadProject(file);
                ADD_FAILURE() << c.name << " read";
            } catch (const ProjectError& e) {
                EXPECT_EQ(e.what(), "[4] The text of this 3D text object " + std::string(c.refused)) << c.name;
            }
            continue;
        }
        const Scene read = ReadProject(file).scene;
        const auto saved = fx.Save(read);
        EXPECT_EQ(ReadProject(saved).scene.objects[4]->textLines, read.objects[4]->textLines) << c.name;
    }
    auto old = fx.Save(Scene{});
    for (size_t line : {size_t(kMaxTextBytes) - 2, size_t(kMaxTextBytes) - 1}) {
        Scene s;
        Object text;
        text.kind = kKindText;
        text.name = "Long";
        text.textLines = {std::string(line, 'b')}; // and CR LF
        s.objects[0] = text;
        if (line + 2 == size_t(kMaxTextBytes)) {
            EXPECT_EQ(ReadProject(fx.Save(s, "fits.qv7kb")).scene.objects[0]->textLines.at(0).size(), line);
            continue;
        }
        EXPECT_THROW(fx.Save(s), ProjectError);
        EXPECT_EQ(pc::ReadFileBytes(fx.dir.file("p.qv7kb")), old);
    }
}

TEST(ProjectRead, LargeFileThatIsNotAProjectIsJudgedByItsLast8Bytes)
{
    const int64_t size = int64_t(1536) << 20;
    struct Case { const char* name; int32_t blobBytes, iniBytes; };
    for (const Case& c : {Case{"zeros", 0, 0}, Case{"sizes that do not add up", 1000, 1000},
                          Case{"all of it settings text", 0, int32_t(size - 8)},
                          Case{"settings text past the limit", int32_t(size - 8 - kMaxIniBytes - 1),
                               int32_t(kMaxIniBytes + 1)}}) {
        CountingSource source(size, c.blobBytes, c.iniBytes);
        EXPECT_THROW(ReadProject(source), ProjectError) << c.name;
        EXPECT_EQ(source.asked, 8) << c.name;
    }
    // At the limit the settings text is read, and nothing else.
    CountingSource atLimit(size, int32_t(size - 8 - kMaxIniBytes), int32_t(kMaxIniBytes));
    EXPECT_THROW(ReadProject(atLimit), ProjectError); // zeros hold no section
    EXPECT_EQ(atLimit.asked, 8 + kMaxIniBytes);
}

TEST(ProjectRead, UnknownKindIsSkippedWithAWarning)
{
    Fixture fx;
    Scene s;
    s.objects[1] = Object{};
    s.objects[1]->kind = 12;
    s.objects[5] = Object{};
    auto r = ReadProject(fx.Save(s));
    EXPECT_FALSE(r.scene.objects[1]);
    EXPECT_TRUE(r.scene.objects[5]);
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_NE(r.warnings[0].find("[1]"), std::string::npos);
}

// Texts that are not UTF-8 are Windows-1252, read by the code page's chart.
TEST(ProjectText, EightBitTextsReadAsWindows1252)
{
    struct Case { std::string bytes, text; };
    const Case cases[] = {
        {"\x80" "5", "\xE2\x82\xAC" "5"}, // the euro sign, the table's first byte and the text's only high one
        {"\x9F", "\xC5\xB8"},            // Y with diaeresis, the table's last
        {"\x81", "\xC2\x81"},            // undefined: kept as the C1 control
        {"\xA0", "\xC2\xA0"},            // past the table: Latin-1
        {"\x7F", "\x7F"},
        {"\xE9t\xE9", "\xC3\xA9t\xC3\xA9"},
        {"caf\xC3\xA9", "caf\xC3\xA9"}, // UTF-8 already
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextFromFile(c.bytes), c.text) << c.bytes;
}

// Each line of a 3D text goes on a line of its own, ended by CR LF: a CR or
// LF inside a line would split it when read back.
TEST(ProjectText, LinesAreWrittenWholeEachEndedByCrLf)
{
    EXPECT_EQ(TextLinesToFile({"one\rtwo", "three\nfour", "", "five"}, ""),
              "one two\r\nthree four\r\n\r\nfive\r\n");
}

TEST(ProjectRead, OldEightBitTextAndLocaleFloats)
{
    const std::string text = "Prism\x99 \x93Pro\x94\r\n\x80" "9\x81\x8d\x8f\x90\x9d"; // Windows-1252
    std::string ini = "[Copyright]\r\nVersion=3,5\r\n[0]\r\nExist=1\r\nOType=7\r\nOName=caf\xe9\r\nFile3dsMatCount=1\r\n"
                      "File3dsMatRU_0=2,5\r\nFile3dsMatRV_0=abc\r\n[1]\r\nExist=1\r\nOType=8\r\nOName=Caf\xe9\x96" "Bar\r\n"
                      "Text3dFontName=Ar\x92ial\r\nText3dStart=0\r\nText3dSize=" + std::to_string(text.size()) + "\r\n";
    std::vector<uint8_t> v(text.begin(), text.end());
    v.insert(v.end(), ini.begin(), ini.end());
    v.insert(v.end(), {uint8_t(text.size()), 0, 0, 0, uint8_t(ini.size()), uint8_t(ini.size() >> 8), 0, 0});
    auto r = ReadProject(v);
    ASSERT_TRUE(r.scene.objects[0] && r.scene.objects[1]);
    EXPECT_EQ(r.scene.objects[0]->name, "café");
    EXPECT_EQ(r.scene.objects[1]->name, "Café–Bar");
    EXPECT_EQ(r.scene.objects[1]->fontName, "Ar’ial");
    EXPECT_EQ(r.scene.objects[1]->textLines,
              (std::vector<std::string>{"Prism™ “Pro”", "€9\xc2\x81\xc2\x8d\xc2\x8f\xc2\x90\xc2\x9d"}));
    EXPECT_FLOAT_EQ(r.scene.objects[0]->materials[0].uTile, 2.5f);
    EXPECT_FLOAT_EQ(r.scene.objects[0]->materials[0].vTile, 1.0f);
    EXPECT_DOUBLE_EQ(r.scene.version, 3.5);
    EXPECT_EQ(r.scene.lookAtA, 37);

    // Unchanged texts are written back as the bytes they were read from, a changed one as UTF-8.
    Fixture fx;
    Scene s = r.scene;
    s.objects[0].reset();
    s.objects[2] = s.objects[1];
    s.objects[2]->name = "Café";
    const auto saved = fx.Save(s);
    const std::string t(saved.begin(), saved.end());
    EXPECT_EQ(t.substr(0, text.size() * 2), text + text);
    EXPECT_NE(t.find("\r\nOName=Caf\xe9\x96" "Bar\r\n"), std::string::npos);
    EXPECT_NE(t.find("\r\nText3dFontName=Ar\x92ial\r\n"), std::string::npos);
    EXPECT_NE(t.find("\r\nOName=Caf\xc3\xa9\r\n"), std::string::npos);
    EXPECT_EQ(WithProjectExtension("/a.b/scene.png"), "/a.b/scene.qv7kb");
    EXPECT_EQ(WithProjectExtension("/a.b/scene"), "/a.b/scene.qv7kb");
}

} // namespace
