#include "app/window/objects_menu.h"

#include <QMenu>
#include <QTabWidget>

#include "app/window/main_window.h"

namespace pc {

ObjectsMenuEntry::ObjectsMenuEntry(TFormMainQV7K& w, QMenu* parent) : QObject(&w), w_(w)
{
    setObjectName("ObjectsMenuEntry");
    EmptyItem = new QAction(w.menuObjects->title(), this);
    EmptyItem->setObjectName("menuObjectsEmpty");
    parent->insertAction(w.menuObjects->menuAction(), EmptyItem);
    connect(EmptyItem, &QAction::triggered, this, [this] { w_.PC->setCurrentWidget(w_.TSObject); });
    Update();
}

void ObjectsMenuEntry::Update()
{
    const bool empty = w_.menuObjects->isEmpty();
    EmptyItem->setVisible(empty);
    w_.menuObjects->menuAction()->setVisible(!empty);
}

ObjectsMenuEntry* ObjectsMenuEntryOf(TFormMainQV7K& w)
{
    return w.findChild<ObjectsMenuEntry*>("ObjectsMenuEntry", Qt::FindDirectChildrenOnly);
}

} // namespace pc
