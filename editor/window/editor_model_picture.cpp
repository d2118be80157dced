// The picture commands of the editor model: turns and flips, selection,
// the clipboard, the floating picture layer and the filters.
#include <algorithm>

#include "editor/tools/frame_select.h"
#include "editor/tools/picture_transforms.h"
#include "editor/window/editor_model.h"
#include "editor/window/picture_files.h"
#include "platform/canvas_stretch.h"
#include "platform/clipboard.h"
#include "platform/errors.h"
#include "platform/message_box.h"

namespace pc::editor {

namespace {

// A selection left or top this far off the picture is taken as 0.
constexpr int kFarOff = -500;
// A selection made from a floating picture lies this far inside it.
constexpr int kLayerInset = 10;

Bitmap CopyArea(const Bitmap& picture, Rect r)
{
    Bitmap part(r.Width(), r.Height());
    StretchBlt(part, Rect{0, 0, r.Width(), r.Height()}, picture, r, StretchMode::ColorOnColor);
    return part;
}

} // namespace

CFrameSelect* EditorModel::Selection() const
{
    return dynamic_cast<CFrameSelect*>(tool_.get());
}

CImageShape* EditorModel::Layer() const
{
    return dynamic_cast<CImageShape*>(tool_.get());
}

std::optional<Rect> EditorModel::UsableSelection() const
{
    const CFrameSelect* s = Selection();
    if (!s || s->Selection().Width() < 1 || s->Selection().Height() < 1)
        return std::nullopt;
    return s->Selection();
}

void EditorModel::FillArea(Rect r)
{
    // Solid whatever style the brush has: the area must not keep the picture.
    const CanvasToolsScope tools(canvas_, canvas_.pen, Brush{brushSwatch_, BrushStyle::Solid});
    canvas_.FillRect(r);
}

void EditorModel::RotateWith(Bitmap (*turn)(const Bitmap&))
{
    Commit();
    Bitmap turned = turn(picture_);
    ApplySize(turned.Width(), turned.Height(), true);
    ReplacePicture(std::move(turned));
}

void EditorModel::Rotate90()
{
    RotateWith(RotateClockwise);
}

void EditorModel::FlipHorizontal()
{
    RotateWith(editor::FlipHorizontal);
}

void EditorModel::FlipVertical()
{
    RotateWith(editor::FlipVertical);
}

void EditorModel::Select()
{
    Rect start{};
    if (const CImageShape* layer = Layer()) {
        const Rect b = layer->Bounds(); // right and bottom inclusive
        start = Rect{b.left + kLayerInset, b.top + kLayerInset, b.right + 1 - kLayerInset, b.bottom + 1 - kLayerInset};
    }
    Commit();
    SetTool(std::make_unique<CFrameSelect>(canvas_, start), kCrossCursor);
    penBar_ = brushBar_ = false;
    checked_ = ToolAction::Select;
}

void EditorModel::SelectAll()
{
    const Rect all{0, 0, width_, height_};
    Commit();
    SetTool(std::make_unique<CFrameSelect>(canvas_, all), kCrossCursor);
    checked_ = ToolAction::Select;
}

std::optional<Bitmap> EditorModel::TakeSelection(bool cutAway)
{
    const std::optional<Rect> r = UsableSelection();
    if (!r)
        return std::nullopt;
    CFrameSelect* s = Selection();
    s->DrawFrame();
    Bitmap part = CopyArea(picture_, *r);
    if (cutAway)
        FillArea(*r);
    s->DrawFrame();
    // After the change, so that a redo brings the cut back.
    if (cutAway)
        s->SaveState();
    return part;
}

void EditorModel::Copy()
{
    if (const std::optional<Bitmap> part = TakeSelection(false))
        clipboard::SetBitmap(*part);
}

void EditorModel::Cut()
{
    if (const std::optional<Bitmap> part = TakeSelection(true))
        clipboard::SetBitmap(*part);
}

void EditorModel::Paste()
{
    std::optional<Bitmap> clip = clipboard::GetBitmap();
    if (!clip)
        return;
    clip->SetPixelFormat(PixelFormat::pf24bit);
    Rect at{};
    if (const CFrameSelect* s = Selection())
        at = s->Selection();
    if (at.left < kFarOff)
        at = Rect{0, at.top, at.Width(), at.bottom};
    if (at.top < kFarOff)
        at = Rect{at.left, 0, at.right, at.Height()};
    if (at.Width() < 1 || at.Height() < 1) {
        at.right = at.left + clip->Width();
        at.bottom = at.top + clip->Height();
        if (at.left == 0 && at.top == 0 && (clip->Width() > width_ || clip->Height() > height_) &&
            Ask("Clipboard image is bigger than current image. Do you want to adjust current image size?",
                "Question", Buttons::YesNo, Owner) == Answer::Yes)
            ApplySize(clip->Width(), clip->Height(), true);
    }
    PlaceLayer(*clip, at);
}

void EditorModel::PlaceLayer(const Bitmap& picture, Rect at)
{
    Commit();
    Float(picture, at);
}

void EditorModel::Float(const Bitmap& picture, Rect at)
{
    auto layer = std::make_unique<CImageShape>(canvas_, picture);
    layer->Redraw(at);
    SetTool(std::move(layer), kCrossCursor);
}

void EditorModel::Stretch(StretchAction mode)
{
    if (const std::optional<Rect> r = UsableSelection()) {
        Commit();
        const Bitmap part = CopyArea(picture_, *r);
        // No commit between the hole and the layer over it: the history
        // never holds a hole the user did not see.
        FillArea(*r);
        Float(part, *r);
    }
    CImageShape* layer = Layer();
    if (!layer)
        throw Error("No area is selected!");
    layer->SetMode(mode == StretchAction::Free ? LayerStretch::Free
                   : mode == StretchAction::Rotational ? LayerStretch::Rotational
                                                       : LayerStretch::Rectangular);
    penBar_ = brushBar_ = false;
}

void EditorModel::ApplyFilter(FilterKind kind)
{
    if (CFrameSelect* s = Selection())
        s->Filter(kind, FilterDivisor(kind));
}

bool EditorModel::CanUseSelection() const
{
    return UsableSelection().has_value();
}

bool EditorModel::CanPaste() const
{
    return clipboard::HasBitmap();
}

bool EditorModel::StretchEnabled() const
{
    return UsableSelection() || Layer();
}

StretchAction EditorModel::CheckedStretch() const
{
    const CImageShape* layer = Layer();
    if (!layer)
        return StretchAction::None;
    switch (layer->Mode()) {
    case LayerStretch::Free:
        return StretchAction::Free;
    case LayerStretch::Rotational:
        return StretchAction::Rotational;
    default:
        return StretchAction::Rectangular;
    }
}

bool EditorModel::LoadLayerFromFile()
{
    const std::optional<std::string> file = dialogs_.OpenPicture();
    if (!file)
        return false;
    const Bitmap picture = DecodePicture(ReadPictureFile(*file), kMaxSide);
    PlaceLayer(picture, Rect{0, 0, picture.Width(), picture.Height()});
    transColor_ = picture.Pixel(0, 0);
    layerDiffuse_ = 1;
    preview_ = picture;
    ApplyLayerOptions();
    return true;
}

void EditorModel::LoadLayerFromClipboard()
{
    std::optional<Bitmap> clip = clipboard::GetBitmap();
    if (!clip)
        throw Error("Clipboard has no Bitmap!");
    clip->SetPixelFormat(PixelFormat::pf24bit);
    PlaceLayer(*clip, Rect{0, 0, clip->Width(), clip->Height()});
    transColor_ = clip->Pixel(0, 0);
    layerDiffuse_ = 1;
    preview_ = std::move(*clip);
    ApplyLayerOptions();
}

void EditorModel::ApplyLayerOptions()
{
    CImageShape* layer = Layer();
    if (!layer)
        return;
    LayerOptions o = layer->Options();
    o.transparent = layerTransparent_;
    o.transparentColor = transColor_;
    o.diffuse = layerDiffuse_;
    o.alphaWeight = layerAlpha_;
    if (o.transparent == layer->Options().transparent && o.transparentColor == layer->Options().transparentColor &&
        o.diffuse == layer->Options().diffuse && o.alphaWeight == layer->Options().alphaWeight)
        return;
    layer->SetOptions(o);
    layer->Redraw();
}

void EditorModel::SetLayerTransparent(bool on)
{
    layerTransparent_ = on;
    ApplyLayerOptions();
}

void EditorModel::SetLayerDiffuse(int diffuse)
{
    layerDiffuse_ = std::clamp(diffuse, 1, 100);
    ApplyLayerOptions();
}

void EditorModel::SetLayerAlpha(int alpha)
{
    layerAlpha_ = std::clamp(alpha, 0, 100);
    ApplyLayerOptions();
}

void EditorModel::PickTransparentFromPreview(int x, int y)
{
    if (x < 0 || y < 0 || x >= preview_.Width() || y >= preview_.Height())
        return;
    transColor_ = preview_.Pixel(x, y);
    ApplyLayerOptions();
}

} // namespace pc::editor
