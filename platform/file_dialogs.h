#pragma once
// Qt's own file dialog opens at a size that cuts its Size, Type and Date
// columns. Once installed on the application, every file dialog widens those
// columns to what they show when its folder has loaded, and grows to fit
// them, within its screen.
class QCoreApplication;

namespace pc {

void FitFileDialogColumns(QCoreApplication& app);

} // namespace pc
