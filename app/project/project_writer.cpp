#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <map>
#include <utility>

#include "app/project/project_blobs.h"
#include "app/project/project_file.h"
#include "app/project/project_text.h"
#include "platform/file_io.h"

namespace pc::project {

namespace {

constexpr int64_t kMaxBlobBytes = INT32_MAX;

// Locale-free, at most 15 significant digits: 1.0 -> "1", 0.1f -> "0.100000001490116".
std::string FloatText(double v)
{
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
    return std::string(buf, end);
}

// Names and font names must stay on one INI line.
std::string OneLine(std::string s)
{
    for (char& c : s)
        if (c == '\r' || c == '\n')
            c = ' ';
    return s;
}

FileError CannotWrite(const std::string& path, int error)
{
    return FileError("Cannot write the project file \"" + path + "\": " + std::strerror(error));
}

class Writer {
public:
    Writer(std::FILE* f, const std::string& path, const WriteOptions& o) : file_(f), path_(path), options_(o) {}

    Blob AppendFile(const std::string& path)
    {
        auto bytes = ReadFileBytes(path, kMaxBlobBytes);
        return Append(bytes.data(), bytes.size());
    }
    Blob AppendTexture(int textureId) { return AppendFile(options_.textureFolder + std::to_string(textureId)); }
    Blob Append(const void* data, size_t n)
    {
        Blob b{length_, int64_t(n)};
        if (length_ + int64_t(n) > kMaxBlobBytes)
            throw ProjectError("The pictures and models of this project exceed 2 GiB.");
        if (n && std::fwrite(data, 1, n, file_) != n)
            throw CannotWrite(path_, errno);
        length_ += int64_t(n);
        return b;
    }
    int64_t Length() const { return length_; }

private:
    std::FILE* file_;
    const std::string& path_;
    const WriteOptions& options_;
    int64_t length_ = 0;
};

void PutU32(std::vector<uint8_t>& v, uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        v.push_back(uint8_t(x >> (8 * i)));
}

// The INI text written in one pass: every section's keys are written
// together, in order, so a key never has to be looked up or inserted.
class IniText {
public:
    void WriteString(const std::string& section, const std::string& key, const std::string& value)
    {
        if (section != section_) {
            section_ = section;
            text_ += "[" + section + "]\r\n";
        }
        text_ += key;
        text_ += '=';
        text_ += value;
        text_ += "\r\n";
    }
    void WriteInteger(const std::string& section, const std::string& key, int value)
    {
        WriteString(section, key, std::to_string(value));
    }
    void WriteBool(const std::string& section, const std::string& key, bool value)
    {
        WriteString(section, key, value ? "1" : "0");
    }
    std::string Text() { return std::move(text_); }

private:
    std::string section_;
    std::string text_;
};

} // namespace

std::string ProjectIniText(const Scene& s, const std::string& date)
{
    IniText ini;
    auto i = [&](const char* sec, const std::string& key, int v) { ini.WriteInteger(sec, key, v); };
    auto b = [&](const char* sec, const std::string& key, bool v) { ini.WriteBool(sec, key, v); };
    auto f = [&](const std::string& sec, const std::string& key, double v) { ini.WriteString(sec, key, FloatText(v)); };

    f("Copyright", "Version", kVersion);
    ini.WriteString("Copyright", "Date", OneLine(date));
    ini.WriteString("Copyright", "Author", kAuthor);

    i("Export", "W", s.exportW);
    i("Export", "H", s.exportH);

    i("Camera", "X", s.cameraX);
    i("Camera", "Y", s.cameraY);
    i("Camera", "Z", s.cameraZ);
    i("Camera", "TX", s.lookAtX);
    i("Camera", "TY", s.lookAtY);
    i("Camera", "TZ", s.lookAtZ);
    i("Camera", "TA", s.lookAtA);

    i("Light", "X", s.lightX);
    i("Light", "Y", s.lightY);
    i("Light", "Z", s.lightZ);
    b("Light", "SV", s.shadowVisible);
    b("Light", "DL", s.drawLight);
    i("Light", "SSt", s.shadowStrength);
    i("Light", "SSc", s.shadowScale);
    i("Light", "SDi", s.shadowDiffuse);
    i("Light", "ASt", s.ambientStrength);

    i("Floor", "FSt", s.floorTextureId);
    i("Floor", "FSc", int(s.floorColour));
    b("Floor", "DA", s.drawAxis);
    b("Floor", "BT", s.transparentBackground);
    if (s.floorTextureId != 0) {
        i("Floor", "FSpstart", int(s.floorPicture.start));
        i("Floor", "FSpsize", int(s.floorPicture.size));
    }
    i("Floor", "FRS", s.floorAlpha);
    i("Floor", "FRD", s.floorP);
    b("Floor", "FRCBD", s.floorDiffuse);
    i("Floor", "TBfsth", s.tbfsth);
    i("Floor", "TBfstv", s.tbfstv);
    i("Floor", "TBbth", s.tbbth);
    i("Floor", "TBbtv", s.tbbtv);
    i("Floor", "FBSt", s.backgroundTextureId);
    i("Floor", "FBc", int(s.backgroundColour));
    if (s.backgroundTextureId != 0) {
        i("Floor", "FBSpstart", int(s.backgroundPicture.start));
        i("Floor", "FBSpsize", int(s.backgroundPicture.size));
    }

    for (int slot = 0; slot < kSlots; ++slot) {
        const std::string sec = std::to_string(slot);
        const auto& o = s.objects[size_t(slot)];
        if (!o) {
            ini.WriteInteger(sec, "Exist", 0);
            continue;
        }
        ini.WriteInteger(sec, "Exist", 1);
        ini.WriteInteger(sec, "OType", o->kind);
        ini.WriteString(sec, "OName", TextToFile(OneLine(o->name), o->read.name));
        ini.WriteBool(sec, "Visible", o->visible);
        for (int j = 0; j < kFaces; ++j) {
            const Face& face = o->faces[size_t(j)];
            const std::string n = std::to_string(j);
            ini.WriteInteger(sec, "It" + n, face.textureId);
            ini.WriteInteger(sec, "Ic" + n, int(face.colour));
            if (face.textureId != 0 && o->kind != kKindModel) {
                ini.WriteInteger(sec, "Ipstart" + n, int(face.picture.start));
                ini.WriteInteger(sec, "Ipsize" + n, int(face.picture.size));
            }
            if (j >= 1)
                for (int k = 0; k < 4; ++k)
                    ini.WriteInteger(sec, "Tb" + n + "_" + std::to_string(k),
                                     o->trackbars[size_t(j)][size_t(k)].value_or(0));
        }
        if (o->kind == kKindModel) {
            ini.WriteInteger(sec, "File3dsStart", int(o->model.start));
            ini.WriteInteger(sec, "File3dsSize", int(o->model.size));
            ini.WriteInteger(sec, "File3dsMatCount", int(o->materials.size()));
            for (size_t m = 0; m < o->materials.size(); ++m) {
                const Material& mat = o->materials[m];
                const std::string n = std::to_string(m);
                f(sec, "File3dsMatRU_" + n, mat.uTile);
                f(sec, "File3dsMatRV_" + n, mat.vTile);
                f(sec, "File3dsMatOU_" + n, mat.uOffset);
                f(sec, "File3dsMatOV_" + n, mat.vOffset);
                ini.WriteInteger(sec, "File3dsMatColor_" + n, mat.color);
                if (mat.textureId != 0 || mat.kept) {
                    ini.WriteInteger(sec, "File3dsMatTextStart" + n, int(mat.picture.start));
                    ini.WriteInteger(sec, "File3dsMatTextSize" + n, int(mat.picture.size));
                }
            }
            for (size_t k = 0; k < o->objectVisibleSize.size(); ++k)
                f(sec, "File3dsObjZS_" + std::to_string(k), o->objectVisibleSize[k]);
        } else if (o->kind == kKindText) {
            ini.WriteString(sec, "Text3dFontName", TextToFile(OneLine(o->fontName), o->read.fontName));
            ini.WriteInteger(sec, "Text3dStart", int(o->text.start));
            ini.WriteInteger(sec, "Text3dSize", int(o->text.size));
        }
    }
    return ini.Text();
}

void WriteProject(const std::string& path, const Scene& scene, const WriteOptions& options)
{
    SaveThroughTemp(path, [&](const std::string& tmp) {
        std::FILE* f = std::fopen(tmp.c_str(), "wb");
        if (!f)
            throw FileError("Cannot create the project file \"" + path + "\": " + std::strerror(errno));
        struct Closer {
            std::FILE*& f;
            ~Closer() { if (f) std::fclose(f); }
        } closer{f};

        // Blobs first, in file order; their positions go into a copy of the scene.
        // A picture is numbered by its place in the file: the texture names of
        // this run mean nothing to a reader, and a resaved scene stays the same.
        Scene s = scene;
        Writer w(f, path, options);
        int pictures = 0;
        // Materials that share one texture (an atlas, or one model twice in the
        // scene) share its bytes too.
        std::map<int, Blob> written;
        ForEachBlob(s, [&](const BlobPlace& place, int& textureId, Blob& blob, const KeptBytes& kept) {
            Object* o = place.slot >= 0 ? &*s.objects[size_t(place.slot)] : nullptr;
            if (place.kind == BlobKind::Model) {
                blob = w.AppendFile(o->modelPath);
            } else if (place.kind == BlobKind::Text) {
                const std::string t = TextLinesToFile(o->textLines, o->read.text);
                // A larger one would make a file no reader takes.
                if (int64_t(t.size()) > kMaxTextBytes)
                    throw ProjectError("The text of 3D text object \"" + o->name + "\" is larger than 1 MB.");
                blob = w.Append(t.data(), t.size());
            } else if (!kept && textureId == 0) {
                blob = {};
            } else if (place.index < 0 && !kept) {
                auto [at, fresh] = written.try_emplace(textureId);
                if (fresh)
                    at->second = w.AppendTexture(textureId);
                blob = at->second;
            } else {
                blob = kept ? w.Append(kept->data(), kept->size()) : w.AppendTexture(textureId);
                if (place.index >= 0) // materials are known by their place
                    textureId = ++pictures;
            }
        });

        for (const KeptBytes& bytes : s.unreferencedKept)
            if (bytes)
                w.Append(bytes->data(), bytes->size());

        std::string ini = ProjectIniText(s, options.date);
        std::vector<uint8_t> tail(ini.begin(), ini.end());
        PutU32(tail, uint32_t(w.Length()));
        PutU32(tail, uint32_t(ini.size()));
        int error = 0;
        if (std::fwrite(tail.data(), 1, tail.size(), f) != tail.size())
            error = errno;
        if (std::fflush(f) != 0 && !error)
            error = errno;
        if (std::fclose(f) != 0 && !error)
            error = errno;
        f = nullptr;
        if (error)
            throw CannotWrite(path, error);
    });
}

std::string WithProjectExtension(const std::string& name)
{
    size_t slash = name.find_last_of('/');
    size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return name + ".qv7kb";
    return name.substr(0, dot) + ".qv7kb";
}

} // namespace pc::project
