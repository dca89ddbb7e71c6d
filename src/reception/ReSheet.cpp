// Kind 16, "교통 정보 접수대장": every report of the day except those of the fixed report points,
// which have a register of their own (FixSheet).
#include "reception/Registers.h"

namespace tipdesk::reception {

namespace {

const stats::KindDescriptor kKind =
    RegisterKind(16, "교통 정보 접수대장", "TFReSheet", "QReSheet", "ReSheet", RegisterStamp("QRLabel4"));
const stats::KindRegistration kRegistered(kKind);

} // namespace

} // namespace tipdesk::reception
