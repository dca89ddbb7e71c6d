#pragma once

namespace tipdesk::report {

// Building and writing a long report allocates and frees large buffers again and again (a page's
// content, a page's primitives). The C library would hand that memory back to the system each
// time and fault it in again, which costs more than the work itself; a process that makes reports
// keeps it instead. Called by the renderer and the outputs; harmless when called again.
void keepFreedMemory();

} // namespace tipdesk::report
