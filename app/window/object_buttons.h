#pragma once
// The Objects page's own buttons: "Add Object" pops up PMNew (the kinds, the
// copy and the two insert commands) at its top-left corner; "Delete Object"
// deletes the shown object. Both run the window's actions.
#include <QObject>

class QMenu;
class QPushButton;

namespace pc {

class TFormMainQV7K;

class ObjectButtons : public QObject {
    Q_OBJECT
public:
    explicit ObjectButtons(TFormMainQV7K& window);

    QPushButton* BTNew = nullptr;
    QPushButton* BTDelete = nullptr;
    QMenu* PMNew = nullptr;

    void BTNewClick();

private:
    TFormMainQV7K& w_;
};

// Places the buttons above the object pages; the window owns them.
ObjectButtons& InstallObjectButtons(TFormMainQV7K& window);
ObjectButtons* ObjectButtonsOf(TFormMainQV7K& window);

} // namespace pc
