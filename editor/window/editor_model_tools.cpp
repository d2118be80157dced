// The tool commands of the editor model: which command makes which tool,
// the mouse on the picture, colour picking, pen, brush and text controls.
#include <cstdint>

#include "editor/tools/circle.h"
#include "editor/tools/crop.h"
#include "editor/tools/ellipse.h"
#include "editor/tools/eraser.h"
#include "editor/tools/flood_fill_tool.h"
#include "editor/tools/free_line.h"
#include "editor/tools/line.h"
#include "editor/tools/null_shape.h"
#include "editor/tools/pen_width.h"
#include "editor/tools/poly_bezier.h"
#include "editor/tools/polygon.h"
#include "editor/tools/polyline.h"
#include "editor/tools/rectangle.h"
#include "editor/tools/round_rect.h"
#include "editor/tools/text_tool.h"
#include "editor/window/editor_model.h"

namespace pc::editor {

void EditorModel::SetTool(std::unique_ptr<CShape> tool, int cursor)
{
    tool_ = std::move(tool);
    cursor_ = cursor;
}

void EditorModel::ResetTool()
{
    if (tool_)
        tool_->Finish();
    tool_ = std::make_unique<CNULLShape>(canvas_);
    ResetToolControls();
}

void EditorModel::ChooseTool(ToolAction action)
{
    switch (action) {
    case ToolAction::None:
        return;
    case ToolAction::Sobe:
        PickColor(kPickPen);
        return;
    case ToolAction::Text:
        StartText();
        return;
    case ToolAction::Select:
        Select();
        return;
    case ToolAction::Picture:
        page_ = EditorPage::Picture;
        cursor_ = kCrossCursor;
        preview_ = Bitmap();
        SetLayerTransparent(false);
        SetLayerAlpha(0);
        penBar_ = brushBar_ = false;
        checked_ = action;
        return;
    default:
        break;
    }
    Commit();
    // The pen and brush bars live on the tool page.
    page_ = EditorPage::Tool;
    bool brush = true;
    switch (action) {
    case ToolAction::FreeLine:
        SetTool(std::make_unique<CFreeLine>(canvas_), kPenCursor);
        brush = false;
        break;
    case ToolAction::Line:
        SetTool(std::make_unique<CLine>(canvas_), kPenCursor);
        brush = false;
        break;
    case ToolAction::Circle:
        SetTool(std::make_unique<CCircle>(canvas_), kCrossCursor);
        break;
    case ToolAction::Ellipse:
        SetTool(std::make_unique<CEllipse>(canvas_), kCrossCursor);
        break;
    case ToolAction::RoundRect:
        SetTool(std::make_unique<CRoundRect>(canvas_), kCrossCursor);
        break;
    case ToolAction::Rectangle:
        SetTool(std::make_unique<CRectangle>(canvas_), kCrossCursor);
        break;
    case ToolAction::Polygon:
        SetTool(std::make_unique<CPolygon>(canvas_), kCrossCursor);
        break;
    case ToolAction::Polyline:
        SetTool(std::make_unique<CPolyline>(canvas_), kCrossCursor);
        break;
    case ToolAction::PolyBezier:
        SetTool(std::make_unique<CPolyBezier>(canvas_), kCrossCursor);
        break;
    case ToolAction::Eraser:
        SetTool(std::make_unique<CEraser>(canvas_), kArrowCursor);
        break;
    case ToolAction::FloodFill:
        SetTool(std::make_unique<CFloodFill>(canvas_), kPaintCursor);
        penSizeLabel_ = "Allowance:";
        break;
    case ToolAction::Crop:
        // The bars stay hidden: the crop draws with fixed tools.
        SetTool(std::make_unique<CCrop>(canvas_), kCrossCursor);
        checked_ = action;
        return;
    default:
        return;
    }
    penBar_ = true;
    brushBar_ = brush;
    checked_ = action;
}

void EditorModel::PickColor(int mode)
{
    Commit();
    page_ = EditorPage::Tool;
    SetTool(std::make_unique<CNULLShape>(canvas_), kPickerCursor);
    penBar_ = brushBar_ = true;
    pickMode_ = mode == kPickBrush ? kPickBrush : kPickPen;
    checked_ = ToolAction::Sobe;
}

void EditorModel::PickTransparentColor()
{
    pickMode_ = kPickTransparent;
    cursor_ = kPickerCursor;
}

void EditorModel::MouseDown(const MouseInput& in)
{
    mouse_.Press(tool_.get(), in);
}

void EditorModel::MouseMove(const MouseInput& in)
{
    const Point p = mouse_.Move(tool_.get(), in);
    positionText_ = "X: " + std::to_string(p.x) + "   Y: " + std::to_string(p.y);
    if (pickMode_ >= 0)
        colorText_ = std::to_string(int32_t(canvas_.Pixel(p.x, p.y)));
}

void EditorModel::MouseUp(const MouseInput& in)
{
    mouse_.Release(tool_.get(), in);
    if (pickMode_ < 0)
        return;
    const TColor c = canvas_.Pixel(in.point.x, in.point.y);
    if (c == clInvalid)
        return; // outside the picture there is no colour to take
    switch (pickMode_) {
    case kPickPen:
        SetPenColor(c);
        break;
    case kPickBrush:
        SetBrushColor(c);
        break;
    case kPickTransparent:
        transColor_ = c;
        pickMode_ = kPickOff;
        cursor_ = kCrossCursor;
        ApplyLayerOptions();
        break;
    default:
        break;
    }
}

void EditorModel::SetBrushStyle(BrushStyle s)
{
    canvas_.brush.color = brushSwatch_;
    canvas_.brush.style = s;
}

void EditorModel::SetPenColor(TColor c)
{
    canvas_.pen.color = c;
    penSwatch_ = c;
}

void EditorModel::SetBrushColor(TColor c)
{
    // Only the colour: the style the user chose stays.
    canvas_.brush.color = c;
    brushSwatch_ = c;
}

void EditorModel::SetPenSizeText(const std::string& text)
{
    canvas_.pen.width = PenWidthFromText(text);
}

void EditorModel::StartText()
{
    Commit();
    SetTool(std::make_unique<CText>(canvas_), kFontCursor);
    page_ = EditorPage::Font;
    text_.clear();
    rotation_ = 0;
    canvas_.font.escapement = 0;
    penBar_ = brushBar_ = false;
    checked_ = ToolAction::Text;
    tool_->MouseUp({0, 0});
}

void EditorModel::SetText(const std::u16string& text)
{
    auto* t = dynamic_cast<CText*>(tool_.get());
    if (!t)
        return;
    text_ = text;
    t->SetText(text);
    t->MouseUp(CText::kRedrawInPlace);
}

void EditorModel::SetTextRotation(int degrees)
{
    auto* t = dynamic_cast<CText*>(tool_.get());
    if (!t)
        return;
    rotation_ = degrees;
    // Escapement turns counter-clockwise: a positive rotation turns clockwise.
    canvas_.font.escapement = -10 * degrees;
    t->MouseUp(CText::kRedrawInPlace);
}

void EditorModel::SetTextFont(const Font& font)
{
    if (!dynamic_cast<CText*>(tool_.get()))
        return;
    canvas_.font = font;
    SetTextRotation(rotation_);
}

void EditorModel::PageOk()
{
    Select();
    page_ = EditorPage::Tool;
}

} // namespace pc::editor
