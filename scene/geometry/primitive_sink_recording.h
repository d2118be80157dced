#pragma once
// A sink that keeps what the geometry emits: every primitive with its
// vertices (placed by the sink's own matrix stack), the state calls, and the
// Bezier patches, so tests can check shapes without a GL context.
#include <set>
#include <vector>

#include "scene/geometry/primitive_sink.h"
#include "scene/geometry/shadow_matrix.h"
#include "scene/geometry/vector_math.h"

namespace pc::scene {

struct RecordedVertex {
    Vec3 position; // after the sink's current matrix
    Vec3 normal;   // as given
    float s = 0, t = 0;
    Rgba color{1, 1, 1, 1};
    unsigned texture = 0;
};

struct RecordedPrimitive {
    GLenum mode = 0;
    std::vector<RecordedVertex> vertices;
};

struct RecordedPatch {
    std::array<float, 48> grid{};
    std::array<float, 8> texture{};
    int un = 0, vn = 0;
    bool autoNormal = false;
};

struct RecordedModel {
    const C3DS::t3DModel* model = nullptr;
    float sx = 0, sy = 0, sz = 0;
    bool shadow = false;
    Rgba noMaterialColor{};     // what bindNoMaterial set
    unsigned noMaterialTexture = 0;
};

struct RecordedText {
    std::string text, faceName;
    Matrix4 matrix;
    Rgba color;
    bool blend = false;
};

class RecordingSink final : public PrimitiveSink {
public:
    RecordingSink();

    void Begin(GLenum mode) override;
    void End() override;
    void Vertex(float x, float y, float z) override;
    void Normal(float x, float y, float z) override;
    void TexCoord(float s, float t) override;
    void Color(float r, float g, float b, float a) override;
    void BindTexture(unsigned id) override;
    void Enable(GLenum cap) override;
    void Disable(GLenum cap) override;
    void BlendFunc(GLenum src, GLenum dst) override;
    void LineWidth(float width) override;
    void PolygonOffset(float factor, float units) override;
    void Material(GLenum pname, const Rgba& value) override;
    void Shininess(float value) override;
    void PushMatrix() override;
    void PopMatrix() override;
    void Translate(float x, float y, float z) override;
    void Rotate(float degrees, float x, float y, float z) override;
    void Scale(float x, float y, float z) override;
    void BezierPatch(const std::array<float, 48>& grid, const std::array<float, 8>& texture, int un,
                     int vn) override;
    void Model3DS(const C3DS::t3DModel& model, float sx, float sy, float sz, bool shadow,
                  const std::function<void()>& bindNoMaterial) override;
    void Text3D(const std::string& text, const std::string& faceName) override;

    // Primitives of one mode, in emission order.
    std::vector<const RecordedPrimitive*> OfMode(GLenum mode) const;
    size_t VertexCount() const;

    std::vector<RecordedPrimitive> primitives;
    std::vector<RecordedPatch> patches;
    std::vector<RecordedModel> models;
    std::vector<RecordedText> texts;
    std::vector<unsigned> boundTextures; // every BindTexture call in order
    std::set<GLenum> enabled;
    float lineWidth = 1;
    std::array<float, 2> polygonOffset{0, 0}; // factor, units
    GLenum blendSrc = GL_ONE, blendDst = GL_ZERO;
    Rgba ambient{}, diffuse{}, specular{};
    float shininess = 0;
    Matrix4 matrix; // current model matrix, column-major
    int unbalanced = 0; // Begin without End, or pops past the bottom

private:
    std::vector<Matrix4> stack_;
    bool inside_ = false;
    Vec3 normal_{0, 0, 1};
    float s_ = 0, t_ = 0;
    Rgba color_{1, 1, 1, 1};
    unsigned texture_ = 0;
};

// Column-major 4 x 4 product a * b.
Matrix4 Multiply(const Matrix4& a, const Matrix4& b);
Vec3 Transform(const Matrix4& m, const Vec3& p);

} // namespace pc::scene
