#include "scene/model/c3ds.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "platform/byte_reader.h"
#include "platform/errors.h"
#include "platform/file_io.h"

namespace pc {

namespace {

constexpr uint16_t kMain = 0x4D4D;
constexpr uint16_t kEditor = 0x3D3D;
constexpr uint16_t kNamedObject = 0x4000;
constexpr uint16_t kTriangleMesh = 0x4100;
constexpr uint16_t kVertexList = 0x4110;
constexpr uint16_t kFaceList = 0x4120;
constexpr uint16_t kFaceMaterial = 0x4130;
constexpr uint16_t kTexCoords = 0x4140;
constexpr uint16_t kMaterial = 0xAFFF;
constexpr uint16_t kMaterialName = 0xA000;
constexpr uint16_t kDiffuse = 0xA020;
constexpr uint16_t kTransparency = 0xA050;
constexpr uint16_t kTextureMap = 0xA200;
constexpr uint16_t kMapFile = 0xA300;

constexpr uint16_t kColorFloat = 0x0010;
constexpr uint16_t kColorBytes = 0x0011;
constexpr uint16_t kColorBytesGamma = 0x0012;
constexpr uint16_t kColorFloatGamma = 0x0013;
constexpr uint16_t kPercentInt = 0x0030;
constexpr uint16_t kPercentFloat = 0x0031;

constexpr size_t kHeader = 6;
// Face material indices are 16-bit; more objects than this only come from
// crafted files and would cost memory out of all proportion to the file.
constexpr size_t kMaxMaterials = 32767;
constexpr size_t kMaxObjects = 65535;
constexpr int64_t kMaxFileBytes = int64_t(256) << 20;
// Real models nest a handful of levels deep.
constexpr size_t kMaxDepth = 64;

std::string Hex(unsigned v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%04X", v);
    return buf;
}

// Reads a NUL-terminated name, keeping at most kMaxName characters; the rest,
// up to and including the NUL, is dropped. Stops at the end of the data.
std::string ReadString(ByteReader& r)
{
    std::string s;
    while (!r.atEnd()) {
        char c = char(r.u8());
        if (c == '\0')
            break;
        if (s.size() < C3DS::kMaxName)
            s.push_back(c);
    }
    return s;
}

uint8_t UnitToByte(float f)
{
    if (!(f > 0))
        return 0;
    if (f >= 1)
        return 255;
    return uint8_t(std::lround(f * 255));
}

// Sub-chunks of a colour or percentage chunk, each with its body.
template <typename Fn>
void ForEachSubChunk(ByteReader& body, Fn fn)
{
    while (body.remaining() >= kHeader) {
        uint16_t id = body.u16le();
        uint32_t len = body.u32le();
        if (len < kHeader || len - kHeader > body.remaining())
            return;
        ByteReader sub(body.take(len - kHeader));
        fn(id, sub);
    }
}

class ChunkWalk {
public:
    ChunkWalk(std::span<const uint8_t> data, C3DS::t3DModel& model) : data_(data), model_(model) {}

    // Returns "" when every chunk was read, else why reading stopped.
    std::string ReadChunks();

private:
    struct Stop {
        std::string why;
    };

    bool IsContainer(uint16_t id) const
    {
        return id == kMain || id == kEditor || id == kNamedObject || id == kTriangleMesh || id == kMaterial ||
               id == kTextureMap || id == kFaceList;
    }
    C3DS::t3DObject* Mesh() { return model_.objects.empty() ? nullptr : &model_.objects.back(); }
    C3DS::tMaterialInfo* Material() { return model_.materials.empty() ? nullptr : &model_.materials.back(); }

    // Reads what a container holds before its sub-chunks; false skips it whole.
    bool EnterContainer(uint16_t id, ByteReader& body);
    void ReadData(uint16_t id, ByteReader& body);
    void ReadVertices(ByteReader& body);
    void ReadFaces(ByteReader& body);
    void ReadFaceMaterials(ByteReader& body);
    void ReadTexCoords(ByteReader& body);
    void ReadDiffuse(ByteReader& body);
    void ReadTransparency(ByteReader& body);
    void SetMaterialName(std::string name);

    // count records of size bytes must fit in what remains of the chunk.
    void NeedRecords(const ByteReader& body, size_t count, size_t size, const char* what)
    {
        if (count * size > body.remaining())
            throw Stop{std::string("incomplete ") + what + " at offset " + std::to_string(chunkStart_)};
    }

    std::span<const uint8_t> data_;
    C3DS::t3DModel& model_;
    size_t chunkStart_ = 0;
    // Indices of the materials under each name; the first one is the match.
    std::map<std::string, std::set<size_t>> byName_;
};

std::string ChunkWalk::ReadChunks()
{
    std::string problem;
    std::vector<size_t> ends{data_.size()};
    size_t p = 0;
    try {
        while (p < data_.size()) {
            while (ends.size() > 1 && p >= ends.back())
                ends.pop_back();
            size_t end = ends.back();
            chunkStart_ = p;
            if (end - p < kHeader) {
                if (ends.size() == 1)
                    throw Stop{"chunk header cut off at offset " + std::to_string(p)};
                p = end; // slack at the end of a container holds no chunk
                continue;
            }
            ByteReader head(data_.subspan(p, kHeader));
            uint16_t id = head.u16le();
            uint32_t len = head.u32le();
            if (len < kHeader)
                throw Stop{"chunk " + Hex(id) + " at offset " + std::to_string(p) + " has a bad length"};
            size_t chunkEnd = p + len;
            if (chunkEnd > end) {
                std::string why = "chunk " + Hex(id) + " at offset " + std::to_string(p) + " runs past its end";
                if (!IsContainer(id))
                    throw Stop{why};
                // A cut-off container still holds whole chunks up to the cut.
                if (problem.empty())
                    problem = why;
                chunkEnd = end;
            }
            ByteReader body(data_.subspan(p + kHeader, chunkEnd - p - kHeader));
            if (IsContainer(id)) {
                if (ends.size() > kMaxDepth)
                    throw Stop{"chunks nested too deeply at offset " + std::to_string(p)};
                if (EnterContainer(id, body)) {
                    ends.push_back(chunkEnd);
                    p = p + kHeader + body.pos();
                    continue;
                }
            } else {
                ReadData(id, body);
            }
            p = chunkEnd;
        }
    } catch (const Stop& s) {
        if (problem.empty())
            problem = s.why;
    } catch (const Truncated&) {
        if (problem.empty())
            problem = "chunk at offset " + std::to_string(chunkStart_) + " is cut off";
    }
    return problem;
}

bool ChunkWalk::EnterContainer(uint16_t id, ByteReader& body)
{
    switch (id) {
    case kNamedObject:
        if (model_.objects.size() >= kMaxObjects)
            throw Stop{"too many objects"};
        model_.objects.emplace_back();
        model_.objects.back().name = ReadString(body);
        return true;
    case kMaterial:
        if (model_.materials.size() >= kMaxMaterials)
            throw Stop{"too many materials"};
        model_.materials.emplace_back();
        SetMaterialName("");
        return true;
    case kFaceList:
        if (!Mesh())
            return false;
        ReadFaces(body);
        return true;
    default:
        return true;
    }
}

void ChunkWalk::ReadData(uint16_t id, ByteReader& body)
{
    bool forMesh = id == kVertexList || id == kFaceMaterial || id == kTexCoords;
    bool forMaterial = id == kMaterialName || id == kDiffuse || id == kTransparency || id == kMapFile;
    if ((forMesh && !Mesh()) || (forMaterial && !Material()))
        return;
    switch (id) {
    case kVertexList: ReadVertices(body); break;
    case kFaceMaterial: ReadFaceMaterials(body); break;
    case kTexCoords: ReadTexCoords(body); break;
    case kMaterialName: SetMaterialName(ReadString(body)); break;
    case kDiffuse: ReadDiffuse(body); break;
    case kTransparency: ReadTransparency(body); break;
    case kMapFile: Material()->mapFile = ReadString(body); break;
    default: break;
    }
}

void ChunkWalk::ReadVertices(ByteReader& body)
{
    size_t count = body.u16le();
    NeedRecords(body, count, 12, "vertex list");
    std::vector<CVector3> verts(count);
    for (auto& v : verts) {
        float fx = body.f32le(), fy = body.f32le(), fz = body.f32le();
        v = {fx, fz, -fy}; // the file's z points up, ours y
    }
    Mesh()->verts = std::move(verts);
}

void ChunkWalk::ReadFaces(ByteReader& body)
{
    size_t count = body.u16le();
    NeedRecords(body, count, 8, "face list");
    std::vector<C3DS::tFace> faces(count);
    for (auto& f : faces) {
        f.a = body.u16le();
        f.b = body.u16le();
        f.c = body.u16le();
        body.u16le(); // edge flags
    }
    Mesh()->faces = std::move(faces);
}

void ChunkWalk::ReadFaceMaterials(ByteReader& body)
{
    std::string name = ReadString(body);
    size_t count = body.u16le();
    NeedRecords(body, count, 2, "face material list");
    auto it = byName_.find(name);
    if (it == byName_.end() || it->second.empty()) {
        body.skip(count * 2);
        return;
    }
    auto material = int16_t(*it->second.begin());
    auto& faces = Mesh()->faces;
    for (size_t i = 0; i < count; ++i) {
        size_t face = body.u16le();
        if (face < faces.size())
            faces[face].material = material;
    }
}

void ChunkWalk::ReadTexCoords(ByteReader& body)
{
    size_t count = body.u16le();
    NeedRecords(body, count, 8, "texture coordinate list");
    std::vector<CVector2> uv(count);
    for (auto& t : uv) {
        t.u = body.f32le();
        t.v = body.f32le();
    }
    Mesh()->texcoords = std::move(uv);
}

void ChunkWalk::ReadDiffuse(ByteReader& body)
{
    // Later colour forms (the gamma-corrected one) win over earlier ones.
    bool found = false;
    std::array<uint8_t, 3> rgb{};
    ForEachSubChunk(body, [&](uint16_t id, ByteReader& sub) {
        if ((id == kColorBytes || id == kColorBytesGamma) && sub.remaining() >= 3) {
            for (auto& c : rgb)
                c = sub.u8();
            found = true;
        } else if ((id == kColorFloat || id == kColorFloatGamma) && sub.remaining() >= 12) {
            for (auto& c : rgb)
                c = UnitToByte(sub.f32le());
            found = true;
        }
    });
    if (found)
        Material()->color = rgb;
}

void ChunkWalk::ReadTransparency(ByteReader& body)
{
    bool found = false;
    double percent = 0;
    ForEachSubChunk(body, [&](uint16_t id, ByteReader& sub) {
        if (id == kPercentInt && sub.remaining() >= 2) {
            percent = sub.u16le();
            found = true;
        } else if (id == kPercentFloat && sub.remaining() >= 4) {
            float f = sub.f32le();
            percent = std::isfinite(f) ? f : 0;
            found = true;
        }
    });
    if (!found)
        return;
    percent = std::clamp(percent, 0.0, 100.0);
    Material()->alpha = uint8_t(std::floor((100 - percent) * 255 / 100));
}

void ChunkWalk::SetMaterialName(std::string name)
{
    size_t index = model_.materials.size() - 1;
    auto& current = model_.materials.back();
    if (auto it = byName_.find(current.name); it != byName_.end())
        it->second.erase(index);
    current.name = std::move(name);
    byName_[current.name].insert(index);
}

CVector3 TriangleNormal(const CVector3& p0, const CVector3& p1, const CVector3& p2)
{
    double ax = p0.x - p1.x, ay = p0.y - p1.y, az = p0.z - p1.z;
    double bx = p1.x - p2.x, by = p1.y - p2.y, bz = p1.z - p2.z;
    double nx = ay * bz - az * by, ny = az * bx - ax * bz, nz = ax * by - ay * bx;
    double len = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (!(len > 0) || !std::isfinite(len))
        return {};
    return {float(nx / len), float(ny / len), float(nz / len)};
}

// What Load does after the chunks: drop what cannot be drawn, then give every
// face a usable material.
void FixUp(C3DS::t3DModel& model)
{
    for (auto& mesh : model.objects) {
        if (mesh.texcoords.size() < mesh.verts.size())
            mesh.texcoords.clear();
        size_t n = mesh.verts.size();
        std::erase_if(mesh.faces, [n](const C3DS::tFace& f) { return f.a >= n || f.b >= n || f.c >= n; });
    }
    if (model.materials.empty()) {
        C3DS::tMaterialInfo def;
        def.name = "Default";
        def.color = {192, 192, 192};
        def.alpha = 255;
        model.materials.push_back(def);
    }
    for (auto& m : model.materials)
        if (!m.mapFile.empty())
            m.textureId = 0;
    auto count = int(model.materials.size());
    for (auto& mesh : model.objects) {
        if (mesh.texcoords.empty())
            continue;
        for (auto& f : mesh.faces)
            if (f.material < 0 || f.material >= count)
                f.material = 0;
    }
}

} // namespace

bool C3DS::Load(const std::string& path)
{
    std::vector<uint8_t> bytes;
    try {
        bytes = ReadFileBytes(path, kMaxFileBytes);
    } catch (const FileError& e) {
        problem_ = e.what();
        return false;
    }
    LoadFromBytes(bytes);
    return true;
}

void C3DS::LoadFromBytes(std::span<const uint8_t> data)
{
    t3DModel model;
    std::string problem = ChunkWalk(data, model).ReadChunks();
    if (data.size() < 2 || data[0] != (kMain & 0xFF) || data[1] != kMain >> 8)
        problem = "not a 3DS model";
    FixUp(model);
    model_ = std::move(model);
    problem_ = std::move(problem);
}

float C3DS::Unitize()
{
    bool any = false;
    double lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
    for (auto& mesh : model_.objects) {
        mesh.visibleSize = 1.0f;
        for (auto& v : mesh.verts) {
            float* c[3] = {&v.x, &v.y, &v.z};
            for (int k = 0; k < 3; ++k) {
                if (!std::isfinite(*c[k]))
                    *c[k] = 0;
                lo[k] = any ? std::min(lo[k], double(*c[k])) : *c[k];
                hi[k] = any ? std::max(hi[k], double(*c[k])) : *c[k];
            }
            any = true;
        }
        size_t n = mesh.verts.size();
        for (auto& f : mesh.faces)
            f.normal = f.a < n && f.b < n && f.c < n ? TriangleNormal(mesh.verts[f.a], mesh.verts[f.b], mesh.verts[f.c])
                                                     : CVector3{};
    }
    double offset[3], extent = 0;
    for (int k = 0; k < 3; ++k) {
        offset[k] = -(lo[k] + hi[k]) / 2;
        extent = std::max(extent, hi[k] - lo[k]);
    }
    double scale = extent > 0 ? 2 / extent : 1;
    for (auto& mesh : model_.objects)
        for (auto& v : mesh.verts) {
            v.x = float((v.x + offset[0]) * scale);
            v.y = float((v.y + offset[1]) * scale);
            v.z = float((v.z + offset[2]) * scale);
        }
    return float((lo[1] + offset[1]) * scale);
}

} // namespace pc
