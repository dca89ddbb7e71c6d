#include "platform/report/Allocator.h"

#include <QtGlobal>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tipdesk::report {

void keepFreedMemory()
{
#if defined(__GLIBC__)
    static const bool once = [] {
        mallopt(M_TRIM_THRESHOLD, 64 << 20);
        mallopt(M_MMAP_THRESHOLD, 32 << 20);
        return true;
    }();
    Q_UNUSED(once);
#endif
}

} // namespace tipdesk::report
