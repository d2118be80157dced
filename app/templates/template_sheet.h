#pragma once
// The browser's sheet of template cells and everything a test can drive
// without a window: the layout (240 x 240 cells, row-major, columns from the
// client width), the fill that draws one cell per call so the event loop
// turns between cells, and the selection by mouse and keys.
#include <optional>
#include <string>
#include <vector>

#include "app/templates/template_list.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace pc {

inline constexpr int kCellSize = 240;
inline constexpr int kPreviewSide = 200;
inline constexpr int kPreviewInset = 20;

// Cells per row for a scroll box of that client width: at least 2.
int ColumnsForWidth(int clientWidth);
// Top-left corner of cell index on the sheet.
Point CellOrigin(int index, int columns);
// The filled cell under the sheet point, or -1: the right margin beyond the
// last column and the space after the last cell belong to no cell.
int CellAt(int x, int y, int columns, int count);
// Where a preview of width x height goes in the cell whose corner is origin:
// fitted into 200 x 200 and centred. Nothing for a preview without area.
std::optional<Rect> FitPreview(int width, int height, Point origin);

// The preview of a template: "<base>.bmp" at its own size, else "<base>.png"
// drawn into 200 x 200, else an empty bitmap. Throws for a preview that
// cannot be read.
Bitmap LoadPreview(const std::string& templatePath);

class TemplateSheet {
public:
    // Starts a fill of these templates for a scroll box of clientWidth: the
    // cells, paths, count and selection of the last fill are dropped.
    void Begin(std::vector<TemplateFile> files, int clientWidth);
    // Draws the next cell and returns true, or ends the fill and returns false.
    bool FillNext();
    // Ends a running fill; the cells drawn so far stay and can be chosen.
    void Stop();

    bool Filling() const { return filling_; }
    int Position() const { return TemplateCount; }
    int Total() const { return int(files_.size()); }
    const Bitmap& Sheet() const { return sheet_; }
    // The part of the sheet the last call changed (to repaint).
    Rect Changed() const { return changed_; }

    // Selects the cell under the sheet point; elsewhere only clears
    // SelectedIndex (FileName and the frame stay). True when a cell was hit.
    bool MouseUp(int x, int y);
    // Moves the selection by delta cells, clamped to the filled cells, and
    // returns the corner of the selected cell; nothing when there is no cell.
    std::optional<Point> Step(int delta);

    int ColumnCount = 2;
    int TemplateCount = 0; // cells filled so far
    int SelectedIndex = -1;
    std::string FileName; // the chosen template's path; stays after a miss
    Rect SelectionRect{-1, -1, -1, -1};
    std::vector<std::string> TemplatePaths; // one per filled cell

private:
    void DrawCell(int index, const TemplateFile& file);
    void InvertSelectionFrame();

    std::vector<TemplateFile> files_;
    Bitmap sheet_;
    bool filling_ = false;
    Rect changed_;
};

} // namespace pc
