#include "scene/object_commands.h"

#include <QPlainTextEdit>
#include <QTabWidget>
#include <QCheckBox>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <random>

#include "platform/file_io.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/track_bar.h"
#include "scene/face_commands.h"
#include "scene/face_picture.h"
#include "scene/face_textures.h"
#include "scene/kind_controls.h"
#include "scene/object_page.h"
#include "scene/object_table.h"

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

int ObjectCommands::AddObject(int kind, std::optional<std::string> modelFile)
{
    KindSpecFor(kind);
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
    // Qt's page control owns the page from here on.
    auto* page = new GLTSObject(&pages_, textures_);
    table_.Set(slot, page);
    page->Tag = slot;
    page->ObjectKind = kind;
    page->ModelName = kind == kKindModel ? *modelFile : std::string();
    // Objects added within the same second get the same colours.
    std::minstd_rand random(unsigned(std::time(nullptr)));
    for (FacePicture* f : page->Faces) {
        f->BrushColor = TColor(random() % 0xFFFFFF);
        f->PenColor = 0xFF0000;
    }
    page->BuildPage();
    LoadDefaultPictures(*page);
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
    int slot = AddObject(src->ObjectKind, src->ObjectKind == kKindModel ? std::optional(src->ModelName) : std::nullopt);
    if (slot < 0)
        return -1;
    GLTSObject& dst = *table_.At(slot);
    dst.VisibleCheck->setChecked(src->VisibleCheck->isChecked());
    if (src->ObjectKind == kKindText) {
        dst.TextMemo->setFont(src->TextMemo->font());
        dst.TextMemo->setPlainText(src->TextMemo->toPlainText());
    }
    TrackBar* z = dst.TrackbarTable[kRowPosition][kColZ];
    for (int i = 0; i < 6; ++i) {
        CopyFace(*src, dst, i);
        if (i >= 1)
            for (int c = 0; c < 4; ++c)
                dst.TrackbarTable[i][c]->SetPosition(src->TrackbarTable[i][c]->Position());
        // Six nudges, the first two undone by the copy of the Position row.
        z->SetPosition(NudgePositionZ(z->Position(), z->Max()));
    }
    return slot;
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
