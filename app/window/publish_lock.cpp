#include "app/window/publish_lock.h"

#include <QMenu>

#include "app/window/main_window.h"

namespace pc {

std::vector<QAction*> SceneChangingCommands(TFormMainQV7K& w)
{
    std::vector<QAction*> commands = {
        w.OpenTemplates, w.ALoadTemplate, w.SaveAsTemplate, w.AInsertObj, w.AInsertObjFromTemplates,
        w.APublish, w.EditPublished,
        w.ABox, w.ABook, w.ACD, w.ANoteBook, w.ARoundBook, w.ARoundBox, w.ABFace, w.A3ds, w.A3dtxt,
        w.ACopyObj, w.Delete, w.ARemoveAllObjs,
        w.LoadTemplates2, w.LoadDefautProject1, w.Clear1,
        w.SoftwareRender, w.HardwareRender, w.AdvanceRender, w.AllDisMode1->menuAction(),
        w.RenderMixer, w.Interpolation1, w.SoftAccum1, w.Halftone1, w.RenderNone1, w.CBSmooth, w.ACCUM1,
        w.Picture1, w.Color1, w.Editcurrentpicture1, w.CropCurrentPicture1, w.LoadFromClipboard1};
    std::erase(commands, nullptr);
    return commands;
}

PublishLock::PublishLock(TFormMainQV7K& w)
{
    for (QAction* a : SceneChangingCommands(w)) {
        saved_.emplace_back(a, a->isEnabled());
        a->setEnabled(false);
    }
}

PublishLock::~PublishLock()
{
    for (auto& [action, enabled] : saved_)
        if (action)
            action->setEnabled(enabled);
}

} // namespace pc
