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

    // Shows the submenu or the plain item; called whenever an object's item
    // comes or goes.
    void Update();

private:
    TFormMainQV7K& w_;
};

ObjectsMenuEntry* ObjectsMenuEntryOf(TFormMainQV7K& window);

} // namespace pc
