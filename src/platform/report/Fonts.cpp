#include "platform/report/Fonts.h"

#include <QFont>

namespace tipdesk::report {

void installFontSubstitutes()
{
    static const bool installed = [] {
        QFont::insertSubstitution(QStringLiteral("굴림"), QStringLiteral("NanumGothic"));
        QFont::insertSubstitution(QStringLiteral("굴림체"), QStringLiteral("NanumGothicCoding"));
        QFont::insertSubstitution(QStringLiteral("Gulim"), QStringLiteral("NanumGothic"));
        QFont::insertSubstitution(QStringLiteral("GulimChe"), QStringLiteral("NanumGothicCoding"));
        QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace tipdesk::report
