#include "app/window/publish_command.h"

#include <GL/gl.h>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QScreen>
#include <QSlider>
#include <QTimer>

#include "app/publish/alpha_extraction.h"
#include "app/publish/bmp32_adjust.h"
#include "app/publish/color_adjust.h"
#include "app/window/main_window.h"
#include "app/window/publish_lock.h"
#include "app/publish/tiled_render.h"
#include "codecs/gif/gif_image.h"
#include "codecs/png/png_object.h"
#include "platform/bmp_file.h"
#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/gl_context.h"
#include "platform/gl_frame_pair.h"
#include "platform/jpeg_file.h"
#include "platform/message_box.h"
#include "platform/scoped_value.h"
#include "platform/paths.h"
#include "platform/resample.h"
#include "scene/render/render_frame.h"

namespace pc {

namespace {

const char* const kFilters[] = {"JPEG (*.jpg *.jpeg)", "PNG-24bit (*.png)", "PNG-Customize (*.png)", "GIF (*.gif)",
                                "BMP (*.bmp)"};

// Ends the off-screen render, if one runs, without reading its picture.
void DropOffscreen(TFormMainQV7K& w)
{
    if (w.OffscreenActive()) {
        Bitmap unused;
        w.EndOffscreenGL(unused);
    }
}

// The window's scene drawn into its shared off-screen context.
class WindowRenderHost : public RenderHost {
public:
    // keep: the off-screen context outlives this render, for the next one to
    // start on (the two renders of a transparent publish).
    WindowRenderHost(TFormMainQV7K& w, const scene::SceneParams& params, bool keep)
        : w_(w), params_(params), frame_(w.Frame), keep_(keep)
    {
    }

    void BeginOffscreen(int width, int height) override
    {
        // Frames are drawn into a frame pair, and the context's own buffer
        // stays a pixel; accumulation needs the context's own buffer.
        const bool own = params_.ACCUM1 || !GLFramePair::Available();
        const int contextW = own ? width : 1, contextH = own ? height : 1;
        if (!w_.RestartOffscreenGL(contextW, contextH)) {
            DropOffscreen(w_);
            w_.BeginOffscreenGL(contextW, contextH);
        }
        if (own)
            w_.OffscreenContext()->Bind(width, height, true);
        else
            frames_ = &w_.OffscreenFrames(width, height);
    }
    void SelectBuffer(int index) override
    {
        if (frames_)
            frames_->Draw(index);
        else
            w_.OffscreenContext()->SelectBuffer(index);
    }
    void SetTileView(int frameW, int frameH, int x, int y) override
    {
        scene::SetSceneProjection(frameW, frameH, params_.TBCameraLookAtA);
        if (frames_)
            frames_->Viewport(-x, -y, frameW, frameH);
        else
            glViewport(-x, -y, frameW, frameH);
    }
    void RenderPass(int passIndex, int passCount) override { scene::RenderFrame(params_, frame_, passIndex, passCount); }
    void Submit() override
    {
        if (frames_)
            frames_->Submit();
        else
            w_.OffscreenContext()->Finish();
    }
    void BeginReading() override
    {
        if (frames_)
            reader_ = std::make_unique<GLFramePair::Reader>(*frames_);
    }
    void EndReading() override { reader_.reset(); }
    const uint8_t* Pixels(int index) override
    {
        return reader_ ? reader_->Read(index) : w_.OffscreenContext()->Pixels(index);
    }
    void EndOffscreen() override
    {
        frames_ = nullptr;
        if (!keep_)
            DropOffscreen(w_);
    }
    void ProcessEvents() override { QCoreApplication::processEvents(); }
    bool Cancelled() const override { return w_.RenderCancel->Tag == 1; }
    void Progress(int position, int maximum) override
    {
        w_.ProBar->setMaximum(maximum);
        w_.ProBar->setValue(position);
    }

private:
    TFormMainQV7K& w_;
    const scene::SceneParams& params_;
    scene::FrameState frame_; // a copy: the preview keeps its own
    const bool keep_;
    GLFramePair* frames_ = nullptr; // none: the context's own buffers
    std::unique_ptr<GLFramePair::Reader> reader_; // on the reading thread
};

// Keeps the off-screen context from one render to the next while it lives,
// and ends it afterwards however the publish ends.
class KeptOffscreen {
public:
    KeptOffscreen(TFormMainQV7K& w, bool& keep) : w_(w), keep_(keep, true) {}
    ~KeptOffscreen() { DropOffscreen(w_); }

private:
    TFormMainQV7K& w_;
    ScopedValue<bool> keep_;
};

// The busy state of a publish, restored however the publish ends.
class BusyState {
public:
    BusyState(TFormMainQV7K& w, bool silent) : w_(w), lock_(w)
    {
        w_.Label7->setText("Processing...");
        w_.APublish->Tag = 1;
        w_.TBHeightTag = 1;
        w_.PanelP->show();
        w_.ViewRendImage->setVisible(!silent);
        w_.RenderCancel->Tag = 0;
        w_.RenderCancel->setVisible(true);
        w_.Panel2->setEnabled(false);
        QCoreApplication::processEvents();
    }
    ~BusyState()
    {
        w_.PanelP->hide();
        w_.APublish->Tag = 0;
        w_.Panel2->setEnabled(true);
        w_.TBHeightTag = 0;
        w_.RequestIdle();
    }
    BusyState(const BusyState&) = delete;
    BusyState& operator=(const BusyState&) = delete;

private:
    TFormMainQV7K& w_;
    PublishLock lock_;
};

void SavePng(const std::string& file, const Bitmap& picture, bool transparent)
{
    png::TPNGObject png;
    if (transparent && picture.Format() == PixelFormat::pf32bit) {
        png.AssignBitmap(picture);
        png.CreateAlpha();
        for (int y = 0; y < picture.Height(); ++y) {
            const uint8_t* s = picture.ScanLine(y);
            uint8_t* a = png.AlphaScanline(y);
            for (int x = 0; x < picture.Width(); ++x)
                a[x] = s[x * 4 + 3];
        }
    } else if (picture.Bits() == 8) {
        // The colour dialog's 8-bit result keeps its palette.
        png.AssignBitmap(picture, transparent, kTransparentEntry);
    } else {
        Bitmap rgb = picture;
        rgb.SetPixelFormat(PixelFormat::pf24bit);
        png.AssignBitmap(rgb);
    }
    png.SaveToFile(file);
}

void SaveGif(const std::string& file, const Bitmap& picture, bool transparent)
{
    gif::TGIFImage gif;
    if (transparent && picture.Bits() == 8) {
        const int key = TransparentIndex(picture);
        Bitmap mask(picture.Width(), picture.Height(), PixelFormat::pf8bit);
        for (int y = 0; y < picture.Height(); ++y)
            for (int x = 0; x < picture.Width(); ++x)
                mask.SetRawPixel(x, y, int(picture.RawPixel(x, y)) == key ? 1 : 0);
        gif.Assign(picture, &mask);
    } else {
        gif.Assign(picture);
    }
    gif.SaveToFile(file);
}

} // namespace

void OpenInDesktopViewer(const std::string& file)
{
    // The viewer runs on its own: only a failed start is known here.
    QProcess viewer;
    viewer.setProgram("xdg-open");
    viewer.setArguments({QString::fromStdString(file)});
    if (!viewer.startDetached())
        throw Error("The picture viewer (xdg-open) could not be started: " + viewer.errorString().toStdString() +
                    "\nThe picture was saved as:\n" + file);
}

PublishCommand::PublishCommand(TFormMainQV7K& window) : w_(window)
{
    ChooseFile = [this](const std::string& proposed, PublishType type) -> std::optional<PublishTarget> {
        QStringList filters;
        for (const char* f : kFilters)
            filters << f;
        QString selected = filters[int(type) - 1];
        QString name = QFileDialog::getSaveFileName(&w_, "Render and Publish", QString::fromStdString(proposed),
                                                    filters.join(";;"), &selected, QFileDialog::DontConfirmOverwrite);
        if (name.isEmpty())
            return std::nullopt;
        return PublishTarget{name.toStdString(), PublishType(filters.indexOf(selected) + 1)};
    };
    RunAdjustDialog = [](TBmp32Adj& dlg) { dlg.exec(); };
    OpenViewer = OpenInDesktopViewer;

    QObject::connect(w_.APublish, &QAction::triggered, &w_, [this] { Execute(); });
    QObject::connect(w_.RenderCancel, &QAction::triggered, &w_, [this] { w_.RenderCancel->Tag = 1; });
    w_.APublish->setEnabled(true);
    w_.RenderCancel->setEnabled(true);
}

AntiAlias PublishCommand::Method() const
{
    if (w_.Interpolation1->isChecked())
        return AntiAlias::Convolution;
    if (w_.SoftAccum1->isChecked())
        return AntiAlias::Accumulation;
    if (w_.Halftone1->isChecked())
        return AntiAlias::Halftone;
    if (w_.RenderNone1->isChecked())
        return AntiAlias::None;
    return AntiAlias::Auto;
}

std::optional<std::string> PublishCommand::Execute(bool silent, std::optional<PublishTarget> target)
{
    if (Publishing())
        return std::nullopt; // one publish at a time: the off-screen buffer and the busy state are shared
    if (!silent)
        target = ChooseFile(lastName_, lastType_);
    if (!target)
        return std::nullopt;
    PublishTarget t = FixPublishExtension(target->fileName, target->type);
    if (!silent && FileExists(t.fileName)) {
        MessageRequest q{"File:\n" + t.fileName + "\nhas been existed. Do you want to overwrite current file?",
                         "Question", Buttons::YesNo, MessageIcon::Question, &w_};
        if (Messages().Show(q) != Answer::Yes)
            return std::nullopt;
    }
    std::optional<std::string> written;
    ReportErrors([&] { written = Run(silent, t); });
    if (written && !silent) {
        // Only a folder that took a picture is offered again: a failed one
        // (one of /proc, say) may hang the next dialog.
        lastName_ = target->fileName;
        lastType_ = target->type;
    }
    if (closeWhenDone_) {
        closeWhenDone_ = false;
        QTimer::singleShot(0, &w_, [this] { w_.close(); });
        return written;
    }
    if (written && !silent && w_.ViewRendImage->isChecked())
        ReportErrors([&] { OpenViewer(*written); });
    return written;
}

bool PublishCommand::Publishing() const
{
    return w_.APublish->Tag == 1;
}

void PublishCommand::CloseWhenDone()
{
    closeWhenDone_ = true;
    w_.RenderCancel->Tag = 1;
}

std::optional<std::string> PublishCommand::Run(bool silent, PublishTarget t)
{
    BusyState busy(w_, silent);
    // The picture shows the scene as it was when the publish began.
    const scene::SceneParams scene = w_.SceneFromControls();
    const int width = w_.TBWidth->value(), height = w_.TBHeight->value();
    const bool transparent = w_.BTransparent->isChecked() && KeepsTransparency(t.type);
    Bitmap result;
    if (transparent) {
        // Both renders draw on one off-screen context: made once, not twice.
        KeptOffscreen kept(w_, keepOffscreen_);
        Bitmap black = Render(scene, clBlack, width, height);
        if (w_.RenderCancel->Tag == 1)
            return std::nullopt;
        w_.Label7->setText("Processing......");
        QCoreApplication::processEvents();
        Bitmap white = Render(scene, clWhite, width, height);
        if (w_.RenderCancel->Tag == 1)
            return std::nullopt;
        if (!AlphaFromWhiteBlack(white, black, result))
            throw Error("The transparency could not be derived: the two renders differ in size. Nothing was written.");
    } else {
        result = Render(scene, std::nullopt, width, height);
    }
    QCoreApplication::processEvents();
    if (w_.RenderCancel->Tag == 1 || result.Empty())
        return std::nullopt;

    if (t.type == PublishType::PngCustom || t.type == PublishType::Gif) {
        TBmp32Adj dlg(&w_);
        dlg.Source = result;
        dlg.CBPNG->setCurrentIndex(t.type == PublishType::Gif ? 1 : 0);
        if (t.type == PublishType::Gif) {
            dlg.CBPNG->hide();
            dlg.Label2->hide();
        }
        dlg.CBPNGChange();
        RunAdjustDialog(dlg);
        result = dlg.Source;
    }
    QCoreApplication::processEvents();
    if (w_.RenderCancel->Tag == 1)
        return std::nullopt;
    Encode(t, result, transparent);
    return t.fileName;
}

void PublishCommand::Encode(const PublishTarget& t, const Bitmap& picture, bool transparent)
{
    switch (t.type) {
    case PublishType::Jpeg: SaveJpegFile(t.fileName, picture, 100); break;
    case PublishType::Png24:
    case PublishType::PngCustom: SavePng(t.fileName, picture, transparent); break;
    case PublishType::Gif: SaveGif(t.fileName, picture, transparent); break;
    case PublishType::Bmp: {
        Bitmap rgb = picture;
        if (rgb.Bits() == 32)
            rgb.SetPixelFormat(PixelFormat::pf24bit);
        SaveBmpFile(t.fileName, rgb);
        break;
    }
    }
}

Bitmap PublishCommand::Render(scene::SceneParams params, std::optional<TColor> floorAndWalls, int W, int H)
{
    params.DrawLight = false; // neither the light nor the axis belongs in the picture
    params.DrawAxis = false;
    params.Publishing = true;
    params.PictureHeight = H;
    if (floorAndWalls) {
        params.ImageFloor = {0, *floorAndWalls};
        params.ImageBackground = {0, *floorAndWalls};
    }
    if (Method() == AntiAlias::Convolution) {
        const LargePlan plan = PlanLargeRender(W, H);
        params.PixelScale = plan.factor;
        w_.ProBar->setMaximum(100);
        w_.ProBar->setValue(10);
        w_.BeginOffscreenGL(plan.width, plan.height);
        scene::FrameState frame = w_.Frame;
        Bitmap large;
        {
            struct End {
                TFormMainQV7K& w;
                Bitmap& out;
                ~End() { if (w.OffscreenActive()) w.EndOffscreenGL(out); }
            } end{w_, large};
            QCoreApplication::processEvents();
            if (w_.RenderCancel->Tag != 1) {
                // An event may have made the preview's context current.
                w_.OffscreenContext()->MakeCurrent();
                scene::RenderFrame(params, frame, -1, 0);
            }
            w_.ProBar->setValue(60);
        }
        if (w_.RenderCancel->Tag == 1)
            return Bitmap();
        w_.ProBar->setValue(100);
        return ResampleArea(large, W, H);
    }
    QSize desktop = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry().size() : QSize(1920, 1080);
    params.PixelScale = PlanRender(W, H, desktop.width(), desktop.height(), Method()).scale;
    WindowRenderHost host(w_, params, keepOffscreen_);
    auto r = RenderToBitmap(host, W, H, desktop.width(), desktop.height(), Method(), MaxTile);
    return r.cancelled ? Bitmap() : std::move(r.picture);
}

} // namespace pc
