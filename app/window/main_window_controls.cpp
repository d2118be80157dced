// The main window's pages and the preview area.
#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/window/main_window.h"
#include "scene/pages/value_box.h"
#include "app/window/picture_box.h"
#include "app/window/preview_panel.h"
#include "platform/track_bar.h"

namespace pc {

namespace {

QSlider* Bar(int min, int max, int position)
{
    auto* s = new TrackBar;
    s->SetRange(min, max);
    s->SetPosition(position);
    return s;
}

QCheckBox* Check(const char* caption, bool checked)
{
    auto* c = new QCheckBox(QString::fromUtf8(caption));
    c->setChecked(checked);
    return c;
}

constexpr int kValueEditorWidth = 44, kValueEditorHeight = 20;

// A form of track bars that carry the floating value editor: the room right
// of its fields stays free for it, so it covers no control when it shows.
QFormLayout* BarForm(QGroupBox* box)
{
    auto* form = new QFormLayout(box);
    QMargins m = form->contentsMargins();
    m.setRight(m.right() + kValueEditorWidth + 2 * ValueBox::kGap);
    form->setContentsMargins(m);
    return form;
}

// A radio button that follows its action both ways.
QRadioButton* RadioFor(QAction* action, const char* caption)
{
    auto* r = new QRadioButton(QString::fromUtf8(caption));
    r->setChecked(action->isChecked());
    QObject::connect(r, &QRadioButton::clicked, action, [action] { action->setChecked(true); });
    QObject::connect(action, &QAction::toggled, r, &QRadioButton::setChecked);
    return r;
}

// A page switch leaves the focus on the tabs rather than on the new page's
// first control, where typed digits would move a track bar unasked.
void KeepFocusOnTabs(QTabWidget* tabs)
{
    QObject::connect(tabs, &QTabWidget::currentChanged, tabs, [tabs] {
        QWidget* focus = QApplication::focusWidget();
        if (focus && tabs->currentWidget() && tabs->currentWidget()->isAncestorOf(focus))
            tabs->tabBar()->setFocus(Qt::OtherFocusReason);
    });
}

} // namespace

void TFormMainQV7K::CreateWidgets()
{
    auto* central = new QWidget;
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(4, 4, 4, 4);

    Panel2 = new QWidget;
    Panel2->setFixedWidth(430);
    auto* left = new QVBoxLayout(Panel2);
    left->setContentsMargins(0, 0, 0, 0);
    PC = new QTabWidget;
    TSObject = new QWidget;
    auto* objects = new QVBoxLayout(TSObject);
    PC2 = new QTabWidget;
    objects->addWidget(PC2);
    TSFloor = CreateEnvironmentPage();
    TSLight = CreateLightPage();
    TSCamera = CreateCameraPage();
    TSExport = CreateExportPage();
    PC->addTab(TSObject, "Objects");
    PC->addTab(TSFloor, "Environment");
    PC->addTab(TSLight, "Light");
    PC->addTab(TSCamera, "Camera");
    PC->addTab(TSExport, "Export Picture");
    left->addWidget(PC);
    Label3 = new QLabel;
    left->addWidget(Label3);

    row->addWidget(Panel2);
    row->addWidget(CreatePreviewArea(), 1);
    setCentralWidget(central);

    const QColor skyBlue(0xA6, 0xCA, 0xF0);
    Values = new ValueBox(*this, {kValueEditorWidth, kValueEditorHeight, skyBlue, true, true});
    tbPanel = Values->Box();
    tbEdit = Values->Edit();
    tbEdit->setText("000");
}

QWidget* TFormMainQV7K::CreateEnvironmentPage()
{
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);

    GroupBox8 = new QGroupBox("Floor");
    auto* floor = BarForm(GroupBox8);
    ImageFloor = new PictureBox;
    ImageFloor->setObjectName("ImageFloor");
    floor->addRow(ImageFloor);
    TBFloor_alpha = Bar(0, 100, 50);
    floor->addRow("Reflection", TBFloor_alpha);
    CBDiffuse = Check("Diffuse", true);
    floor->addRow(CBDiffuse);
    TBFloor_P = Bar(0, 100, 30);
    floor->addRow("Diffuse size", TBFloor_P);
    Label10 = new QLabel("Texture H ");
    TBfsth = Bar(1, 1000, 30);
    floor->addRow(Label10, TBfsth);
    Label11 = new QLabel("Texture V ");
    TBfstv = Bar(1, 1000, 30);
    floor->addRow(Label11, TBfstv);
    v->addWidget(GroupBox8);

    GroupBox9 = new QGroupBox("Background");
    auto* back = BarForm(GroupBox9);
    ImageBackground = new PictureBox;
    ImageBackground->setObjectName("ImageBackground");
    back->addRow(ImageBackground);
    Label8 = new QLabel("Texture H ");
    TBbth = Bar(1, 1000, 300);
    back->addRow(Label8, TBbth);
    Label9 = new QLabel("Texture V ");
    TBbtv = Bar(1, 1000, 300);
    back->addRow(Label9, TBbtv);
    v->addWidget(GroupBox9);

    // Both start hidden: the background starts transparent.
    GroupBox8->hide();
    GroupBox9->hide();
    for (QWidget* w : {static_cast<QWidget*>(Label10), static_cast<QWidget*>(TBfsth), static_cast<QWidget*>(Label11),
                       static_cast<QWidget*>(TBfstv), static_cast<QWidget*>(Label8), static_cast<QWidget*>(TBbth),
                       static_cast<QWidget*>(Label9), static_cast<QWidget*>(TBbtv)})
        w->hide();

    DrawAxis = Check("Draw Axis", true);
    v->addWidget(DrawAxis);
    v->addStretch();
    return page;
}

QWidget* TFormMainQV7K::CreateLightPage()
{
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* light = new QGroupBox("Light");
    auto* f = BarForm(light);
    TBLightX = Bar(-800, 800, 300);
    TBLightY = Bar(0, 800, 300);
    TBLightZ = Bar(-800, 800, 300);
    AmbientStrength = Bar(0, 360, 50);
    f->addRow("X", TBLightX);
    f->addRow("Y", TBLightY);
    f->addRow("Z", TBLightZ);
    f->addRow("Ambient", AmbientStrength);
    DrawLight = Check("Draw Light", true);
    f->addRow(DrawLight);
    v->addWidget(light);

    auto* shadow = new QGroupBox("Shadow");
    auto* s = BarForm(shadow);
    CBShadowVisible = Check("Visible", false);
    s->addRow(CBShadowVisible);
    TBShadowStrength = Bar(0, 100, 50);
    TBShadowScale = Bar(0, 200, 50);
    TBShadowDiffuse = Bar(0, 200, 110);
    s->addRow("Strength", TBShadowStrength);
    s->addRow("Scale", TBShadowScale);
    s->addRow("Diffuse", TBShadowDiffuse);
    v->addWidget(shadow);
    v->addStretch();
    return page;
}

QWidget* TFormMainQV7K::CreateCameraPage()
{
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* eye = new QGroupBox("Camera");
    auto* f = BarForm(eye);
    TBCameraX = Bar(-1600, 1600, -200);
    TBCameraY = Bar(0, 1600, 10);
    TBCameraZ = Bar(-1600, 1600, 400);
    f->addRow("X", TBCameraX);
    f->addRow("Y", TBCameraY);
    f->addRow("Z", TBCameraZ);
    v->addWidget(eye);

    auto* target = new QGroupBox("Look at");
    auto* t = BarForm(target);
    TBCameraLookAtX = Bar(-1600, 1600, 0);
    TBCameraLookAtY = Bar(-100, 800, 0);
    TBCameraLookAtZ = Bar(-1600, 1600, 0);
    TBCameraLookAtA = Bar(30, 75, 37);
    t->addRow("X", TBCameraLookAtX);
    t->addRow("Y", TBCameraLookAtY);
    t->addRow("Z", TBCameraLookAtZ);
    t->addRow("Angle", TBCameraLookAtA);
    v->addWidget(target);
    BitBtn1 = new QPushButton("Default");
    v->addWidget(BitBtn1);
    v->addStretch();
    return page;
}

QWidget* TFormMainQV7K::CreateExportPage()
{
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);

    GroupBox10 = new QGroupBox("Picture Resolution ");
    auto* f = BarForm(GroupBox10);
    TBWidth = Bar(1, 4096, 400);
    TBHeight = Bar(1, 4096, 400);
    EditW = new QLineEdit("400");
    EditH = new QLineEdit("400");
    f->addRow("Width ", TBWidth);
    f->addRow("", EditW);
    f->addRow("Height ", TBHeight);
    f->addRow("", EditH);
    QuickView = Check("Quick preview", false);
    f->addRow(QuickView);
    v->addWidget(GroupBox10);

    auto* effect = new QGroupBox("Rendering Effect and Speed");
    auto* e = new QVBoxLayout(effect);
    e->addWidget(RadioFor(RenderMixer, "Compatible Mode"));
    e->addWidget(RadioFor(Interpolation1, "Enhanced Mode (Clear and Expensive)"));
    e->addWidget(RadioFor(SoftAccum1, "Accumulation (Blur and Slow) "));
    e->addWidget(RadioFor(Halftone1, "Halftone (Sharp and Slow)"));
    e->addWidget(RadioFor(RenderNone1, "None ( Aliasing but Quick)"));
    CBSmooth1 = Check("Smooth ( Slow process)", false);
    connect(CBSmooth1, &QCheckBox::clicked, CBSmooth, &QAction::setChecked);
    connect(CBSmooth, &QAction::toggled, CBSmooth1, &QCheckBox::setChecked);
    e->addWidget(CBSmooth1);
    v->addWidget(effect);

    BTransparent = Check("Transparent Background", true);
    v->addWidget(BTransparent);
    auto* publish = new QToolButton;
    publish->setDefaultAction(APublish);
    v->addWidget(publish);
    v->addStretch();
    return page;
}

QWidget* TFormMainQV7K::CreatePreviewArea()
{
    auto* area = new QWidget;
    auto* v = new QVBoxLayout(area);
    v->setContentsMargins(0, 0, 0, 0);
    Label15 = new QLabel("Low quality scale preview");
    Label15->setStyleSheet("color: red");
    Label15->hide();
    v->addWidget(Label15);

    SB = new QScrollArea;
    SB->setAlignment(Qt::AlignCenter);
    Panel1 = new PreviewPanel;
    Panel1->setObjectName("Panel1");
    Panel1->setFixedSize(TBWidth->value(), TBHeight->value());
    SB->setWidget(Panel1);
    v->addWidget(SB, 1);

    Label14 = new QLabel("Click here return to 'Software Rendering'. ");
    Label14->setStyleSheet("color: blue; text-decoration: underline");
    Label14->hide();
    v->addWidget(Label14);

    PanelP = new QWidget;
    auto* p = new QHBoxLayout(PanelP);
    Label7 = new QLabel;
    ProBar = new QProgressBar;
    ViewRendImage = Check("Open Image after rendering", true);
    auto* cancel = new QToolButton;
    cancel->setDefaultAction(RenderCancel);
    p->addWidget(Label7);
    p->addWidget(ProBar, 1);
    p->addWidget(ViewRendImage);
    p->addWidget(cancel);
    PanelP->hide();
    v->addWidget(PanelP);
    return area;
}

void TFormMainQV7K::ConnectSignals()
{
    KeepFocusOnTabs(PC);
    KeepFocusOnTabs(PC2);
    connect(Exit1, &QAction::triggered, this, &QWidget::close);
    connect(C1, &QAction::triggered, this, [this] { PC->setCurrentWidget(TSCamera); });
    connect(Light1, &QAction::triggered, this, [this] { PC->setCurrentWidget(TSLight); });
    connect(Floor1, &QAction::triggered, this, [this] { PC->setCurrentWidget(TSFloor); });
    connect(Export, &QAction::triggered, this, [this] { PC->setCurrentWidget(TSExport); });
    connect(Panel1, &PreviewPanel::Resized, this, &TFormMainQV7K::FormResize);
    connect(TBCameraLookAtA, &QSlider::valueChanged, this, &TFormMainQV7K::FormResize);
}

} // namespace pc
