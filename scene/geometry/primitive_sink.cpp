#include "scene/geometry/primitive_sink.h"

#include "scene/model/c3ds_draw.h"
#include "scene/model/lit_color.h"
#include "scene/text/text3d.h"

namespace pc::scene {

void GlSink::Begin(GLenum mode)
{
    glBegin(mode);
    inPrimitive_ = true;
}

void GlSink::End()
{
    glEnd();
    inPrimitive_ = false;
}

void GlSink::Vertex(float x, float y, float z) { glVertex3f(x, y, z); }
void GlSink::Normal(float x, float y, float z) { glNormal3f(x, y, z); }
void GlSink::TexCoord(float s, float t) { glTexCoord2f(s, t); }

// A colour set between primitives is a face's material: lighting must take
// it even when it equals the colour last set.
void GlSink::Color(float r, float g, float b, float a)
{
    if (inPrimitive_)
        glColor4f(r, g, b, a);
    else
        SetLitColor(r, g, b, a);
}

// Binding name 0 alone would leave texturing on with an incomplete texture,
// which samples black on current drivers rather than showing the colour.
void GlSink::BindTexture(unsigned id)
{
    glBindTexture(GL_TEXTURE_2D, id);
    if (id == 0)
        glDisable(GL_TEXTURE_2D);
    else
        glEnable(GL_TEXTURE_2D);
}

void GlSink::Enable(GLenum cap) { glEnable(cap); }
void GlSink::Disable(GLenum cap) { glDisable(cap); }
void GlSink::BlendFunc(GLenum src, GLenum dst) { glBlendFunc(src, dst); }
void GlSink::LineWidth(float width) { glLineWidth(width); }
void GlSink::PolygonOffset(float factor, float units) { glPolygonOffset(factor, units); }
void GlSink::Material(GLenum pname, const Rgba& value) { glMaterialfv(GL_FRONT, pname, value.data()); }
void GlSink::Shininess(float value) { glMaterialf(GL_FRONT, GL_SHININESS, value); }
void GlSink::PushMatrix() { glPushMatrix(); }
void GlSink::PopMatrix() { glPopMatrix(); }
void GlSink::Translate(float x, float y, float z) { glTranslatef(x, y, z); }
void GlSink::Rotate(float degrees, float x, float y, float z) { glRotatef(degrees, x, y, z); }
void GlSink::Scale(float x, float y, float z) { glScalef(x, y, z); }

void GlSink::BezierPatch(const std::array<float, 48>& grid, const std::array<float, 8>& texture, int un, int vn)
{
    glPushAttrib(GL_EVAL_BIT);
    glMap2f(GL_MAP2_VERTEX_3, 0, 1, 3, 4, 0, 1, 12, 4, grid.data());
    glMap2f(GL_MAP2_TEXTURE_COORD_2, 0, 1, 2, 2, 0, 1, 4, 2, texture.data());
    glEnable(GL_MAP2_VERTEX_3);
    glEnable(GL_MAP2_TEXTURE_COORD_2);
    glMapGrid2f(un, 0, 1, vn, 0, 1);
    glEvalMesh2(GL_FILL, 0, un, 0, vn);
    glPopAttrib();
}

// Meshes without texture coordinates get generated ones; the mode is set
// here every time so it does not depend on whether 3D text (object-linear)
// was drawn before in the same context.
void GlSink::Model3DS(const C3DS::t3DModel& model, float sx, float sy, float sz, bool shadow,
                      const std::function<void()>& bindNoMaterial)
{
    glPushAttrib(GL_TEXTURE_BIT);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
    Draw3DSModel(model, sx, sy, sz, shadow, bindNoMaterial);
    glPopAttrib();
}

void GlSink::Text3D(const std::string& text, const std::string& faceName)
{
    glPushAttrib(GL_TEXTURE_BIT);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    Draw3DText(text, faceName);
    glPopAttrib();
}

} // namespace pc::scene
