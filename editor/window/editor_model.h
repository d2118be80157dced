#pragma once
// The bitmap editor's state and commands, without a window: the edited
// 24-bit picture and its canvas (which holds the pen, brush and font the
// tools draw with), the current tool, the picture size, the history files
// with two-level undo and redo, colour picking, the text and floating
// picture controls and the picture commands. TImageForm shows it; tests
// drive it directly.
//
// Every tool switch and picture command commits first: the current tool
// finishes (a crop, a floating picture or a curve becomes final), the
// picture is cut to its size and written to the history.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "editor/tools/filters.h"
#include "editor/tools/image_shape.h"
#include "editor/tools/shape.h"
#include "editor/tools/tool_mouse.h"
#include "editor/window/editor_session.h"
#include "editor/window/history_files.h"
#include "editor/window/zoom.h"
#include "platform/canvas.h"

class QWidget;

namespace pc::editor {

class CFrameSelect;

// The file dialogs the commands open; a cancelled dialog is nothing.
class EditorDialogs {
public:
    virtual ~EditorDialogs() = default;
    virtual std::optional<std::string> OpenPicture() = 0;
    virtual std::optional<SaveChoice> SavePicture(const std::string& fileName, int filterIndex) = 0;
};

// The commands of the exclusive tool group; None when a commit left no tool checked.
enum class ToolAction {
    None, FreeLine, Line, Circle, Ellipse, RoundRect, Rectangle, Polygon, Polyline, PolyBezier,
    Eraser, FloodFill, Sobe, Text, Select, Crop, Picture
};
// The stretch group; None when no stretch mode is shown.
enum class StretchAction { None, Free, Rectangular, Rotational };
enum class EditorPage { Tool, Font, Picture };

// Colour-pick modes.
enum PickMode { kPickOff = -1, kPickPen = 0, kPickBrush = 1, kPickTransparent = 2 };

class EditorModel {
public:
    static constexpr int kMaxSide = 4096;
    static constexpr int kStartSide = 256;

    // workFolder (ending in '/') is the program's private folder; the
    // history files go to historyFolder, when given, else there too.
    EditorModel(std::string workFolder, EditorDialogs& dialogs, const std::string& historyFolder = {});
    ~EditorModel();
    EditorModel(const EditorModel&) = delete;
    EditorModel& operator=(const EditorModel&) = delete;

    // Owner of the questions the commands ask.
    QWidget* Owner = nullptr;

    // The picture bitmap; at least Width() x Height(), exactly that after a commit.
    const Bitmap& Picture() const { return picture_; }
    Canvas& PictureCanvas() { return canvas_; }
    const Canvas& PictureCanvas() const { return canvas_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The picture-size spins: clamped to 1..4096; the picture grows at once
    // (new area white) and is cut at the next commit.
    void SetPictureSize(int width, int height);

    // Whether the picture on screen has changes not yet saved.
    bool Modified() const { return session_.HasChanges(); }
    // The file, the save rules and the face's result.
    const EditorSession& Session() const { return session_; }

    // File commands. Open, Load and Save throw on failure and change nothing
    // then (the changes stay marked after a failed save); they return false
    // when a question or the dialog was cancelled.
    // Opens path without the dialog, as the hand-over does.
    bool Open(const std::string& path);
    // As "Edit Current Picture" opens a face's picture: path is the face's
    // hand-over file.
    bool OpenFace(const std::string& path);
    // Asks to save unsaved changes first, then shows the open dialog.
    bool Load();
    bool Save();
    bool SaveAs();
    // Closing: the question about unsaved changes (Yes, No, Cancel), then
    // handOver with the picture the face takes, if any, then the history
    // goes. false keeps the window open: cancelled, the save was not made,
    // or the user chose to stay after a hand-over failed again. handOver's
    // first error passes on (the window stays open).
    bool Close(const std::function<void(const Bitmap&)>& handOver = {});
    void New();

    // History.
    void Commit();
    void Undo();
    void Redo();
    bool CanUndo() const;
    bool CanRedo() const;
    const HistoryFiles& History() const { return history_; }

    // Tools and the controls that go with them.
    CShape* CurrentTool() const { return tool_.get(); }
    void ChooseTool(ToolAction action);
    // The eyedroppers: kPickPen or kPickBrush until the next commit.
    void PickColor(int mode);
    // The transparent colour is picked by the next release on the picture.
    void PickTransparentColor();
    ToolAction CheckedTool() const { return checked_; }
    EditorPage Page() const { return tool_ ? page_ : EditorPage::Tool; }
    bool PenBarVisible() const { return penBar_; }
    bool BrushBarVisible() const { return brushBar_; }
    int CursorNumber() const { return cursor_; }
    const std::string& PenSizeLabel() const { return penSizeLabel_; }

    // Mouse on the picture, in picture pixels.
    void MouseDown(const MouseInput& in);
    void MouseMove(const MouseInput& in);
    void MouseUp(const MouseInput& in);
    bool Dragging() const { return mouse_.Dragging(); }
    // Status bar: "X: x   Y: y", and the picked colour value ("-1": none).
    const std::string& PositionText() const { return positionText_; }
    const std::string& ColorText() const { return colorText_; }

    // Pen and brush.
    void SetPenStyle(PenStyle s) { canvas_.pen.style = s; }
    void SetBrushStyle(BrushStyle s);
    void SetPenColor(TColor c);
    void SetBrushColor(TColor c);
    TColor PenColor() const { return penSwatch_; }
    TColor BrushColor() const { return brushSwatch_; }
    void SetPenSizeText(const std::string& text);

    // Text controls; they act only while the text tool is current.
    void SetText(const std::u16string& text);
    void SetTextRotation(int degrees);
    void SetTextFont(const Font& font);
    const std::u16string& Text() const { return text_; }
    int TextRotation() const { return rotation_; }
    // The OK buttons of the text and picture pages: a new selection.
    void PageOk();

    // Picture commands.
    void Rotate90();
    void FlipHorizontal();
    void FlipVertical();
    void Select();
    void SelectAll();
    void Copy();
    void Cut();
    // Asks whether the picture should grow to a bigger clipboard picture.
    void Paste();
    // Floats the selection (if any) and sets the layer's stretch mode;
    // throws "No area is selected!" without a selection or layer.
    void Stretch(StretchAction mode);
    void ApplyFilter(FilterKind kind);
    bool CanUseSelection() const;    // copy, cut and the filters
    bool CanPaste() const;
    bool StretchEnabled() const;
    StretchAction CheckedStretch() const;

    // The floating picture page. Loading from a file asks for it; false
    // when the dialog was cancelled.
    bool LoadLayerFromFile();
    void LoadLayerFromClipboard();
    void SetLayerTransparent(bool on);
    void SetLayerDiffuse(int diffuse);
    void SetLayerAlpha(int alpha);
    // The preview's pixel (in the layer picture's own pixels) becomes the
    // transparent colour.
    void PickTransparentFromPreview(int x, int y);
    bool LayerTransparent() const { return layerTransparent_; }
    TColor LayerTransparentColor() const { return transColor_; }
    int LayerDiffuse() const { return layerDiffuse_; }
    int LayerAlpha() const { return layerAlpha_; }
    const Bitmap& LayerPreview() const { return preview_; }

    Zoom& ViewZoom() { return zoom_; }
    const Zoom& ViewZoom() const { return zoom_; }

private:
    void ReplacePicture(Bitmap b);
    bool LoadFile(const std::string& file, bool chosenByUser);
    // Saves to target, or to the name the dialog gives when there is none.
    bool SaveTo(std::optional<SaveChoice> target, bool saveAs);
    // The question before unsaved changes go; false when they must stay.
    bool MayDropChanges();
    // The picture on screen, at its size, is the history file shown.
    bool ScreenInHistory() const;
    void ApplySize(int width, int height, bool byUser);
    void CutToSize();
    // Writes the picture to the history unless the shown file holds it.
    void Record();
    void ShowHistory(Bitmap b);
    // Shows history file n, when it exists.
    void StepTo(int n);
    bool SameAsHistory(int n) const;
    void SetTool(std::unique_ptr<CShape> tool, int cursor);
    // Before the whole picture is replaced outside a commit: the tool's
    // marks and pending work belong to the old picture.
    void ResetTool();
    // No tool checked, no bars, no colour pick, the default cursor.
    void ResetToolControls();
    void StartText();
    // Commits, then floats picture at at.
    void PlaceLayer(const Bitmap& picture, Rect at);
    void Float(const Bitmap& picture, Rect at);
    void FillArea(Rect r);
    void ApplyLayerOptions();
    void RotateWith(Bitmap (*turn)(const Bitmap&));
    CFrameSelect* Selection() const;
    CImageShape* Layer() const;
    std::optional<Rect> UsableSelection() const;
    // The selected pixels, read with the frame hidden; cutAway fills their
    // place with the brush colour. Nothing without a usable selection.
    std::optional<Bitmap> TakeSelection(bool cutAway);

    std::string workFolder_;
    EditorDialogs& dialogs_;
    Bitmap picture_;
    Canvas canvas_;
    int width_ = kStartSide, height_ = kStartSide;
    std::unique_ptr<CShape> tool_;
    ToolMouse mouse_;
    HistoryFiles history_;
    Zoom zoom_;

    EditorSession session_;
    ToolAction checked_ = ToolAction::None;
    EditorPage page_ = EditorPage::Tool;
    bool penBar_ = false, brushBar_ = false;
    int cursor_ = kArrowCursor;
    int pickMode_ = kPickOff;
    std::string penSizeLabel_;
    std::string positionText_, colorText_ = "-1";
    TColor penSwatch_ = clBlack, brushSwatch_ = clWhite;

    std::u16string text_;
    int rotation_ = 0;

    bool layerTransparent_ = false;
    TColor transColor_ = clWhite;
    int layerDiffuse_ = 1, layerAlpha_ = 0;
    Bitmap preview_;
};

} // namespace pc::editor
