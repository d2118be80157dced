#pragma once
// "Color Adjustment": keeps a 32-bit published picture ("24bit + Alpha") or
// reduces it to 8 bits with one transparent colour, previewed over a chosen
// background tile. The caller sets Source, the mode, calls CBPNGChange, shows
// the dialog modally and reads Source back.
#include <QDialog>
#include <QTimer>
#include <functional>
#include <optional>

#include "platform/bitmap.h"

class QComboBox;
class QLabel;
class QScrollArea;
class QSlider;
class QPushButton;

namespace pc {

class TBmp32Adj : public QDialog {
    Q_OBJECT
public:
    explicit TBmp32Adj(QWidget* owner = nullptr);

    Bitmap Source;
    const Bitmap& Output() const { return output_; }

    QComboBox* CBPNG = nullptr;
    QLabel* Label2 = nullptr;
    QSlider* TBAlpha = nullptr;
    QPushButton* BitBtn1 = nullptr;

    void CBPNGChange();
    void TBAlphaChange();
    void Timer1Timer();
    void BitBtn1Click();
    // Swatch clicks: index 0..5 are the stock swatches, 6 the user's colour.
    void SwatchClick(int index);
    void SetBackgroundColour(TColor c); // what Shape8B's colour dialog confirms
    TColor BackgroundColour() const { return background_; }
    const Bitmap& Preview() const { return preview_; }
    bool TimerActive() const { return timer_.isActive(); }

    // Asks the user for a colour; tests replace it.
    std::function<std::optional<TColor>(TColor)> ChooseColour;

protected:
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RedrawPreview();
    void CenterPreview();

    Bitmap output_;
    Bitmap preview_;
    Bitmap tile_;
    std::vector<Bitmap> swatches_;
    TColor background_ = clWhite;
    TColor userSwatch_ = clWhite;
    QTimer timer_;
    int ticks_ = 0;
    QScrollArea* scroll_ = nullptr;
    QLabel* image1_ = nullptr;
    QLabel* shape8B_ = nullptr;
    QLabel* label3_ = nullptr;
    QLabel* label4_ = nullptr;
    std::vector<QLabel*> swatchLabels_;
};

// Checkerboard of size x size pixels with squares of square pixels, a at the top-left.
Bitmap Checkerboard(int size, int square, TColor a, TColor b);

} // namespace pc
