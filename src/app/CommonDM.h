#pragma once

#include "platform/db/Connection.h"
#include "platform/db/Query.h"

#include <QObject>
#include <QString>

namespace tipdesk::app {

// The shared data module: the one database connection and the message catalogue query.
class TDataMod1 : public QObject {
    Q_OBJECT
public:
    explicit TDataMod1(QObject *parent = nullptr);
    ~TDataMod1() override;

    db::Connection *CommonDB;
    db::Query *qryMessage;

    // Creation handler: opens CommonDB; a failure goes to the default error box and start-up goes on.
    // An embedded file that cannot work is said so once, with what to do about it.
    void DataMod1Create();
    // The last connection attempt met an embedded file that no retry can open: start-up ends.
    bool databaseFileUnusable() const { return m_fileUnusable; }

private:
    bool m_fileUnusable = false;
};

// The one instance, alive from start-up to the end of the program.
extern TDataMod1 *DataMod1;

// Shows a coded message from the MESSAGE table with its fallback title and icon.
// Database errors pass to the caller.
void ShowCodedMessage(const QString &code);

} // namespace tipdesk::app
