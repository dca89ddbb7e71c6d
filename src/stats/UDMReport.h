#pragma once

#include "platform/db/Query.h"

#include <QObject>

namespace tipdesk::stats {

// The report query module: it lends the query through which the reference periods are derived;
// the summaries' own queries live in their layouts. Whoever prepares reports owns one (the
// program from start-up to the end) and passes it on.
class TDMReport : public QObject {
    Q_OBJECT
public:
    explicit TDMReport(QObject *parent = nullptr);
    ~TDMReport() override;

    db::Query *qryDate;  // one-value statements of the period derivation
    db::Query *qryDateF; // unused, kept with its sibling
};

} // namespace tipdesk::stats
