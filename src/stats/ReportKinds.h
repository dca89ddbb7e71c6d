#pragma once

// The catalogue of report kinds. Each kind's unit declares its descriptor beside its
// preparation and handlers and registers it:
//
//   const stats::KindDescriptor kKind{.kind = 0, .caption = "통신원별", .form = "TfStatRepCoumm",
//                                     .printed = "QRCoumm", .inputs = stats::KindInputs::Periods,
//                                     .layout = "UStatCoummP", .tested = "qryReportC",
//                                     .prepare = &PrepareBySource};
//   const stats::KindRegistration kRegistered(kKind);

#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace tipdesk::stats {

class KindForm;
class PrepareContext;

// Which period values the preparation binds (by parameter name, see PrepareContext).
enum class KindInputs {
    Periods,  // P: the reference day, week and month derived from the start day
    Start,    // S: the start day
    StartEnd, // S, E: the start and the end day
    Month,    // M: the year and month of the start day
};
QString InputsCode(KindInputs inputs); // "P", "S", "SE", "M"

// The approval box's delegated-approval stamp: the handler (a band's or the report's BeforePrint)
// that blanks it unless "전결인 사용" is ticked, and the two items it blanks.
struct StampSwitch {
    const char *handler;
    const char *label;
    const char *shape;
};

// "File 저장": the file's base name, its header line, and the layout query whose statement it
// runs (the kind's own layout unless another is named).
struct ExportFile {
    const char *baseName;
    const char *header;
    const char *query;
    const char *layout = nullptr;
};

using PrepareFn = void (*)(KindForm &form, PrepareContext &context);
using CreateFn = std::unique_ptr<KindForm> (*)();

struct KindDescriptor {
    int kind = -1;
    const char *caption = nullptr; // the console's list caption
    const char *form = nullptr;    // report form class
    const char *printed = nullptr; // the report component previewed: the layout's Name
    KindInputs inputs = KindInputs::Start;
    const char *layout = nullptr;           // layout stem under :/reports
    const char *tested = nullptr;           // the query whose emptiness means "ERR0158"
    bool sort = false;                      // "정렬 순서" chooses the order alternative of its queries
    std::optional<StampSwitch> approval{};  // "전결인 사용" takes effect
    std::optional<ExportFile> exportFile{}; // "File 저장" takes effect
    PrepareFn prepare = nullptr;            // the kind's own steps; null opens every query in layout order
    CreateFn create = nullptr;              // the unit's form class; null for a form without handlers
};

constexpr int kReportKindCount = 27;
// The descriptor its unit registered, null outside 0..26 (and for a kind whose unit is missing).
const KindDescriptor *FindKind(int kind);
// The 27 descriptors in list order.
std::vector<const KindDescriptor *> AllKinds();

// Registers a unit's descriptor; the descriptor must outlive the program (a constant of the unit).
// A kind registered twice stops the program at start-up.
class KindRegistration {
public:
    explicit KindRegistration(const KindDescriptor &descriptor);
};

} // namespace tipdesk::stats
