#include "app/window/project_scene_bridge.h"
#include "app/window/box_pictures.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>
#include <filesystem>
#include <map>
#include <utility>

#include "app/window/main_window.h"
#include "app/window/picture_box.h"
#include "app/window/project_kept_parts.h"
#include "app/project/project_file.h"
#include "platform/bmp_file.h"
#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/track_bar.h"
#include "scene/model/c3ds.h"
#include "scene/pages/face_commands.h"
#include "scene/pages/face_picture.h"
#include "scene/pages/face_textures.h"
#include "scene/pages/kind_controls.h"
#include "scene/pages/object_commands.h"
#include "scene/pages/object_page.h"

namespace pc {

namespace {

using project::Blob;

void RemoveFile(const std::string& path)
{
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

// The material pictures the object wrote; those named by objects before
// it are the work files of their textures.
void RemoveOwnMaterialFiles(const GLTSObject& page)
{
    const std::string own = ModelWorkFile(page.Tag) + "_";
    for (const std::string& picture : page.MaterialPictures)
        if (picture.compare(0, own.size(), own) == 0)
            RemoveFile(picture);
}

// The blob's bytes; none when the file no longer holds them (it changed
// after it was checked).
project::KeptBytes KeptBytesOf(const project::ProjectSource& file, const Blob& blob)
{
    try {
        return std::make_shared<const std::vector<uint8_t>>(project::BlobBytes(file, blob));
    } catch (const Error&) {
        return nullptr;
    }
}

// Loads picture bytes as a new texture; nothing when they do not load.
std::optional<LoadedTexture> LoadPictureBytes(TextureStore& textures, const std::vector<uint8_t>& bytes,
                                              const std::string& name)
{
    try {
        return textures.LoadBmpBytes(bytes, name, 0);
    } catch (const Error&) {
        return std::nullopt;
    }
}

int32_t PackMaterialColor(const C3DS::tMaterialInfo& mat)
{
    return int32_t(uint32_t(mat.color[0]) | uint32_t(mat.color[1]) << 8 | uint32_t(mat.color[2]) << 16 |
                   uint32_t(mat.alpha) << 24);
}

void LoadBoxBlob(TFormMainQV7K& w, PictureBox& box, int savedTag, TColor colour, const project::ProjectSource& file,
                 const Blob& blob, const std::string& name, std::vector<std::string>& unshown)
{
    ReleaseBoxPicture(box, *w.Textures);
    KeptPicture::Drop(box);
    box.BrushColor = colour;
    // The saved number only says a picture was there; ours is what the load makes.
    box.DrawFrame(colour);
    if (savedTag == 0 || !blob.Present())
        return;
    project::KeptBytes bytes = KeptBytesOf(file, blob);
    if (!bytes) {
        unshown.push_back(name);
        return;
    }
    if (auto loaded = BmpLayoutMatches(*bytes) ? LoadPictureBytes(*w.Textures, *bytes, name) : std::nullopt) {
        box.Tag = loaded->textureId;
        if (loaded->thumbnail)
            box.DrawPicture(QImageOf(*loaded->thumbnail));
        return;
    }
    KeptPicture::Keep(box, std::move(bytes), colour);
    unshown.push_back(name);
}

std::string PageCaption(const GLTSObject& page)
{
    return page.PageControl()->tabText(page.PageControl()->indexOf(&page)).toStdString();
}

project::Object ObjectFromPage(const GLTSObject& page)
{
    project::Object o;
    o.kind = page.ObjectKind;
    // A load does not keep the model's file name: the model comes back in a
    // work file of its own.
    o.name = o.kind == project::kKindModel ? page.ModelTitle() : page.OName;
    o.visible = page.VisibleCheck->isChecked();
    o.read = KeptTexts::Of(page);
    for (int j = 0; j < project::kFaces; ++j) {
        const FacePicture& from = *page.Faces[size_t(j)];
        project::Face& face = o.faces[size_t(j)];
        // A model's swatch only shows a material's picture, which the material saves.
        if (o.kind != project::kKindModel) {
            face.textureId = std::max(from.Tag, 0);
            face.kept = KeptPicture::For(from, from.Tag, from.BrushColor);
        }
        face.colour = from.BrushColor;
    }
    for (int row = 1; row <= 5; ++row)
        for (int col = 0; col < 4; ++col)
            o.trackbars[size_t(row)][size_t(col)] = page.Position(row, col);
    if (o.kind == project::kKindModel) {
        o.modelPath = page.ModelName;
        if (page.Model) {
            for (const auto& mat : page.Model->Model().materials) {
                project::Material m;
                m.uTile = mat.uTile;
                m.vTile = mat.vTile;
                m.uOffset = mat.uOffset;
                m.vOffset = mat.vOffset;
                m.color = PackMaterialColor(mat);
                m.textureId = mat.textureId > 0 && !mat.mapFile.empty() ? mat.textureId : 0;
                o.materials.push_back(m);
            }
            for (const auto& sub : page.Model->Model().objects)
                o.objectVisibleSize.push_back(sub.visibleSize);
        }
        if (const KeptMaterials* kept = KeptMaterials::Of(page)) {
            if (!page.Model || page.Model->Model().objects.empty()) {
                o.materials = kept->Materials();
                o.objectVisibleSize = kept->VisibleSizes();
            } else {
                // A kept picture stands while its material has no other and keeps its colour.
                for (size_t m = 0; m < o.materials.size() && m < kept->Materials().size(); ++m) {
                    const project::Material& read = kept->Materials()[m];
                    project::Material& now = o.materials[m];
                    if (read.kept && now.textureId == 0 && now.color == read.color)
                        now.kept = read.kept;
                }
            }
        }
    }
    if (o.kind == project::kKindText && page.TextMemo) {
        o.fontName = page.TextMemo->font().family().toStdString();
        QString text = page.MemoText();
        if (!text.isEmpty())
            for (const QString& line : text.split('\n'))
                o.textLines.push_back(line.toStdString());
    }
    return o;
}

using PictureFiles = std::map<std::pair<int64_t, int64_t>, std::string>;

// The page is built the way "Add" builds one, from the saved values instead
// of random colours and default pictures. earlier names the work files of the
// textures that objects loaded before made of a picture blob.
GLTSObject& CreatePage(TFormMainQV7K& w, int slot, const project::Object& o, const project::ProjectSource& file,
                       const PictureFiles& earlier)
{
    auto* page = new GLTSObject(w.PC2, *w.Textures);
    std::unique_ptr<GLTSObject> owned(page);
    page->Tag = slot;
    page->ObjectKind = o.kind;
    page->OName = o.name;
    for (int j = 0; j < project::kFaces; ++j) {
        page->Faces[size_t(j)]->BrushColor = o.faces[size_t(j)].colour;
        page->Faces[size_t(j)]->PenColor = 0xFF0000;
    }
    if (o.kind == project::kKindModel) {
        page->ModelName = ModelWorkFile(slot);
        WriteFileAtomic(page->ModelName, project::BlobBytes(file, o.model));
        // Materials that name the same bytes share one work file, and so one texture.
        PictureFiles written;
        for (size_t m = 0; m < o.materials.size(); ++m) {
            std::string picture;
            const project::Blob& blob = o.materials[m].picture;
            if (auto same = written.find({blob.start, blob.size}); same != written.end()) {
                picture = same->second;
            } else if (auto before = earlier.find({blob.start, blob.size}); before != earlier.end()) {
                picture = before->second;
            } else if (blob.Present()) {
                // One that would show garbled is kept as it is, as one that does not load.
                auto bytes = project::BlobBytes(file, blob);
                if (BmpLayoutMatches(bytes)) {
                    picture = MaterialWorkFile(slot, m);
                    WriteFileAtomic(picture, bytes);
                }
                written[{blob.start, blob.size}] = picture;
            }
            page->MaterialPictures.push_back(picture);
        }
    }
    try {
        page->BuildPage();
    } catch (...) {
        RemoveFile(ModelWorkFile(slot));
        RemoveOwnMaterialFiles(*page);
        throw;
    }
    w.Objects.Set(slot, owned.release());
    return *page;
}

// Objects after this one that name a picture blob share the texture it made.
void RememberMaterialPictures(const GLTSObject& page, const project::Object& o, PictureFiles& pictures)
{
    const auto& materials = page.Model->Model().materials;
    for (size_t m = 0; m < materials.size() && m < o.materials.size() && m < page.MaterialPictures.size(); ++m) {
        const Blob& blob = o.materials[m].picture;
        const auto& mat = materials[m];
        if (blob.Present() && !page.MaterialPictures[m].empty() && mat.textureId > 0 &&
            mat.mapFile == TextureFolder() + std::to_string(mat.textureId))
            pictures.try_emplace({blob.start, blob.size}, mat.mapFile);
    }
}

void ApplyModel(GLTSObject& page, const project::Object& o)
{
    RemoveOwnMaterialFiles(page); // in textures by now
    if (!page.Model)
        return;
    auto& model = page.Model->Model();
    for (size_t m = 0; m < model.materials.size() && m < o.materials.size(); ++m) {
        const project::Material& from = o.materials[m];
        auto& to = model.materials[m];
        to.uTile = from.uTile;
        to.vTile = from.vTile;
        to.uOffset = from.uOffset;
        to.vOffset = from.vOffset;
        uint32_t c = uint32_t(from.color);
        to.color = {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)};
        to.alpha = uint8_t(c >> 24);
    }
    for (size_t k = 0; k < model.objects.size() && k < o.objectVisibleSize.size(); ++k)
        model.objects[k].visibleSize = o.objectVisibleSize[k];
    for (QComboBox* list : page.ListBoxes) {
        QSignalBlocker quiet(list);
        list->setCurrentIndex(list->count() > 0 ? 0 : -1);
    }
    page.MaterialsChange();
    page.ModelsChange();
}

void ApplyText(GLTSObject& page, const project::Object& o)
{
    if (!page.TextMemo)
        return;
    QFont font = page.TextMemo->font();
    font.setFamily(QString::fromStdString(o.fontName));
    page.TextMemo->setFont(font);
    QStringList lines;
    for (const std::string& l : o.textLines)
        lines << QString::fromStdString(l);
    page.TextMemo->setPlainText(lines.join('\n'));
}

// A model blob that gives no model (empty ones too) is named and shows
// nothing of its materials: they are written back as they were read. Of a
// model that loads, the material pictures that do not load are kept the same way.
void KeepUnshownMaterials(GLTSObject& page, const project::Object& o, const project::ProjectSource& file,
                          std::vector<std::string>& unshown)
{
    const bool noModel = !page.Model || page.Model->Model().objects.empty();
    if (noModel)
        unshown.push_back(PageCaption(page) + " model");
    std::vector<project::Material> materials = o.materials;
    bool keep = noModel;
    for (size_t m = 0; m < materials.size(); ++m) {
        project::Material& mat = materials[m];
        mat.textureId = 0;
        if (!mat.picture.Present())
            continue;
        if (!noModel) {
            const auto& shown = page.Model->Model().materials;
            if (m >= shown.size() || !shown[m].mapFile.empty())
                continue;
            unshown.push_back(PageCaption(page) + " " + shown[m].name + " -#" + std::to_string(m));
        }
        mat.kept = KeptBytesOf(file, mat.picture);
        keep = true;
    }
    if (keep)
        KeptMaterials::Keep(page, std::move(materials), o.objectVisibleSize);
}

// faces names the texture work files that face pictures loaded before made
// of a picture blob: a blob several faces name is decoded once, and the
// others load the picture it became (at most the scene's size, where the
// blob may declare one of 16384 x 16384 in a few kilobytes of RLE codes).
void ApplyFacesAndTrackbars(TFormMainQV7K& w, GLTSObject& page, const project::Object& o,
                            const project::ProjectSource& file, PictureFiles& faces, std::vector<std::string>& unshown)
{
    for (int j = 0; j < project::kFaces; ++j) {
        const project::Face& face = o.faces[size_t(j)];
        if (o.kind == project::kKindModel || face.textureId == 0 || !face.picture.Present())
            continue;
        FacePicture& picture = *page.Faces[size_t(j)];
        const std::string name = PageCaption(page) + " " + kFaceCaptions[size_t(j)];
        project::KeptBytes bytes = KeptBytesOf(file, face.picture);
        if (!bytes) {
            unshown.push_back(name);
            continue;
        }
        bool shown = BmpLayoutMatches(*bytes);
        try {
            const std::pair key{face.picture.start, face.picture.size};
            if (const auto made = faces.find(key); shown && made != faces.end()) {
                LoadFacePictureBytes(picture, ReadFileBytes(made->second), name, *w.Textures, w.Frame.FloorColor);
            } else if (shown) {
                LoadFacePictureBytes(picture, *bytes, name, *w.Textures, w.Frame.FloorColor);
                faces.emplace(key, TextureFolder() + std::to_string(picture.Tag));
            }
        } catch (const Error&) {
            shown = false;
        }
        if (!shown) {
            // The face shows its colour; its picture stays for the next save.
            KeptPicture::Keep(picture, std::move(bytes), picture.BrushColor);
            unshown.push_back(name);
        }
    }
    for (int row = 1; row <= 5; ++row)
        for (int col = 0; col < 4; ++col) {
            TrackBar* bar = page.TrackbarTable[size_t(row)][size_t(col)];
            if (!bar)
                continue;
            bar->SetPosition(o.trackbars[size_t(row)][size_t(col)].value_or(bar->Max() / 2));
        }
}

} // namespace

std::string ModelWorkFile(int slot)
{
    return TextureFolder() + "temp.bmp" + std::to_string(slot) + ".3ds";
}

std::string MaterialWorkFile(int slot, size_t material)
{
    return ModelWorkFile(slot) + "_" + std::to_string(material) + ".bmp";
}

project::Scene ProjectSceneFromWindow(const TFormMainQV7K& w)
{
    project::Scene s;
    s.exportW = w.TBWidth->value();
    s.exportH = w.TBHeight->value();
    s.cameraX = w.TBCameraX->value();
    s.cameraY = w.TBCameraY->value();
    s.cameraZ = w.TBCameraZ->value();
    s.lookAtX = w.TBCameraLookAtX->value();
    s.lookAtY = w.TBCameraLookAtY->value();
    s.lookAtZ = w.TBCameraLookAtZ->value();
    s.lookAtA = w.TBCameraLookAtA->value();
    s.lightX = w.TBLightX->value();
    s.lightY = w.TBLightY->value();
    s.lightZ = w.TBLightZ->value();
    s.shadowVisible = w.CBShadowVisible->isChecked();
    s.drawLight = w.DrawLight->isChecked();
    s.shadowStrength = w.TBShadowStrength->value();
    s.shadowScale = w.TBShadowScale->value();
    s.shadowDiffuse = w.TBShadowDiffuse->value();
    s.ambientStrength = w.AmbientStrength->value();
    s.floorTextureId = std::max(w.ImageFloor->Tag, 0);
    s.floorColour = w.ImageFloor->BrushColor;
    s.floorKept = KeptPicture::For(*w.ImageFloor, w.ImageFloor->Tag, s.floorColour);
    s.drawAxis = w.DrawAxis->isChecked();
    s.transparentBackground = w.BTransparent->isChecked();
    s.floorAlpha = w.TBFloor_alpha->value();
    s.floorP = w.TBFloor_P->value();
    s.floorDiffuse = w.CBDiffuse->isChecked();
    s.tbfsth = w.TBfsth->value();
    s.tbfstv = w.TBfstv->value();
    s.tbbth = w.TBbth->value();
    s.tbbtv = w.TBbtv->value();
    s.backgroundTextureId = std::max(w.ImageBackground->Tag, 0);
    s.backgroundColour = w.ImageBackground->BrushColor;
    s.backgroundKept = KeptPicture::For(*w.ImageBackground, w.ImageBackground->Tag, s.backgroundColour);
    w.Objects.ForEach([&](const GLTSObject& page) { s.objects[size_t(page.Tag)] = ObjectFromPage(page); });
    s.unreferencedKept = KeptUnreferenced::Of(w);
    return s;
}

void ApplyProjectGlobals(TFormMainQV7K& w, const project::Scene& s, const project::ProjectSource& file,
                         std::vector<std::string>& unshown)
{
    // Sliders clamp into their own ranges (a missing width gives 1).
    w.TBWidth->setValue(s.exportW);
    w.TBHeight->setValue(s.exportH);
    w.TBCameraX->setValue(s.cameraX);
    w.TBCameraY->setValue(s.cameraY);
    w.TBCameraZ->setValue(s.cameraZ);
    w.TBCameraLookAtX->setValue(s.lookAtX);
    w.TBCameraLookAtY->setValue(s.lookAtY);
    w.TBCameraLookAtZ->setValue(s.lookAtZ);
    w.TBCameraLookAtA->setValue(s.lookAtA);
    w.TBLightX->setValue(s.lightX);
    w.TBLightY->setValue(s.lightY);
    w.TBLightZ->setValue(s.lightZ);
    w.CBShadowVisible->setChecked(s.shadowVisible);
    w.DrawLight->setChecked(s.drawLight);
    w.TBShadowStrength->setValue(s.shadowStrength);
    w.TBShadowScale->setValue(s.shadowScale);
    w.TBShadowDiffuse->setValue(s.shadowDiffuse);
    w.AmbientStrength->setValue(s.ambientStrength);
    LoadBoxBlob(w, *w.ImageFloor, s.floorTextureId, s.floorColour, file, s.floorPicture, "Floor", unshown);
    w.DrawAxis->setChecked(s.drawAxis);
    w.BTransparent->setChecked(s.transparentBackground);
    w.TBFloor_alpha->setValue(s.floorAlpha);
    w.TBFloor_P->setValue(s.floorP);
    w.CBDiffuse->setChecked(s.floorDiffuse);
    w.TBfsth->setValue(s.tbfsth);
    w.TBfstv->setValue(s.tbfstv);
    w.TBbth->setValue(s.tbbth);
    w.TBbtv->setValue(s.tbbtv);
    LoadBoxBlob(w, *w.ImageBackground, s.backgroundTextureId, s.backgroundColour, file, s.backgroundPicture,
                "Background", unshown);
}

int AddProjectObjects(TFormMainQV7K& w, const project::Scene& s, const project::ProjectSource& file,
                      std::vector<std::string>& unshown)
{
    int added = 0;
    PictureFiles pictures, faces;
    for (int section = 0; section < project::kSlots; ++section) {
        const auto& o = s.objects[size_t(section)];
        if (!o)
            continue;
        int slot = w.Objects.FirstFree();
        if (slot < 0) {
            ShowMessage(TableFullMessage());
            break;
        }
        GLTSObject* built = nullptr;
        try {
            built = &CreatePage(w, slot, *o, file, pictures);
        } catch (const Error& e) {
            ShowMessage("Object [" + std::to_string(section) + "] was left out: " + e.what());
            continue;
        }
        GLTSObject& page = *built;
        page.VisibleCheck->setChecked(o->visible);
        if (o->kind == project::kKindModel && page.Model)
            RememberMaterialPictures(page, *o, pictures);
        if (o->kind == project::kKindModel) {
            KeepUnshownMaterials(page, *o, file, unshown);
            ApplyModel(page, *o);
        }
        if (o->kind == project::kKindText)
            ApplyText(page, *o);
        if (!o->read.name.empty() || !o->read.fontName.empty() || !o->read.text.empty())
            KeptTexts::Keep(page, o->read);
        ApplyFacesAndTrackbars(w, page, *o, file, faces, unshown);
        if (QCheckBox* lock = page.DragLocks[kRowPosition])
            lock->setChecked(true);
        page.SaveDefaults();
        // The loaded camera stands; joining objects must not pull it back.
        int cameraX = w.TBCameraX->value(), cameraZ = w.TBCameraZ->value();
        w.PC2->setCurrentWidget(&page);
        w.ObjectWindow->ObjectAdded(page);
        w.TBCameraX->setValue(cameraX);
        w.TBCameraZ->setValue(cameraZ);
        w.PC->setCurrentWidget(w.TSObject);
        ++added;
    }
    w.PC2->setUsesScrollButtons(w.PC2->count() > 4);
    return added;
}

} // namespace pc
