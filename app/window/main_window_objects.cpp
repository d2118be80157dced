// Scene objects on the main window: the "Add" commands, delete and copy, the
// Objects menu and the picture popup of the face pictures.
#include <QColorDialog>
#include <QCursor>
#include <QFileDialog>
#include <QMenu>
#include <QSlider>
#include <QTabWidget>

#include "app/window/main_window.h"
#include "app/window/box_pictures.h"
#include "app/window/object_buttons.h"
#include "app/window/objects_menu.h"
#include "app/window/picture_box.h"
#include "platform/errors.h"
#include "platform/gl_context.h"
#include "platform/message_box.h"
#include "scene/pages/face_commands.h"
#include "scene/pages/face_picture.h"
#include "scene/pages/face_textures.h"
#include "scene/pages/kind_controls.h"
#include "scene/pages/object_commands.h"
#include "scene/pages/object_page.h"

namespace pc {

namespace {

// Textures belong to the window's context, which must be current for them.
class WindowTextures : public TextureStore {
public:
    explicit WindowTextures(TFormMainQV7K& window) : window_(window) {}
    LoadedTexture Load(const std::string& file, int textureId) override
    {
        MakeCurrent();
        return gl_.Load(file, textureId);
    }
    LoadedTexture LoadBmpBytes(const std::vector<uint8_t>& bytes, const std::string& name, int textureId) override
    {
        MakeCurrent();
        return gl_.LoadBmpBytes(bytes, name, textureId);
    }
    void Release(int textureId) override
    {
        if (!window_.GLContext_)
            return;
        window_.GLContext_->MakeCurrent();
        gl_.Release(textureId);
    }

private:
    void MakeCurrent()
    {
        if (!window_.GLContext_)
            throw Error("Create OpenGL Error!");
        window_.GLContext_->MakeCurrent();
    }
    TFormMainQV7K& window_;
    GLTextureStore gl_;
};

class WindowObjectHost : public ObjectHost {
public:
    explicit WindowObjectHost(TFormMainQV7K& window) : w_(window) {}

    std::optional<std::string> ChooseModelFile() override
    {
        QString file = QFileDialog::getOpenFileName(&w_, QString(), QString::fromStdString(w_.OpenDialog2InitialDir),
                                                    "*.3ds (*.3ds *.3DS)");
        if (file.isEmpty())
            return std::nullopt;
        return file.toStdString();
    }

    TColor FloorColor() const override { return w_.Frame.FloorColor; }

    void ObjectAdded(GLTSObject& page) override
    {
        QObject::connect(&page, &GLTSObject::FaceClicked, &w_, &TFormMainQV7K::ImageFloorClick);
        if (w_.PC2->count() > 1)
            if (auto moved = CameraPullBack(w_.TBCameraX->value(), w_.TBCameraZ->value(), w_.CameraOrbitAngle)) {
                w_.TBCameraX->setValue(moved->first);
                w_.TBCameraZ->setValue(moved->second);
            }
        QAction* item = w_.menuObjects->addAction(w_.PC2->tabText(w_.PC2->indexOf(&page)));
        item->setData(page.Tag);
        GLTSObject* shown = &page;
        QObject::connect(item, &QAction::triggered, &w_, [this, shown] {
            w_.PC->setCurrentWidget(w_.TSObject);
            w_.PC2->setCurrentWidget(shown);
        });
        ObjectsMenuEntryOf(w_)->Update();
    }

    void ObjectRemoved(GLTSObject& page) override
    {
        for (QAction* item : w_.menuObjects->actions())
            if (item->data().toInt() == page.Tag) {
                w_.menuObjects->removeAction(item);
                item->deleteLater();
                break;
            }
        ObjectsMenuEntryOf(w_)->Update();
    }

private:
    TFormMainQV7K& w_;
};

} // namespace

void TFormMainQV7K::CreateObjectCommands()
{
    Textures = std::make_unique<WindowTextures>(*this);
    ObjectWindow = std::make_unique<WindowObjectHost>(*this);
    ObjectCmds = std::make_unique<ObjectCommands>(*PC2, Objects, *Textures, *ObjectWindow);

    const std::pair<TaggedAction*, int> kinds[] = {{ABox, kKindBox},         {ABook, kKindBook},
                                                   {ACD, kKindCD},           {ANoteBook, kKindNoteBook},
                                                   {ARoundBook, kKindThickBook}, {ARoundBox, kKindRoundBox},
                                                   {ABFace, kKindCurved},    {A3ds, kKindModel},
                                                   {A3dtxt, kKindText}};
    for (const auto& entry : kinds) {
        int kind = entry.second;
        entry.first->setEnabled(true);
        connect(entry.first, &QAction::triggered, this, [this, kind] { AddObject(kind); });
    }
    ACopyObj->setEnabled(true);
    connect(ACopyObj, &QAction::triggered, this, [this] { ReportErrors([this] { ObjectCmds->CopyObject(); }); });
    Delete->setEnabled(true);
    connect(Delete, &QAction::triggered, this,
            [this] { ReportErrors([this] { ObjectCmds->DeleteObject(Delete->Tag == 1); }); });

    PMTexture = new QMenu(this);
    Picture1 = new TaggedAction("&Load Picture From File", this);
    Color1 = new TaggedAction("&Solid Color", this);
    // Enabled by the editor's hand-over commands.
    Editcurrentpicture1 = new TaggedAction("&Edit Current Picture", this);
    Editcurrentpicture1->setEnabled(false);
    CropCurrentPicture1 = new TaggedAction("&Crop Current Picture", this);
    CropCurrentPicture1->setEnabled(false);
    LoadFromClipboard1 = new TaggedAction("Load &Bitmap Picture From Clipboard", this);
    PMTexture->addActions({Picture1, Color1, Editcurrentpicture1, CropCurrentPicture1, LoadFromClipboard1});
    connect(Picture1, &QAction::triggered, this, &TFormMainQV7K::Picture1Click);
    connect(Color1, &QAction::triggered, this, &TFormMainQV7K::Color1Click);
    connect(ImageFloor, &PictureBox::Clicked, this, &TFormMainQV7K::ImageBoxClick);
    connect(ImageBackground, &PictureBox::Clicked, this, &TFormMainQV7K::ImageBoxClick);
    InstallObjectButtons(*this);
}

int TFormMainQV7K::AddObject(int kind, const std::string& modelFile)
{
    int slot = -1;
    ReportErrors([&] {
        slot = ObjectCmds->AddObject(kind, modelFile.empty() ? std::nullopt : std::optional(modelFile));
    });
    RequestIdle();
    return slot;
}

void TFormMainQV7K::ImageFloorClick(FacePicture* face)
{
    CurrentFace = face;
    CurrentBox = nullptr;
    PMTexture->popup(face->mapToGlobal(QPoint(0, 0)));
}

void TFormMainQV7K::ImageBoxClick(PictureBox* box)
{
    CurrentFace = nullptr;
    CurrentBox = box;
    PMTexture->popup(box->mapToGlobal(QPoint(0, 0)));
}

void TFormMainQV7K::Picture1Click()
{
    if (!CurrentFace && !CurrentBox)
        return;
    QString file = ChoosePictureFile ? ChoosePictureFile()
                                     : QFileDialog::getOpenFileName(
                                           this, QString(), QString::fromStdString(OpenPictureDialog1InitialDir),
                                           "Pictures (*.bmp *.jpg *.jpeg *.png *.tga *.wmf *.emf *.ico *.cur)");
    if (file.isEmpty())
        return;
    LoadPictureIntoCurrent(file.toStdString());
}

void TFormMainQV7K::LoadPictureIntoCurrent(const std::string& file)
{
    if (!CurrentFace && !CurrentBox)
        return;
    ReportErrors([&] {
        if (CurrentFace)
            LoadFacePicture(*CurrentFace, file, *Textures, ObjectWindow->FloorColor());
        else
            LoadBoxPicture(*CurrentBox, file, *Textures);
    });
    RequestIdle();
}

void TFormMainQV7K::Color1Click()
{
    if (!CurrentFace && !CurrentBox)
        return;
    const TColor current = CurrentFace ? CurrentFace->BrushColor : CurrentBox->BrushColor;
    std::optional<TColor> chosen;
    if (ChooseColor) {
        chosen = ChooseColor(current);
    } else {
        QColor c = QColorDialog::getColor(QColorOf(current), this);
        if (c.isValid())
            chosen = RGB(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
    }
    if (!chosen)
        return;
    SetCurrentColor(*chosen);
}

void TFormMainQV7K::SetCurrentColor(TColor color)
{
    if (!CurrentFace && !CurrentBox)
        return;
    ReportErrors([&] {
        if (CurrentFace) {
            SetFaceColor(*CurrentFace, color, ObjectWindow->FloorColor(), *Textures);
        } else {
            // The floor box is framed in its own new colour, the others in the floor's.
            TColor frame = CurrentBox == ImageFloor ? color : ObjectWindow->FloorColor();
            SetBoxColor(*CurrentBox, color, frame, *Textures);
        }
    });
    RequestIdle();
}

} // namespace pc
