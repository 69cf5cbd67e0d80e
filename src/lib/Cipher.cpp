#include "Cipher.h"

#include "AnsiText.h"

#include <QtEndian>

#include <climits>
#include <memory>

#include <openssl/evp.h>

using namespace Qt::StringLiterals;

namespace Cipher {

namespace {

constexpr qsizetype kKeySize = 16;
constexpr qsizetype kBlockSize = 16;
constexpr qsizetype kHeaderSize = 8;

QByteArray KeyBlock(const QByteArray &key)
{
    QByteArray block = key.left(kKeySize);
    block.append(QByteArray(kKeySize - block.size(), '\0'));
    return block;
}

struct CipherContextFree
{
    void operator()(EVP_CIPHER_CTX *context) const { EVP_CIPHER_CTX_free(context); }
};

// Whole blocks through AES-128-ECB. Fails only when OpenSSL itself does (out of memory).
std::optional<QByteArray> RunAes(const QByteArray &input, const QByteArray &key, bool encrypt)
{
    if (input.size() % kBlockSize != 0 || input.size() > INT_MAX - kBlockSize)
        return std::nullopt;
    const std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree> context(EVP_CIPHER_CTX_new());
    if (!context)
        return std::nullopt;
    const QByteArray keyBlock = KeyBlock(key);
    if (EVP_CipherInit_ex(context.get(), EVP_aes_128_ecb(), nullptr,
                          reinterpret_cast<const unsigned char *>(keyBlock.constData()), nullptr,
                          encrypt ? 1 : 0)
        != 1)
        return std::nullopt;
    // The blocks are already whole; OpenSSL must not add or strip PKCS#7 padding.
    EVP_CIPHER_CTX_set_padding(context.get(), 0);

    QByteArray output(input.size() + kBlockSize, Qt::Uninitialized);
    auto *out = reinterpret_cast<unsigned char *>(output.data());
    int written = 0;
    if (EVP_CipherUpdate(context.get(), out, &written,
                         reinterpret_cast<const unsigned char *>(input.constData()),
                         static_cast<int>(input.size()))
        != 1)
        return std::nullopt;
    int finalWritten = 0;
    if (EVP_CipherFinal_ex(context.get(), out + written, &finalWritten) != 1)
        return std::nullopt;
    output.truncate(written + finalWritten);
    return output;
}

void SetError(QString *error, const QString &message)
{
    if (error)
        *error = message;
}

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

// Every two characters give one byte; an odd last character is a byte of its own.
std::optional<QByteArray> HexToBytes(const QString &text, QString *error)
{
    QByteArray bytes;
    bytes.reserve((text.size() + 1) / 2);
    for (qsizetype i = 0; i < text.size(); i += 2) {
        const QStringView pair = QStringView(text).mid(i, 2);
        int value = 0;
        for (const QChar c : pair) {
            const int digit = HexDigit(c);
            if (digit < 0) {
                SetError(error, u"'0x%1' is not a valid integer value"_s.arg(pair));
                return std::nullopt;
            }
            value = value * 16 + digit;
        }
        bytes.append(static_cast<char>(value));
    }
    return bytes;
}

bool IsBlankByte(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

QByteArray TrimBlankBytes(const QByteArray &bytes)
{
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && IsBlankByte(bytes.at(begin)))
        ++begin;
    while (end > begin && IsBlankByte(bytes.at(end - 1)))
        --end;
    return bytes.mid(begin, end - begin);
}

QByteArray FixedKey()
{
    return "vokmertusip"_ba;
}

} // namespace

QString EncryptString(const QString &text, const QByteArray &key)
{
    QByteArray plain = AnsiText::ToAnsi(text);
    QByteArray stored(kHeaderSize, Qt::Uninitialized);
    qToLittleEndian<quint64>(static_cast<quint64>(plain.size()), stored.data());

    const qsizetype padded = (plain.size() + kBlockSize - 1) / kBlockSize * kBlockSize;
    plain.append(QByteArray(padded - plain.size(), '\0'));
    const std::optional<QByteArray> blocks = RunAes(plain, key, true);
    if (!blocks)
        return {};
    stored.append(*blocks);
    return QString::fromLatin1(stored.toHex().toUpper());
}

std::optional<QString> DecryptString(const QString &stored, const QByteArray &key, QString *error)
{
    const std::optional<QByteArray> bytes = HexToBytes(stored, error);
    if (!bytes)
        return std::nullopt;
    if (bytes->size() < kHeaderSize) {
        SetError(error, u"Stream read error"_s);
        return std::nullopt;
    }
    // The length in the header is not needed: trimming removes the zero padding.
    const QByteArray blocks = bytes->mid(kHeaderSize);
    if (blocks.size() % kBlockSize != 0) {
        SetError(error, u"Invalid buffer size for decryption"_s);
        return std::nullopt;
    }
    const std::optional<QByteArray> plain = RunAes(blocks, key, false);
    if (!plain) {
        SetError(error, u"The AES cipher is not available"_s);
        return std::nullopt;
    }
    if (error)
        error->clear();
    return AnsiText::FromAnsi(TrimBlankBytes(*plain));
}

QString EncryptText(const QString &text)
{
    return EncryptString(text, FixedKey());
}

std::optional<QString> DecryptText(const QString &stored, QString *error)
{
    return DecryptString(stored, FixedKey(), error);
}

} // namespace Cipher
