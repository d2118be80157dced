#include "scene/pages/object_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QGroupBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/track_bar.h"
#include "scene/pages/face_picture.h"
#include "scene/model/c3ds.h"
#include "scene/pages/face_textures.h"
#include "scene/pages/kind_controls.h"
#include "scene/pages/value_box.h"

namespace pc {

namespace {

constexpr int kSectionWidth = 150;
constexpr int kSectionHeight = 180;
constexpr int kBarHeight = 25;

void SetLabelColor(QLabel* label, TColor c)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColorOf(c));
    label->setPalette(pal);
}

// The faces as the kind places them; a box net grows to fit the captions
// painted into its faces, within a section sectionWidth wide.
std::array<std::optional<FaceRect>, 6> FaceLayout(const KindControls& controls, int sectionWidth)
{
    if (!controls.boxNet)
        return controls.faces;
    const QFontMetrics fm(QGuiApplication::font()); // what the captions are painted in
    auto fit = [&](std::initializer_list<int> faces, int least) {
        for (int f : faces)
            least = std::max(least, fm.horizontalAdvance(kFaceCaptions[size_t(f)]) + 6);
        return least;
    };
    const int wide = fit({0, 1, 2, 3}, 41);
    // The net spans 1 + 2 * (wide + narrow) pixels; R and L give way first.
    const int narrow = std::max(fit({4, 5}, 0), std::min(25, (sectionWidth - 3 - 2 * wide) / 2));
    return BoxNetFaces(wide, narrow);
}

} // namespace

GLTSObject::GLTSObject(QTabWidget* owner, TextureStore& textures) : owner_(owner), textures_(textures)
{
    owner_->addTab(this, QString());
    BuildCommonControls();
}

GLTSObject::~GLTSObject()
{
    // Textures are shared GL state that outlives the widgets; give them back.
    ReleaseMaterialTextures(false);
    for (FacePicture* f : Faces)
        if (f && f->Tag > 0)
            textures_.Release(std::exchange(f->Tag, 0));
}

void GLTSObject::BuildCommonControls()
{
    ScrollBox = new QScrollArea(this);
    ScrollBox->setFrameShape(QFrame::NoFrame);
    ScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox->verticalScrollBar()->setTracking(true);
    contents_ = new QWidget;
    Values = new ValueBox(*contents_, {60, 22, QColorOf(0xF0CAA6)});
    ValueEdit = Values->Edit();
    // The sections, and right of them the room where the value box shows.
    contents_->setFixedWidth(kSectionWidth + Values->Room());
    ScrollBox->setWidget(contents_); // takes ownership
    auto* fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(ScrollBox);
    ScrollBox->setMinimumWidth(contents_->width() + ScrollBox->verticalScrollBar()->sizeHint().width() + 4);
    setMinimumWidth(ScrollBox->minimumWidth());

    HeaderPanel = new QWidget(contents_);
    HeaderPanel->setGeometry(0, 0, kSectionWidth, 20);
    VisibleCheck = new QCheckBox("Visible", HeaderPanel);
    VisibleCheck->move(2, 2);
    VisibleCheck->setChecked(true);
    VisibleCheck->adjustSize();
    DefaultLabel = new QLabel("Default", HeaderPanel);
    QFont link = DefaultLabel->font(); // underlined: it is clicked like a link
    link.setUnderline(true);
    DefaultLabel->setFont(link);
    DefaultLabel->adjustSize();
    DefaultLabel->move(VisibleCheck->x() + VisibleCheck->width() + 10, VisibleCheck->y());
    DefaultLabel->setCursor(Qt::PointingHandCursor);
    DefaultLabel->installEventFilter(this);

    for (int i = 0; i < kTableRows; ++i) {
        GroupBoxes[i] = new QGroupBox(QString::fromUtf8(kSectionCaptions[i]), contents_);
        GroupBoxes[i]->setGeometry(0, 22 + 182 * i, kSectionWidth, kSectionHeight);
    }
    GroupBoxes[kRowMaterial]->resize(kSectionWidth, 450);
    GroupBoxes[kRowMaterial]->hide();

    for (int i = 0; i < 6; ++i) {
        Faces[i] = new FacePicture(GroupBoxes[kRowSkin]);
        Faces[i]->setGeometry(2, 20 + 25 * i, 140, 140);
        Faces[i]->BrushColor = clWhite;
        Faces[i]->PenColor = clBlack;
        Faces[i]->PaintFramed();
        connect(Faces[i], &FacePicture::Clicked, this, &GLTSObject::FaceClicked);
    }
    for (int r = kRowSize; r <= kRowKeep5; ++r)
        BuildSection(r);
    StackSections();
}

void GLTSObject::BuildSection(int row)
{
    static constexpr std::array<const char*, 4> captions = {"X", "Y", "Z", "D"};
    static constexpr std::array<TColor, 4> colors = {0x0000FF, 0x008000, 0xFF0000, 0};
    QGroupBox* box = GroupBoxes[row];
    DragLocks[row] = new QCheckBox("Mouse drag lock", box);
    DragLocks[row]->adjustSize();
    DragLocks[row]->move(std::clamp(box->width() - DragLocks[row]->width() - 4, 4, 27), 17);
    DragLocks[row]->setVisible(row == kRowPosition);
    int y = 17 + DragLocks[row]->height() + 5;
    bool wide = row <= kRowRotation;
    for (int c = 0; c < 4; ++c) {
        QLabel* label = new QLabel(captions[c], box);
        label->adjustSize();
        label->move(4, y + 5);
        if (c < 3)
            SetLabelColor(label, colors[c]);
        TrackbarLabels[row][c] = label;
        TrackBar* bar = new TrackBar(box);
        bar->setGeometry(wide ? 20 : 80, y, wide ? 125 : 65, kBarHeight);
        bar->SetRange(0, 360);
        bar->SetPosition(180);
        bar->SetLineSize(1);
        bar->SetPageSize(1);
        bar->Hint = QString::number(bar->Position());
        AttachTypingHandlers(bar);
        connect(bar, &TrackBar::Changed, this, &GLTSObject::TrackBarValueChange);
        TrackbarTable[row][c] = bar;
        y += bar->height() + 5;
    }
    box->resize(box->width(), std::max(kSectionHeight, y + 5));
}

void GLTSObject::AttachTypingHandlers(TrackBar* bar)
{
    Values->Attach(bar);
}

int GLTSObject::Position(int row, int column) const
{
    TrackBar* bar = row >= 0 && row < kTableRows && column >= 0 && column < kTableColumns ? TrackbarTable[row][column]
                                                                                          : nullptr;
    if (!bar)
        throw Error("no parameter at row " + std::to_string(row) + ", column " + std::to_string(column));
    return bar->Position();
}

void GLTSObject::SetPosition(int row, int column, int position)
{
    Position(row, column); // checks the cell
    TrackbarTable[row][column]->SetPosition(position);
}

void GLTSObject::SaveDefaults()
{
    for (int r = kRowSize; r < kTableRows; ++r)
        for (int c = 0; c < kTableColumns; ++c)
            if (TrackBar* bar = TrackbarTable[r][c])
                SavedPositions[r][c] = bar->Position();
    HasSavedPositions = true;
}

void GLTSObject::RestoreDefaults()
{
    if (!HasSavedPositions)
        return;
    for (int r = kRowSize; r < kTableRows; ++r)
        for (int c = 0; c < kTableColumns; ++c)
            if (TrackBar* bar = TrackbarTable[r][c])
                bar->SetPosition(SavedPositions[r][c]);
}

void GLTSObject::BuildPage()
{
    const KindControls& controls = KindControlsFor(ObjectKind);
    LayoutFaces();
    GridPlace place = GridPlaceForSlot(Tag);
    SetPosition(kRowPosition, kColX, place.x);
    SetPosition(kRowPosition, kColZ, place.z);
    for (int r = kRowSize; r <= kRowRotation; ++r) {
        TrackbarTable[r][kColD]->hide();
        TrackbarLabels[r][kColD]->hide();
    }
    ApplyKindControls();
    if (ObjectKind == kKindCD)
        BuildCDLabels();
    else if (ObjectKind == kKindText)
        BuildTextPage();
    else if (ObjectKind == kKindModel)
        BuildModelPage();
    FitBarsBesideLabels();
    for (int r = 0; r < kTableRows; ++r) {
        GroupBoxes[r]->setTitle(QString::fromStdString(controls.sections[r].caption));
        GroupBoxes[r]->setVisible(controls.sections[r].visible);
    }
    StackSections();
    owner_->setTabText(owner_->indexOf(this), QString::fromStdString(TabCaption(ObjectKind, Tag, ModelTitle())));
}

std::string GLTSObject::ModelTitle() const
{
    if (!OName.empty() || IsWorkFile(ModelName))
        return OName;
    return ModelName.substr(ModelName.find_last_of("/\\") + 1);
}

QString GLTSObject::MemoText() const
{
    QString text = TextMemo->document()->toRawText();
    for (QChar& c : text)
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = u'\n';
    return text;
}

void GLTSObject::LayoutFaces()
{
    const KindControls& controls = KindControlsFor(ObjectKind);
    const auto faces = FaceLayout(controls, GroupBoxes[kRowSkin]->width());
    for (int i = 0; i < 6; ++i) {
        const auto& r = faces[i];
        Faces[i]->setVisible(r.has_value());
        if (!r || r->width == 0) // kinds 7 and 8 paint their swatch where the constructor put it
            continue;
        Faces[i]->setGeometry(r->left, r->top, r->width, r->height);
    }
    for (int i = 0; i < 6; ++i) {
        if (!controls.faces[i])
            continue;
        Faces[i]->PaintFramed();
        Faces[i]->PaintCaption(kFaceCaptions[i]);
    }
}

void GLTSObject::ApplyKindControls()
{
    const KindControls& controls = KindControlsFor(ObjectKind);
    for (int r = kRowSize; r <= kRowKeep5; ++r)
        for (int c = 0; c < 4; ++c) {
            const CellControl& cell = controls.cells[r][c];
            TrackBar* bar = TrackbarTable[r][c];
            bar->SetRange(cell.min, cell.max);
            // The grid placement of X and Z stands unless the kind moves them.
            bool placed = r == kRowPosition && (c == kColX || c == kColZ);
            if (!placed)
                bar->SetPosition(cell.position);
            TrackbarLabels[r][c]->setText(QString::fromStdString(cell.caption));
            TrackbarLabels[r][c]->adjustSize();
            bar->setVisible(cell.visible);
            TrackbarLabels[r][c]->setVisible(cell.visible);
        }
}

void GLTSObject::BuildCDLabels()
{
    // The radius captions are too long to sit beside the bars: each label
    // takes its bar's place and the bar moves below it.
    QLabel* outerLabel = TrackbarLabels[kRowSize][kColX];
    TrackBar* outer = TrackbarTable[kRowSize][kColX];
    outerLabel->move(outerLabel->x(), outer->y());
    outer->move(outer->x(), outerLabel->y() + outerLabel->height());
    QLabel* innerLabel = TrackbarLabels[kRowSize][kColY];
    TrackBar* inner = TrackbarTable[kRowSize][kColY];
    innerLabel->move(innerLabel->x(), outer->y() + outer->height() + 4);
    inner->move(inner->x(), innerLabel->y() + innerLabel->height());
}

void GLTSObject::FitBarsBesideLabels()
{
    // A caption wider than the room left of its bar pushes the bar's left
    // edge over; the bar keeps its right edge.
    for (int r = kRowSize; r <= kRowKeep5; ++r)
        for (int c = 0; c < 4; ++c) {
            QLabel* label = TrackbarLabels[r][c];
            TrackBar* bar = TrackbarTable[r][c];
            const bool besideBar = label->y() < bar->y() + bar->height() && bar->y() < label->y() + label->height();
            const int left = label->x() + label->width() + 4;
            if (label->isHidden() || bar->isHidden() || !besideBar || left <= bar->x())
                continue;
            const int right = bar->x() + bar->width();
            bar->setGeometry(left, bar->y(), right - left, bar->height());
        }
}

void GLTSObject::BuildTextPage()
{
    QGroupBox* skin = GroupBoxes[kRowSkin];
    TextMemo = new QPlainTextEdit("Text", skin);
    TextMemo->setGeometry(10, 15, skin->width() - 20, 60);
    TextMemo->setFont(QFont("Arial"));
    // Between words only: breaking one long word anywhere takes the layout
    // time that grows with the square of its length.
    TextMemo->setWordWrapMode(QTextOption::WordWrap);
    FacePicture* swatch = Faces[0];
    swatch->setGeometry(TextMemo->x(), TextMemo->y() + TextMemo->height() + 5, TextMemo->width() / 2, 20);
    FontButton = new QPushButton("Font", skin);
    FontButton->setGeometry(swatch->x() + swatch->width(), swatch->y(), TextMemo->width() / 2, swatch->height());
    connect(FontButton, &QPushButton::clicked, this, &GLTSObject::FontClick);
    skin->resize(skin->width(), swatch->y() + swatch->height() + 10);
}

void GLTSObject::BuildModelPage()
{
    // The page is built from whatever the reader got out of the file.
    Model = std::make_unique<C3DS>();
    Model->Load(ModelName);
    float bottom = Model->Unitize();
    if (std::isfinite(bottom)) // stand the model on the floor
        SetPosition(kRowPosition, kColY, int(-bottom * 90 + 135));

    QGroupBox* skin = GroupBoxes[kRowSkin];
    int listWidth = skin->width() - 20;
    static constexpr std::array<const char*, 2> listCaptions = {"Materials:", "Models:"};
    for (int i = 0; i < 2; ++i) {
        ListLabels[i] = new QLabel(listCaptions[i], skin);
        ListLabels[i]->adjustSize();
        ListBoxes[i] = new QComboBox(skin);
        ListBoxes[i]->setEditable(false);
        ListBoxes[i]->resize(listWidth, ListBoxes[i]->sizeHint().height());
    }
    ListLabels[0]->move(10, 15);
    ListBoxes[0]->move(10, ListLabels[0]->y() + ListLabels[0]->height() + 10);
    FacePicture* swatch = Faces[0];
    swatch->setGeometry(ListBoxes[0]->x(), ListBoxes[0]->y() + ListBoxes[0]->height() + 5, listWidth, listWidth);
    static constexpr std::array<const char*, 6> captions = {"Texture H", "Texture V", "Texture X",
                                                            "Texture Y", "Alpha",     "Visible Size"};
    // The captions share one column as wide as the widest of them.
    int labelWidth = 50;
    for (int i = 0; i < 6; ++i) {
        KindLabels[i] = new QLabel(captions[i], skin);
        labelWidth = std::max(labelWidth, KindLabels[i]->sizeHint().width());
    }
    for (int i = 0; i < 6; ++i) {
        KindLabels[i]->setGeometry(ListBoxes[0]->x(), swatch->y() + swatch->height() + 30 * i + 10, labelWidth,
                                   KindLabels[i]->sizeHint().height());
        KindTrackbars[i] = new TrackBar(skin);
        KindTrackbars[i]->setGeometry(KindLabels[i]->x() + labelWidth + 4, KindLabels[i]->y(),
                                      listWidth - labelWidth - 4, kBarHeight);
        KindTrackbars[i]->SetRange(0, 360);
        KindTrackbars[i]->SetPosition(270);
        KindTrackbars[i]->SetLineSize(1);
        KindTrackbars[i]->SetPageSize(1);
        KindTrackbars[i]->Tag = i;
        KindTrackbars[i]->Hint = "270";
        AttachTypingHandlers(KindTrackbars[i]);
        connect(KindTrackbars[i], &TrackBar::Changed, this, &GLTSObject::MaterialTrackbarChange);
    }
    ListLabels[1]->move(10, KindTrackbars[4]->y() + kBarHeight + 20);
    ListBoxes[1]->move(10, ListLabels[1]->y() + ListLabels[1]->height() + 10);
    int y = ListBoxes[1]->y() + ListBoxes[1]->height() + 10;
    KindLabels[5]->move(KindLabels[5]->x(), y);
    KindTrackbars[5]->move(KindTrackbars[5]->x(), y);
    skin->resize(skin->width(), y + kBarHeight + 10);

    FillModelLists();
    connect(ListBoxes[0], &QComboBox::currentIndexChanged, this, &GLTSObject::MaterialsChange);
    connect(ListBoxes[1], &QComboBox::currentIndexChanged, this, &GLTSObject::ModelsChange);
    // A filled list already selects its first entry; run each handler once.
    MaterialsChange();
    ModelsChange();
}

void GLTSObject::StackSections()
{
    // Sections are aligned to the top: visible ones stack under the header.
    int y = HeaderPanel->height() + 2;
    for (QGroupBox* box : GroupBoxes) {
        if (box->isHidden())
            continue;
        box->move(0, y);
        y += box->height() + 2;
    }
    contents_->setFixedHeight(y);
}

void GLTSObject::TrackBarValueChange(TrackBar* sender)
{
    sender->Hint = QString::number(sender->Position());
}

void GLTSObject::FontClick()
{
    if (!TextMemo)
        return;
    bool ok = false;
    QFont chosen = QFontDialog::getFont(&ok, TextMemo->font(), this, QString(), QFontDialog::ScalableFonts);
    if (!ok)
        return;
    QFont f = TextMemo->font();
    f.setFamily(chosen.family());
    TextMemo->setFont(f);
}

bool GLTSObject::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == DefaultLabel && event->type() == QEvent::MouseButtonRelease)
        RestoreDefaults();
    return QWidget::eventFilter(watched, event);
}

} // namespace pc
