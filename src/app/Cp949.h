#pragma once

#include <QByteArray>
#include <QString>

namespace tipdesk::app {

// The bytes of a text in code page 949; a character the code page lacks becomes "?".
QByteArray toCp949(const QString &text);

// The longest leading part of a text whose code page 949 form takes at most maxBytes bytes,
// cut between characters so that no double-byte character is split.
QString cp949Prefix(const QString &text, int maxBytes);

} // namespace tipdesk::app
