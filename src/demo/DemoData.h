#pragma once

#include <span>

namespace tipdesk::demo::data {

// Word lists the demo database is made of. Texts are UTF-8.
std::span<const char *const> surnames();
std::span<const char *const> givenSyllables();
std::span<const char *const> organizations();  // correspondents' organisations
std::span<const char *const> fixedPoints();    // fixed report points
std::span<const char *const> policePoints();   // police report points
std::span<const char *const> institutions();   // institutions
std::span<const char *const> otherReporters(); // "기타" reporters
std::span<const char *const> roads();
std::span<const char *const> places();
std::span<const char *const> directions();
std::span<const char *const> guidanceDetails(); // BASE_CODE 8xx
std::span<const char *const> noticeDetails();   // BASE_CODE 9xx
std::span<const char *const> offices();         // BASE_CODE 001

// Sentences of report texts by content code; "%R", "%P" and "%D" stand for a road, a place and a
// direction.
std::span<const char *const> sentences(char contentCode);
std::span<const char *const> lostPropertySentences();
std::span<const char *const> followUps(); // added to make longer texts that wrap

} // namespace tipdesk::demo::data
