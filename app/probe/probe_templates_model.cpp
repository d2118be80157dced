#include "app/probe/probe_templates_art.h"

#include <array>
#include <cmath>
#include <cstring>

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

} // namespace

std::vector<uint8_t> CrystalModel3ds()
{
    // Six sides around Z, a ring at each end of the prism and a tip beyond.
    constexpr int kSides = 6;
    constexpr float kRadius = 10, kHalfLength = 12, kTip = 22;
    std::vector<std::array<float, 3>> vertices;
    for (float z : {-kHalfLength, kHalfLength})
        for (int i = 0; i < kSides; ++i) {
            const float a = float(i) * 2 * float(M_PI) / kSides;
            vertices.push_back({kRadius * std::cos(a), kRadius * std::sin(a), z});
        }
    const uint16_t bottomTip = uint16_t(vertices.size());
    vertices.push_back({0, 0, -kTip});
    const uint16_t topTip = uint16_t(vertices.size());
    vertices.push_back({0, 0, kTip});
    std::vector<std::array<uint16_t, 3>> faces;
    for (uint16_t i = 0; i < kSides; ++i) {
        const uint16_t j = uint16_t((i + 1) % kSides);
        faces.push_back({i, j, uint16_t(kSides + j)});
        faces.push_back({i, uint16_t(kSides + j), uint16_t(kSides + i)});
        faces.push_back({j, i, bottomTip});
        faces.push_back({uint16_t(kSides + i), uint16_t(kSides + j), topTip});
    }

    // Every face its own corners, so the facets stay flat when shaded.
    std::vector<std::array<float, 3>> corners;
    for (auto& f : faces)
        for (uint16_t& i : f) {
            corners.push_back(vertices[i]);
            i = uint16_t(corners.size() - 1);
        }
    vertices = std::move(corners);

    ChunkWriter w;
    const size_t main = w.Open(0x4D4D);
    const size_t version = w.Open(0x0002);
    w.U32(3);
    w.Close(version);
    const size_t editor = w.Open(0x3D3D);

    const size_t material = w.Open(0xAFFF);
    const size_t name = w.Open(0xA000);
    w.Text("Crystal");
    w.Close(name);
    const size_t diffuse = w.Open(0xA020);
    const size_t colour = w.Open(0x0011);
    w.bytes.insert(w.bytes.end(), {uint8_t(70), uint8_t(150), uint8_t(230)});
    w.Close(colour);
    w.Close(diffuse);
    w.Close(material);

    const size_t object = w.Open(0x4000);
    w.Text("Crystal");
    const size_t mesh = w.Open(0x4100);
    const size_t vertexList = w.Open(0x4110);
    w.U16(uint16_t(vertices.size()));
    for (const auto& v : vertices)
        for (float f : v)
            w.F32(f);
    w.Close(vertexList);
    const size_t faceList = w.Open(0x4120);
    w.U16(uint16_t(faces.size()));
    for (const auto& f : faces) {
        for (uint16_t i : f)
            w.U16(i);
        w.U16(7); // edge flags
    }
    const size_t group = w.Open(0x4130);
    w.Text("Crystal");
    w.U16(uint16_t(faces.size()));
    for (uint16_t i = 0; i < faces.size(); ++i)
        w.U16(i);
    w.Close(group);
    w.Close(faceList);
    w.Close(mesh);
    w.Close(object);

    w.Close(editor);
    w.Close(main);
    return w.bytes;
}

} // namespace pc::probe
