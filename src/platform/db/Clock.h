#pragma once

#include <QDateTime>

namespace tipdesk::db {

// The clock behind SYSDATE on the embedded backend and behind "now" on the screens.
// Tests fix it; in normal use it follows the workstation's local time.
class Clock {
public:
    static QDateTime now(); // local time, second precision
    static void setFixed(const QDateTime &when);
    static void clearFixed();
    static bool isFixed();
};

} // namespace tipdesk::db
