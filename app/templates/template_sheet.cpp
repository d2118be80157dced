#include "app/templates/template_sheet.h"

#include <QString>
#include <algorithm>
#include <filesystem>

#include "codecs/png/png_object.h"
#include "platform/bmp_file.h"
#include "platform/file_io.h"

namespace pc {

namespace {

// A preview is a small picture; anything far larger is not one.
const PictureLimits kPreviewLimits{8192, int64_t(4096) * 4096};

std::u16string Utf16(const std::string& utf8)
{
    return QString::fromStdString(utf8).toStdU16String();
}

Bitmap NoPreview()
{
    Bitmap work(kPreviewSide, kPreviewSide);
    work.Fill(clWhite);
    Canvas c(work);
    c.backgroundMode = BackgroundMode::Transparent;
    c.font.height = -13;
    c.TextOut(20, 80, std::string("No preview."));
    return work;
}

} // namespace

int ColumnsForWidth(int clientWidth)
{
    return std::max(2, (clientWidth - 24) / kCellSize);
}

Point CellOrigin(int index, int columns)
{
    return {index % columns * kCellSize, index / columns * kCellSize};
}

int CellAt(int x, int y, int columns, int count)
{
    if (x < 0 || y < 0 || columns <= 0)
        return -1;
    const int column = x / kCellSize;
    if (column >= columns)
        return -1;
    const int64_t index = int64_t(y / kCellSize) * columns + column;
    return index < count ? int(index) : -1;
}

std::optional<Rect> FitPreview(int width, int height, Point origin)
{
    if (width <= 0 || height <= 0)
        return std::nullopt;
    const double f = double(width) / double(height);
    int w = kPreviewSide, h = kPreviewSide;
    if (f <= 1)
        w = int(kPreviewSide * f);
    else
        h = int(kPreviewSide / f);
    const int left = origin.x + kPreviewInset + (kPreviewSide - w) / 2;
    const int top = origin.y + kPreviewInset + (kPreviewSide - h) / 2;
    return Rect{left, top, left + w, top + h};
}

Bitmap LoadPreview(const std::string& templatePath)
{
    const std::string base = std::filesystem::path(templatePath).replace_extension().string();
    if (FileExists(base + ".bmp"))
        return LoadBmpFile(base + ".bmp", kPreviewLimits);
    if (FileExists(base + ".png")) {
        png::TPNGObject png;
        png.Limits = kPreviewLimits;
        png.LoadFromFile(base + ".png");
        Bitmap work(kPreviewSide, kPreviewSide);
        work.Fill(clWhite);
        png.Draw(work, png::Rect{0, 0, kPreviewSide, kPreviewSide});
        return work;
    }
    return Bitmap();
}

void TemplateSheet::Begin(std::vector<TemplateFile> files, int clientWidth)
{
    files_ = std::move(files);
    TemplatePaths.clear();
    TemplatePaths.reserve(files_.size());
    SelectedIndex = -1;
    TemplateCount = 0;
    SelectionRect = {-1, -1, -1, -1};
    ColumnCount = ColumnsForWidth(clientWidth);
    const int rows = int((files_.size() + size_t(ColumnCount) - 1) / size_t(ColumnCount));
    sheet_ = Bitmap(ColumnCount * kCellSize + 3, rows > 0 ? rows * kCellSize + 1 : 1);
    sheet_.Fill(clWhite);
    changed_ = {0, 0, sheet_.Width(), sheet_.Height()};
    filling_ = true;
}

bool TemplateSheet::FillNext()
{
    if (!filling_)
        return false;
    if (size_t(TemplateCount) >= files_.size()) {
        Stop();
        return false;
    }
    DrawCell(TemplateCount, files_[size_t(TemplateCount)]);
    TemplatePaths.push_back(files_[size_t(TemplateCount)].path);
    ++TemplateCount;
    return true;
}

void TemplateSheet::Stop()
{
    filling_ = false;
    changed_ = {};
}

void TemplateSheet::DrawCell(int index, const TemplateFile& file)
{
    Bitmap work;
    try {
        work = LoadPreview(file.path);
    } catch (const std::exception&) {
        // One unreadable preview must not stop the sheet.
        work = Bitmap();
    }
    const Point o = CellOrigin(index, ColumnCount);
    std::optional<Rect> fit = work.Empty() ? std::nullopt : FitPreview(work.Width(), work.Height(), o);
    if (!fit) {
        work = NoPreview();
        fit = FitPreview(work.Width(), work.Height(), o);
    }
    Canvas sheet(sheet_);
    sheet.pen = Pen{};
    sheet.brush = Brush{};
    sheet.Rectangle(o.x, o.y, o.x + kCellSize, o.y + kCellSize);
    sheet.StretchDraw(*fit, work, Rect{0, 0, work.Width(), work.Height()}, StretchMode::Halftone);

    const Rect name{o.x + 2, o.y + 222, o.x + 237, o.y + 237};
    sheet.backgroundMode = BackgroundMode::Transparent;
    sheet.font.height = -11;
    const std::u16string text = Utf16(file.name);
    sheet.SetClipRect(name);
    sheet.TextOut(name.left + (name.Width() - sheet.TextExtent(text).x) / 2, name.top, text);
    sheet.ResetClipRect();
    changed_ = {o.x, o.y, o.x + kCellSize + 1, o.y + kCellSize + 1};
}

void TemplateSheet::InvertSelectionFrame()
{
    if (SelectionRect.left < 0)
        return;
    Canvas sheet(sheet_);
    sheet.pen = Pen{clBlack, 3, PenStyle::Solid, PenMode::NotXor};
    sheet.brush.style = BrushStyle::Clear;
    sheet.Rectangle(SelectionRect.left, SelectionRect.top, SelectionRect.right, SelectionRect.bottom);
}

bool TemplateSheet::MouseUp(int x, int y)
{
    const int index = CellAt(x, y, ColumnCount, TemplateCount);
    if (index < 0) {
        SelectedIndex = -1;
        return false;
    }
    SelectedIndex = index;
    FileName = TemplatePaths[size_t(index)];
    const Rect old = SelectionRect;
    InvertSelectionFrame();
    const Point o = CellOrigin(index, ColumnCount);
    SelectionRect = {o.x + 4, o.y + 4, o.x + 236, o.y + 236};
    InvertSelectionFrame();
    // The old frame and the new one; the pen reaches one pixel outside each.
    auto grow = [](Rect r) { return Rect{r.left - 2, r.top - 2, r.right + 2, r.bottom + 2}; };
    const Rect a = grow(SelectionRect);
    changed_ = old.left < 0 ? a : Rect{std::min(a.left, old.left - 2), std::min(a.top, old.top - 2),
                                       std::max(a.right, old.right + 2), std::max(a.bottom, old.bottom + 2)};
    return true;
}

std::optional<Point> TemplateSheet::Step(int delta)
{
    SelectedIndex = std::min(std::max(SelectedIndex + delta, 0), TemplateCount - 1);
    if (SelectedIndex < 0)
        return std::nullopt;
    const Point o = CellOrigin(SelectedIndex, ColumnCount);
    MouseUp(o.x, o.y);
    return o;
}

} // namespace pc
