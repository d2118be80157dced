#include "app/publish/bmp32_adjust.h"

#include <QColorDialog>
#include <QComboBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QVBoxLayout>

#include "app/publish/color_adjust.h"

namespace pc {

namespace {

QImage ToImage(const Bitmap& b)
{
    QImage img(b.Width(), b.Height(), QImage::Format_RGB32);
    for (int y = 0; y < b.Height(); ++y) {
        auto* d = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < b.Width(); ++x) {
            TColor c = b.Pixel(x, y);
            d[x] = qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
        }
    }
    return img;
}

// A small tileable texture: soft diagonal waves in one hue.
Bitmap Texture(int size, int r, int g, int b)
{
    Bitmap t(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            int v = ((x * 7 + y * 5) % size + (x * y) % 13) % 40 - 20;
            t.SetPixel(x, y, RGB(uint8_t(std::clamp(r + v, 0, 255)), uint8_t(std::clamp(g + v, 0, 255)),
                                 uint8_t(std::clamp(b + v, 0, 255))));
        }
    return t;
}

QPixmap Swatch(const Bitmap& b)
{
    return QPixmap::fromImage(ToImage(b).scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

} // namespace

Bitmap Checkerboard(int size, int square, TColor a, TColor b)
{
    Bitmap t(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            t.SetPixel(x, y, ((x / square + y / square) % 2) ? b : a);
    return t;
}

TBmp32Adj::TBmp32Adj(QWidget* owner) : QDialog(owner)
{
    setWindowTitle("Color Adjustment");
    resize(800, 559);

    const Bitmap grey = Checkerboard(32, 8, RGB(255, 255, 255), RGB(204, 204, 204));
    swatches_ = {Texture(79, 70, 110, 200),                                    // Image5: blue
                 Texture(79, 150, 100, 60),                                    // Image9: brown
                 Checkerboard(32, 8, RGB(254, 215, 203), RGB(205, 240, 243)), // ImageTrans1
                 Checkerboard(16, 4, RGB(255, 255, 255), RGB(204, 204, 204)), // Image10
                 Checkerboard(16, 4, RGB(254, 215, 203), RGB(205, 240, 243)), // Image12
                 grey};                                                        // Image11
    tile_ = grey;

    scroll_ = new QScrollArea(this);
    image1_ = new QLabel;
    image1_->setAlignment(Qt::AlignCenter);
    scroll_->setWidget(image1_);

    auto* bottom = new QWidget(this);
    bottom->setFixedHeight(92);
    auto* controls = new QVBoxLayout;
    Label2 = new QLabel("Colors:");
    CBPNG = new QComboBox;
    CBPNG->addItems({"24bit + Alpha", "8bit ( 256 colors )"});
    label3_ = new QLabel("Remove translucent color");
    TBAlpha = new QSlider(Qt::Horizontal);
    TBAlpha->setRange(-1, 255);
    TBAlpha->setValue(255);
    label4_ = new QLabel("Background color");
    shape8B_ = new QLabel;
    shape8B_->setFixedSize(24, 16);
    shape8B_->setAutoFillBackground(true);
    shape8B_->installEventFilter(this);
    auto* row1 = new QHBoxLayout;
    row1->addWidget(Label2);
    row1->addWidget(CBPNG);
    row1->addWidget(label4_);
    row1->addWidget(shape8B_);
    auto* row2 = new QHBoxLayout;
    row2->addWidget(label3_);
    row2->addWidget(TBAlpha);
    controls->addLayout(row1);
    controls->addLayout(row2);

    auto* right = new QVBoxLayout;
    auto* strip = new QHBoxLayout;
    strip->addWidget(new QLabel("Canvas:"));
    for (size_t i = 0; i <= swatches_.size(); ++i) {
        auto* s = new QLabel;
        s->setFixedSize(16, 16);
        s->setPixmap(Swatch(i < swatches_.size() ? swatches_[i] : Checkerboard(32, 32, userSwatch_, userSwatch_)));
        s->installEventFilter(this);
        swatchLabels_.push_back(s);
        strip->addWidget(s);
    }
    BitBtn1 = new QPushButton("OK");
    right->addLayout(strip);
    right->addWidget(BitBtn1);
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->addLayout(controls, 1);
    bottomLayout->addLayout(right);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll_, 1);
    layout->addWidget(bottom);

    SetBackgroundColour(clWhite);
    timer_.setInterval(100);
    ChooseColour = [this](TColor current) -> std::optional<TColor> {
        QColor c = QColorDialog::getColor(QColor(GetRValue(current), GetGValue(current), GetBValue(current)), this);
        if (!c.isValid())
            return std::nullopt;
        return RGB(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
    };

    connect(CBPNG, &QComboBox::currentIndexChanged, this, &TBmp32Adj::CBPNGChange);
    connect(TBAlpha, &QSlider::valueChanged, this, &TBmp32Adj::TBAlphaChange);
    connect(&timer_, &QTimer::timeout, this, &TBmp32Adj::Timer1Timer);
    connect(BitBtn1, &QPushButton::clicked, this, &TBmp32Adj::BitBtn1Click);
}

void TBmp32Adj::CBPNGChange()
{
    const bool eightBit = CBPNG->currentIndex() == 1;
    const bool alphaControls = eightBit && Source.Format() == PixelFormat::pf32bit;
    TBAlpha->setVisible(alphaControls);
    shape8B_->setVisible(alphaControls);
    label3_->setVisible(alphaControls);
    label4_->setVisible(alphaControls);
    if (!eightBit)
        output_ = Source;
    else if (!Source.Empty() && (Source.Format() == PixelFormat::pf32bit || Source.Format() == PixelFormat::pf24bit))
        output_ = ConvertTo8Bit(Source, background_, TBAlpha->value());
    RedrawPreview();
}

void TBmp32Adj::TBAlphaChange()
{
    ticks_ = 8;
    timer_.start();
}

void TBmp32Adj::Timer1Timer()
{
    if (--ticks_ < 1) {
        timer_.stop();
        CBPNGChange();
    }
}

void TBmp32Adj::BitBtn1Click()
{
    if (CBPNG->currentIndex() == 1)
        Source = output_;
    output_ = Bitmap();
    done(QDialog::Accepted);
}

void TBmp32Adj::SwatchClick(int index)
{
    if (index < 0 || index > int(swatches_.size()))
        return;
    if (index == int(swatches_.size())) {
        auto c = ChooseColour(userSwatch_);
        if (!c)
            return;
        userSwatch_ = *c;
        tile_ = Checkerboard(32, 32, userSwatch_, userSwatch_);
        swatchLabels_.back()->setPixmap(Swatch(tile_));
    } else {
        tile_ = swatches_[size_t(index)];
    }
    RedrawPreview();
}

void TBmp32Adj::SetBackgroundColour(TColor c)
{
    background_ = c;
    QPalette p = shape8B_->palette();
    p.setColor(QPalette::Window, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
    shape8B_->setPalette(p);
}

void TBmp32Adj::RedrawPreview()
{
    const int w = std::max(scroll_->viewport()->width(), output_.Width());
    const int h = std::max(scroll_->viewport()->height(), output_.Height());
    preview_ = PreviewOver(tile_, output_, std::max(w, 1), std::max(h, 1), output_.Bits() == 8);
    image1_->setPixmap(QPixmap::fromImage(ToImage(preview_)));
    image1_->resize(preview_.Width(), preview_.Height());
    CenterPreview();
}

void TBmp32Adj::CenterPreview()
{
    scroll_->setAlignment(Qt::AlignCenter);
}

void TBmp32Adj::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    CenterPreview();
}

bool TBmp32Adj::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == shape8B_) {
            if (auto c = ChooseColour(background_)) {
                SetBackgroundColour(*c);
                CBPNGChange();
            }
            return true;
        }
        auto it = std::find(swatchLabels_.begin(), swatchLabels_.end(), watched);
        if (it != swatchLabels_.end()) {
            SwatchClick(int(it - swatchLabels_.begin()));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace pc
