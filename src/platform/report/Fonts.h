#pragma once

namespace tipdesk::report {

// Maps the font names the layouts were drawn with to the fonts a Debian desk has
// (굴림 → NanumGothic, 굴림체 → NanumGothicCoding, Arial → Liberation Sans). Call once after the
// application object exists; repeated calls do nothing.
void installFontSubstitutes();

} // namespace tipdesk::report
