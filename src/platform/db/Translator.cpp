#include "platform/db/Translator.h"

#include "platform/db/Query.h"

#include <QRegularExpression>

namespace tipdesk::db {

// Placeholder until the real translator lands: passes the text through with :name → ?N.
Translation translateOracle(const QString &oracleSql)
{
    Translation t;
    t.sql = oracleSql;
    const QStringList names = scanParameterNames(oracleSql);
    for (int i = 0; i < names.size(); ++i) {
        t.paramNames.append(names[i].toUpper());
        t.sql.replace(QRegularExpression(QLatin1Char(':') + names[i] + QStringLiteral("\\b"),
                                         QRegularExpression::CaseInsensitiveOption),
                      QStringLiteral("?%1").arg(i + 1));
    }
    t.isQuery = oracleSql.trimmed().startsWith(QLatin1String("select"), Qt::CaseInsensitive);
    return t;
}

} // namespace tipdesk::db
