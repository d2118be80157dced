#include "app/window/hint_pause_style.h"

#include <QApplication>

namespace pc {

int HintPauseStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                              QStyleHintReturn* returnData) const
{
    if (hint == SH_ToolTip_WakeUpDelay)
        return kHintPauseMs;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void InstallHintPause()
{
    if (qobject_cast<HintPauseStyle*>(QApplication::style()))
        return;
    // The proxy takes the current style over as its base.
    QApplication::setStyle(new HintPauseStyle(QApplication::style()));
}

} // namespace pc
