#include "scene/pages/face_commands.h"

#include <functional>

#include "scene/pages/face_picture.h"
#include "scene/pages/face_textures.h"
#include "scene/pages/object_page.h"

namespace pc {

GLTSObject* OwningObject(const FacePicture& pic)
{
    // A face sits in a section of the page's scroll area.
    for (QWidget* w = pic.parentWidget(); w; w = w->parentWidget())
        if (auto* page = qobject_cast<GLTSObject*>(w))
            return page;
    return nullptr;
}

namespace {

// load makes the texture, given the number to replace (0 for a new one).
void ShowLoaded(FacePicture& pic, TColor frameColor, const std::function<LoadedTexture(int textureId)>& load)
{
    GLTSObject* page = OwningObject(pic);
    bool modelSwatch = page && page->ObjectKind == 7;
    // The material keeps its own texture until the new one stands.
    LoadedTexture loaded = load(modelSwatch ? 0 : pic.Tag);
    pic.Tag = loaded.textureId;
    // White only once the picture stands, so a failed load leaves the face's
    // colour and its swatch in agreement.
    pic.BrushColor = clWhite;
    if (loaded.thumbnail)
        pic.DrawStretched(*loaded.thumbnail);
    pic.DrawOuterFrame(frameColor);
    if (modelSwatch)
        page->SelectedMaterialTakesPicture(loaded.textureId);
}

} // namespace

void LoadFacePicture(FacePicture& pic, const std::string& file, TextureStore& textures, TColor frameColor)
{
    ShowLoaded(pic, frameColor, [&](int textureId) { return textures.Load(file, textureId); });
}

void LoadFacePictureBytes(FacePicture& pic, const std::vector<uint8_t>& bytes, const std::string& name,
                          TextureStore& textures, TColor frameColor)
{
    ShowLoaded(pic, frameColor, [&](int textureId) { return textures.LoadBmpBytes(bytes, name, textureId); });
}

void SetFaceColor(FacePicture& pic, TColor color, TColor frameColor, TextureStore& textures)
{
    pic.BrushColor = color;
    pic.PenColor = frameColor;
    pic.FillSolid();
    GLTSObject* page = OwningObject(pic);
    bool materialTook = page && page->ObjectKind == 7 && page->SelectedMaterialTakesColor(color);
    // Nothing refers to the old texture any more (a material that took the
    // colour gave back its own, which the swatch showed), unless a material
    // the swatch showed still holds it.
    if (!materialTook && pic.Tag > 0 && !textures.Holds(pic.Tag))
        textures.Release(pic.Tag);
    pic.Tag = 0;
}

} // namespace pc
