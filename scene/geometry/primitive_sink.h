#pragma once
// Where the geometry goes: the few fixed-function calls the object and floor
// drawing make. GlSink sends them to the current context; RecordingSink keeps
// them for tests.
#include <GL/gl.h>

#include <array>
#include <functional>
#include <string>

#include "scene/model/c3ds.h"

namespace pc::scene {

using Rgba = std::array<float, 4>;

class PrimitiveSink {
public:
    virtual ~PrimitiveSink() = default;

    virtual void Begin(GLenum mode) = 0;
    virtual void End() = 0;
    virtual void Vertex(float x, float y, float z) = 0;
    virtual void Normal(float x, float y, float z) = 0;
    virtual void TexCoord(float s, float t) = 0;
    virtual void Color(float r, float g, float b, float a) = 0;
    // 0 turns texturing off so that the colour alone shows; any other name
    // turns it on with that texture.
    virtual void BindTexture(unsigned id) = 0;
    virtual void Enable(GLenum cap) = 0;
    virtual void Disable(GLenum cap) = 0;
    virtual void BlendFunc(GLenum src, GLenum dst) = 0;
    virtual void LineWidth(float width) = 0;
    // Depth offset of filled polygons (GL_POLYGON_OFFSET_FILL must be on).
    virtual void PolygonOffset(float factor, float units) = 0;
    // Front material colour (GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR) or shininess.
    virtual void Material(GLenum pname, const Rgba& value) = 0;
    virtual void Shininess(float value) = 0;

    virtual void PushMatrix() = 0;
    virtual void PopMatrix() = 0;
    virtual void Translate(float x, float y, float z) = 0;
    virtual void Rotate(float degrees, float x, float y, float z) = 0;
    virtual void Scale(float x, float y, float z) = 0;

    // A bicubic patch: 4 x 4 control points (row by v, column by u) and a
    // bilinear texture map, evaluated on an un x vn grid.
    virtual void BezierPatch(const std::array<float, 48>& grid, const std::array<float, 8>& texture, int un,
                             int vn) = 0;

    // A loaded model scaled by (sx, sy, sz); faces without a material take
    // their colour from bindNoMaterial.
    virtual void Model3DS(const C3DS::t3DModel& model, float sx, float sy, float sz, bool shadow,
                          const std::function<void()>& bindNoMaterial) = 0;
    // Extruded text at the current position; texture coordinates come from
    // object-linear generation.
    virtual void Text3D(const std::string& text, const std::string& faceName) = 0;
};

class GlSink final : public PrimitiveSink {
public:
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

private:
    bool inPrimitive_ = false; // between Begin and End
};

} // namespace pc::scene
