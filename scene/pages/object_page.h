#pragma once
// One scene object: a page of the object page control holding the object's
// kind, name, visibility, six face pictures and every parameter as a
// track-bar position. Geometry, navigation and project files read and write
// the track bars directly; there is no separate parameter record.
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/color.h"
#include "scene/pages/trackbar_values.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;

namespace pc {

class C3DS;
class FacePicture;
class TextureStore;
class TrackBar;
class ValueBox;

class GLTSObject : public QWidget {
    Q_OBJECT
public:
    // Places the new page on the page control at once. The caller then
    // registers it, sets Tag, ObjectKind and ModelName, gives the faces their
    // colours and calls BuildPage. The texture store must outlive the page.
    GLTSObject(QTabWidget* owner, TextureStore& textures);
    ~GLTSObject() override;

    std::array<FacePicture*, 6> Faces{};
    std::array<std::array<QLabel*, 4>, 6> TrackbarLabels{};
    ValueBox* Values = nullptr; // the floating value box of the page's bars
    QLineEdit* ValueEdit = nullptr; // its edit
    std::array<std::array<TrackBar*, kTableColumns>, kTableRows> TrackbarTable{};
    std::array<std::array<int32_t, kTableColumns>, kTableRows> SavedPositions{};
    bool HasSavedPositions = false;
    std::array<TrackBar*, 6> KindTrackbars{};
    std::array<QLabel*, 6> KindLabels{};
    std::array<QLabel*, 2> ListLabels{};
    std::array<QCheckBox*, kTableRows> DragLocks{};
    std::array<QGroupBox*, kTableRows> GroupBoxes{};
    std::array<QComboBox*, 2> ListBoxes{};
    QScrollArea* ScrollBox = nullptr;
    QWidget* HeaderPanel = nullptr;
    QCheckBox* VisibleCheck = nullptr;
    QLabel* DefaultLabel = nullptr;
    std::string OName;
    QPlainTextEdit* TextMemo = nullptr;
    QPushButton* FontButton = nullptr;
    int ObjectKind = 0;
    std::string ModelName;
    std::unique_ptr<C3DS> Model;
    std::vector<std::string> MaterialPictures;
    std::array<int32_t, 6> FaceTextureIds{};
    int Tag = 0; // the slot

    // Lays out the controls of ObjectKind and sets the tab caption.
    void BuildPage();
    // What a model object is shown and saved as: OName, else the name of the
    // model file the user chose; never that of a work file the model came
    // back in (empty then).
    std::string ModelTitle() const;
    // The 3D text as the memo holds it, lines split by '\n'. Unlike the
    // memo's toPlainText it keeps no-break spaces, so an unchanged text
    // compares equal to what was read.
    QString MemoText() const;
    void SaveDefaults();
    void RestoreDefaults();

    // Position of a cell; throws when the cell does not exist.
    int Position(int row, int column) const;
    void SetPosition(int row, int column, int position);

    TextureStore& Textures() { return textures_; }
    QTabWidget* PageControl() const { return owner_; }

    // A change of position refills the bar's typing buffer.
    void TrackBarValueChange(TrackBar* sender);

    // The font handler of the 3D Text page: only the family is taken over.
    void FontClick();

    // The 3DS page: its Materials and Models lists, the selected material's
    // swatch and the six material and sub-object track bars.
    void FillModelLists();
    void MaterialsChange();
    void ModelsChange();
    void MaterialTrackbarChange(TrackBar* sender);
    int SelectedMaterial() const;  // -1 for none
    int SelectedSubObject() const; // -1 for none
    // The swatch got a new picture (its texture and work file) or a solid
    // colour: the selected material takes it over. False without a selection.
    bool SelectedMaterialTakesPicture(int textureId);
    bool SelectedMaterialTakesColor(TColor color);
    // Lets go of every material texture; one no other material of the scene
    // holds goes back, with deleteWorkFiles its work file too.
    void ReleaseMaterialTextures(bool deleteWorkFiles);

signals:
    void FaceClicked(pc::FacePicture* face);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildCommonControls();
    void BuildSection(int row);
    void LayoutFaces();
    void ApplyKindControls();
    void BuildCDLabels();
    void FitBarsBesideLabels();
    void BuildTextPage();
    void BuildModelPage();
    void StackSections();
    void AttachTypingHandlers(TrackBar* bar);

    QTabWidget* owner_;
    TextureStore& textures_;
    QWidget* contents_ = nullptr; // inside ScrollBox
    // Set while the page itself moves the material bars, so their change
    // handler does not write quantised values back into the model.
    bool showingMaterial_ = false;
};

} // namespace pc
