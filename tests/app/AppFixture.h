#pragma once

#include "FixtureDb.h"
#include "app/CommonDM.h"
#include "app/Schema.h"
#include "platform/db/BackendSelector.h"
#include "platform/db/Query.h"
#include "platform/ui/UiService.h"

#include <QStringList>
#include <memory>

namespace tipdesk::test {

// An embedded database with the program's schema plus the given rows, and the shared data
// module connected to it the way start-up connects: through the alias "commonDB".
class AppFixture {
public:
    explicit AppFixture(const QString &rows = QString())
        // One transaction: a file sync per statement would make every fixture slow.
        : db(QStringLiteral("BEGIN;\n%1\n%2\nCOMMIT;").arg(app::schemaScript(), rows), QStringLiteral("fixtureDB"))
    {
        db::setEmbeddedOverride(db.path());
        dataModule = std::make_unique<app::TDataMod1>();
    }
    ~AppFixture()
    {
        dataModule.reset();
        db::setEmbeddedOverride(QString());
    }

    // Rows of a statement run on the fixture, each row's fields joined with "|".
    QStringList rows(const QString &select) const
    {
        db::Query q(QStringLiteral("fixtureDB"), {select});
        q.open();
        QStringList out;
        for (; !q.eof(); q.next()) {
            QStringList fields;
            for (int i = 0; i < q.fieldCount(); ++i)
                fields << q.field(i).asString();
            out << fields.join(u'|');
        }
        return out;
    }

    ui::ScopedRecordingUi recorded;
    FixtureDb db;
    std::unique_ptr<app::TDataMod1> dataModule;
};

} // namespace tipdesk::test
