#include "platform/file_dialogs.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QScreen>
#include <QTreeView>
#include <algorithm>

namespace pc {

namespace {

constexpr const char* kFitted = "prismcaseFittedColumns";

void FitColumns(QFileDialog& dialog, QTreeView& tree)
{
    QHeaderView* header = tree.header();
    // The last column stretches over what is left: sized by its contents
    // only while that is off.
    const bool stretch = header->stretchLastSection();
    header->setStretchLastSection(false);
    for (int i = 1; i < header->count(); ++i) {
        if (header->isSectionHidden(i))
            continue;
        const int before = header->sectionSize(i);
        tree.resizeColumnToContents(i); // looks at a bounded number of rows
        header->resizeSection(i, std::max(before, header->sectionSize(i)));
    }
    const int overflow = header->length() - tree.viewport()->width();
    header->setStretchLastSection(stretch);
    if (overflow <= 0)
        return;
    int width = dialog.width() + overflow;
    if (const QScreen* screen = dialog.screen())
        width = std::min(width, screen->availableGeometry().width());
    dialog.resize(std::max(width, dialog.width()), dialog.height());
}

class ColumnFitter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            if (auto* dialog = qobject_cast<QFileDialog*>(watched); dialog && !dialog->property(kFitted).toBool())
                Watch(*dialog);
        return QObject::eventFilter(watched, event);
    }

private:
    static void Watch(QFileDialog& dialog)
    {
        dialog.setProperty(kFitted, true);
        auto* tree = dialog.findChild<QTreeView*>("treeView");
        auto* model = tree ? qobject_cast<QFileSystemModel*>(tree->model()) : nullptr;
        if (!model)
            return;
        // Once per folder rather than per batch of rows as they arrive.
        connect(model, &QFileSystemModel::directoryLoaded, &dialog, [&dialog, tree] { FitColumns(dialog, *tree); });
        FitColumns(dialog, *tree);
    }
};

} // namespace

void FitFileDialogColumns(QCoreApplication& app)
{
    app.installEventFilter(new ColumnFitter(&app));
}

} // namespace pc
