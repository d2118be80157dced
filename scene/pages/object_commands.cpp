#include "scene/pages/object_commands.h"

#include <QPlainTextEdit>
#include <QTabWidget>
#include <QCheckBox>
#include <QComboBox>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <random>

#include "platform/file_io.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/track_bar.h"
#include "scene/model/c3ds.h"
#include "scene/pages/face_commands.h"
#include "scene/pages/face_picture.h"
#include "scene/pages/face_textures.h"
#include "scene/pages/kind_controls.h"
#include "scene/pages/object_page.h"
#include "scene/pages/object_table.h"

namespace pc {

namespace {

std::string WorkFileOf(int textureId)
{
    return TextureFolder() + std::to_string(textureId);
}

void RemoveFile(const std::string& path)
{
    std::error_code ec;
    std::filesystem::remove(path, ec); // a missing work file is no error
}

} // namespace

std::optional<std::pair<int, int>> CameraPullBack(int cameraX, int cameraZ, double orbitAngle)
{
    double r = std::sqrt(cameraX * cameraX * 0.0001 + cameraZ * cameraZ * 0.0001) + 0.005;
    if (r >= 5.0)
        return std::nullopt;
    return std::pair{int(std::cos(orbitAngle) * 7 * 100 + 0.5), int(std::sin(orbitAngle) * 7 * 100 + 0.5)};
}

int NudgePositionZ(int position, int max)
{
    return position < max - 30 ? position + 30 : 1;
}

ObjectCommands::ObjectCommands(QTabWidget& pages, ObjectTable& table, TextureStore& textures, ObjectHost& host)
    : pages_(pages), table_(table), textures_(textures), host_(host), pictureFolder_(ProgramFolder())
{
    connect(&pages_, &QTabWidget::currentChanged, this, [this](int index) {
        auto* page = qobject_cast<GLTSObject*>(pages_.widget(index));
        currentSlot_ = page ? page->Tag : -1;
    });
}

GLTSObject* ObjectCommands::ShownObject() const
{
    return qobject_cast<GLTSObject*>(pages_.currentWidget());
}

int ObjectCommands::AddObject(int kind, std::optional<std::string> modelFile, const std::string& name)
{
    KindControlsFor(kind);
    if (kind == kKindModel && !modelFile) {
        modelFile = host_.ChooseModelFile();
        if (!modelFile)
            return -1;
    }
    int slot = table_.FirstFree();
    if (slot < 0) {
        ShowMessage(TableFullMessage());
        return -1;
    }
    if (kind == kKindModel) {
        // A file that yields no model at all would make an empty object.
        C3DS model;
        bool read = model.Load(*modelFile);
        if (!read || (model.Model().objects.empty() && !model.Problem().empty())) {
            ShowMessage("Cannot load the 3ds model " + *modelFile + ": " + model.Problem());
            return -1;
        }
    }
    // Qt's page control owns the page from here on.
    auto* page = new GLTSObject(&pages_, textures_);
    table_.Set(slot, page);
    try {
        page->Tag = slot;
        page->ObjectKind = kind;
        page->ModelName = kind == kKindModel ? *modelFile : std::string();
        page->OName = name;
        // Objects added within the same second get the same colours.
        std::minstd_rand random(unsigned(std::time(nullptr)));
        for (FacePicture* f : page->Faces) {
            f->BrushColor = TColor(random() % 0xFFFFFF);
            f->PenColor = 0xFF0000;
        }
        page->BuildPage();
        LoadDefaultPictures(*page);
    } catch (...) {
        // No half-built page stays in the scene.
        std::unique_ptr<GLTSObject>(table_.Take(slot)).reset();
        throw;
    }
    pages_.setCurrentWidget(page);
    currentSlot_ = slot;
    host_.ObjectAdded(*page);
    // Qt has no multi-row tabs; scroll buttons once the row fills.
    pages_.setUsesScrollButtons(pages_.count() > 4);
    return slot;
}

void ObjectCommands::LoadDefaultPictures(GLTSObject& page)
{
    std::vector<std::pair<int, const char*>> defaults;
    if (page.ObjectKind == kKindBook || page.ObjectKind == kKindNoteBook)
        defaults = {{2, "Pagesh.bmp"}, {3, "Pagesh.bmp"}, {4, "Pagesv.bmp"}};
    else if (page.ObjectKind == kKindCD)
        defaults = {{0, "Cdf.bmp"}};
    try {
        for (auto [face, file] : defaults)
            LoadFacePicture(*page.Faces[face], pictureFolder_ + file, textures_, host_.FloorColor());
    } catch (const Error&) {
        // A missing default picture leaves the face in its colour.
    }
}

void ObjectCommands::DeleteObject(bool silent)
{
    GLTSObject* page = ShownObject();
    if (!page) {
        if (!silent)
            ShowMessage("No object exists!");
        return;
    }
    if (!silent) {
        std::string caption = pages_.tabText(pages_.indexOf(page)).toStdString();
        if (Ask("Are you sure to delete current object " + caption + "?", "Confirm?", Buttons::YesNo) != Answer::Yes)
            return;
    }
    DeleteWorkFiles(*page);
    host_.ObjectRemoved(*page);
    // The slot is cleared before the page goes, so no frame sees it half gone.
    std::unique_ptr<GLTSObject> owned(table_.Take(page->Tag));
    owned.reset();
    if (!ShownObject())
        currentSlot_ = -1;
    pages_.setUsesScrollButtons(pages_.count() > 4);
}

void ObjectCommands::DeleteWorkFiles(GLTSObject& page)
{
    page.ReleaseMaterialTextures(true); // before the faces: the swatch shows one of them
    for (FacePicture* f : page.Faces) {
        if (f->Tag <= 0)
            continue;
        RemoveFile(WorkFileOf(f->Tag));
        textures_.Release(std::exchange(f->Tag, 0));
    }
    if (page.ObjectKind == kKindModel) {
        std::string base = TextureFolder() + "temp.bmp" + std::to_string(page.Tag) + ".3ds";
        RemoveFile(base);
        for (size_t m = 0; m < page.MaterialPictures.size(); ++m)
            RemoveFile(base + "_" + std::to_string(m) + ".bmp");
    }
}

int ObjectCommands::CopyObject()
{
    GLTSObject* src = ShownObject();
    if (!src)
        return -1;
    std::optional<std::string> model;
    if (src->ObjectKind == kKindModel)
        model = ModelFileForCopy(*src);
    // A model's copy shows the same model file, which its own work file does not name.
    int slot = AddObject(src->ObjectKind, model, model ? src->ModelTitle() : "");
    if (slot < 0)
        return -1;
    GLTSObject& dst = *table_.At(slot);
    dst.VisibleCheck->setChecked(src->VisibleCheck->isChecked());
    if (src->ObjectKind == kKindModel)
        CopyMaterials(*src, dst);
    if (src->ObjectKind == kKindText) {
        dst.TextMemo->setFont(src->TextMemo->font());
        dst.TextMemo->setPlainText(src->MemoText());
    }
    TrackBar* z = dst.TrackbarTable[kRowPosition][kColZ];
    for (int i = 0; i < 6; ++i) {
        // A model's swatch already shows the copied material selected above.
        if (src->ObjectKind != kKindModel || i != 0)
            CopyFace(*src, dst, i);
        if (i >= 1)
            for (int c = 0; c < 4; ++c)
                dst.TrackbarTable[i][c]->SetPosition(src->TrackbarTable[i][c]->Position());
        // Six nudges, the first two undone by the copy of the Position row.
        z->SetPosition(NudgePositionZ(z->Position(), z->Max()));
    }
    return slot;
}

std::string ObjectCommands::ModelFileForCopy(const GLTSObject& src) const
{
    // A model in the work folder goes with its object; the copy gets its own.
    std::string work = TextureFolder();
    int slot = table_.FirstFree();
    if (slot < 0 || src.ModelName.compare(0, work.size(), work) != 0)
        return src.ModelName;
    std::string own = work + "temp.bmp" + std::to_string(slot) + ".3ds";
    try {
        WriteFileAtomic(own, ReadFileBytes(src.ModelName));
    } catch (const Error&) {
        return src.ModelName; // the copy then shows what the reader makes of it
    }
    return own;
}

void ObjectCommands::CopyMaterials(GLTSObject& src, GLTSObject& dst)
{
    auto& from = src.Model->Model();
    auto& to = dst.Model->Model();
    {
        QSignalBlocker quiet(dst.ListBoxes[0]);
        dst.ListBoxes[0]->setCurrentIndex(-1);
    }
    dst.MaterialPictures.clear();
    // Both models come from the same file, but the copy's may read differently.
    size_t materials = std::min(from.materials.size(), to.materials.size());
    for (size_t m = 0; m < materials; ++m) {
        to.materials[m].color = from.materials[m].color;
        to.materials[m].alpha = from.materials[m].alpha;
        int id = from.materials[m].textureId;
        dst.MaterialPictures.push_back(id > 0 ? WorkFileOf(id) : "");
    }
    for (size_t o = 0; o < std::min(from.objects.size(), to.objects.size()); ++o)
        to.objects[o].visibleSize = from.objects[o].visibleSize;
    dst.FillModelLists();
    // Filling the lists resets repeats and offsets; the copy keeps the source's.
    for (size_t m = 0; m < materials; ++m) {
        to.materials[m].uTile = from.materials[m].uTile;
        to.materials[m].vTile = from.materials[m].vTile;
        to.materials[m].uOffset = from.materials[m].uOffset;
        to.materials[m].vOffset = from.materials[m].vOffset;
    }
    for (int i = 0; i < 2; ++i) {
        QSignalBlocker quiet(dst.ListBoxes[i]);
        int index = src.ListBoxes[i]->currentIndex();
        dst.ListBoxes[i]->setCurrentIndex(index < dst.ListBoxes[i]->count() ? index : -1);
    }
    dst.MaterialsChange();
    dst.ModelsChange();
}

void ObjectCommands::CopyFace(GLTSObject& src, GLTSObject& dst, int i)
{
    FacePicture& from = *src.Faces[i];
    FacePicture& to = *dst.Faces[i];
    if (from.Tag != 0) {
        try {
            LoadFacePicture(to, WorkFileOf(from.Tag), textures_, host_.FloorColor());
        } catch (const Error&) {
            // The copy keeps its own colour for this face.
        }
        return;
    }
    to.BrushColor = from.BrushColor;
    to.FillSolid();
    if (to.Tag > 0) { // the default picture the copy was given
        RemoveFile(WorkFileOf(to.Tag));
        textures_.Release(to.Tag);
    }
    to.Tag = 0;
}

} // namespace pc
