#include "editor/window/qt_editor_dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QStringList>
#include <algorithm>
#include <cstdlib>

namespace pc::editor {

namespace {

const QStringList kSaveFilters = {"JPEG (*.jpg *jpeg)", "BMP (*.bmp)", "PNG (*.png)"};

} // namespace

std::optional<std::string> QtEditorDialogs::OpenPicture()
{
    const QString file = QFileDialog::getOpenFileName(
        owner_, QString(), QString(), "Pictures (*.bmp *.jpg *.jpeg *.png *.wmf *.emf *.ico *.cur)");
    if (file.isEmpty())
        return std::nullopt;
    return file.toStdString();
}

std::optional<SaveChoice> QtEditorDialogs::SavePicture(const std::string& fileName, int filterIndex)
{
    QString selected = kSaveFilters.value(filterIndex - 1, kSaveFilters[1]);
    // The model asks about overwriting once the type's extension is on the name.
    const QString file =
        QFileDialog::getSaveFileName(owner_, QString(), QString::fromStdString(fileName), kSaveFilters.join(";;"),
                                     &selected, QFileDialog::DontConfirmOverwrite);
    if (file.isEmpty())
        return std::nullopt;
    return SaveChoice{file.toStdString(), int(kSaveFilters.indexOf(selected)) + 1};
}

std::optional<TColor> ChooseColorOnScreen(QWidget* owner, TColor start)
{
    const QColor c = QColorDialog::getColor(QColor(GetRValue(start), GetGValue(start), GetBValue(start)), owner);
    if (!c.isValid())
        return std::nullopt;
    return RGB(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
}

std::optional<Font> ChooseFontOnScreen(QWidget* owner, const Font& start)
{
    QFont q(QString::fromStdString(start.name));
    if (start.height != 0)
        q.setPixelSize(std::abs(start.height));
    q.setWeight(QFont::Weight(std::clamp(start.weight, 100, 900)));
    q.setItalic(start.italic);
    q.setUnderline(start.underline);
    q.setStrikeOut(start.strikeOut);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, q, owner);
    if (!ok)
        return std::nullopt;
    Font f = start;
    f.name = chosen.family().toStdString();
    const int pixels = chosen.pixelSize() > 0 ? chosen.pixelSize() : int(chosen.pointSizeF() * 96 / 72 + 0.5);
    f.height = -pixels;
    f.weight = chosen.weight();
    f.italic = chosen.italic();
    f.underline = chosen.underline();
    f.strikeOut = chosen.strikeOut();
    return f;
}

} // namespace pc::editor
