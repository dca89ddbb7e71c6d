#include "platform/report/ui/PreviewFiles.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace tipdesk::report {

// The file dialog for saving or loading, starting at `suggested`. Saving adds the type's
// extension to a name typed without one before the dialog's own question about overwriting.
QString askForFile(QWidget *parent, PreviewWindow::FileAction action, const QString &filters, const QString &suggested,
                   QString *selectedFilter)
{
    const bool saving = action == PreviewWindow::FileAction::Save;
    QFileDialog dialog(parent, saving ? QStringLiteral("저장") : QStringLiteral("불러오기"), suggested, filters);
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (saving) {
        dialog.selectFile(suggested);
        dialog.setDefaultSuffix(extensionOf(filters.section(QStringLiteral(";;"), 0, 0)));
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&](const QString &f) { dialog.setDefaultSuffix(extensionOf(f)); });
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    *selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().front();
}

QString fileNameFor(const QString &documentName)
{
    QString name = documentName.simplified();
    for (QChar &c : name)
        if (QStringView(u"/\\:*?\"<>|").contains(c) || c.category() == QChar::Other_Control)
            c = u'_';
    return name.isEmpty() ? QStringLiteral("보고서") : name;
}

QString extensionOf(const QString &filter)
{
    static const QRegularExpression extension(QStringLiteral("\\*\\.(\\w+)"));
    return extension.match(filter).captured(1);
}

QString withExtension(const QString &path, const QString &selectedFilter, const QString &filters)
{
    const QString suffix = QFileInfo(path).suffix();
    const QStringList known = filters.split(QStringLiteral(";;")) << selectedFilter;
    for (const QString &filter : known)
        if (!suffix.isEmpty() && suffix.compare(extensionOf(filter), Qt::CaseInsensitive) == 0)
            return path;
    const QString chosen = extensionOf(selectedFilter);
    return chosen.isEmpty() ? path : path + u'.' + chosen;
}

} // namespace tipdesk::report
