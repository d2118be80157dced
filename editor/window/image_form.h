#pragma once
// TImageForm, the modal "Edit Picture" window: menus, tool bars and actions
// in their exclusive groups, the tool, text and floating-picture pages, the
// status bar and the picture view, all thin over EditorModel. Every command
// runs through Run(), which reports errors in a message box and brings the
// controls in line with the model.
//
// Callers open the picture through the model (Open, or OpenFace for a face
// that takes the result back), may choose the crop tool with ACropExecute,
// and set HandOver, which closing runs while the window is still open.
#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

#include "editor/window/editor_model.h"

class QAction;
class QActionGroup;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QScrollArea;
class QSlider;
class QSpinBox;
class QStackedWidget;
class QToolButton;
class QVBoxLayout;

namespace pc::editor {

class ColorPanel;
class HistoryFolder;
class PictureView;
class QtEditorDialogs;
class Swatch;

class TImageForm : public QDialog {
    Q_OBJECT
public:
    // dialogs answer the file dialogs instead of the screen when given.
    explicit TImageForm(QWidget* owner = nullptr, EditorDialogs* dialogs = nullptr);
    ~TImageForm() override;

    EditorModel& Model() { return *model_; }

    // The commands callers use; errors are shown, false when nothing was done.
    // Opens path without the dialog; fromFace: path is a face's hand-over file.
    bool OpenExecute(const std::string& path, bool fromFace = false);
    bool ALoadExecute();
    bool ASaveExecute();
    void ACropExecute();

    // Gives the face the picture it takes while the window is still open;
    // when it throws, the error is shown and the window stays open.
    std::function<void(const Bitmap&)> HandOver;

    // A zoom preset of the "Zoom" menu, in percent.
    void ZoomPreset(int percent);

    // The colour and font dialogs; tests answer them.
    std::function<std::optional<TColor>(TColor)> ChooseColor;
    std::function<std::optional<Font>(const Font&)> ChooseFont;

    // Runs a command, shows its error, then updates every control.
    void Run(const std::function<void()>& command);
    // The same for a command that may not be done; false when it was not.
    bool RunCommand(const std::function<bool()>& command);
    // Brings actions, bars, pages, spins, status and view in line with the model.
    void Sync();

    // Actions (group 1: tools; group 2: stretch; the zoom presets).
    QAction *ANew = nullptr, *ALoad = nullptr, *ASave = nullptr, *ASaveas = nullptr, *Exit1 = nullptr;
    QAction *AUndo = nullptr, *ARedo = nullptr, *ACrop = nullptr, *AR90 = nullptr, *AHReflect = nullptr,
            *AVReflect = nullptr;
    QAction *ASelectAll = nullptr, *ASelect = nullptr, *ACopy = nullptr, *ACut = nullptr, *APaste = nullptr;
    QAction *ABlur = nullptr, *ASharpen = nullptr, *ACarve = nullptr;
    QAction *ARectStretch = nullptr, *AFreeStretch = nullptr, *ARotStretch = nullptr, *AInt2 = nullptr;
    QAction *AFreeLine = nullptr, *ALine = nullptr, *ACircle = nullptr, *AEllipse = nullptr, *ARoundRect = nullptr,
            *ARectangle = nullptr, *APolygon = nullptr, *APolyline = nullptr, *APolyBezier = nullptr,
            *AEraser = nullptr, *AFloodFill = nullptr, *ASobe = nullptr, *AText = nullptr, *APicture = nullptr,
            *AInt = nullptr;
    QAction *AZoomIn = nullptr, *AZoomOut = nullptr;
    QMenu* ZoomMenu = nullptr;
    // The percentages, Tag in data(); the current zoom's is checked, none between them.
    QActionGroup* ZoomPresets = nullptr;

    // Left panel.
    QStackedWidget* PCImage = nullptr;
    QWidget *ImageTool = nullptr, *ImageFont = nullptr, *ImagePicture = nullptr;
    QWidget *ToolBar1 = nullptr, *ToolBar2 = nullptr, *ToolBar3 = nullptr, *ToolBar4 = nullptr, *ToolBar5 = nullptr;
    QWidget *PenBar = nullptr, *BrushBar = nullptr;
    QButtonGroup *PenStyles = nullptr, *BrushStyles = nullptr;
    Swatch *PenColor = nullptr, *BrushColor = nullptr, *PicTransColor = nullptr;
    QToolButton *PenImage = nullptr, *BrushImage = nullptr;
    QComboBox* PenSize = nullptr;
    QLabel* Edit1 = nullptr;
    QSpinBox *CSWidth = nullptr, *CSHeight = nullptr;
    QLineEdit* TextEdit = nullptr;
    QSpinBox* CERot = nullptr;
    QToolButton *BFont = nullptr, *BitBtn1 = nullptr;
    QToolButton *LoadPic = nullptr, *BitBtn3 = nullptr, *BitBtn4 = nullptr;
    QLabel* ImagePre = nullptr;
    QSlider *Alpha = nullptr, *TBTransDiffuse = nullptr;
    QCheckBox* CBImageTrans = nullptr;
    QLabel* StatusPosition = nullptr;
    ColorPanel* StatusColor = nullptr;

    // The picture.
    QScrollArea* ScrollBox1 = nullptr;
    PictureView* Image1 = nullptr;

protected:
    // Closing asks about unsaved changes and hands the face's picture over;
    // a cancelled or failed save or hand-over keeps the window open.
    void reject() override;
    // Clicks on the floating picture's preview pick its transparent colour.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateMenus(QVBoxLayout* layout);
    QWidget* CreateToolPage();
    QWidget* CreatePenBar();
    QWidget* CreateBrushBar();
    QWidget* CreateFontPage();
    QWidget* CreatePicturePage();
    QWidget* CreateLeftPanel();
    void ConnectSignals();
    void ConnectToolActions();
    void SyncActions();
    void SyncStatus();
    void SyncControls();
    // The eyedroppers start with the pointer over the picture.
    void PointAtPicture();
    void ShowPreview();

    // The screen's file dialogs, unless the caller gave its own.
    std::unique_ptr<QtEditorDialogs> dialogs_;
    std::unique_ptr<HistoryFolder> historyFolder_;
    std::unique_ptr<EditorModel> model_;
    // Whether Paste is offered; looking at the clipboard may wait on its owner.
    bool pasteOffered_ = true;
};

} // namespace pc::editor
