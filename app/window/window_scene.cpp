// The scene as the main window's controls hold it, read afresh for every frame.
#include <QCheckBox>
#include <QSlider>
#include <QTabWidget>

#include "app/window/main_window.h"
#include "app/window/picture_box.h"
#include "app/window/preview_panel.h"
#include "scene/pages/object_params.h"

namespace pc {

scene::SceneParams TFormMainQV7K::SceneFromControls() const
{
    scene::SceneParams s;
    s.TBCameraX = TBCameraX->value();
    s.TBCameraY = TBCameraY->value();
    s.TBCameraZ = TBCameraZ->value();
    s.TBCameraLookAtX = TBCameraLookAtX->value();
    s.TBCameraLookAtY = TBCameraLookAtY->value();
    s.TBCameraLookAtZ = TBCameraLookAtZ->value();
    s.TBCameraLookAtA = TBCameraLookAtA->value();
    s.TBLightX = TBLightX->value();
    s.TBLightY = TBLightY->value();
    s.TBLightZ = TBLightZ->value();
    s.AmbientStrength = AmbientStrength->value();
    s.TBShadowStrength = TBShadowStrength->value();
    s.TBShadowScale = TBShadowScale->value();
    s.TBShadowDiffuse = TBShadowDiffuse->value();
    s.TBFloor_alpha = TBFloor_alpha->value();
    s.TBFloor_P = TBFloor_P->value();
    s.TBFloor_PMax = TBFloor_P->maximum();
    s.TBfsth = TBfsth->value();
    s.TBfstv = TBfstv->value();
    s.TBbth = TBbth->value();
    s.TBbtv = TBbtv->value();
    s.CBShadowVisible = CBShadowVisible->isChecked();
    s.QuickView = QuickView->isChecked();
    s.DrawLight = DrawLight->isChecked();
    s.DrawAxis = DrawAxis->isChecked();
    s.CBDiffuse = CBDiffuse->isChecked();
    s.CBSmooth = CBSmooth->isChecked();
    s.ACCUM1 = ACCUM1->isChecked();
    s.Publishing = APublish->Tag == 1;
    s.LightPageActive = PC->currentWidget() == TSLight;
    s.ImageFloor = {unsigned(ImageFloor->Tag), ImageFloor->BrushColor};
    s.ImageBackground = {unsigned(ImageBackground->Tag), ImageBackground->BrushColor};
    s.PictureHeight = Panel1->height();
    FillObjectParams(Objects, s);
    return s;
}

} // namespace pc
