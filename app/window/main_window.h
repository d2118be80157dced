#pragma once
// The main window: menus and actions, the page control with the scene
// controls, the object page control, the preview panel and the window's
// OpenGL context. Construction reads as a table of contents; the handlers of
// each concern live in their own file:
//   main_window.cpp          lifecycle: create, close, destroy, hand-over
//   main_window_actions.cpp  actions and menus
//   main_window_controls.cpp pages and their controls
//   window_gl.cpp            GL context, pixel format, idle render, off-screen
//   main_window_navigation.cpp  mouse, wheel and key navigation
//   main_window_sizing.cpp   output size, preview fit, floating value editor
//   main_window_commands.cpp help, clear, clipboard, transparency, update step
#include <QMainWindow>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/settings/app_settings.h"
#include "app/window/tagged_action.h"
#include "platform/bitmap.h"
#include "platform/pixel_format.h"
#include "scene/pages/object_table.h"
#include "scene/render/scene_passes.h"

class QActionGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSlider;
class QTabWidget;
class QTimer;

namespace pc {

class EditorCommands;
class FacePicture;
class GLContext;
class GLFramePair;
class InstanceListener;
class ObjectCommands;
class ObjectHost;
class PictureBox;
class TextureStore;
class TrackBar;
class ValueBox;
class PreviewPanel;
class PublishCommand;

class TFormMainQV7K : public QMainWindow {
    Q_OBJECT
public:
    // args: the command-line arguments after the program name.
    TFormMainQV7K(std::unique_ptr<AppSettings> settings, QStringList args, QWidget* parent = nullptr);
    ~TFormMainQV7K() override;

    // Builds the GL context and opens the start project; the program calls
    // it once, after construction.
    void FormCreate();
    // Set before FormCreate in an instance that a relaunch started: the
    // project on its command line is the relaunch's work file, and the
    // argument after it (RelaunchProjectArgument) names the user's project.
    bool Relaunched = false;

    // Pages.
    QTabWidget* PC = nullptr;
    QWidget *TSObject = nullptr, *TSFloor = nullptr, *TSLight = nullptr, *TSCamera = nullptr, *TSExport = nullptr;
    QTabWidget* PC2 = nullptr; // one page per scene object
    QWidget* Panel2 = nullptr;  // left control panel
    QLabel* Label3 = nullptr;   // web address under the page control

    // Environment.
    QGroupBox *GroupBox8 = nullptr, *GroupBox9 = nullptr;
    PictureBox *ImageFloor = nullptr, *ImageBackground = nullptr;
    QSlider *TBFloor_alpha = nullptr, *TBFloor_P = nullptr, *TBfsth = nullptr, *TBfstv = nullptr;
    QSlider *TBbth = nullptr, *TBbtv = nullptr;
    QLabel *Label8 = nullptr, *Label9 = nullptr, *Label10 = nullptr, *Label11 = nullptr;
    QCheckBox *CBDiffuse = nullptr, *DrawAxis = nullptr;

    // Light.
    QSlider *TBLightX = nullptr, *TBLightY = nullptr, *TBLightZ = nullptr, *AmbientStrength = nullptr;
    QSlider *TBShadowStrength = nullptr, *TBShadowScale = nullptr, *TBShadowDiffuse = nullptr;
    QCheckBox *DrawLight = nullptr, *CBShadowVisible = nullptr;

    // Camera.
    QSlider *TBCameraX = nullptr, *TBCameraY = nullptr, *TBCameraZ = nullptr;
    QSlider *TBCameraLookAtX = nullptr, *TBCameraLookAtY = nullptr, *TBCameraLookAtZ = nullptr;
    QSlider* TBCameraLookAtA = nullptr;
    QPushButton* BitBtn1 = nullptr; // "Default"

    // Export.
    QGroupBox* GroupBox10 = nullptr;
    QSlider *TBWidth = nullptr, *TBHeight = nullptr;
    int TBHeightTag = 0; // 1 while a publish sizes the panel
    QLineEdit *EditW = nullptr, *EditH = nullptr;
    QCheckBox *QuickView = nullptr, *BTransparent = nullptr, *CBSmooth1 = nullptr;

    // Preview area.
    QScrollArea* SB = nullptr;
    PreviewPanel* Panel1 = nullptr;
    QLabel* Label14 = nullptr; // "Click here return to 'Software Rendering'. "
    QLabel* Label15 = nullptr; // "Low quality scale preview"
    QWidget* PanelP = nullptr; // progress panel
    QLabel* Label7 = nullptr;
    QProgressBar* ProBar = nullptr;
    QCheckBox* ViewRendImage = nullptr;
    ValueBox* Values = nullptr; // the floating value editor: tbPanel holding tbEdit
    QWidget* tbPanel = nullptr;
    QLineEdit* tbEdit = nullptr;

    // Actions and menu items.
    TaggedAction *OpenTemplates = nullptr, *ALoadTemplate = nullptr, *ASaveTemplate = nullptr, *SaveAsTemplate = nullptr;
    TaggedAction *AInsertObj = nullptr, *APublish = nullptr, *EditPublished = nullptr, *Exit1 = nullptr;
    TaggedAction* AInsertObjFromTemplates = nullptr; // wired by the template browser
    TaggedAction *ABox = nullptr, *ABook = nullptr, *ACD = nullptr, *ANoteBook = nullptr, *ARoundBook = nullptr;
    TaggedAction *ARoundBox = nullptr, *ABFace = nullptr, *A3ds = nullptr, *A3dtxt = nullptr;
    TaggedAction *ACopyObj = nullptr, *Delete = nullptr, *ARemoveAllObjs = nullptr;
    TaggedAction *C1 = nullptr, *Light1 = nullptr, *Floor1 = nullptr, *Export = nullptr;
    QMenu* menuObjects = nullptr; // "Objects"
    TaggedAction *LoadTemplates2 = nullptr, *LoadDefautProject1 = nullptr, *Clear1 = nullptr;
    TaggedAction *SoftwareRender = nullptr, *HardwareRender = nullptr, *AdvanceRender = nullptr;
    QMenu* AllDisMode1 = nullptr; // "Advance"
    TaggedAction *RenderMixer = nullptr, *Interpolation1 = nullptr, *SoftAccum1 = nullptr, *Halftone1 = nullptr;
    TaggedAction *RenderNone1 = nullptr, *CBSmooth = nullptr, *ACCUM1 = nullptr, *RenderCancel = nullptr;
    TaggedAction *Contents1 = nullptr, *About1 = nullptr, *Homepage1 = nullptr;

    // File names the commands act on, preset by callers.
    std::string OpenDialog1FileName;
    std::string OpenPictureDialog1InitialDir, OpenDialog2InitialDir;
    // Where "Load Project" opens: the folder a dialog last saved to or loaded from.
    std::string OpenDialog1InitialDir;

    // Own state.
    std::unique_ptr<GLContext> GLContext_;
    int PixelFormatNumber = 0;
    float ViewWidth = 0, ViewHeight = 0;
    PictureBox* CurrentPicture = nullptr;
    int PixelsFormat = 0;
    std::string PixelFormatInfoText;
    float CameraOrbitAngle = 2.0f, LightOrbitAngle = 0.0f;
    // What one frame leaves for the next (the floor colour among it).
    scene::FrameState Frame;

    // The format table the window's context is chosen from.
    PixelFormatTable PixelFormats = OfferedPixelFormats();
    int DeviceColorBits = 32;

    // Opens OpenDialog1FileName in the mode of ALoadTemplate->Tag. Loading
    // projects is wired in by the project reader; without it every load fails.
    std::function<void()> LoadProjectHandler;
    void ALoadTemplateExecute();
    // Saves the scene (ASaveTemplateExecute): sets SaveAsTemplate->Tag to 1
    // on entry and back to 0 once the file is written.
    std::function<void()> SaveProjectHandler;
    // The start screen of StartMode 0 (the template browser), wired by the program.
    std::function<void()> OpenTemplatesHandler;
    // "Render and Publish" (publish_command.cpp).
    std::unique_ptr<PublishCommand> Publisher;
    // The bitmap editor's hand-over commands (editor_commands.cpp).
    std::unique_ptr<EditorCommands> EditorCmds;

    // GL (window_gl.cpp).
    void SetupPixelFormat(int pixelFormatIndex);
    void BuildPixelFormatMenu();
    void CreateGLContext(int pixelFormatIndex);
    void InitGL();
    void ResizeViewport(int width, int height);
    void FormResize();
    void BeginOffscreenGL(int width, int height);
    // Hands the off-screen frame over as a 32-bit bitmap and makes the
    // window context current again.
    void EndOffscreenGL(Bitmap& bitmap);
    // Starts a render again on the off-screen context already there when it
    // has this size, in the state a new one starts in; false when there is
    // none of that size.
    bool RestartOffscreenGL(int width, int height);
    bool OffscreenActive() const { return offscreen_ != nullptr; }
    GLContext* OffscreenContext() const { return offscreen_.get(); }
    // The off-screen context's frame pair, made on first use (again when the
    // size changes); it is kept and ends with the context. The off-screen
    // context must be current.
    GLFramePair& OffscreenFrames(int width, int height);
    void AppIdle();
    // The scene parameters the controls hold now (window_scene.cpp).
    scene::SceneParams SceneFromControls() const;
    void SwapBuffers();
    void DrawPreviewFrames();

    // Project paths handed over by later instances wait here until the
    // window is idle: not publishing, not loading, no modal dialog.
    void QueueHandedOverProject(const std::string& path);
    // Takes paths from later instances through listener (which may already
    // listen); false when another instance holds the channel.
    bool ListenForHandOvers(std::unique_ptr<InstanceListener> listener);
    // Before a relaunch: the new instance must not hand its path back here.
    void StopListeningForHandOvers();
    size_t PendingProjects() const { return pending_.size(); }
    bool Busy() const;
    // Asks for one idle pass after the current events.
    void RequestIdle();

    // Scene objects (main_window_objects.cpp). The texture store outlives
    // the pages, which give their textures back as they go.
    std::unique_ptr<TextureStore> Textures;
    ObjectTable Objects;
    std::unique_ptr<ObjectHost> ObjectWindow;
    std::unique_ptr<ObjectCommands> ObjectCmds;
    QMenu* PMTexture = nullptr;
    FacePicture* CurrentFace = nullptr;
    PictureBox* CurrentBox = nullptr; // the floor or background box the popup acts on
    TaggedAction *Picture1 = nullptr, *Color1 = nullptr, *Editcurrentpicture1 = nullptr;
    TaggedAction *CropCurrentPicture1 = nullptr, *LoadFromClipboard1 = nullptr;
    // Adds an object of the kind the way the "Add" commands do; the slot or -1.
    int AddObject(int kind, const std::string& modelFile = "");
    void ImageFloorClick(FacePicture* face);
    void ImageBoxClick(PictureBox* box);
    // The picture-file and colour dialogs of the popup; tests answer them.
    std::function<QString()> ChoosePictureFile;
    std::function<std::optional<TColor>(TColor)> ChooseColor;
    void Picture1Click();
    void Color1Click();

    // Close and resize rules.
    bool FormCloseQuery();
    bool FormCanResize() const;

    // Navigation of the preview (main_window_navigation.cpp).
    bool IsDragging = false;
    int LastMouseX = 0, LastMouseY = 0;
    void Panel1MouseDown(QMouseEvent* event);
    void Panel1MouseUp(QMouseEvent* event);
    void Panel1MouseMove(QMouseEvent* event);
    void EndDrag();
    void FormMouseWheel(int wheelDelta);
    // An arrow or page key on the preview; false when it is none of them.
    bool Edit1KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void Orbit(bool fromKeys, Qt::KeyboardModifiers modifiers, float dx, float dy);
    void BitBtn1Click();
    void FreshClick();

    // Output size and preview fit (main_window_sizing.cpp).
    QMenu* PopupMenu1 = nullptr; // size presets
    void TBHeightChange();
    void N200X1501Click(const QString& caption);

    // Small commands (main_window_commands.cpp). OpenDocument opens a file or
    // web address with the desktop's viewer; tests replace it.
    std::function<void(const std::string&)> OpenDocument;
    void Contents1Click();
    void About1Click();
    void Homepage1Click();
    void ARemoveAllObjsExecute();
    void LoadPictureFromClipboard1Click();
    void BTransparentClick();
    // The update step: enables and shows what follows the scene.
    void UpdateActions();

protected:
    void closeEvent(QCloseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateWidgets();
    void ConnectSignals();
    QWidget* CreateEnvironmentPage();
    QWidget* CreateLightPage();
    QWidget* CreateCameraPage();
    QWidget* CreateExportPage();
    QWidget* CreatePreviewArea();
    void CreateObjectCommands();
    void ConnectNavigation();
    void ConnectSizing();
    void ConnectCommands();
    void LoadPictureIntoCurrent(const std::string& file);
    void SetCurrentColor(TColor color);
    void ApplyRenderSettings();
    void OpenStartProject();
    // False when the load failed (and was reported).
    bool OpenProjectFile(const std::string& path, bool reportFailure);
    void LoadHandedOverProject(const std::string& path);
    void ProcessPendingProject();
    void FormClose();
    void FormDestroy();
    // Ends the off-screen context and its frame pair.
    void DropOffscreenContext();

    std::unique_ptr<AppSettings> settings_;
    QStringList args_;
    std::unique_ptr<GLContext> offscreen_;
    std::unique_ptr<GLFramePair> offscreenFrames_;
    QTimer* idleTimer_ = nullptr;
    std::unique_ptr<InstanceListener> listener_;
    std::deque<std::string> pending_;
    int loading_ = 0;
    QSize lastAllowedSize_;
    bool destroyed_ = false;
};

} // namespace pc
