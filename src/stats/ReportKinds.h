#pragma once

// The catalogue of report kinds, read from the catalogue file beside the layouts
// (src/reports/kinds.json, ":/reports/kinds.json" in the program) and checked against the
// layouts and the report units when it is first used; docs/report-layouts.md describes it. A
// kind is its entry there, its layout and, only where the engine cannot do the work, a unit
// (src/reports/<family>/).

#include "reports/Unit.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace tipdesk::report {
class Layout;
}

namespace tipdesk::stats {

// Which period values the preparation binds (by parameter name, see PrepareContext).
enum class KindInputs {
    Periods,  // P: the reference day, week and month derived from the start day
    Start,    // S: the start day
    StartEnd, // S, E: the start and the end day
    Month,    // M: the year and month of the start day
};
QString InputsCode(KindInputs inputs); // "P", "S", "SE", "M"

// "File 저장": the file's base name, its header line, and the layout query whose statement it
// runs, in the kind's own layout unless another is named.
struct ExportFile {
    QString baseName;
    QString header;
    QString query;
    QString layout;
};

struct KindDescriptor {
    int kind = -1;
    QString caption; // the console's list caption
    QString form;    // report form class
    QString printed; // the report component previewed: the layout's Name
    KindInputs inputs = KindInputs::Start;
    QString layout;                       // layout stem under :/reports
    QString tested;                       // the query whose emptiness means "ERR0158"
    bool sort = false;                    // "정렬 순서" chooses the order alternative of its queries
    bool approval = false;                // "전결인 사용" takes effect: the layout has an approval box
    std::optional<ExportFile> exportFile; // "File 저장" takes effect
    QStringList open;                     // the queries the preparation opens, in order; empty for all in layout order
    QString periodSums;                   // the query of the four period sums kept for the console (kinds 0..3)
    reports::Unit unit;                   // the kind's own code; empty for most kinds
    std::shared_ptr<const report::Layout> design; // the layout, read once with the catalogue
};

constexpr int kReportKindCount = 27;

// The catalogue, read and checked once. A kind missing or given twice, an unknown layout,
// query, unit or option is refused with a ReportError naming the file and the entry.
void LoadCatalogue();
// The kind's entry, null outside 0..26. Throws the catalogue's error as LoadCatalogue does.
const KindDescriptor *FindKind(int kind);
// The 27 entries in list order.
std::vector<const KindDescriptor *> AllKinds();

// Reads a catalogue file against the given units (for the checks of a catalogue in tests).
std::vector<KindDescriptor> ReadCatalogue(const QString &path, const std::vector<reports::Unit> &units);

} // namespace tipdesk::stats
