#include "AnsiText.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include <iconv.h>

using namespace Qt::StringLiterals;

namespace AnsiText {

namespace {

// ICU's name for the table Windows uses: euro at 0x80, 0xFF and the user-defined areas
// mapped to the private use area. Its alias "GBK" resolves to the same converter.
constexpr const char *kIcuCodePage = "windows-936";
constexpr const char *kIconvCodePage = "CP936";

constexpr char16_t kReplacement = 0xFFFD;

bool IcuAvailable()
{
    static const bool available =
        QStringEncoder(kIcuCodePage).isValid() && QStringDecoder(kIcuCodePage).isValid();
    return available;
}

QByteArray IcuToAnsi(const QString &text)
{
    QStringEncoder encoder(kIcuCodePage, QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError())
        return bytes;

    // ICU writes '?' for most missing characters but silently drops the default-ignorable
    // ones (zero-width space, BOM, soft hyphen...) and a lone surrogate at the end. Windows
    // writes '?' for every one of them, so redo the text a code point at a time.
    bytes.clear();
    bytes.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length =
            (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                ? 2
                : 1;
        QStringEncoder single(kIcuCodePage, QStringConverter::Flag::Stateless);
        const QByteArray piece = single.encode(QStringView(text).mid(i, length));
        if (piece.isEmpty())
            bytes.append('?');
        else
            bytes.append(piece);
        i += length;
    }
    return bytes;
}

QString IcuFromAnsi(const QByteArray &bytes)
{
    // A lead byte at the very end waits inside ICU for its second byte and is lost. NUL is
    // never a second byte, so with one appended the lead byte comes out as U+FFFD.
    QByteArray input = bytes;
    input.append('\0');
    QStringDecoder decoder(kIcuCodePage);
    QString text = decoder.decode(input);
    if (text.endsWith(QChar(u'\0')))
        text.chop(1);
    return text;
}

class IconvHandle
{
public:
    IconvHandle(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~IconvHandle()
    {
        if (isValid())
            iconv_close(m_cd);
    }
    IconvHandle(const IconvHandle &) = delete;
    IconvHandle &operator=(const IconvHandle &) = delete;

    bool isValid() const { return m_cd != reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1)); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

constexpr size_t kIconvFailed = static_cast<size_t>(-1);

// Runs iconv over Input, calling OnBad at each sequence it cannot convert; OnBad appends
// the stand-in to Out and returns how many input bytes to skip.
template<typename OnBad>
void RunIconv(const IconvHandle &cd, QByteArray input, QByteArray &out, OnBad onBad)
{
    char *in = input.data();
    size_t inLeft = static_cast<size_t>(input.size());
    char buffer[512];
    while (inLeft > 0) {
        char *outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
        const int error = errno;
        out.append(buffer, outPtr - buffer);
        if (result != kIconvFailed || error == E2BIG)
            continue;
        const size_t skip = std::min(inLeft, onBad(static_cast<unsigned char>(*in)));
        in += skip;
        inLeft -= skip;
    }
}

size_t Utf8SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

} // namespace

namespace Iconv {

QByteArray ToAnsi(const QString &text)
{
    QByteArray out;
    const IconvHandle cd(kIconvCodePage, "UTF-8");
    if (!cd.isValid()) {
        // No converter at all: keep ASCII, which is the same in every code page.
        for (const QChar c : text)
            out.append(c.unicode() < 0x80 ? static_cast<char>(c.unicode()) : '?');
        return out;
    }
    RunIconv(cd, text.toUtf8(), out, [&out](unsigned char lead) {
        out.append('?');
        return Utf8SequenceLength(lead);
    });
    return out;
}

QString FromAnsi(const QByteArray &bytes)
{
    const IconvHandle cd("UTF-8", kIconvCodePage);
    if (!cd.isValid()) {
        QString text;
        for (const char b : bytes)
            text.append(static_cast<unsigned char>(b) < 0x80 ? QChar(static_cast<char16_t>(b)) : QChar(kReplacement));
        return text;
    }
    QByteArray utf8;
    RunIconv(cd, bytes, utf8, [&utf8](unsigned char) {
        utf8.append("\xEF\xBF\xBD"_ba);
        return size_t{1};
    });
    return QString::fromUtf8(utf8);
}

} // namespace Iconv

QByteArray ToAnsi(const QString &text)
{
    return IcuAvailable() ? IcuToAnsi(text) : Iconv::ToAnsi(text);
}

QString FromAnsi(const QByteArray &bytes)
{
    return IcuAvailable() ? IcuFromAnsi(bytes) : Iconv::FromAnsi(bytes);
}

int Gb2312AreaCode(QChar c)
{
    const QByteArray bytes = ToAnsi(QString(c));
    if (bytes.size() != 2)
        return -1;
    const int first = static_cast<unsigned char>(bytes.at(0));
    const int second = static_cast<unsigned char>(bytes.at(1));
    if (first < 0xA0 || second < 0xA0)
        return -1;
    return (first - 160) * 100 + (second - 160);
}

} // namespace AnsiText
