#include "scene/pages/object_params.h"

#include <QCheckBox>
#include <QPlainTextEdit>

#include "platform/track_bar.h"
#include "scene/model/c3ds.h"
#include "scene/pages/face_picture.h"
#include "scene/pages/object_page.h"
#include "scene/pages/object_table.h"

namespace pc {

scene::ObjectParams ParamsOf(const GLTSObject& page)
{
    scene::ObjectParams p;
    p.ObjectKind = page.ObjectKind;
    p.Visible = page.VisibleCheck->isChecked();
    for (int r = scene::kRowSize; r <= scene::kRowKeep5; ++r)
        for (int c = 0; c < scene::kTrackCols; ++c)
            if (const TrackBar* bar = page.TrackbarTable[r][c])
                p.At(r, c) = bar->Position();
    for (int f = 0; f < scene::kFaceCount; ++f)
        p.Faces[f] = {unsigned(std::max(page.Faces[f]->Tag, 0)), page.Faces[f]->BrushColor};
    for (int i = 0; i < 6; ++i)
        if (const TrackBar* bar = page.KindTrackbars[i])
            p.KindTrackbars[i] = bar->Position();
    p.Model = page.Model.get();
    if (page.TextMemo) {
        p.Text = page.TextMemo->toPlainText().toStdString();
        p.FontName = page.TextMemo->font().family().toStdString();
    }
    return p;
}

void FillObjectParams(const ObjectTable& table, scene::SceneParams& scene)
{
    for (int slot = 0; slot < kMaxObjects; ++slot) {
        const GLTSObject* page = table.At(slot);
        scene.Objects[slot] = page ? std::optional(ParamsOf(*page)) : std::nullopt;
    }
}

} // namespace pc
