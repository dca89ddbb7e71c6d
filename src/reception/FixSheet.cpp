// Kind 17, "고정 제보처 접수대장": the day's reports of the fixed report points that are still
// current members.
#include "reception/Registers.h"

namespace tipdesk::reception {

namespace {

const stats::KindDescriptor kKind =
    RegisterKind(17, "고정 제보처 접수대장", "TfFixSheet", "QFixSheet", "FixSheet", RegisterStamp("QRLabel18"));
const stats::KindRegistration kRegistered(kKind);

} // namespace

} // namespace tipdesk::reception
