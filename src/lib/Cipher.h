#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The password cipher. A stored text is upper-case hex of: the plain byte count as 8 bytes
// little-endian, then the GBK bytes of the text in AES-128-ECB blocks, the last one padded
// with zero bytes. Data files written by other implementations depend on this exact layout.
namespace Cipher {

// General routines with an explicit key: its first 16 bytes, padded with zero bytes to 16.
QString EncryptString(const QString &text, const QByteArray &key);
// The text back with leading and trailing characters <= ' ' removed (that drops the zero
// padding, and spaces the text had); nullopt with a message in Error when Stored is no
// cipher text: not hex, shorter than the length header, or not whole blocks after it.
std::optional<QString> DecryptString(const QString &stored, const QByteArray &key,
                                     QString *error = nullptr);

// The program's password cipher under its fixed key.
QString EncryptText(const QString &text);
std::optional<QString> DecryptText(const QString &stored, QString *error = nullptr);

} // namespace Cipher
