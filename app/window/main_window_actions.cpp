// Actions and menus of the main window. Commands whose handlers live with
// other concerns are created here disabled; those concerns enable them as
// they wire their handlers. Every caption carries its accelerator letter,
// unique within each menu the action appears in; code that compares
// captions strips the '&'.
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

#include "app/window/main_window.h"
#include "app/window/objects_menu.h"

namespace pc {

namespace {

TaggedAction* Make(QObject* owner, const char* caption, bool enabled = false)
{
    auto* a = new TaggedAction(QString::fromUtf8(caption), owner);
    a->setEnabled(enabled);
    return a;
}

TaggedAction* Radio(QActionGroup* group, const char* caption, bool enabled = true)
{
    auto* a = Make(group->parent(), caption, enabled);
    a->setCheckable(true);
    group->addAction(a);
    return a;
}

} // namespace

void TFormMainQV7K::CreateActions()
{
    OpenTemplates = Make(this, "&Open Templates");
    ALoadTemplate = Make(this, "&Load Project");
    ASaveTemplate = Make(this, "&Save Project");
    SaveAsTemplate = Make(this, "Save &as template");
    AInsertObj = Make(this, "&Insert objects from saved project");
    AInsertObjFromTemplates = Make(this, "Insert objects &from templates");
    AInsertObjFromTemplates->setObjectName("AInsertObjFromTemplates");
    APublish = Make(this, "&Render and Publish");
    EditPublished = Make(this, "&Edit Published Picture");
    Exit1 = Make(this, "E&xit", true);

    ABox = Make(this, "&Box");
    ABook = Make(this, "B&ook");
    ACD = Make(this, "&CD");
    ANoteBook = Make(this, "&Note Book");
    ARoundBook = Make(this, "&Thick Book");
    ARoundBox = Make(this, "&Round Corner Box");
    ABFace = Make(this, "C&urved Surface ");
    A3ds = Make(this, "&Load 3ds Model");
    A3dtxt = Make(this, "&3D Text");
    ACopyObj = Make(this, "Co&py current object");
    Delete = Make(this, "&Delete");
    ARemoveAllObjs = Make(this, "Cl&ear");

    C1 = Make(this, "&Camera", true);
    Light1 = Make(this, "&Light", true);
    Floor1 = Make(this, "&Floor", true);
    Export = Make(this, "&Export", true);

    auto* start = new QActionGroup(this);
    LoadTemplates2 = Radio(start, "Load &Templates", false);
    LoadDefautProject1 = Radio(start, "Load &Default Project", false);
    Clear1 = Radio(start, "&Clear", false);
    LoadTemplates2->Tag = 0;
    LoadDefautProject1->Tag = 1;
    Clear1->Tag = 2;
    LoadTemplates2->setChecked(true);

    auto* acceleration = new QActionGroup(this);
    SoftwareRender = Radio(acceleration, "&Software Rendering", false);
    HardwareRender = Radio(acceleration, "&Hardware Rendering", false);
    AdvanceRender = Radio(acceleration, "&Advance", false);
    SoftwareRender->setChecked(true);

    auto* method = new QActionGroup(this);
    RenderMixer = Radio(method, "&Auto");
    Interpolation1 = Radio(method, "&Convolution");
    SoftAccum1 = Radio(method, "Accu&mulation ");
    Halftone1 = Radio(method, "&Halftone");
    RenderNone1 = Radio(method, "&None");
    RenderMixer->setChecked(true);
    CBSmooth = Make(this, "&Smooth ( Slow process)", true);
    CBSmooth->setCheckable(true);
    ACCUM1 = Make(this, "ACC&UM", true);
    ACCUM1->setCheckable(true);
    ACCUM1->setVisible(false);
    RenderCancel = Make(this, "Cancel");

    Contents1 = Make(this, "&Contents");
    Contents1->setShortcut(QKeySequence(Qt::Key_F1));
    About1 = Make(this, "&About");
    Homepage1 = Make(this, "&Home Page");
}

void TFormMainQV7K::CreateMenus()
{
    QMenu* file = menuBar()->addMenu("&File");
    file->addActions({OpenTemplates, ALoadTemplate, ASaveTemplate, SaveAsTemplate, AInsertObj});
    file->addAction(AInsertObjFromTemplates);
    file->addSeparator();
    file->addActions({APublish, EditPublished});
    file->addSeparator();
    file->addAction(Exit1);

    QMenu* objects = menuBar()->addMenu("&Add");
    objects->addActions({ABox, ABook, ACD, ANoteBook, ARoundBook, ARoundBox, ABFace, A3ds, A3dtxt});
    objects->addSeparator();
    objects->addActions({ACopyObj, Delete, ARemoveAllObjs});

    QMenu* settings = menuBar()->addMenu("&Settings");
    settings->addActions({C1, Light1, Floor1, Export});
    menuObjects = settings->addMenu("&Objects");
    menuObjects->setObjectName("menuObjects");
    new ObjectsMenuEntry(*this, settings); // the window owns it
    settings->addSeparator();
    QMenu* start = settings->addMenu("S&tart");
    start->addActions({LoadTemplates2, LoadDefautProject1, Clear1});
    QMenu* acceleration = settings->addMenu("Rendering &Acceleration");
    acceleration->addActions({SoftwareRender, HardwareRender});
    AllDisMode1 = acceleration->addMenu("&Advance");
    QMenu* method = settings->addMenu("Rendering &Method");
    method->addActions({RenderMixer, Interpolation1, SoftAccum1, Halftone1, RenderNone1});
    method->addSeparator();
    method->addActions({CBSmooth, ACCUM1});

    QMenu* help = menuBar()->addMenu("&Help");
    help->addActions({Contents1, About1, Homepage1});
}

} // namespace pc
