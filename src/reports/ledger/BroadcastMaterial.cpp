#include "reports/ledger/BroadcastMaterial.h"

#include "platform/db/Query.h"
#include "stats/KindForm.h"

namespace tipdesk::ledger {

namespace {

// The broadcast-material sums of Query5 and the parameters of Query3 and Query4 they fill.
const char *const kMaterial[][2] = {{"TOT", "tot"}, {"MORN", "morn"}, {"ENEN", "enen"}, {"T06", "t06"}, {"T07", "t07"},
                                    {"T08", "t08"}, {"T09", "t09"},   {"T10", "t10"},   {"T11", "t11"}, {"T12", "t12"},
                                    {"T13", "t13"}, {"T14", "t14"},   {"T15", "t15"},   {"T16", "t16"}, {"T17", "t17"},
                                    {"T18", "t18"}, {"T19", "t19"},   {"T20", "t20"},   {"T21", "t21"}};

} // namespace

void OpenMaterialShares(stats::KindForm &form, stats::PrepareContext &context)
{
    const db::Query &material = *form.query(QStringLiteral("Query5"));
    for (const char *name : {"Query3", "Query4"}) {
        db::Query &q = *form.query(QLatin1String(name));
        q.close();
        for (const auto &[param, field] : kMaterial)
            q.paramByName(QLatin1String(param))
                .setAsFloat(material.isEmpty() ? 0.0 : material.fieldByName(QLatin1String(field)).asFloat());
        context.open(QLatin1String(name));
    }
}

} // namespace tipdesk::ledger
