#include "scene/model/c3ds_draw.h"

#include <GL/gl.h>

#include "scene/model/lit_color.h"

namespace pc {
namespace {

void SetModelBlending()
{
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
}

} // namespace

void BindModelMaterial(const C3DS::tMaterialInfo& material)
{
    // Colour, texturing and blending are set for every material: whatever
    // was drawn before the model may have left any of them either way. A
    // picture that could not be loaded (no texture) falls back to the
    // material's colour.
    const float alpha = float(material.alpha) / 255.0f;
    if (!material.mapFile.empty() && material.textureId != 0) {
        SetLitColor(1, 1, 1, alpha);
        glBindTexture(GL_TEXTURE_2D, GLuint(material.textureId));
        glEnable(GL_TEXTURE_2D);
    } else {
        SetLitColor(float(material.color[0]) / 255.0f, float(material.color[1]) / 255.0f,
                    float(material.color[2]) / 255.0f, alpha);
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_TEXTURE_2D);
    }
    SetModelBlending();
}

namespace {

void DrawMesh(const C3DS::t3DModel& model, const C3DS::t3DObject& mesh, float sx, float sy, float sz, bool shadow,
              const std::function<void()>& bindNoMaterial)
{
    const float v = mesh.visibleSize;
    const bool hasUv = !mesh.texcoords.empty();
    const int materials = int(model.materials.size());
    // Without texture coordinates a texture is laid on by generation.
    if (!hasUv) {
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
    }
    int bound = -2; // nothing bound yet
    bool open = false;
    float uTile = 1, vTile = 1, uOffset = 0, vOffset = 0;
    for (const auto& f : mesh.faces) {
        int m = f.material >= 0 && f.material < materials ? f.material : -1;
        if (m != bound) {
            if (open)
                glEnd();
            if (!shadow) {
                if (m >= 0)
                    BindModelMaterial(model.materials[m]);
                else if (bindNoMaterial)
                    bindNoMaterial();
            }
            if (m >= 0) {
                const auto& mat = model.materials[m];
                uTile = mat.uTile, vTile = mat.vTile, uOffset = mat.uOffset, vOffset = mat.vOffset;
            } else {
                uTile = 1, vTile = 1, uOffset = 0, vOffset = 0;
            }
            bound = m;
            glBegin(GL_TRIANGLES);
            open = true;
        }
        glNormal3f(f.normal.x * sx * v, f.normal.y * sy * v, f.normal.z * sz * v);
        for (uint16_t i : {f.a, f.b, f.c}) {
            if (i >= mesh.verts.size())
                continue;
            if (hasUv && i < mesh.texcoords.size()) {
                const auto& t = mesh.texcoords[i];
                glTexCoord2f(t.u * uTile + uOffset, t.v * vTile + vOffset);
            }
            const auto& p = mesh.verts[i];
            glVertex3f(p.x, p.y, p.z);
        }
    }
    if (open)
        glEnd();
    if (!hasUv) {
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
    }
}

} // namespace

void Draw3DSModel(const C3DS::t3DModel& model, float sx, float sy, float sz, bool shadow,
                  const std::function<void()>& bindNoMaterial)
{
    glPushMatrix();
    glScalef(sx, sy, sz);
    if (!shadow)
        SetModelBlending();
    for (const auto& mesh : model.objects) {
        if (mesh.visibleSize == 0)
            continue;
        glPushMatrix();
        glScalef(mesh.visibleSize, mesh.visibleSize, mesh.visibleSize);
        DrawMesh(model, mesh, sx, sy, sz, shadow, bindNoMaterial);
        glPopMatrix();
    }
    if (!shadow)
        glDisable(GL_BLEND);
    glPopMatrix();
}

} // namespace pc
