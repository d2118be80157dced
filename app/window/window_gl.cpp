// The window's OpenGL context: pixel format, fixed start state, projection,
// the off-screen context for large renders and the idle render.
#include <GL/gl.h>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <cmath>

#include "app/window/main_window.h"
#include "scene/text/glyph_cache.h"
#include "app/window/picture_box.h"
#include "app/window/preview_panel.h"
#include "platform/errors.h"
#include "platform/gl_context.h"
#include "platform/gl_frame_pair.h"
#include "platform/message_box.h"
#include "scene/render/render_frame.h"

namespace pc {

namespace {

// Clears to a known colour and reads it back: a context that draws nowhere
// (say libGL's dispatcher got linked ahead of OSMesa) fails here.
bool DrawsIntoBuffer(GLContext& ctx)
{
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ctx.Finish();
    const uint8_t* p = ctx.Pixels();
    return p[0] == 0 && p[1] == 255 && p[2] == 0;
}

} // namespace

void TFormMainQV7K::SetupPixelFormat(int pixelFormatIndex)
{
    PixelFormatChoice choice =
        pc::SetupPixelFormat(PixelFormats, pixelFormatIndex, SoftwareRender->isChecked(), DeviceColorBits);
    PixelFormatNumber = choice.number;
    PixelFormatInfoText = choice.info;
    Label14->setVisible(choice.number > 0 && choice.showReturnHint);
}

void TFormMainQV7K::BuildPixelFormatMenu()
{
    AllDisMode1->clear();
    auto* group = new QActionGroup(AllDisMode1);
    for (const auto& entry : AdvanceMenuEntries(PixelFormats, PixelsFormat)) {
        auto* item = new TaggedAction(QString::fromStdString(entry.caption), AllDisMode1);
        item->Tag = entry.number;
        item->setStatusTip(QString::number(entry.number));
        item->setCheckable(true);
        item->setChecked(entry.checked);
        group->addAction(item);
        AllDisMode1->addAction(item);
    }
}

void TFormMainQV7K::CreateGLContext(int pixelFormatIndex)
{
    SetupPixelFormat(pixelFormatIndex);
    if (PixelFormatNumber == 0) {
        ShowMessage("Create OpenGL Error!");
        return;
    }
    const PixelFormatDescriptor& format = PixelFormats[size_t(PixelFormatNumber) - 1];
    try {
        GLContext_ = GLContext::Create(ContextBits(format));
    } catch (const Error&) {
        ShowMessage("Create OpenGL Error!");
        return;
    }
    try {
        GLContext_->Bind(Panel1->width(), Panel1->height(), true);
    } catch (const Error&) {
        ShowMessage("Could not Make Current");
        GLContext_.reset();
        return;
    }
    if (!DrawsIntoBuffer(*GLContext_)) {
        ShowMessage("Create OpenGL Error!");
        GLContext::ReleaseCurrent();
        GLContext_.reset();
        return;
    }
    ViewWidth = float(Panel1->width());
    ViewHeight = float(Panel1->height());
    InitGL();
    ResizeViewport(Panel1->width(), Panel1->height());
}

void TFormMainQV7K::InitGL()
{
    glClearColor(1, 1, 1, 1);
    glClearAccum(0, 0, 0, 0);
    glClearDepth(1.0);
    glClearStencil(0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glColor4f(1, 1, 1, 0.5f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);

    const GLfloat light[4] = {TBLightX->value() * 0.01f, TBLightY->value() * 0.01f, TBLightZ->value() * 0.01f, 0.0f};
    LightOrbitAngle = float(std::atan2(double(TBLightZ->value()), double(TBLightX->value())));
    CameraOrbitAngle = float(std::atan2(double(TBCameraZ->value()), double(TBCameraX->value())));

    const GLfloat ambient[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, white);
    glMaterialfv(GL_FRONT, GL_SPECULAR, white);
    glMaterialf(GL_FRONT, GL_SHININESS, 70.0f);
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glShadeModel(GL_SMOOTH);

    DrawPreviewFrames();
}

void TFormMainQV7K::DrawPreviewFrames()
{
    constexpr TColor kBlue = 0xFF0000;
    ImageBackground->DrawFrame(kBlue);
    ImageFloor->DrawFrame(kBlue);
}

void TFormMainQV7K::ResizeViewport(int width, int height)
{
    scene::SetSceneProjection(width, height, TBCameraLookAtA->value());
}

void TFormMainQV7K::FormResize()
{
    if (!GLContext_ || offscreen_)
        return;
    int w = Panel1->width(), h = Panel1->height();
    try {
        if (GLContext_->Width() != std::max(w, 1) || GLContext_->Height() != std::max(h, 1))
            GLContext_->Bind(w, h, true);
        else
            GLContext_->MakeCurrent();
    } catch (const Error& e) {
        ShowMessage(e.what());
        return;
    }
    ResizeViewport(w, h);
    RequestIdle();
}

void TFormMainQV7K::BeginOffscreenGL(int width, int height)
{
    if (!GLContext_)
        throw Error("Create OpenGL Error!");
    if (offscreen_)
        throw Error("An off-screen render is already running.");
    int number = ChoosePixelFormat(PixelFormats, OffscreenTemplate());
    GLContextBits bits = number > 0 ? ContextBits(PixelFormats[size_t(number) - 1]) : GLContextBits{};
    try {
        offscreen_ = GLContext::Create(bits, GLContext_.get());
        offscreen_->Bind(width, height, false);
        InitGL();
        ResizeViewport(width, height);
    } catch (...) {
        DropOffscreenContext();
        GLContext_->MakeCurrent();
        throw;
    }
}

GLFramePair& TFormMainQV7K::OffscreenFrames(int width, int height)
{
    if (!offscreen_)
        throw Error("No off-screen render is running.");
    if (!offscreenFrames_ || offscreenFrames_->Width() != width || offscreenFrames_->Height() != height) {
        offscreenFrames_.reset();
        offscreenFrames_ = std::make_unique<GLFramePair>(*offscreen_, width, height);
    }
    return *offscreenFrames_;
}

void TFormMainQV7K::DropOffscreenContext()
{
    offscreenFrames_.reset(); // first: it needs its context
    offscreen_.reset();
}

bool TFormMainQV7K::RestartOffscreenGL(int width, int height)
{
    if (!offscreen_ || offscreen_->Width() != width || offscreen_->Height() != height)
        return false;
    offscreen_->Bind(width, height, false);
    InitGL();
    ResizeViewport(width, height);
    return true;
}

void TFormMainQV7K::EndOffscreenGL(Bitmap& bitmap)
{
    if (!offscreen_)
        throw Error("No off-screen render is running.");
    offscreen_->Finish();
    int w = offscreen_->Width(), h = offscreen_->Height();
    Bitmap out(w, h, PixelFormat::pf32bit);
    // The off-screen buffer is bottom-up; Bitmap rows run from the top.
    for (int y = 0; y < h; ++y)
        std::copy_n(offscreen_->Pixels() + size_t(h - 1 - y) * size_t(w) * 4, size_t(w) * 4, out.ScanLine(y));
    TheGlyphCache().DropContext(offscreen_->Serial());
    DropOffscreenContext();
    GLContext_->MakeCurrent();
    bitmap = std::move(out);
}

void TFormMainQV7K::AppIdle()
{
    if (APublish->Tag == 1 || !GLContext_ || offscreen_)
        return;
    GLContext_->MakeCurrent();
    scene::RenderFrame(SceneFromControls(), Frame, -1, 0);
    SwapBuffers();
}

void TFormMainQV7K::SwapBuffers()
{
    if (!GLContext_)
        return;
    GLContext_->Finish();
    Panel1->Present(*GLContext_);
}

} // namespace pc
