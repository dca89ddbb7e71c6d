// Kind 20, "일별 유실물 제보대장": the day's lost-property reports with their class. It has no
// approval box.
#include "reception/Registers.h"

namespace tipdesk::reception {

namespace {

const stats::KindDescriptor kKind =
    RegisterKind(20, "일별 유실물 제보대장", "TFrmLoss", "QReSheet", "UntLoss", std::nullopt);
const stats::KindRegistration kRegistered(kKind);

} // namespace

} // namespace tipdesk::reception
