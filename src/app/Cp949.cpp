#include "app/Cp949.h"

#include <QStringEncoder>

namespace tipdesk::app {

QByteArray toCp949(const QString &text)
{
    QStringEncoder encoder("CP949", QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

QString cp949Prefix(const QString &text, int maxBytes)
{
    QStringEncoder encoder("CP949", QStringConverter::Flag::Stateless);
    qsizetype used = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        // A surrogate pair is one character: never keep half of it.
        const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const qsizetype bytes = QByteArray(encoder.encode(QStringView(text).mid(i, len))).size();
        if (used + bytes > maxBytes)
            break;
        used += bytes;
        i += len;
    }
    return text.left(i);
}

} // namespace tipdesk::app
