// Mouse, wheel and key navigation of the preview: the gestures move track
// bars, the scene is drawn from them.
#include <QCheckBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QTabWidget>
#include <QWheelEvent>

#include "app/window/camera_navigation.h"
#include "app/window/event_hook.h"
#include "app/window/main_window.h"
#include "app/window/preview_panel.h"
#include "platform/track_bar.h"
#include "scene/pages/object_page.h"

namespace pc {

namespace {

BarPosition Read(const QSlider* bar)
{
    return {bar->value(), bar->minimum(), bar->maximum()};
}

NavModifiers ModifiersOf(Qt::KeyboardModifiers m)
{
    return {m.testFlag(Qt::ShiftModifier), m.testFlag(Qt::AltModifier), m.testFlag(Qt::ControlModifier)};
}

// The current object page when a drag may move it: it exists and its
// Position row is not drag-locked.
GLTSObject* MovableObject(QTabWidget* pages)
{
    auto* page = qobject_cast<GLTSObject*>(pages->currentWidget());
    if (!page)
        return nullptr;
    QCheckBox* lock = page->DragLocks[kRowPosition];
    return lock && lock->isChecked() ? nullptr : page;
}

} // namespace

void TFormMainQV7K::ConnectNavigation()
{
    Panel1->setFocusPolicy(Qt::ClickFocus);
    connect(Panel1, &PreviewPanel::MousePressed, this, &TFormMainQV7K::Panel1MouseDown);
    connect(Panel1, &PreviewPanel::MouseReleased, this, &TFormMainQV7K::Panel1MouseUp);
    connect(Panel1, &PreviewPanel::MouseMoved, this, &TFormMainQV7K::Panel1MouseMove);
    connect(Panel1, &PreviewPanel::FocusLost, this, &TFormMainQV7K::EndDrag);
    connect(Panel1, &PreviewPanel::KeyPressed, this, [this](QKeyEvent* e) {
        if (Edit1KeyDown(e->key(), e->modifiers()))
            e->accept();
        else
            e->ignore();
    });
    // The wheel anywhere over the preview area zooms; the scroll box does not scroll.
    for (QWidget* area : {static_cast<QWidget*>(Panel1), SB->viewport()})
        new EventHook(area, [this](QEvent* e) {
            if (e->type() != QEvent::Wheel)
                return false;
            FormMouseWheel(static_cast<QWheelEvent*>(e)->angleDelta().y());
            return true;
        });
    connect(BitBtn1, &QPushButton::clicked, this, &TFormMainQV7K::BitBtn1Click);
}

void TFormMainQV7K::wheelEvent(QWheelEvent* event)
{
    // Wheel turns no control took.
    FormMouseWheel(event->angleDelta().y());
    event->accept();
}

void TFormMainQV7K::Panel1MouseDown(QMouseEvent* event)
{
    Panel1->setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton)
        return;
    IsDragging = true;
    LastMouseX = event->position().toPoint().x();
    LastMouseY = event->position().toPoint().y();
}

void TFormMainQV7K::Panel1MouseUp(QMouseEvent* event)
{
    // The panel holds the mouse from the press on, so a release outside it
    // arrives here too.
    if (event->button() == Qt::LeftButton)
        EndDrag();
}

void TFormMainQV7K::EndDrag()
{
    IsDragging = false;
}

void TFormMainQV7K::Panel1MouseMove(QMouseEvent* event)
{
    if (!IsDragging)
        return;
    if (!event->buttons().testFlag(Qt::LeftButton)) {
        EndDrag(); // the release went elsewhere (another window took it)
        return;
    }
    const QPoint at = event->position().toPoint();
    DragStep step = MouseDragStep(LastMouseX, LastMouseY, at.x(), at.y(), event->modifiers().testFlag(Qt::ShiftModifier));
    if (step.moveReference) {
        LastMouseX = at.x();
        LastMouseY = at.y();
    }
    if (step.dx == 0 && step.dy == 0)
        return;
    Orbit(false, event->modifiers(), step.dx, step.dy);
    FreshClick();
}

bool TFormMainQV7K::Edit1KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    NavKey nav;
    switch (key) {
    case Qt::Key_Left: nav = NavKey::Left; break;
    case Qt::Key_Right: nav = NavKey::Right; break;
    case Qt::Key_Up: nav = NavKey::Up; break;
    case Qt::Key_Down: nav = NavKey::Down; break;
    case Qt::Key_PageUp: nav = NavKey::PageUp; break;
    case Qt::Key_PageDown: nav = NavKey::PageDown; break;
    default: return false;
    }
    KeyStep step = StepForKey(nav);
    if (step.wheelDelta != 0) {
        FormMouseWheel(step.wheelDelta);
    } else {
        bool wasDragging = IsDragging;
        IsDragging = true;
        Orbit(true, modifiers, step.dx, step.dy);
        IsDragging = wasDragging;
    }
    RequestIdle();
    return true;
}

void TFormMainQV7K::Orbit(bool fromKeys, Qt::KeyboardModifiers modifiers, float dx, float dy)
{
    const NavModifiers mods = ModifiersOf(modifiers);
    GLTSObject* object = PC->currentWidget() == TSObject ? MovableObject(PC2) : nullptr;
    const NavTarget target = TargetOf(PC->currentWidget() == TSLight, PC->currentWidget() == TSObject, object != nullptr);

    CameraBars camera{Read(TBCameraX),       Read(TBCameraY),       Read(TBCameraZ),       Read(TBCameraLookAtX),
                      Read(TBCameraLookAtY), Read(TBCameraLookAtZ), Read(TBCameraLookAtA), CameraOrbitAngle};
    LightBars light{Read(TBLightX), Read(TBLightY), Read(TBLightZ), LightOrbitAngle};
    ObjectBars moved;
    std::array<TrackBar*, 3> objectBars{};
    if (object) {
        const int row = ObjectDragRow(mods);
        for (int c = 0; c < 3; ++c)
            objectBars[size_t(c)] = object->TrackbarTable[size_t(row)][size_t(c)];
        if (!objectBars[0] || !objectBars[1] || !objectBars[2])
            return;
        moved = {Read(objectBars[0]), Read(objectBars[1]), Read(objectBars[2])};
    }
    pc::Orbit(target, fromKeys, mods, dx, dy, camera, light, moved);

    switch (target) {
    case NavTarget::Light:
        LightOrbitAngle = light.orbitAngle;
        TBLightX->setValue(light.x.position);
        TBLightY->setValue(light.y.position);
        TBLightZ->setValue(light.z.position);
        break;
    case NavTarget::Object:
        objectBars[0]->SetPosition(moved.x.position);
        objectBars[1]->SetPosition(moved.y.position);
        objectBars[2]->SetPosition(moved.z.position);
        break;
    case NavTarget::Camera:
        CameraOrbitAngle = camera.orbitAngle;
        TBCameraX->setValue(camera.x.position);
        TBCameraY->setValue(camera.y.position);
        TBCameraZ->setValue(camera.z.position);
        TBCameraLookAtY->setValue(camera.lookAtY.position);
        break;
    }
}

void TFormMainQV7K::FormMouseWheel(int wheelDelta)
{
    if (wheelDelta == 0)
        return;
    bool wasDragging = IsDragging;
    IsDragging = true;
    const bool lightPage = PC->currentWidget() == TSLight;
    CameraBars camera{Read(TBCameraX), {}, Read(TBCameraZ), {}, {}, {}, {}, CameraOrbitAngle};
    LightBars light{Read(TBLightX), {}, Read(TBLightZ), LightOrbitAngle};
    WheelStep(lightPage, wheelDelta, camera, light);
    if (lightPage) {
        TBLightX->setValue(light.x.position);
        TBLightZ->setValue(light.z.position);
    } else {
        TBCameraX->setValue(camera.x.position);
        TBCameraZ->setValue(camera.z.position);
    }
    IsDragging = wasDragging;
    RequestIdle();
}

void TFormMainQV7K::BitBtn1Click()
{
    CameraBars camera{Read(TBCameraX),       Read(TBCameraY),       Read(TBCameraZ),       Read(TBCameraLookAtX),
                      Read(TBCameraLookAtY), Read(TBCameraLookAtZ), Read(TBCameraLookAtA), CameraOrbitAngle};
    ResetCamera(camera);
    const std::pair<QSlider*, int> writes[] = {
        {TBCameraX, camera.x.position},           {TBCameraY, camera.y.position},
        {TBCameraZ, camera.z.position},           {TBCameraLookAtX, camera.lookAtX.position},
        {TBCameraLookAtY, camera.lookAtY.position}, {TBCameraLookAtZ, camera.lookAtZ.position},
        {TBCameraLookAtA, camera.lookAtA.position}};
    for (auto [bar, position] : writes)
        bar->setValue(position);
    CameraOrbitAngle = camera.orbitAngle;
    RequestIdle();
}

void TFormMainQV7K::FreshClick()
{
    AppIdle();
}

} // namespace pc
