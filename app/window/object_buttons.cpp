#include "app/window/object_buttons.h"

#include <QBoxLayout>
#include <QMenu>
#include <QPushButton>

#include "app/window/main_window.h"

namespace pc {

ObjectButtons::ObjectButtons(TFormMainQV7K& w) : QObject(&w), w_(w)
{
    setObjectName("ObjectButtons");
    PMNew = new QMenu(&w);
    PMNew->setObjectName("PMNew");
    PMNew->addActions({w.ABox, w.ARoundBox, w.ABook, w.ANoteBook, w.ARoundBook, w.ACD, w.ABFace, w.A3ds, w.A3dtxt});
    PMNew->addSeparator();
    PMNew->addActions({w.ACopyObj, w.AInsertObj, w.AInsertObjFromTemplates});

    BTNew = new QPushButton("Add Object");
    BTNew->setObjectName("BTNew");
    BTDelete = new QPushButton("Delete Object");
    BTDelete->setObjectName("BTDelete");
    connect(BTNew, &QPushButton::clicked, this, &ObjectButtons::BTNewClick);
    connect(BTDelete, &QPushButton::clicked, w.Delete, &QAction::trigger);
}

void ObjectButtons::BTNewClick()
{
    PMNew->popup(BTNew->mapToGlobal(QPoint(0, 0)));
}

ObjectButtons& InstallObjectButtons(TFormMainQV7K& w)
{
    auto* buttons = new ObjectButtons(w);
    auto* row = new QHBoxLayout;
    row->addWidget(buttons->BTNew);
    row->addWidget(buttons->BTDelete);
    row->addStretch();
    static_cast<QBoxLayout*>(w.TSObject->layout())->insertLayout(0, row);
    return *buttons;
}

ObjectButtons* ObjectButtonsOf(TFormMainQV7K& w)
{
    return w.findChild<ObjectButtons*>("ObjectButtons", Qt::FindDirectChildrenOnly);
}

} // namespace pc
