#pragma once

// Naming and choosing the files the preview saves and loads.

#include "platform/report/ui/PreviewWindow.h"

namespace tipdesk::report {

// The file dialog for saving or loading, starting at `suggested`. Saving adds the type's
// extension to a name typed without one before the dialog's own question about overwriting.
QString askForFile(QWidget *parent, PreviewWindow::FileAction action, const QString &filters, const QString &suggested,
                   QString *selectedFilter);

} // namespace tipdesk::report
