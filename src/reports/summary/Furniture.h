#pragma once

// The page furniture the printed reports share: the approval box (결재) with its delegated-
// approval stamp, the stamp switch that follows the console's "전결인 사용" option, and the page
// frame the registers draw at the end of every page.

#include "platform/report/ReportForm.h"

#include <QStringList>
#include <functional>

namespace tipdesk::report {

// The console's "전결인 사용" option, read by report forms before the approval box prints. The
// console installs a provider; without one the stamp is off.
class ApprovalState {
public:
    using Provider = std::function<bool()>;
    static void setProvider(Provider provider); // nullptr restores "off"
    static bool delegatedStampEnabled();
};

// Unless the option is ticked, blanks the stamp: the label's caption becomes empty and the
// frame's pen white. The rest of the box prints unchanged and the band is not suppressed.
void applyStampSwitch(ReportForm &form, const QString &stampLabel, const QString &stampShape);

struct ApprovalBoxNames {
    QString prefix;     // names of the generated items: prefix + "Box", "Caption", "Col1", ...
    QString stampLabel; // the "전결" label, addressed by the stamp switch
    QString stampShape; // its frame
};

// The label column's caption variants as the forms have them.
inline const QString kApprovalCaptionWide = QStringLiteral(" 결   재");
inline const QString kApprovalCaptionNarrow = QStringLiteral(" 결  재");
inline const QString kApprovalCaptionSpread = QStringLiteral("결     재");

// Places the approval box with its outer rectangle's top-left corner at (left, top), in 0.1 mm
// from the band's left edge, or from the paper's corner when band is nullptr (items on the
// report print on every page).
void placeApprovalBox(ReportForm &form, Band *band, int left, int top, const QString &caption,
                      const ApprovalBoxNames &names);

// The register page frame, drawn by the end-of-page handler: a thick outline (3 device pixels)
// from the column header's top edge down to the bottom margin, and one outline per rule shape of
// the column header (1 pixel) over the same height. The title band counts on page 1 only.
void drawRegisterFrame(ReportForm &form, PageCanvas &canvas, const QString &titleBand, const QString &pageHeaderBand,
                       const QStringList &ruleShapes);

} // namespace tipdesk::report
