#pragma once

#include <QByteArray>
#include <QString>

namespace tipdesk::app {

// Text in code page 949, the one rule wherever the program writes it: ICU's converter, and a
// character the code page lacks (an emoji, a rare hanja outside KS X 1001, a lone surrogate from
// bad data) written as "?" (0x3F) and counted, so that every byte written decodes.
struct Cp949Bytes {
    QByteArray bytes;
    int replaced = 0; // characters written as "?"
};
Cp949Bytes encodeCp949(const QString &text);
QByteArray toCp949(const QString &text);

// The longest leading part of a text whose code page 949 form takes at most maxBytes bytes,
// cut between characters so that no double-byte character is split.
QString cp949Prefix(const QString &text, int maxBytes);

// What a person is told of replaced characters: "CP949로 쓸 수 없는 문자 N개를 …", with where they
// were in brackets.
QString cp949ReplacementNotice(int replaced, const QString &where = {});

} // namespace tipdesk::app
