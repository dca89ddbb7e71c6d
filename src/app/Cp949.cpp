#include "app/Cp949.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <memory>

namespace tipdesk::app {

namespace {

// A character the code page lacks becomes "?", counted: called once for each (a surrogate pair is
// one character, a lone surrogate one too). ICU's own substitution would write the code page's
// substitutes (0x7F, 0xAF 0xFE), which readers take for other characters or refuse, and would
// drop invisible ones such as a soft hyphen without a trace.
void U_CALLCONV countAndSubstitute(const void *context, UConverterFromUnicodeArgs *args, const UChar *, int32_t,
                                   UChar32, UConverterCallbackReason reason, UErrorCode *err)
{
    if (reason > UCNV_IRREGULAR)
        return;
    ++*static_cast<int *>(const_cast<void *>(context));
    *err = U_ZERO_ERROR;
    ucnv_cbFromUWriteBytes(args, "?", 1, 0, err);
}

using Converter = std::unique_ptr<UConverter, decltype(&ucnv_close)>;

} // namespace

Cp949Bytes encodeCp949(const QString &text)
{
    Cp949Bytes out;
    if (text.isEmpty())
        return out;
    UErrorCode err = U_ZERO_ERROR;
    // The converter Qt's own CP949 encoder uses, so that every character the code page holds is
    // written as before.
    Converter cnv(ucnv_open("CP949", &err), &ucnv_close);
    if (U_SUCCESS(err))
        ucnv_setFromUCallBack(cnv.get(), countAndSubstitute, &out.replaced, nullptr, nullptr, &err);
    if (U_FAILURE(err)) {
        // No converter at all: nothing can be written faithfully.
        out.bytes = QByteArray(text.size(), '?');
        out.replaced = int(text.size());
        return out;
    }
    // Two bytes at most for each UTF-16 unit, and room for the terminating zero.
    out.bytes.resize(text.size() * 2 + 1);
    const int32_t n = ucnv_fromUChars(cnv.get(), out.bytes.data(), int32_t(out.bytes.size()),
                                      reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()), &err);
    out.bytes.resize(U_SUCCESS(err) ? n : 0);
    return out;
}

QByteArray toCp949(const QString &text)
{
    return encodeCp949(text).bytes;
}

QString cp949Prefix(const QString &text, int maxBytes)
{
    qsizetype used = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        // A surrogate pair is one character: never keep half of it.
        const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const qsizetype bytes = encodeCp949(text.mid(i, len)).bytes.size();
        if (used + bytes > maxBytes)
            break;
        used += bytes;
        i += len;
    }
    return text.left(i);
}

QString cp949ReplacementNotice(int replaced, const QString &where)
{
    return QStringLiteral("CP949로 쓸 수 없는 문자 %1개를 \"?\"로 바꾸어 썼습니다%2.")
        .arg(replaced)
        .arg(where.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(where));
}

} // namespace tipdesk::app
