#include "platform/db/Clock.h"

#include <optional>

namespace tipdesk::db {

namespace {
std::optional<QDateTime> &fixedTime()
{
    static std::optional<QDateTime> t;
    return t;
}
} // namespace

QDateTime Clock::now()
{
    if (fixedTime())
        return *fixedTime();
    QDateTime t = QDateTime::currentDateTime();
    t.setTime(QTime(t.time().hour(), t.time().minute(), t.time().second()));
    return t;
}

void Clock::setFixed(const QDateTime &when)
{
    fixedTime() = when;
}
void Clock::clearFixed()
{
    fixedTime().reset();
}
bool Clock::isFixed()
{
    return fixedTime().has_value();
}

} // namespace tipdesk::db
