// The editor window's actions, menus and the connections of every control
// to the model.
#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "editor/window/form_widgets.h"
#include "editor/window/image_form.h"
#include "editor/window/picture_view.h"

namespace pc::editor {

namespace {

QAction* Make(QObject* owner, const char* caption, QActionGroup* group = nullptr)
{
    auto* a = new QAction(QString::fromUtf8(caption), owner);
    a->setToolTip(a->text());
    if (group) {
        a->setCheckable(true);
        group->addAction(a);
    }
    return a;
}

} // namespace

void TImageForm::CreateActions()
{
    ANew = Make(this, "New");
    ALoad = Make(this, "Load");
    ASave = Make(this, "Save");
    ASaveas = Make(this, "Save As");
    Exit1 = Make(this, "Exit");
    AUndo = Make(this, "Undo");
    AUndo->setShortcut(QKeySequence("Ctrl+Z"));
    ARedo = Make(this, "Redo");
    ARedo->setShortcut(QKeySequence("Ctrl+Y"));
    AR90 = Make(this, "Rotate 90 Degrees (clockwise )");
    AHReflect = Make(this, "Flip Horizontal");
    AVReflect = Make(this, "Flip Vertical");
    ASelectAll = Make(this, "SelectAll");
    ASelectAll->setShortcut(QKeySequence("Ctrl+A"));
    ACopy = Make(this, "Copy");
    ACut = Make(this, "Cut");
    APaste = Make(this, "Paste");
    ABlur = Make(this, "Blur");
    ASharpen = Make(this, "Sharpen");
    ACarve = Make(this, "Carve");

    auto* tools = new QActionGroup(this);
    AFreeLine = Make(this, "FreeLine", tools);
    ALine = Make(this, "Line", tools);
    ACircle = Make(this, "Circle", tools);
    AEllipse = Make(this, "Ellipse", tools);
    ARoundRect = Make(this, "RoundRect", tools);
    ARectangle = Make(this, "Rectangle", tools);
    APolygon = Make(this, "Polygon", tools);
    APolyline = Make(this, "Polyline", tools);
    APolyBezier = Make(this, "PolyBezier", tools);
    AEraser = Make(this, "Eraser", tools);
    AFloodFill = Make(this, "FloodFill", tools);
    ASobe = Make(this, "Sobe", tools);
    AText = Make(this, "Text", tools);
    APicture = Make(this, "Picture", tools);
    ASelect = Make(this, "Select", tools);
    ASelect->setToolTip("Select area");
    ACrop = Make(this, "Crop", tools);
    AInt = Make(this, "Int", tools); // checked when no tool is
    AInt->setChecked(true);

    auto* stretch = new QActionGroup(this);
    ARectStretch = Make(this, "Rectangular Stretch", stretch);
    AFreeStretch = Make(this, "Free Stretch", stretch);
    ARotStretch = Make(this, "Rotational Stretch", stretch);
    AInt2 = Make(this, "Int2", stretch);
    AInt2->setChecked(true);

    // Steps, not states: the zoom shows as the checked preset.
    AZoomIn = Make(this, "ZoomIn");
    AZoomOut = Make(this, "Zoom Out");
}

void TImageForm::CreateMenus(QVBoxLayout* layout)
{
    auto* bar = new QMenuBar(this);
    layout->setMenuBar(bar);
    QMenu* file = bar->addMenu("File");
    file->addActions({ANew, ALoad, ASave, ASaveas, Exit1});

    QMenu* edit = bar->addMenu("Edit");
    edit->addActions({AUndo, ARedo});
    QMenu* image = edit->addMenu("Image");
    image->addActions({ACrop, AR90, AHReflect, AVReflect});
    edit->addSeparator();
    edit->addActions({ASelectAll, ASelect, ACopy, ACut, APaste, ABlur, ASharpen, ACarve, ARectStretch,
                      AFreeStretch, ARotStretch});

    QMenu* toolsMenu = bar->addMenu("Tools");
    toolsMenu->addActions({AFreeLine, ALine, ACircle, AEllipse, ARoundRect, ARectangle, APolygon, APolyline,
                           APolyBezier, AEraser, AFloodFill, ASobe, AText, APicture});
    ZoomMenu = toolsMenu->addMenu("Zoom");
    ZoomMenu->addActions({AZoomIn, AZoomOut});
    ZoomPresets = new QActionGroup(this);
    // A zoom between the presets checks none of them.
    ZoomPresets->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int percent : {0, 100, 120, 150, 200, 300, 400, 0, 80, 50, 25, 10, 5}) {
        if (percent == 0) {
            ZoomMenu->addSeparator();
            continue;
        }
        QAction* item = Make(this, (std::to_string(percent) + "%").c_str(), ZoomPresets);
        item->setData(percent);
        ZoomMenu->addAction(item);
    }
}

void TImageForm::ZoomPreset(int percent)
{
    Run([&] { model_->ViewZoom().Preset(percent); });
}

void TImageForm::PointAtPicture()
{
    QCursor::setPos(Image1->mapToGlobal(QPoint(100, 100)));
}

void TImageForm::ConnectToolActions()
{
    const std::pair<QAction*, ToolAction> tools[] = {
        {AFreeLine, ToolAction::FreeLine},   {ALine, ToolAction::Line},           {ACircle, ToolAction::Circle},
        {AEllipse, ToolAction::Ellipse},     {ARoundRect, ToolAction::RoundRect}, {ARectangle, ToolAction::Rectangle},
        {APolygon, ToolAction::Polygon},     {APolyline, ToolAction::Polyline},   {APolyBezier, ToolAction::PolyBezier},
        {AEraser, ToolAction::Eraser},       {AFloodFill, ToolAction::FloodFill}, {AText, ToolAction::Text},
        {APicture, ToolAction::Picture},     {ASelect, ToolAction::Select},       {ACrop, ToolAction::Crop}};
    for (const auto& [action, tool] : tools)
        connect(action, &QAction::triggered, this, [this, tool = tool] { Run([&] { model_->ChooseTool(tool); }); });
    connect(ASobe, &QAction::triggered, this, [this] {
        Run([this] { model_->PickColor(kPickPen); });
        PointAtPicture();
    });

    const std::pair<QAction*, StretchAction> stretches[] = {{AFreeStretch, StretchAction::Free},
                                                            {ARectStretch, StretchAction::Rectangular},
                                                            {ARotStretch, StretchAction::Rotational}};
    for (const auto& [action, mode] : stretches)
        connect(action, &QAction::triggered, this, [this, mode = mode] { Run([&] { model_->Stretch(mode); }); });
    const std::pair<QAction*, FilterKind> filters[] = {
        {ABlur, FilterKind::Blur}, {ASharpen, FilterKind::Sharpen}, {ACarve, FilterKind::Carve}};
    for (const auto& [action, kind] : filters)
        connect(action, &QAction::triggered, this, [this, kind = kind] { Run([&] { model_->ApplyFilter(kind); }); });
}

void TImageForm::ConnectSignals()
{
    ConnectToolActions();
    auto command = [this](QAction* action, void (EditorModel::*f)()) {
        connect(action, &QAction::triggered, this, [this, f] { Run([&] { (model_.get()->*f)(); }); });
    };
    command(ANew, &EditorModel::New);
    command(AUndo, &EditorModel::Undo);
    command(ARedo, &EditorModel::Redo);
    command(AR90, &EditorModel::Rotate90);
    command(AHReflect, &EditorModel::FlipHorizontal);
    command(AVReflect, &EditorModel::FlipVertical);
    command(ASelectAll, &EditorModel::SelectAll);
    command(ACopy, &EditorModel::Copy);
    command(ACut, &EditorModel::Cut);
    connect(APaste, &QAction::triggered, this, [this] {
        Run([this] {
            model_->Paste();
            pasteOffered_ = model_->CanPaste();
        });
    });
    connect(ALoad, &QAction::triggered, this, &TImageForm::ALoadExecute);
    connect(ASave, &QAction::triggered, this, &TImageForm::ASaveExecute);
    connect(ASaveas, &QAction::triggered, this, [this] { Run([this] { model_->SaveAs(); }); });
    connect(Exit1, &QAction::triggered, this, &QDialog::close);
    connect(AZoomIn, &QAction::triggered, this, [this] { Run([this] { model_->ViewZoom().In(); }); });
    connect(AZoomOut, &QAction::triggered, this, [this] { Run([this] { model_->ViewZoom().Out(); }); });
    connect(ZoomPresets, &QActionGroup::triggered, this, [this](QAction* item) { ZoomPreset(item->data().toInt()); });
    // Paste follows the clipboard's changes and what Paste found. Opening
    // never asks: a clipboard owner that stopped answering would hold it.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        pasteOffered_ = model_->CanPaste();
        APaste->setEnabled(pasteOffered_);
    });

    // Pen and brush bars.
    connect(PenStyles, &QButtonGroup::idClicked, this,
            [this](int id) { Run([&] { model_->SetPenStyle(PenStyle(id)); }); });
    connect(BrushStyles, &QButtonGroup::idClicked, this,
            [this](int id) { Run([&] { model_->SetBrushStyle(BrushStyle(id)); }); });
    connect(PenColor, &Swatch::Released, this, [this] {
        if (const std::optional<TColor> c = ChooseColor(model_->PenColor()))
            Run([&] { model_->SetPenColor(*c); });
    });
    connect(BrushColor, &Swatch::Released, this, [this] {
        if (const std::optional<TColor> c = ChooseColor(model_->BrushColor()))
            Run([&] { model_->SetBrushColor(*c); });
    });
    connect(PenImage, &QToolButton::clicked, this, [this] {
        Run([this] { model_->PickColor(kPickPen); });
        PointAtPicture();
    });
    connect(BrushImage, &QToolButton::clicked, this, [this] {
        Run([this] { model_->PickColor(kPickBrush); });
        PointAtPicture();
    });
    connect(PenSize, &QComboBox::currentTextChanged, this,
            [this](const QString& text) { Run([&] { model_->SetPenSizeText(text.toStdString()); }); });
    auto size = [this] { Run([this] { model_->SetPictureSize(CSWidth->value(), CSHeight->value()); }); };
    connect(CSWidth, &QSpinBox::valueChanged, this, size);
    connect(CSHeight, &QSpinBox::valueChanged, this, size);

    // Text page.
    connect(TextEdit, &QLineEdit::textChanged, this,
            [this](const QString& text) { Run([&] { model_->SetText(text.toStdU16String()); }); });
    connect(CERot, &QSpinBox::valueChanged, this, [this](int a) { Run([&] { model_->SetTextRotation(a); }); });
    connect(BFont, &QToolButton::clicked, this, [this] {
        if (const std::optional<Font> f = ChooseFont(model_->PictureCanvas().font))
            Run([&] { model_->SetTextFont(*f); });
    });
    connect(BitBtn1, &QToolButton::clicked, this, [this] { Run([this] { model_->PageOk(); }); });

    // Floating picture page.
    auto loaded = [this] {
        ScrollBox1->horizontalScrollBar()->setValue(0);
        ScrollBox1->verticalScrollBar()->setValue(0);
    };
    connect(LoadPic, &QToolButton::clicked, this, [this, loaded] {
        Run([this] { model_->LoadLayerFromFile(); });
        loaded();
    });
    connect(BitBtn3, &QToolButton::clicked, this, [this, loaded] {
        Run([this] { model_->LoadLayerFromClipboard(); });
        loaded();
    });
    connect(BitBtn4, &QToolButton::clicked, this, [this] { Run([this] { model_->PageOk(); }); });
    connect(CBImageTrans, &QCheckBox::toggled, this,
            [this](bool on) { Run([&] { model_->SetLayerTransparent(on); }); });
    connect(TBTransDiffuse, &QSlider::valueChanged, this,
            [this](int d) { Run([&] { model_->SetLayerDiffuse(d); }); });
    connect(Alpha, &QSlider::valueChanged, this, [this](int a) { Run([&] { model_->SetLayerAlpha(a); }); });
    connect(PicTransColor, &Swatch::Pressed, this, [this] {
        Run([this] { model_->PickTransparentColor(); });
        PointAtPicture();
    });
    ImagePre->installEventFilter(this);

    Image1->MouseHandled = [this] {
        SyncActions();
        SyncStatus();
    };
}

void TImageForm::SyncActions()
{
    const EditorModel& m = *model_;
    const std::pair<ToolAction, QAction*> checks[] = {
        {ToolAction::None, AInt},          {ToolAction::FreeLine, AFreeLine},   {ToolAction::Line, ALine},
        {ToolAction::Circle, ACircle},     {ToolAction::Ellipse, AEllipse},     {ToolAction::RoundRect, ARoundRect},
        {ToolAction::Rectangle, ARectangle}, {ToolAction::Polygon, APolygon},   {ToolAction::Polyline, APolyline},
        {ToolAction::PolyBezier, APolyBezier}, {ToolAction::Eraser, AEraser},   {ToolAction::FloodFill, AFloodFill},
        {ToolAction::Sobe, ASobe},         {ToolAction::Text, AText},           {ToolAction::Select, ASelect},
        {ToolAction::Crop, ACrop},         {ToolAction::Picture, APicture}};
    for (const auto& [tool, action] : checks)
        if (tool == m.CheckedTool())
            action->setChecked(true);
    AUndo->setEnabled(m.CanUndo());
    ARedo->setEnabled(m.CanRedo());
    const bool selection = m.CanUseSelection();
    for (QAction* a : {ACopy, ACut, ABlur, ASharpen, ACarve})
        a->setEnabled(selection);
    APaste->setEnabled(pasteOffered_);
    const bool stretch = m.StretchEnabled();
    for (QAction* a : {ARectStretch, AFreeStretch, ARotStretch})
        a->setEnabled(stretch);
    switch (m.CheckedStretch()) {
    case StretchAction::Free:
        AFreeStretch->setChecked(true);
        break;
    case StretchAction::Rectangular:
        ARectStretch->setChecked(true);
        break;
    case StretchAction::Rotational:
        ARotStretch->setChecked(true);
        break;
    case StretchAction::None:
        AInt2->setChecked(true);
        break;
    }
    const Zoom& z = m.ViewZoom();
    AZoomIn->setEnabled(z.CanZoomIn());
    AZoomOut->setEnabled(z.CanZoomOut());
    constexpr double kSameZoom = 1e-6;
    for (QAction* item : ZoomPresets->actions())
        item->setChecked(std::abs(z.Factor() * 100 - item->data().toInt()) < kSameZoom);
}

} // namespace pc::editor
