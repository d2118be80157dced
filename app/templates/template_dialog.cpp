#include "app/templates/template_dialog.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/message_box.h"
#include "platform/screen_placement.h"

namespace pc {

TemplateSheetView::TemplateSheetView(const TemplateSheet& sheet, QWidget* parent) : QWidget(parent), sheet_(sheet)
{
    setFocusPolicy(Qt::StrongFocus);
}

void TemplateSheetView::SheetResized()
{
    const Bitmap& b = sheet_.Sheet();
    setFixedSize(b.Width(), b.Height());
    update();
}

void TemplateSheetView::paintEvent(QPaintEvent* e)
{
    const Bitmap& b = sheet_.Sheet();
    if (b.Empty())
        return;
    // Rows are top-down B,G,R triples padded to 4 bytes: Qt reads them in place.
    const QImage image(b.Data(), b.Width(), b.Height(), qsizetype(b.Stride()), QImage::Format_BGR888);
    QPainter painter(this);
    painter.drawImage(e->rect(), image, e->rect());
}

void TemplateSheetView::mousePressEvent(QMouseEvent*)
{
    setFocus();
    emit Pressed();
}

void TemplateSheetView::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        emit Released(e->position().toPoint().x(), e->position().toPoint().y());
}

void TemplateSheetView::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        emit DoubleClicked();
}

void TemplateSheetView::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Down:
    case Qt::Key_Right:
    case Qt::Key_PageDown:
    case Qt::Key_Up:
    case Qt::Key_Left:
    case Qt::Key_PageUp:
    case Qt::Key_F5:
        emit KeyPressed(e->key());
        break;
    default:
        QWidget::keyPressEvent(e); // Enter and Escape reach the dialog
    }
}

TTemplate::TTemplate(QWidget* owner, std::vector<std::string> folders) : QDialog(owner), folders_(std::move(folders))
{
    setWindowTitle("Templates");
    resize(516, 462);
    setMinimumWidth(500);
    CentreOnScreen(*this, owner); // on the owner's screen, not over the owner

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ScrollBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette white = ScrollBox1->viewport()->palette();
    white.setColor(QPalette::Window, Qt::white);
    ScrollBox1->viewport()->setPalette(white);
    ScrollBox1->viewport()->setAutoFillBackground(true);
    Image1 = new TemplateSheetView(sheet_);
    ScrollBox1->setWidget(Image1);
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBox1->viewport()->installEventFilter(this);

    auto* panel = new QWidget(this);
    panel->setFixedHeight(64);
    BitBtn1 = new QPushButton("Load", panel);
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton("Cancel", panel);
    Fresh = new QPushButton("Fresh", panel);
    BitBtn3 = new QPushButton("More", panel);
    CheckBox1 = new QCheckBox("Show this when launch up", panel);
    ProgressBar1 = new QProgressBar(panel);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setFixedHeight(10);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();
    FileName = new QLabel(panel);
    FileName->hide();

    // The check box has a row of its own: beside the four buttons its
    // caption would be cut at the window's width.
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {BitBtn1, BitBtn2, Fresh, BitBtn3})
        buttons->addWidget(b);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(8, 2, 8, 0);
    panelLayout->setSpacing(0);
    panelLayout->addLayout(buttons);
    panelLayout->addWidget(CheckBox1);
    panelLayout->addStretch();
    panelLayout->addWidget(ProgressBar1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ScrollBox1, 1);
    layout->addWidget(panel);

    OpenWebPage = [](const std::string& url) { QDesktopServices::openUrl(QUrl(QString::fromStdString(url))); };

    connect(BitBtn1, &QPushButton::clicked, this, &TTemplate::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TTemplate::BitBtn2Click);
    connect(Fresh, &QPushButton::clicked, this, &TTemplate::FreshClick);
    connect(BitBtn3, &QPushButton::clicked, this, &TTemplate::BitBtn3Click);
    connect(Image1, &TemplateSheetView::Pressed, this, [this] { Image1->setFocus(); });
    connect(Image1, &TemplateSheetView::Released, this, &TTemplate::Image1MouseUp);
    connect(Image1, &TemplateSheetView::DoubleClicked, this, &TTemplate::Image1DblClick);
    connect(Image1, &TemplateSheetView::KeyPressed, this, &TTemplate::Edit1KeyDown);

    Timer1.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &TTemplate::Timer1Timer);
    fillTimer_.setSingleShot(true);
    fillTimer_.setInterval(0);
    connect(&fillTimer_, &QTimer::timeout, this, &TTemplate::FillTurn);
    TickCount = 0;
    Timer1.start();
}

void TTemplate::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    TickCount = 0;
    Timer1.start();
}

void TTemplate::Timer1Timer()
{
    ++TickCount;
    // A resize during a fill lays the sheet out again once the fill is over.
    if (TickCount < 5 || sheet_.Filling())
        return;
    Timer1.stop();
    FreshClick();
}

void TTemplate::FreshClick()
{
    if (sheet_.Filling())
        return;
    sheet_.Begin(ListTemplates(folders_), ScrollBox1->viewport()->width());
    Image1->SheetResized();
    ProgressBar1->setMaximum(std::max(sheet_.Total(), 1));
    ProgressBar1->setValue(0);
    ProgressBar1->show();
    BitBtn2Tag = 0;
    fillTimer_.start();
}

void TTemplate::FillTurn()
{
    if (BitBtn2Tag == 1 || !sheet_.FillNext()) {
        EndFill();
        return;
    }
    ProgressBar1->setValue(sheet_.Position());
    Repaint();
    fillTimer_.start(); // the next cell after the events that came meanwhile
}

void TTemplate::EndFill()
{
    sheet_.Stop();
    fillTimer_.stop();
    ProgressBar1->hide();
    BitBtn2Tag = 0;
    Image1->setFocus();
}

void TTemplate::Repaint()
{
    const Rect r = sheet_.Changed();
    if (r.Width() > 0 && r.Height() > 0)
        Image1->update(QRect(r.left, r.top, r.Width(), r.Height()));
}

void TTemplate::Image1MouseUp(int x, int y)
{
    if (sheet_.MouseUp(x, y)) {
        FileName->setText(QString::fromStdString(sheet_.FileName));
        Repaint();
    }
}

void TTemplate::Image1DblClick()
{
    if (sheet_.SelectedIndex < 0)
        return;
    BitBtn2Tag = 1;
    done(kTemplateLoad);
}

void TTemplate::ScrollBox1DblClick()
{
    FreshClick();
}

void TTemplate::Edit1KeyDown(int key)
{
    if (key == Qt::Key_F5) {
        FreshClick();
        return;
    }
    const bool forward = key == Qt::Key_Down || key == Qt::Key_Right || key == Qt::Key_PageDown;
    const std::optional<Point> corner = sheet_.Step(forward ? 1 : -1);
    if (!corner)
        return;
    FileName->setText(QString::fromStdString(sheet_.FileName));
    Repaint();
    ScrollBox1->verticalScrollBar()->setValue(corner->y);
    ScrollBox1->horizontalScrollBar()->setValue(corner->x);
}

void TTemplate::BitBtn1Click()
{
    if (FileName->text().isEmpty()) {
        ShowMessage("No template is selected.");
        return;
    }
    done(kTemplateLoad);
}

void TTemplate::BitBtn2Click()
{
    BitBtn2Tag = 1;
    done(kTemplateCancel);
}

void TTemplate::BitBtn3Click()
{
    OpenWebPage(kMoreTemplatesPage);
}

void TTemplate::reject()
{
    BitBtn2Click();
}

void TTemplate::done(int result)
{
    Timer1.stop();
    if (sheet_.Filling())
        EndFill();
    QDialog::done(result);
}

bool TTemplate::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ScrollBox1->viewport()) {
        if (event->type() == QEvent::Wheel && static_cast<QWheelEvent*>(event)->angleDelta().y() != 0) {
            auto* wheel = static_cast<QWheelEvent*>(event);
            QScrollBar* bar = ScrollBox1->verticalScrollBar();
            bar->setValue(bar->value() + (wheel->angleDelta().y() < 0 ? 40 : -40));
            return true;
        }
        if (event->type() == QEvent::MouseButtonDblClick) {
            ScrollBox1DblClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace pc
