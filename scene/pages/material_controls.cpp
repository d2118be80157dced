// The 3DS page's material and sub-object controls.
#include <QComboBox>
#include <QLineEdit>
#include <filesystem>
#include <utility>
#include <vector>

#include "platform/bmp_file.h"
#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/scoped_value.h"
#include "platform/track_bar.h"
#include "scene/model/c3ds.h"
#include "scene/pages/face_picture.h"
#include "scene/pages/face_textures.h"
#include "scene/pages/material_values.h"
#include "scene/pages/object_page.h"

namespace pc {

namespace {

std::string WorkFileOf(int textureId)
{
    return TextureFolder() + std::to_string(textureId);
}

} // namespace

int GLTSObject::SelectedMaterial() const
{
    if (!Model || !ListBoxes[0])
        return -1;
    int m = ListBoxes[0]->currentIndex();
    return m >= 0 && m < int(Model->Model().materials.size()) ? m : -1;
}

int GLTSObject::SelectedSubObject() const
{
    if (!Model || !ListBoxes[1])
        return -1;
    int o = ListBoxes[1]->currentIndex();
    return o >= 0 && o < int(Model->Model().objects.size()) ? o : -1;
}

void GLTSObject::FillModelLists()
{
    if (!Model)
        return;
    auto& model = Model->Model();
    QSignalBlocker blockModels(ListBoxes[1]);
    QSignalBlocker blockMaterials(ListBoxes[0]);
    ListBoxes[1]->clear();
    for (size_t i = 0; i < model.objects.size(); ++i)
        ListBoxes[1]->addItem(QString::fromStdString(model.objects[i].name + " -#" + std::to_string(i)));
    ListBoxes[0]->clear();
    if (MaterialPictures.size() < model.materials.size())
        MaterialPictures.resize(model.materials.size());
    std::string modelFolder = std::filesystem::path(ModelName).parent_path().string();
    // The old textures go only once the new ones stand, so a picture the
    // materials keep is not loaded again.
    std::vector<int> old;
    for (size_t m = 0; m < model.materials.size(); ++m) {
        C3DS::tMaterialInfo& mat = model.materials[m];
        ListBoxes[0]->addItem(QString::fromStdString(mat.name + " -#" + std::to_string(m)));
        std::string picture = FileExists(MaterialPictures[m]) ? MaterialPictures[m] : ResolveMapFile(mat.mapFile, modelFolder);
        old.push_back(mat.textureId);
        TextureStore::Held now;
        if (!picture.empty()) {
            try {
                now = textures_.HoldPicture(picture);
            } catch (const Error&) {
                // A picture we cannot read leaves the material without one.
            }
        }
        mat.textureId = now.textureId;
        mat.mapFile = now.mapFile;
        mat.uOffset = mat.vOffset = 0;
        mat.uTile = mat.vTile = 1.0f;
    }
    for (int id : old)
        textures_.LetGo(id, false);
}

void GLTSObject::MaterialsChange()
{
    int m = SelectedMaterial();
    if (m < 0)
        return;
    C3DS::tMaterialInfo& mat = Model->Model().materials[m];
    FacePicture& swatch = *Faces[0];
    swatch.show();
    swatch.BrushColor = RGB(mat.color[0], mat.color[1], mat.color[2]);
    swatch.PaintFramed();
    if (!mat.mapFile.empty() && !FileExists(mat.mapFile))
        mat.mapFile.clear();
    swatch.Tag = 0;
    // The work file is what shows; a material without a texture has none.
    if (!mat.mapFile.empty() && mat.textureId > 0 && FileExists(WorkFileOf(mat.textureId))) {
        try {
            swatch.DrawStretched(LoadBmpFile(WorkFileOf(mat.textureId)));
            swatch.Tag = mat.textureId;
        } catch (const Error&) {
            // The swatch keeps the colour alone.
        }
    }
    ScopedValue<bool> showing(showingMaterial_, true);
    auto positions = MaterialPositions(mat);
    for (int i = 0; i < kMaterialBars; ++i)
        KindTrackbars[i]->SetPosition(positions[i]);
}

void GLTSObject::ModelsChange()
{
    int o = SelectedSubObject();
    if (o < 0)
        return;
    ScopedValue<bool> showing(showingMaterial_, true);
    KindTrackbars[kVisibleSizeBar]->SetPosition(PositionFromVisibleSize(Model->Model().objects[o].visibleSize));
}

void GLTSObject::MaterialTrackbarChange(TrackBar* sender)
{
    int p = sender->Position();
    if (!showingMaterial_) {
        int m = SelectedMaterial();
        int o = SelectedSubObject();
        if (m >= 0 && sender->Tag < kMaterialBars)
            ApplyMaterialPosition(Model->Model().materials[m], sender->Tag, p);
        else if (o >= 0 && sender->Tag == kVisibleSizeBar)
            Model->Model().objects[o].visibleSize = float(VisibleSizeFromPosition(p));
    }
    sender->Hint = QString::number(p);
}

bool GLTSObject::SelectedMaterialTakesPicture(int textureId)
{
    int m = SelectedMaterial();
    if (m < 0)
        return false;
    C3DS::tMaterialInfo& mat = Model->Model().materials[m];
    textures_.HoldTexture(textureId);
    textures_.LetGo(std::exchange(mat.textureId, textureId), false);
    // The work file stays as long as the texture; a source picture may not.
    mat.mapFile = WorkFileOf(textureId);
    return true;
}

bool GLTSObject::SelectedMaterialTakesColor(TColor color)
{
    int m = SelectedMaterial();
    if (m < 0)
        return false;
    C3DS::tMaterialInfo& mat = Model->Model().materials[m];
    mat.color = {GetRValue(color), GetGValue(color), GetBValue(color)};
    mat.mapFile.clear();
    textures_.LetGo(std::exchange(mat.textureId, 0), false);
    return true;
}

void GLTSObject::ReleaseMaterialTextures(bool deleteWorkFiles)
{
    if (!Model)
        return;
    for (C3DS::tMaterialInfo& mat : Model->Model().materials) {
        if (mat.textureId <= 0)
            continue;
        // The swatch shows the same texture; it must not give it back again.
        if (Faces[0]->Tag == mat.textureId)
            Faces[0]->Tag = 0;
        textures_.LetGo(std::exchange(mat.textureId, 0), deleteWorkFiles);
    }
}

} // namespace pc
