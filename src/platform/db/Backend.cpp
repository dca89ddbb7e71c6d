#include "platform/db/Backend.h"

#include "platform/db/DbError.h"

namespace tipdesk::db {

namespace {
[[noreturn]] void noTransactions(const Backend &b)
{
    throw DbError(QStringLiteral("%1: 이 연결로는 트랜잭션을 쓸 수 없습니다").arg(b.describe()));
}
} // namespace

void Backend::begin(const QString &)
{
    noTransactions(*this);
}

void Backend::commit()
{
    noTransactions(*this);
}

void Backend::rollback()
{
}

QString jobRunningText(const QString &where, const QString &job)
{
    return QStringLiteral("%1: 다른 %2 작업이 실행 중입니다. 그 작업이 끝난 뒤에 다시 실행하십시오").arg(where, job);
}

} // namespace tipdesk::db
