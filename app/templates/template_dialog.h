#pragma once
// "Templates": the modal browser over a TemplateSheet. It fills the sheet
// about half a second after it is shown and after the last resize, one cell
// per event-loop turn, and ends with result 1 and FileName's text as the
// chosen path, or with result 2.
#include <QDialog>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "app/templates/template_sheet.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;

namespace pc {

inline constexpr int kTemplateLoad = 1;
inline constexpr int kTemplateCancel = 2;

inline constexpr const char* kMoreTemplatesPage = "https://github.com/prismcase/prismcase/tree/main/data/templates";

// The sheet on screen; mouse and keys go to the browser.
class TemplateSheetView : public QWidget {
    Q_OBJECT
public:
    explicit TemplateSheetView(const TemplateSheet& sheet, QWidget* parent = nullptr);
    void SheetResized();

signals:
    void Pressed();
    void Released(int x, int y);
    void DoubleClicked();
    void KeyPressed(int key);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    const TemplateSheet& sheet_;
};

class TTemplate : public QDialog {
    Q_OBJECT
public:
    // folders: where the templates are looked for (TemplateFolders()).
    explicit TTemplate(QWidget* owner = nullptr, std::vector<std::string> folders = TemplateFolders());

    QPushButton *BitBtn1 = nullptr, *BitBtn2 = nullptr, *Fresh = nullptr, *BitBtn3 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* FileName = nullptr; // hidden; the chosen template's path
    QScrollArea* ScrollBox1 = nullptr;
    TemplateSheetView* Image1 = nullptr;
    QTimer Timer1;
    int BitBtn2Tag = 0; // 1: stop a running fill
    int TickCount = 0;

    const TemplateSheet& Sheet() const { return sheet_; }
    // Opens a web page; tests replace it.
    std::function<void(const std::string& url)> OpenWebPage;

    void Timer1Timer();
    void FreshClick();
    void Image1MouseUp(int x, int y);
    void Image1DblClick();
    void ScrollBox1DblClick();
    void Edit1KeyDown(int key);
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();

    void reject() override; // Escape and the close box cancel
    void done(int result) override; // also ends the timers and a running fill

protected:
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillTurn();
    void EndFill();
    void Repaint();

    std::vector<std::string> folders_;
    TemplateSheet sheet_;
    QTimer fillTimer_;
};

} // namespace pc
