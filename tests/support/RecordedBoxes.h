#pragma once

#include "platform/ui/UiService.h"

#include <QStringList>

namespace tipdesk::test {

// The texts of the boxes a recording service was asked to show, in order; an error box's text
// is marked "error: " and a question's "question: ", so that one comparison says which box showed what.
inline QStringList shownTexts(const ui::RecordingUiService &recorded)
{
    QStringList out;
    for (const auto &e : recorded.entries)
        out << (e.kind == ui::RecordingUiService::Kind::Error      ? QStringLiteral("error: ")
                : e.kind == ui::RecordingUiService::Kind::Question ? QStringLiteral("question: ")
                                                                   : QString()) +
                   e.text;
    return out;
}

} // namespace tipdesk::test
