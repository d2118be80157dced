#include <algorithm>
#include <charconv>

#include "app/project/project_blobs.h"
#include "app/project/project_file.h"
#include "app/project/project_text.h"
#include "app/project/settings_damage.h"
#include "platform/byte_reader.h"
#include "platform/ini_file.h"

namespace pc::project {

namespace {

const char* const kGlobalSections[] = {"Copyright", "Export", "Camera", "Light", "Floor"};

class SectionReader {
public:
    SectionReader(const IniFile& ini, std::string section, int64_t blobBytes, SettingsDamage& damage)
        : ini_(ini), section_(std::move(section)), blobBytes_(blobBytes), damage_(damage) {}

    int Int(const std::string& key, int def) const
    {
        if (!Has(key))
            return def;
        if (auto v = IniFile::ParseInteger(ini_.ReadString(section_, key)))
            return *v;
        damage_.Unreadable(section_, key);
        return def;
    }
    bool Bool(const std::string& key, bool def) const { return Int(key, def ? 1 : 0) != 0; }
    bool Has(const std::string& key) const
    {
        damage_.Asked(section_, key);
        return ini_.ValueExists(section_, key);
    }
    // The value's bytes as the file holds them.
    std::string Raw(const std::string& key, const std::string& def) const
    {
        damage_.Asked(section_, key);
        return ini_.ReadString(section_, key, def);
    }
    std::string String(const std::string& key, const std::string& def) const { return TextFromFile(Raw(key, def)); }
    // Floats were written with the saving user's decimal separator.
    float Float(const std::string& key, float def) const
    {
        if (!Has(key))
            return def;
        std::string t = ini_.ReadString(section_, key, "");
        std::replace(t.begin(), t.end(), ',', '.');
        double v = 0;
        auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
        if (t.empty() || ec != std::errc() || end != t.data() + t.size()) {
            damage_.Unreadable(section_, key);
            return def;
        }
        return float(v);
    }
    // An absent or empty blob has size 0; one that leaves the blob area is an error.
    Blob BlobAt(const std::string& startKey, const std::string& sizeKey) const
    {
        Blob b{Int(startKey, 0), Int(sizeKey, 0)};
        if (b.size <= 0)
            return Blob{};
        if (b.start < 0 || b.start + b.size > blobBytes_)
            throw ProjectError("[" + section_ + "] " + startKey + " and " + sizeKey + " lie outside the file's data");
        return b;
    }
    const std::string& Name() const { return section_; }

private:
    const IniFile& ini_;
    std::string section_;
    int64_t blobBytes_;
    SettingsDamage& damage_;
};

void ReadGlobals(const IniFile& ini, int64_t blobBytes, SettingsDamage& damage, Scene& s)
{
    SectionReader c(ini, "Copyright", blobBytes, damage);
    s.version = c.Float("Version", 1.0f);
    s.date = c.String("Date", "");
    s.author = c.String("Author", "");

    SectionReader e(ini, "Export", blobBytes, damage);
    s.exportW = e.Int("W", 0);
    s.exportH = e.Int("H", 0);

    SectionReader cam(ini, "Camera", blobBytes, damage);
    s.cameraX = cam.Int("X", 0);
    s.cameraY = cam.Int("Y", 0);
    s.cameraZ = cam.Int("Z", 0);
    s.lookAtX = cam.Int("TX", 0);
    s.lookAtY = cam.Int("TY", 0);
    s.lookAtZ = cam.Int("TZ", 0);
    s.lookAtA = cam.Int("TA", 37);

    SectionReader l(ini, "Light", blobBytes, damage);
    s.lightX = l.Int("X", 0);
    s.lightY = l.Int("Y", 0);
    s.lightZ = l.Int("Z", 0);
    s.shadowVisible = l.Bool("SV", false);
    s.drawLight = l.Bool("DL", true);
    s.shadowStrength = l.Int("SSt", 50);
    s.shadowScale = l.Int("SSc", 50);
    s.shadowDiffuse = l.Int("SDi", 110);
    s.ambientStrength = l.Int("ASt", 50);

    SectionReader f(ini, "Floor", blobBytes, damage);
    s.floorTextureId = f.Int("FSt", 0);
    s.floorColour = TColor(f.Int("FSc", int(clWhite)));
    s.drawAxis = f.Bool("DA", true);
    s.transparentBackground = f.Bool("BT", true);
    if (s.floorTextureId != 0)
        s.floorPicture = f.BlobAt("FSpstart", "FSpsize");
    s.floorAlpha = f.Int("FRS", 50);
    s.floorP = f.Int("FRD", 30);
    s.floorDiffuse = f.Bool("FRCBD", true);
    s.tbfsth = f.Int("TBfsth", 30);
    s.tbfstv = f.Int("TBfstv", 30);
    s.tbbth = f.Int("TBbth", 300);
    s.tbbtv = f.Int("TBbtv", 300);
    s.backgroundTextureId = f.Int("FBSt", 0);
    s.backgroundColour = TColor(f.Int("FBc", int(clWhite)));
    if (s.backgroundTextureId != 0)
        s.backgroundPicture = f.BlobAt("FBSpstart", "FBSpsize");
}

// Materials the rest of the scene may still hold, charged before any is made.
class MaterialBudget {
public:
    explicit MaterialBudget(int64_t iniBytes)
        : left_(std::min(kMaxSceneMaterials, iniBytes / kMinMaterialIniBytes)) {}
    void Charge(const SectionReader& r, int64_t count)
    {
        if (count < 0 || count > left_)
            throw ProjectError("[" + r.Name() + "] File3dsMatCount is out of range");
        left_ -= count;
    }

private:
    int64_t left_;
};

// asRead: the file's bytes pass the limit themselves, not only the form the
// text is saved in, whose lines end in CR LF.
ProjectError TextTooLarge(const std::string& section, bool asRead)
{
    return ProjectError("[" + section + "] The text of this 3D text object " +
                        (asRead ? "is larger than 1 MB." : "would be larger than 1 MB saved with CR LF line ends."));
}

Object ReadObject(const SectionReader& r, MaterialBudget& materials)
{
    Object o;
    o.kind = r.Int("OType", 0);
    const std::string name = r.Raw("OName", "");
    o.name = TextFromFile(name);
    o.read.name = EightBitBytes(name);
    o.visible = r.Bool("Visible", true);
    for (int j = 0; j < kFaces; ++j) {
        const std::string n = std::to_string(j);
        Face& face = o.faces[size_t(j)];
        face.textureId = r.Int("It" + n, 0);
        face.colour = TColor(r.Int("Ic" + n, int(clWhite)));
        if (o.kind != kKindModel && face.textureId != 0)
            face.picture = r.BlobAt("Ipstart" + n, "Ipsize" + n);
        if (j >= 1)
            for (int k = 0; k < 4; ++k) {
                std::string key = "Tb" + n + "_" + std::to_string(k);
                if (r.Has(key))
                    o.trackbars[size_t(j)][size_t(k)] = r.Int(key, 0);
            }
    }
    if (o.kind == kKindModel) {
        o.model = r.BlobAt("File3dsStart", "File3dsSize");
        const int count = r.Int("File3dsMatCount", 0);
        materials.Charge(r, count);
        o.materials.reserve(size_t(count));
        for (int m = 0; m < count; ++m) {
            const std::string n = std::to_string(m);
            Material mat;
            mat.uTile = r.Float("File3dsMatRU_" + n, 1);
            mat.vTile = r.Float("File3dsMatRV_" + n, 1);
            mat.uOffset = r.Float("File3dsMatOU_" + n, 0);
            mat.vOffset = r.Float("File3dsMatOV_" + n, 0);
            mat.color = r.Int("File3dsMatColor_" + n, kDefaultMaterialColor);
            mat.picture = r.BlobAt("File3dsMatTextStart" + n, "File3dsMatTextSize" + n);
            o.materials.push_back(mat);
        }
        for (int k = 0; r.Has("File3dsObjZS_" + std::to_string(k)); ++k)
            o.objectVisibleSize.push_back(r.Float("File3dsObjZS_" + std::to_string(k), 1));
    } else if (o.kind == kKindText) {
        const std::string font = r.Raw("Text3dFontName", "Arial");
        o.fontName = TextFromFile(font);
        o.read.fontName = EightBitBytes(font);
        o.text = r.BlobAt("Text3dStart", "Text3dSize");
        if (o.text.size > kMaxTextBytes)
            throw TextTooLarge(r.Name(), true);
    }
    return o;
}

// The runs of [0, blobBytes) that none of the blobs the scene carries covers.
std::vector<Blob> UnreferencedRuns(const Scene& s, int64_t blobBytes)
{
    std::vector<Blob> used;
    ForEachBlob(s, [&](const BlobPlace&, int, const Blob& b, const KeptBytes&) {
        if (b.Present())
            used.push_back(b);
    });
    std::sort(used.begin(), used.end(), [](const Blob& a, const Blob& b) { return a.start < b.start; });
    std::vector<Blob> gaps;
    int64_t reach = 0;
    for (const Blob& b : used) {
        if (b.start > reach)
            gaps.push_back({reach, b.start - reach});
        reach = std::max(reach, b.start + b.size);
    }
    if (blobBytes > reach)
        gaps.push_back({reach, blobBytes - reach});
    return gaps;
}

} // namespace

std::vector<uint8_t> MemoryProjectSource::Read(int64_t offset, int64_t n) const
{
    auto part = bytes_.subspan(size_t(offset), size_t(n));
    return {part.begin(), part.end()};
}

std::vector<uint8_t> FileProjectSource::Read(int64_t offset, int64_t n) const
{
    std::vector<uint8_t> out(static_cast<size_t>(n));
    file_.ReadAt(offset, out);
    return out;
}

ReadResult ReadProject(std::span<const uint8_t> file)
{
    return ReadProject(MemoryProjectSource(file));
}

ReadResult ReadProject(const ProjectSource& source)
{
    const int64_t size = source.Size();
    if (size < 8)
        throw ProjectError("The file is too short.");
    const std::vector<uint8_t> trailer = source.Read(size - 8, 8);
    ByteReader tail(trailer);
    const int64_t blobBytes = tail.i32le();
    const int64_t iniBytes = tail.i32le();
    if (blobBytes < 0 || iniBytes < 1 || blobBytes + iniBytes + 8 != size)
        throw ProjectError("The file's last 8 bytes do not describe its contents.");
    if (iniBytes > kMaxIniBytes)
        throw ProjectError("The file's settings text is too large.");

    const std::vector<uint8_t> iniText = source.Read(blobBytes, iniBytes);
    IniFile ini = IniFile::FromText(std::string(iniText.begin(), iniText.end()));
    bool known = std::any_of(std::begin(kGlobalSections), std::end(kGlobalSections),
                             [&](const char* s) { return ini.SectionExists(s); });
    for (int slot = 0; slot < kSlots && !known; ++slot)
        known = ini.SectionExists(std::to_string(slot));
    if (!known)
        throw ProjectError("The file holds no project settings.");

    ReadResult result;
    SettingsDamage damage;
    ReadGlobals(ini, blobBytes, damage, result.scene);
    MaterialBudget materials(iniBytes);
    for (int slot = 0; slot < kSlots; ++slot) {
        SectionReader r(ini, std::to_string(slot), blobBytes, damage);
        if (r.Int("Exist", 0) == 0)
            continue;
        Object o = ReadObject(r, materials);
        if (o.kind < 0 || o.kind > kKindText) {
            result.warnings.push_back("Object [" + r.Name() + "] has an unknown kind " + std::to_string(o.kind) +
                                      " and was skipped.");
            continue;
        }
        if (o.kind == kKindText) {
            const auto bytes = BlobBytes(source, o.text);
            const std::string text(bytes.begin(), bytes.end());
            o.textLines = SplitLines(TextFromFile(text));
            o.read.text = EightBitBytes(text);
            // What loads must save: the writer ends every line in CR LF.
            if (int64_t(TextLinesToFile(o.textLines, o.read.text).size()) > kMaxTextBytes)
                throw TextTooLarge(r.Name(), false);
        }
        result.scene.objects[size_t(slot)] = std::move(o);
    }
    result.scene.unreferenced = UnreferencedRuns(result.scene, blobBytes);
    int64_t lost = 0;
    for (const Blob& b : result.scene.unreferenced)
        lost += b.size;
    if (lost > kMaxUnreferencedBytes)
        throw ProjectError("The project is damaged: " + std::to_string(lost) +
                           " bytes of it belong to no setting, too many to keep.");
    // One message names all the damage.
    std::string damaged = damage.Describe(ini);
    if (!damaged.empty())
        damaged += lost > 0 ? ". " : ".";
    if (lost > 0)
        damaged += std::to_string(lost) + " bytes of it belong to no setting. They are kept and saved with the project.";
    if (!damaged.empty())
        result.warnings.push_back("The project is damaged: " + damaged);
    return result;
}

std::vector<uint8_t> BlobBytes(const ProjectSource& source, const Blob& blob)
{
    if (!blob.Present())
        return {};
    if (blob.start < 0 || blob.start + blob.size > source.Size())
        throw ProjectError("A blob lies outside the file.");
    return source.Read(blob.start, blob.size);
}

std::span<const uint8_t> BlobBytes(std::span<const uint8_t> file, const Blob& blob)
{
    if (!blob.Present())
        return {};
    if (blob.start < 0 || blob.start + blob.size > int64_t(file.size()))
        throw ProjectError("A blob lies outside the file.");
    return file.subspan(size_t(blob.start), size_t(blob.size));
}

} // namespace pc::project
