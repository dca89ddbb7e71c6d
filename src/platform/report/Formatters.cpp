#include "platform/report/Formatters.h"

#include "platform/report/Layout.h"
#include "platform/report/ReportForm.h"

#include <QRegularExpression>

namespace tipdesk::report {

QString FormatSharePercent(const QString &text)
{
    // Rounded on the decimal digits, not on the binary value, so a tie always goes up.
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?)([0-9]*)(?:\\.([0-9]*))?\\s*$"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty()))
        throw ReportError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
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

namespace {

QString (*itemFormatter(const QString &name))(const QString &)
{
    if (name == QLatin1String("Share"))
        return [](const QString &v) { return FormatShare(v, false); };
    if (name == QLatin1String("SharePercent"))
        return [](const QString &v) { return FormatShare(v, true); };
    if (name == QLatin1String("Percent"))
        return &FormatSharePercent;
    return nullptr;
}

} // namespace

bool isItemFormatter(const QString &name)
{
    return itemFormatter(name) != nullptr;
}

bool isBandEvent(const QString &name)
{
    return name == QLatin1String("FirstPageOnly");
}

void installNamedHandlers(ReportForm &form)
{
    const Layout &layout = form.layout();
    for (auto it = layout.handlers.cbegin(); it != layout.handlers.cend(); ++it) {
        if (form.bandHandler(it.key()) || form.itemHandler(it.key()))
            continue;
        if (const auto format = itemFormatter(it.value()))
            form.onItemPrint(it.key(), [format](const Item &, QString &value) { value = format(value); });
        else if (it.value() == QLatin1String("FirstPageOnly"))
            form.onBandBeforePrint(it.key(), [&form](const Band &, bool &print) { print = form.pageNumber() <= 1; });
    }
}

} // namespace tipdesk::report
