#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>

// The program's 8-bit "ANSI" text: GBK as Chinese Windows has it (code page 936, with the
// euro sign at 0x80). Passwords are enciphered in these bytes and the pinyin initials are
// worked out from them, so every unit converts through here and never on its own.
namespace AnsiText {

// GBK bytes of Text; every character GBK lacks (one per code point) becomes '?'.
QByteArray ToAnsi(const QString &text);
// Text of GBK bytes; invalid or truncated sequences become U+FFFD.
QString FromAnsi(const QByteArray &bytes);

// GB2312 area-position code of C, (first byte - 160) * 100 + (second byte - 160), when C is
// a double-byte character with both bytes >= 0xA0; -1 for anything else.
int Gb2312AreaCode(QChar c);

// The glibc iconv conversions that stand in when Qt cannot reach ICU at run time. Public
// only so the tests can run them on a system that has ICU.
namespace Iconv {
QByteArray ToAnsi(const QString &text);
QString FromAnsi(const QByteArray &bytes);
} // namespace Iconv

} // namespace AnsiText
