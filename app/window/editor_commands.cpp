#include "app/window/editor_commands.h"

#include <QAction>
#include <algorithm>
#include <memory>

#include "app/window/box_pictures.h"
#include "app/window/main_window.h"
#include "app/window/picture_box.h"
#include "app/window/publish_command.h"
#include "editor/window/image_form.h"
#include "platform/bmp_file.h"
#include "platform/file_io.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "scene/pages/face_commands.h"
#include "scene/pages/face_picture.h"
#include "scene/pages/object_commands.h"

namespace pc {

namespace {

constexpr int kMaxSolidSide = 512;
constexpr int kSolidSides = 1024;

// Opens the editor on the hand-over file; null when it cannot be loaded.
std::unique_ptr<editor::TImageForm> EditorOn(TFormMainQV7K& owner, editor::EditorDialogs* dialogs,
                                             const std::string& file, bool fromFace)
{
    auto form = std::make_unique<editor::TImageForm>(&owner, dialogs);
    if (!form->OpenExecute(file, fromFace))
        return nullptr;
    return form;
}

} // namespace

Bitmap SolidHandOverPicture(TColor color, int boxWidth, int boxHeight)
{
    const int sum = std::max(boxWidth + boxHeight, 1);
    Bitmap b(std::clamp(kSolidSides * boxWidth / sum, 1, kMaxSolidSide),
             std::clamp(kSolidSides * boxHeight / sum, 1, kMaxSolidSide));
    b.Fill(color);
    return b;
}

std::string EditorCommands::HandOverFile()
{
    return WorkFolder() + "tempimage.bmp";
}

EditorCommands::EditorCommands(TFormMainQV7K& window) : w_(window)
{
    RunModal = [](editor::TImageForm& form) { form.exec(); };
    w_.Editcurrentpicture1->setEnabled(true);
    w_.CropCurrentPicture1->setEnabled(true);
    w_.EditPublished->setEnabled(true);
    QObject::connect(w_.Editcurrentpicture1, &QAction::triggered, &w_, [this] { EditCurrentPicture(false); });
    QObject::connect(w_.CropCurrentPicture1, &QAction::triggered, &w_, [this] { EditCurrentPicture(true); });
    QObject::connect(w_.EditPublished, &QAction::triggered, &w_, [this] { EditPublishedPicture(); });
}

void EditorCommands::EditCurrentPicture(bool crop)
{
    FacePicture* face = w_.CurrentFace;
    PictureBox* box = w_.CurrentBox;
    if (!face && !box)
        return;
    const std::string file = HandOverFile();
    const int tag = face ? face->Tag : box->Tag;
    const bool written = ReportErrors([&] {
        if (tag != 0)
            WriteFileAtomic(file, ReadFileBytes(TextureFolder() + std::to_string(tag)));
        else if (face)
            SaveBmpFile(file, SolidHandOverPicture(face->BrushColor, face->width(), face->height()));
        else
            SaveBmpFile(file, SolidHandOverPicture(box->BrushColor, box->width(), box->height()));
    });
    if (!written)
        return;
    std::unique_ptr<editor::TImageForm> form = EditorOn(w_, Dialogs, file, true);
    if (!form)
        return;
    // The face takes its picture while the editor is open, so that a failed
    // write leaves the edit on screen.
    bool handedOver = false;
    form->HandOver = [&](const Bitmap& picture) {
        SaveBmpFile(file, picture);
        if (face)
            LoadFacePicture(*face, file, *w_.Textures, w_.ObjectWindow->FloorColor());
        else
            LoadBoxPicture(*box, file, *w_.Textures);
        handedOver = true;
    };
    if (crop)
        form->ACropExecute();
    RunModal(*form);
    if (handedOver)
        w_.RequestIdle();
}

void EditorCommands::EditPublishedPicture()
{
    const std::optional<std::string> published =
        w_.Publisher->Execute(true, PublishTarget{HandOverFile(), PublishType::Bmp});
    if (!published)
        return;
    if (std::unique_ptr<editor::TImageForm> form = EditorOn(w_, Dialogs, *published, false))
        RunModal(*form);
}

} // namespace pc
