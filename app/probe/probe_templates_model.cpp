#include <array>
#include <cmath>
#include <cstring>

#include "app/probe/probe_templates_art.h"

namespace pc::probe {

namespace {

class ChunkWriter {
public:
    // Opens a chunk; Close writes its length once its contents stand.
    size_t Open(uint16_t id)
    {
        U16(id);
        const size_t at = bytes.size();
        U32(0);
        return at;
    }
    void Close(size_t at)
    {
        const uint32_t length = uint32_t(bytes.size() - at + 2);
        std::memcpy(&bytes[at], &length, 4);
    }
    void U16(uint16_t v) { bytes.insert(bytes.end(), {uint8_t(v), uint8_t(v >> 8)}); }
    void U32(uint32_t v) { bytes.insert(bytes.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}); }
    void F32(float f)
    {
        uint32_t v;
        std::memcpy(&v, &f, 4);
        U32(v);
    }
    void Text(const std::string& s)
    {
        bytes.insert(bytes.end(), s.begin(), s.end());
        bytes.push_back(0);
    }

    std::vector<uint8_t> bytes;
};

using Corner = std::array<float, 3>;

// Two triangles of the quad a b c d (counter-clockwise seen from outside,
// a at the bottom left) showing the picture's region (u0,v0)-(u1,v1).
void Quad(MeshPart& m, const Corner& a, const Corner& b, const Corner& c, const Corner& d, float u0, float v0, float u1,
          float v1)
{
    m.corners.insert(m.corners.end(), {a, b, c, a, c, d});
    m.uv.insert(m.uv.end(), {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v0}, {u1, v1}, {u0, v1}});
}

// A box from lo to hi, its sides and bottom dressed with the lower half of
// the picture, its top (when topToo) with the upper half.
void Block(MeshPart& m, Corner lo, Corner hi, bool topToo)
{
    const float x0 = lo[0], y0 = lo[1], z0 = lo[2], x1 = hi[0], y1 = hi[1], z1 = hi[2];
    Quad(m, {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}, 0, 0, 1, 0.5f);
    Quad(m, {x1, y0, z0}, {x0, y0, z0}, {x0, y1, z0}, {x1, y1, z0}, 0, 0, 1, 0.5f);
    Quad(m, {x1, y0, z1}, {x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1}, 0, 0, 1, 0.5f);
    Quad(m, {x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0}, 0, 0, 1, 0.5f);
    if (topToo)
        Quad(m, {x0, y1, z1}, {x1, y1, z1}, {x1, y1, z0}, {x0, y1, z0}, 0, 0.5f, 1, 1);
    Quad(m, {x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}, 0, 0, 1, 0.5f);
}

} // namespace

std::vector<uint8_t> Model3ds(const std::string& name, const MeshPart& mesh, const QColor& colour,
                              const std::string& mapFile)
{
    ChunkWriter w;
    const size_t main = w.Open(0x4D4D);
    const size_t version = w.Open(0x0002);
    w.U32(3);
    w.Close(version);
    const size_t editor = w.Open(0x3D3D);

    const size_t material = w.Open(0xAFFF);
    const size_t materialName = w.Open(0xA000);
    w.Text(name);
    w.Close(materialName);
    const size_t diffuse = w.Open(0xA020);
    const size_t bytes = w.Open(0x0011);
    w.bytes.insert(w.bytes.end(), {uint8_t(colour.red()), uint8_t(colour.green()), uint8_t(colour.blue())});
    w.Close(bytes);
    w.Close(diffuse);
    if (!mapFile.empty()) {
        const size_t map = w.Open(0xA200);
        const size_t file = w.Open(0xA300);
        w.Text(mapFile);
        w.Close(file);
        w.Close(map);
    }
    w.Close(material);

    const size_t object = w.Open(0x4000);
    w.Text(name);
    const size_t trimesh = w.Open(0x4100);
    const size_t vertexList = w.Open(0x4110);
    w.U16(uint16_t(mesh.corners.size()));
    for (const auto& v : mesh.corners) {
        // The file's z points up.
        w.F32(v[0]);
        w.F32(-v[2]);
        w.F32(v[1]);
    }
    w.Close(vertexList);
    if (!mesh.uv.empty()) {
        const size_t uv = w.Open(0x4140);
        w.U16(uint16_t(mesh.uv.size()));
        for (const auto& t : mesh.uv)
            for (float f : t)
                w.F32(f);
        w.Close(uv);
    }
    // Every face its own corners, so the faces stay flat when shaded.
    const uint16_t faces = uint16_t(mesh.corners.size() / 3);
    const size_t faceList = w.Open(0x4120);
    w.U16(faces);
    for (uint16_t f = 0; f < faces; ++f) {
        for (uint16_t i = 0; i < 3; ++i)
            w.U16(uint16_t(3 * f + i));
        w.U16(7); // edge flags
    }
    const size_t group = w.Open(0x4130);
    w.Text(name);
    w.U16(faces);
    for (uint16_t i = 0; i < faces; ++i)
        w.U16(i);
    w.Close(group);
    w.Close(faceList);
    w.Close(trimesh);
    w.Close(object);

    w.Close(editor);
    w.Close(main);
    return w.bytes;
}

std::vector<uint8_t> CrystalModel3ds()
{
    // A quartz point: six sides standing on a flat base, a ring where the
    // sides end and a tip above it.
    constexpr int kSides = 6;
    constexpr float kRadius = 10, kShoulder = 34, kTip = 48;
    std::vector<Corner> ring[2];
    for (int end = 0; end < 2; ++end)
        for (int i = 0; i < kSides; ++i) {
            const float a = float(i) * 2 * float(M_PI) / kSides;
            // The base a little wider than the shoulder, as a crystal grows.
            const float r = end ? kRadius : kRadius * 1.12f;
            ring[end].push_back({r * std::cos(a), end ? kShoulder : 0.0f, -r * std::sin(a)});
        }
    const Corner base{0, 0, 0}, tip{0, kTip, 0};
    MeshPart m;
    for (int i = 0; i < kSides; ++i) {
        const int j = (i + 1) % kSides;
        m.corners.insert(m.corners.end(), {ring[0][i], ring[0][j], ring[1][j], ring[0][i], ring[1][j], ring[1][i],
                                           ring[0][j], ring[0][i], base, ring[1][i], ring[1][j], tip});
    }
    return Model3ds("Crystal", m, Rgb(70, 150, 230), "");
}

std::vector<uint8_t> GiftBoxModel3ds(const std::string& mapFile)
{
    // A box with a lid a little wider than it, standing on y = 0.
    MeshPart m;
    Block(m, {-10, 0, -10}, {10, 14, 10}, false);
    Block(m, {-10.8f, 12, -10.8f}, {10.8f, 17, 10.8f}, true);
    return Model3ds("GiftBox", m, Rgb(200, 40, 60), mapFile);
}

} // namespace pc::probe
