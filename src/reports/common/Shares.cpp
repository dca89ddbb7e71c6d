#include "reports/common/Shares.h"

#include "platform/report/Layout.h"
#include "platform/report/ReportForm.h"

#include <QRegularExpression>

namespace tipdesk::common {

QString FormatSharePercent(const QString &text)
{
    // Rounded on the decimal digits, not on the binary value, so a tie always goes up.
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?)([0-9]*)(?:\\.([0-9]*))?\\s*$"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty()))
        throw report::ReportError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    const bool negative = m.captured(1) == QLatin1String("-");
    QString digits = (m.captured(2).isEmpty() ? QStringLiteral("0") : m.captured(2));
    const QString fraction = m.captured(3);
    digits += fraction.isEmpty() ? QStringLiteral("0") : fraction.left(1);
    if (fraction.size() > 1 && fraction[1] >= u'5') {
        int i = int(digits.size()) - 1;
        while (i >= 0 && digits[i] == u'9')
            digits[i--] = u'0';
        if (i < 0)
            digits.prepend(u'1');
        else
            digits[i] = QChar(digits[i].unicode() + 1);
    }
    while (digits.size() > 2 && digits.startsWith(u'0'))
        digits.remove(0, 1);
    const bool zero = digits.count(u'0') == digits.size();
    QString out = digits.left(digits.size() - 1) + u'.' + digits.right(1);
    if (negative && !zero)
        out.prepend(u'-');
    return out + u'%';
}

QString FormatShare(const QString &text, bool percent)
{
    if (text.trimmed().isEmpty())
        return {};
    QString out = FormatSharePercent(text);
    if (!percent)
        out.chop(1);
    return out;
}

void OnSharePrint(report::ReportForm &form, const QString &handler, bool percent)
{
    form.onItemPrint(handler, [percent](report::Item &, QString &value) { value = FormatShare(value, percent); });
}

} // namespace tipdesk::common
