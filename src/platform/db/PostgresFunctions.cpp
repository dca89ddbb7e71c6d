#include "platform/db/PostgresFunctions.h"

#include "PostgresFunctionsSql.h" // generated from postgres/oracle-functions.sql

namespace tipdesk::db {

QString postgresFunctionsScript()
{
    return QString::fromUtf8(kPostgresFunctionsSql, qsizetype(sizeof kPostgresFunctionsSql - 1));
}

int postgresFunctionsVersion()
{
    return kPostgresFunctionsVersion;
}

} // namespace tipdesk::db
