// The 3DS page's material and sub-object controls.
#include <QComboBox>
#include <QLineEdit>
#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

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

// Materials may share one texture; it goes with the last of them.
bool SharedWithAnother(const C3DS::t3DModel& model, const C3DS::tMaterialInfo& mat)
{
    return std::any_of(model.materials.begin(), model.materials.end(),
                       [&](const C3DS::tMaterialInfo& other) { return &other != &mat && other.textureId == mat.textureId; });
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
    // Real models often lay one atlas under many materials: each picture is
    // loaded once and its texture shared. A texture the materials held
    // before is replaced in place by the last of them to let it go.
    struct Shared {
        int textureId;
        std::string chosen;
    };
    std::map<std::string, Shared> byPicture;
    std::map<int, int> holders;
    for (const C3DS::tMaterialInfo& mat : model.materials)
        if (mat.textureId > 0)
            ++holders[mat.textureId];
    std::set<int> fresh;
    for (size_t m = 0; m < model.materials.size(); ++m) {
        C3DS::tMaterialInfo& mat = model.materials[m];
        ListBoxes[0]->addItem(QString::fromStdString(mat.name + " -#" + std::to_string(m)));
        std::string picture = FileExists(MaterialPictures[m]) ? MaterialPictures[m] : ResolveMapFile(mat.mapFile, modelFolder);
        const int old = mat.textureId;
        const bool oldFree = old > 0 && --holders[old] == 0 && !fresh.count(old);
        Shared now{0, ""};
        bool replaced = false;
        if (auto it = byPicture.find(picture); it != byPicture.end()) {
            now = it->second;
        } else if (!picture.empty()) {
            try {
                LoadedTexture loaded = textures_.Load(picture, oldFree ? old : 0);
                replaced = oldFree;
                now = {loaded.textureId, loaded.thumbnail ? WorkFileOf(loaded.textureId) : picture};
                fresh.insert(loaded.textureId);
            } catch (const Error&) {
                // A picture we cannot read leaves the material without one.
            }
            byPicture[picture] = now;
        }
        if (oldFree && !replaced)
            textures_.Release(old);
        mat.textureId = now.chosen.empty() ? 0 : now.textureId;
        mat.mapFile = now.chosen;
        mat.uOffset = mat.vOffset = 0;
        mat.uTile = mat.vTile = 1.0f;
    }
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
    if (mat.textureId > 0 && mat.textureId != textureId && !SharedWithAnother(Model->Model(), mat))
        textures_.Release(mat.textureId);
    mat.textureId = textureId;
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
    if (mat.textureId > 0 && !SharedWithAnother(Model->Model(), mat))
        textures_.Release(mat.textureId);
    mat.textureId = 0;
    return true;
}

void GLTSObject::ReleaseMaterialTextures(bool deleteWorkFiles)
{
    if (!Model)
        return;
    std::set<int> released;
    for (C3DS::tMaterialInfo& mat : Model->Model().materials) {
        if (mat.textureId <= 0)
            continue;
        if (!released.insert(mat.textureId).second) {
            mat.textureId = 0;
            continue;
        }
        if (deleteWorkFiles) {
            std::error_code ec;
            std::filesystem::remove(WorkFileOf(mat.textureId), ec);
        }
        // The swatch shows the same texture; it must not give it back twice.
        if (Faces[0]->Tag == mat.textureId)
            Faces[0]->Tag = 0;
        textures_.Release(std::exchange(mat.textureId, 0));
    }
}

} // namespace pc
