#pragma once
// The Settings menu's "Ojbects" entry: a submenu with one item per object,
// or, while the scene holds none, a plain item that shows the Objects page.
// An empty submenu would pop up as a window of no size, which the window
// system refuses, and the submenu would not open again afterwards.
#include <QObject>

class QAction;
class QMenu;

namespace pc {

class TFormMainQV7K;

class ObjectsMenuEntry : public QObject {
    Q_OBJECT
public:
    // parent: the menu that holds menuObjects.
    ObjectsMenuEntry(TFormMainQV7K& window, QMenu* parent);

    QAction* EmptyItem = nullptr; // stands in for the submenu while it is empty

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Update();

    TFormMainQV7K& w_;
};

} // namespace pc
