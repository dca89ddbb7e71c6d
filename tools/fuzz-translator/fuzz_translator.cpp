// Feeds arbitrary text to the translator and the date mask code: every input must end in a
// translation or a DbError, never in a crash or undefined behaviour.

#include "platform/db/DbError.h"
#include "platform/db/OracleFunctions.h"
#include "platform/db/Translator.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        const tipdesk::db::Translation t = tipdesk::db::translateOracle(text);
        (void)t.sql.size();
    } catch (const tipdesk::db::DbError &) {
    }
    const qsizetype split = text.indexOf(u'|');
    if (split >= 0) {
        try {
            const auto d = tipdesk::db::oracle::parseDate(text.left(split), text.mid(split + 1));
            (void)tipdesk::db::oracle::formatDate(d, text.mid(split + 1));
        } catch (const tipdesk::db::DbError &) {
        }
    }
    return 0;
}
