#pragma once
// The application's hint pause: tool tips appear 100 ms after the mouse comes
// to rest on a control. Qt keeps this delay as a style hint, so a proxy over
// the application's style answers it.
#include <QProxyStyle>

namespace pc {

inline constexpr int kHintPauseMs = 100;

class HintPauseStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr, const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

// Puts the proxy over the application's style once; later calls keep it.
void InstallHintPause();

} // namespace pc
