#pragma once

#include <QString>

namespace tipdesk::summary {

// Where the layout of a summary report unit lives: the layout files are compiled into the
// program's resources under /reports.
inline QString summaryLayoutPath(const QString &unit)
{
    return QStringLiteral(":/reports/") + unit + QStringLiteral(".json");
}

} // namespace tipdesk::summary
