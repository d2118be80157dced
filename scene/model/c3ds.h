#pragma once
// A model in the 3DS chunk format: meshes, materials and the faces' material
// assignment, as the "3DS model" object draws it.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pc {

struct CVector3 {
    float x = 0, y = 0, z = 0;
};

struct CVector2 {
    float u = 0, v = 0;
};

class C3DS {
public:
    // Names and map file names keep at most this many characters.
    static constexpr size_t kMaxName = 254;

    struct tFace {
        uint16_t a = 0, b = 0, c = 0;
        int16_t material = -1; // index into materials, -1 = none
        CVector3 normal;
    };

    struct t3DObject {
        std::string name;
        std::vector<CVector3> verts;
        std::vector<CVector2> texcoords; // one per vertex, or empty
        std::vector<tFace> faces;
        float visibleSize = 1.0f; // 0 hides the mesh
        int32_t numVerts() const { return int32_t(verts.size()); }
        int32_t numFaces() const { return int32_t(faces.size()); }
    };

    struct tMaterialInfo {
        std::string name;
        std::string mapFile; // texture picture as named in the model, "" = none
        // A material without colour or transparency chunks is opaque grey.
        std::array<uint8_t, 3> color{192, 192, 192}; // red, green, blue
        uint8_t alpha = 255;                         // 255 = opaque
        int32_t textureId = 0;
        float uTile = 1, vTile = 1, uOffset = 0, vOffset = 0;
    };

    struct t3DModel {
        std::vector<tMaterialInfo> materials;
        std::vector<t3DObject> objects;
    };

    C3DS() = default;
    virtual ~C3DS() = default;

    // False when the file cannot be read; the model is then empty.
    bool Load(const std::string& path);
    // Reads a model held in memory. Damaged data ends the reading; what came
    // before stays and Problem() says what went wrong.
    void LoadFromBytes(std::span<const uint8_t> data);

    // Face normals, then centres the model and scales its largest extent to 2.
    // Returns the bottom y after scaling.
    float Unitize();

    // Why reading stopped early ("" when the whole file was read).
    const std::string& Problem() const { return problem_; }

    t3DModel& Model() { return model_; }
    const t3DModel& Model() const { return model_; }

private:
    t3DModel model_;
    std::string problem_;
};

} // namespace pc
