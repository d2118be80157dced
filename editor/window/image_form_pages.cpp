// The editor window's left panel: the tool page with its tool bars, pen and
// brush bars and picture size; the text page; the floating picture page;
// the status bar.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "editor/window/form_widgets.h"
#include "editor/window/image_form.h"

namespace pc::editor {

namespace {

constexpr int kPanelWidth = 209;
constexpr int kColumns = 4;

QToolButton* ButtonFor(QAction* action)
{
    auto* b = new QToolButton;
    b->setDefaultAction(action);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return b;
}

QToolButton* PlainButton(const char* caption)
{
    auto* b = new QToolButton;
    b->setText(caption);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return b;
}

// A tool bar as a grid of buttons, so it wraps inside the narrow panel;
// null entries are separators and start a new row.
QWidget* ButtonGrid(std::initializer_list<QAction*> actions, int columns = kColumns)
{
    auto* bar = new QWidget;
    auto* grid = new QGridLayout(bar);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(1);
    int row = 0, column = 0;
    for (QAction* a : actions) {
        if (!a || column == columns) {
            ++row;
            column = 0;
            if (!a)
                continue;
        }
        grid->addWidget(ButtonFor(a), row, column++);
    }
    return bar;
}

// Checkable buttons of one exclusive group, the id of each its style.
QWidget* StyleButtons(QButtonGroup* group, std::initializer_list<std::pair<const char*, int>> buttons)
{
    auto* box = new QWidget;
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(1);
    int i = 0;
    for (const auto& [caption, id] : buttons) {
        QToolButton* b = PlainButton(caption);
        b->setCheckable(true);
        b->setChecked(i == 0);
        group->addButton(b, id);
        grid->addWidget(b, i / kColumns, i % kColumns);
        ++i;
    }
    return box;
}

QSpinBox* SizeSpin()
{
    auto* s = new ClampingSpinBox;
    s->setRange(1, EditorModel::kMaxSide);
    s->setValue(EditorModel::kStartSide);
    s->setToolTip("Press PageUp, PageDwon, Arrow Up, Arrow Down to change the value.");
    return s;
}

} // namespace

QWidget* TImageForm::CreatePenBar()
{
    PenBar = new QWidget;
    auto* v = new QVBoxLayout(PenBar);
    v->setContentsMargins(0, 0, 0, 0);
    PenStyles = new QButtonGroup(PenBar);
    v->addWidget(StyleButtons(PenStyles, {{"Solid", int(PenStyle::Solid)},
                                          {"Dash", int(PenStyle::Dash)},
                                          {"Dot", int(PenStyle::Dot)},
                                          {"DashDot", int(PenStyle::DashDot)},
                                          {"DashDotDot", int(PenStyle::DashDotDot)},
                                          {"Clear", int(PenStyle::Clear)}}));
    auto* row = new QHBoxLayout;
    PenColor = new Swatch(false);
    PenColor->SetColor(clBlack);
    PenImage = PlainButton("Pick");
    PenImage->setToolTip("Pick the pen colour from the picture");
    Edit1 = new QLabel("Pen Size:");
    PenSize = new QComboBox;
    PenSize->setEditable(true);
    PenSize->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), PenSize));
    PenSize->setItemDelegate(new PenSizeDelegate([this] { return model_->PenColor(); }, PenSize));
    for (int w = 1; w <= 80; ++w)
        if (w <= 30 || w > 40)
            PenSize->addItem(QString::number(w));
    row->addWidget(PenColor);
    row->addWidget(PenImage);
    row->addWidget(Edit1);
    row->addWidget(PenSize);
    v->addLayout(row);
    PenBar->hide();
    return PenBar;
}

QWidget* TImageForm::CreateBrushBar()
{
    BrushBar = new QWidget;
    auto* v = new QVBoxLayout(BrushBar);
    v->setContentsMargins(0, 0, 0, 0);
    BrushStyles = new QButtonGroup(BrushBar);
    // The "Horizontal" button fills with vertical lines and "Vertical" with
    // horizontal ones, as the program always did.
    v->addWidget(StyleButtons(BrushStyles, {{"Solid", int(BrushStyle::Solid)},
                                            {"Clear", int(BrushStyle::Clear)},
                                            {"Horizontal", int(BrushStyle::Vertical)},
                                            {"Vertical", int(BrushStyle::Horizontal)},
                                            {"FDiagonal", int(BrushStyle::FDiagonal)},
                                            {"BDiagonal", int(BrushStyle::BDiagonal)},
                                            {"Cross", int(BrushStyle::Cross)},
                                            {"DiagCross", int(BrushStyle::DiagCross)}}));
    auto* row = new QHBoxLayout;
    BrushColor = new Swatch(false);
    BrushColor->SetColor(clWhite);
    BrushImage = PlainButton("Pick");
    BrushImage->setToolTip("Pick the brush colour from the picture");
    row->addWidget(BrushColor);
    row->addWidget(BrushImage);
    row->addStretch(1);
    v->addLayout(row);
    BrushBar->hide();
    return BrushBar;
}

QWidget* TImageForm::CreateToolPage()
{
    ImageTool = new QWidget;
    auto* v = new QVBoxLayout(ImageTool);
    v->setContentsMargins(2, 2, 2, 2);
    ToolBar2 = ButtonGrid({AFreeLine, ALine, ACircle, AEllipse, ARoundRect, ARectangle, APolygon, APolyline});
    ToolBar1 = ButtonGrid({AEraser, APolyBezier, ASobe, AFloodFill, AText, APicture, ACrop});
    ToolBar3 = ButtonGrid({ASelect, ACopy, ACut, APaste, nullptr, AUndo, ARedo, nullptr, AZoomOut});
    ToolBar5 = ButtonGrid({ABlur, ASharpen, ACarve, nullptr, ARectStretch, AFreeStretch, ARotStretch, nullptr, AZoomIn}, 2);
    for (QWidget* bar : {ToolBar2, ToolBar1, ToolBar3, ToolBar5})
        v->addWidget(bar);
    v->addWidget(CreatePenBar());
    v->addWidget(CreateBrushBar());
    auto* size = new QGroupBox("Picture Size");
    auto* grid = new QGridLayout(size);
    CSWidth = SizeSpin();
    CSHeight = SizeSpin();
    grid->addWidget(new QLabel("Width"), 0, 0);
    grid->addWidget(CSWidth, 0, 1);
    grid->addWidget(new QLabel("Height"), 1, 0);
    grid->addWidget(CSHeight, 1, 1);
    v->addWidget(size);
    v->addStretch(1);
    return ImageTool;
}

QWidget* TImageForm::CreateFontPage()
{
    ImageFont = new QWidget;
    auto* v = new QVBoxLayout(ImageFont);
    v->addWidget(new QLabel("Text"));
    TextEdit = new QLineEdit;
    v->addWidget(TextEdit);
    BFont = PlainButton("Font");
    v->addWidget(BFont);
    v->addWidget(new QLabel("Rotation"));
    CERot = new QSpinBox;
    CERot->setRange(-360, 360);
    v->addWidget(CERot);
    BitBtn1 = PlainButton("OK");
    v->addWidget(BitBtn1);
    v->addStretch(1);
    return ImageFont;
}

QWidget* TImageForm::CreatePicturePage()
{
    ImagePicture = new QWidget;
    auto* v = new QVBoxLayout(ImagePicture);
    LoadPic = PlainButton("Load Picture From File");
    BitBtn3 = PlainButton("Load Picture From Clipboard");
    v->addWidget(LoadPic);
    v->addWidget(BitBtn3);
    ImagePre = new QLabel;
    ImagePre->setFixedSize(145, 105);
    ImagePre->setFrameShape(QFrame::Box);
    v->addWidget(ImagePre, 0, Qt::AlignHCenter);

    auto* alpha = new QGroupBox("Alpha Weight");
    auto* av = new QVBoxLayout(alpha);
    Alpha = new QSlider(Qt::Horizontal);
    Alpha->setRange(0, 100);
    av->addWidget(Alpha);
    v->addWidget(alpha);

    auto* trans = new QGroupBox;
    auto* tg = new QGridLayout(trans);
    CBImageTrans = new QCheckBox("Transparent");
    PicTransColor = new Swatch(true);
    PicTransColor->SetColor(clWhite);
    TBTransDiffuse = new QSlider(Qt::Horizontal);
    TBTransDiffuse->setRange(1, 100);
    tg->addWidget(CBImageTrans, 0, 0);
    tg->addWidget(PicTransColor, 0, 1);
    tg->addWidget(new QLabel("Diffuse"), 1, 0);
    tg->addWidget(TBTransDiffuse, 1, 1);
    v->addWidget(trans);

    ToolBar4 = ButtonGrid({ARectStretch, AFreeStretch, ARotStretch}, 2);
    v->addWidget(ToolBar4);
    BitBtn4 = PlainButton("Ok");
    v->addWidget(BitBtn4);
    v->addStretch(1);
    return ImagePicture;
}

QWidget* TImageForm::CreateLeftPanel()
{
    auto* panel = new QWidget;
    panel->setFixedWidth(kPanelWidth + 60);
    auto* v = new QVBoxLayout(panel);
    v->setContentsMargins(0, 0, 0, 0);
    PCImage = new QStackedWidget;
    PCImage->addWidget(CreateToolPage());
    PCImage->addWidget(CreateFontPage());
    PCImage->addWidget(CreatePicturePage());
    v->addWidget(PCImage, 1);

    auto* status = new QHBoxLayout;
    StatusPosition = new QLabel;
    StatusPosition->setFixedWidth(120);
    StatusPosition->setFrameShape(QFrame::StyledPanel);
    StatusColor = new ColorPanel;
    status->addWidget(StatusPosition);
    status->addWidget(StatusColor, 1);
    v->addLayout(status);
    return panel;
}

} // namespace pc::editor
