#include "scene/geometry/primitive_sink_recording.h"

#include <cmath>

namespace pc::scene {
namespace {

constexpr Matrix4 kIdentity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

} // namespace

Matrix4 Multiply(const Matrix4& a, const Matrix4& b)
{
    Matrix4 r{};
    for (int c = 0; c < 4; ++c)
        for (int row = 0; row < 4; ++row) {
            float sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a[k * 4 + row] * b[c * 4 + k];
            r[c * 4 + row] = sum;
        }
    return r;
}

Vec3 Transform(const Matrix4& m, const Vec3& p)
{
    float v[4] = {p.x, p.y, p.z, 1};
    float out[4] = {};
    for (int row = 0; row < 4; ++row)
        for (int k = 0; k < 4; ++k)
            out[row] += m[k * 4 + row] * v[k];
    float w = out[3] == 0 ? 1 : out[3];
    return {out[0] / w, out[1] / w, out[2] / w};
}

RecordingSink::RecordingSink() : matrix(kIdentity) {}

void RecordingSink::Begin(GLenum mode)
{
    if (inside_)
        ++unbalanced;
    inside_ = true;
    primitives.push_back({mode, {}});
}

void RecordingSink::End()
{
    if (!inside_)
        ++unbalanced;
    inside_ = false;
}

void RecordingSink::Vertex(float x, float y, float z)
{
    if (!inside_) {
        ++unbalanced;
        return;
    }
    primitives.back().vertices.push_back({Transform(matrix, {x, y, z}), normal_, s_, t_, color_, texture_});
}

void RecordingSink::Normal(float x, float y, float z) { normal_ = {x, y, z}; }

void RecordingSink::TexCoord(float s, float t)
{
    s_ = s;
    t_ = t;
}

void RecordingSink::Color(float r, float g, float b, float a) { color_ = {r, g, b, a}; }

void RecordingSink::BindTexture(unsigned id)
{
    texture_ = id;
    boundTextures.push_back(id);
}

void RecordingSink::Enable(GLenum cap) { enabled.insert(cap); }
void RecordingSink::Disable(GLenum cap) { enabled.erase(cap); }

void RecordingSink::BlendFunc(GLenum src, GLenum dst)
{
    blendSrc = src;
    blendDst = dst;
}

void RecordingSink::LineWidth(float width) { lineWidth = width; }
void RecordingSink::PolygonOffset(float factor, float units) { polygonOffset = {factor, units}; }

void RecordingSink::Material(GLenum pname, const Rgba& value)
{
    if (pname == GL_AMBIENT)
        ambient = value;
    else if (pname == GL_DIFFUSE)
        diffuse = value;
    else if (pname == GL_SPECULAR)
        specular = value;
}

void RecordingSink::Shininess(float value) { shininess = value; }

void RecordingSink::PushMatrix() { stack_.push_back(matrix); }

void RecordingSink::PopMatrix()
{
    if (stack_.empty()) {
        ++unbalanced;
        return;
    }
    matrix = stack_.back();
    stack_.pop_back();
}

void RecordingSink::Translate(float x, float y, float z)
{
    Matrix4 t = kIdentity;
    t[12] = x;
    t[13] = y;
    t[14] = z;
    matrix = Multiply(matrix, t);
}

// The rotation glRotatef builds.
void RecordingSink::Rotate(float degrees, float x, float y, float z)
{
    Vec3 a = Vec3Normalize({x, y, z});
    double rad = degrees * M_PI / 180.0;
    float c = float(std::cos(rad)), s = float(std::sin(rad)), k = 1 - c;
    Matrix4 r = kIdentity;
    r[0] = a.x * a.x * k + c;
    r[1] = a.y * a.x * k + a.z * s;
    r[2] = a.x * a.z * k - a.y * s;
    r[4] = a.x * a.y * k - a.z * s;
    r[5] = a.y * a.y * k + c;
    r[6] = a.y * a.z * k + a.x * s;
    r[8] = a.x * a.z * k + a.y * s;
    r[9] = a.y * a.z * k - a.x * s;
    r[10] = a.z * a.z * k + c;
    matrix = Multiply(matrix, r);
}

void RecordingSink::Scale(float x, float y, float z)
{
    Matrix4 m = kIdentity;
    m[0] = x;
    m[5] = y;
    m[10] = z;
    matrix = Multiply(matrix, m);
}

void RecordingSink::BezierPatch(const std::array<float, 48>& grid, const std::array<float, 8>& texture, int un,
                                int vn)
{
    patches.push_back({grid, texture, un, vn, enabled.count(GL_AUTO_NORMAL) > 0});
}

void RecordingSink::Model3DS(const C3DS::t3DModel& model, float sx, float sy, float sz, bool shadow,
                             const std::function<void()>& bindNoMaterial)
{
    Rgba color = color_;
    unsigned texture = texture_;
    if (!shadow && bindNoMaterial)
        bindNoMaterial();
    models.push_back({&model, sx, sy, sz, shadow, color_, texture_});
    color_ = color;
    texture_ = texture;
}

void RecordingSink::Text3D(const std::string& text, const std::string& faceName)
{
    texts.push_back({text, faceName, matrix, color_, enabled.count(GL_BLEND) > 0});
}

std::vector<const RecordedPrimitive*> RecordingSink::OfMode(GLenum mode) const
{
    std::vector<const RecordedPrimitive*> out;
    for (const auto& p : primitives)
        if (p.mode == mode)
            out.push_back(&p);
    return out;
}

size_t RecordingSink::VertexCount() const
{
    size_t n = 0;
    for (const auto& p : primitives)
        n += p.vertices.size();
    return n;
}

} // namespace pc::scene
