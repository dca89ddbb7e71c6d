#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>

struct sqlite3;

namespace tipdesk::demo {

// The smallest build: fewer days leave no day between the first and the open last one.
constexpr int kMinDays = 3;
constexpr int kMinPerDay = 10;

struct DemoOptions {
    QString out;
    std::uint64_t seed = 2004;
    // Last day of data. With an explicit day the data covers it whole; without one it is today and the
    // data stops at the current time, so that nothing lies in the future.
    QDate until;
    int days = 396; // about 13 months
    int perDay = 400;
    std::function<void(const QString &)> progress;

    // The smallest build ending on a given day, for tests that need a database and not its size.
    static DemoOptions smallest(const QString &out, QDate until)
    {
        DemoOptions o;
        o.out = out;
        o.until = until;
        o.days = kMinDays;
        o.perDay = kMinPerDay;
        return o;
    }
};

struct DemoSummary {
    qint64 reports = 0;
    int days = 0;
    QDate firstDay;
    QDate lastDay;
    qint64 statisticsRows = 0;
};

// The demo login created for the desktop program.
inline const QString kDemoUser = QStringLiteral("demo");
inline const QString kDemoPassword = QStringLiteral("demo");
inline const QString kDemoAppName = QStringLiteral("TIPDESK");

// Builds the demo database at options.out. The file is written under a temporary name and renamed
// when complete; an existing file is never overwritten. Throws std::runtime_error with a message.
DemoSummary buildDemoDb(const DemoOptions &options);

} // namespace tipdesk::demo
