#include "AnsiText.h"
#include "Cipher.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Expected cipher blocks were made with the openssl command line on hand-padded blocks, e.g.
//   printf 'abc\0\0\0\0\0\0\0\0\0\0\0\0\0' |
//     openssl enc -aes-128-ecb -nopad -nosalt -K 766f6b6d657274757369700000000000 | xxd -p
// and the GBK bytes with iconv -f UTF-8 -t CP936, so they do not come from this code.
class TestCipher : public QObject
{
    Q_OBJECT

private slots:
    void fixedKeyVectors_data();
    void fixedKeyVectors();
    void explicitKeyVectors_data();
    void explicitKeyVectors();
    void storedLength_data();
    void storedLength();
    void roundTrip_data();
    void roundTrip();
    void hexDigitsInAnyCase();
    void oddFinalCharacterIsOneByte();
    void headerWithoutBlocksIsEmptyText();
    void errors_data();
    void errors();
    void errorsWithoutMessageTarget();
    void textGbkCannotEncode();

    void toAnsi_data();
    void toAnsi();
    void fromAnsi_data();
    void fromAnsi();
    void everyEncodableCharacterRoundTrips();
    void gb2312AreaCode_data();
    void gb2312AreaCode();
};

void TestCipher::fixedKeyVectors_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");

    QTest::newRow("abc") << u"abc"_s
                         << u"0300000000000000C94936F93E05081A990FA70136003190"_s;
    QTest::newRow("16 bytes, one block")
        << u"0123456789abcdef"_s << u"1000000000000000BDDD4B802E05D2454EF4D99139DAE3B1"_s;
    QTest::newRow("17 bytes, two blocks")
        << u"0123456789abcdefg"_s
        << u"1100000000000000BDDD4B802E05D2454EF4D99139DAE3B1FD4A0C1F403553812E45CE98A0FAB32E"_s;
    // GBK B9DC C0ED D4B1: the length counts bytes, not characters.
    QTest::newRow("管理员") << u"管理员"_s
                         << u"06000000000000007EDD8CF3F67C318FFB36704BA9ECDA42"_s;
    // 80 A3A4: euro at 0x80 as in code page 936.
    QTest::newRow("€￥") << u"€￥"_s << u"03000000000000005374F2EFDDAC586501C460183DFA9253"_s;
    QTest::newRow("empty") << QString() << u"0000000000000000"_s;
}

void TestCipher::fixedKeyVectors()
{
    QFETCH(QString, text);
    QFETCH(QString, stored);

    QCOMPARE(Cipher::EncryptText(text), stored);
    QString error;
    QCOMPARE(Cipher::DecryptText(stored, &error), std::optional<QString>(text));
    QVERIFY(error.isEmpty());
}

void TestCipher::explicitKeyVectors_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");

    // Only the first 16 key bytes count.
    QTest::newRow("key longer than 16")
        << "0123456789ABCDEFXYZ"_ba << u"hello"_s
        << u"0500000000000000BEDB52B74ABFEFE73C09D878B11FA5E5"_s;
    QTest::newRow("empty key is all zero") << QByteArray() << u"abc"_s
                                           << u"0300000000000000D29999EA2B049AE79CB86BA27B1A5F55"_s;
}

void TestCipher::explicitKeyVectors()
{
    QFETCH(QByteArray, key);
    QFETCH(QString, text);
    QFETCH(QString, stored);

    QCOMPARE(Cipher::EncryptString(text, key), stored);
    QCOMPARE(Cipher::DecryptString(stored, key), std::optional<QString>(text));
}

void TestCipher::storedLength_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("header");
    QTest::addColumn<int>("length");

    QTest::newRow("1 byte") << u"x"_s << u"0100000000000000"_s << 48;
    QTest::newRow("15 bytes") << QString(15, u'x') << u"0F00000000000000"_s << 48;
    QTest::newRow("32 bytes") << QString(32, u'x') << u"2000000000000000"_s << 80;
    QTest::newRow("33 bytes") << QString(33, u'x') << u"2100000000000000"_s << 112;
    QTest::newRow("300 bytes") << QString(300, u'x') << u"2C01000000000000"_s
                               << 2 * (8 + 16 * 19);
    QTest::newRow("8 Chinese = 16 bytes") << QString(8, u'张') << u"1000000000000000"_s << 48;
    QTest::newRow("9 Chinese = 18 bytes") << QString(9, u'张') << u"1200000000000000"_s << 80;
}

void TestCipher::storedLength()
{
    QFETCH(QString, text);
    QFETCH(QString, header);
    QFETCH(int, length);

    const QString stored = Cipher::EncryptText(text);
    QCOMPARE(stored.size(), length);
    QCOMPARE(stored.left(16), header);
    QCOMPARE(Cipher::DecryptText(stored), std::optional<QString>(text));
}

void TestCipher::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("inner spaces kept") << u"a b  c"_s << u"a b  c"_s;
    QTest::newRow("Chinese and quote") << u"老王's店"_s << u"老王's店"_s;
    QTest::newRow("leading and trailing spaces dropped") << u"  pass word "_s << u"pass word"_s;
    QTest::newRow("control characters dropped") << u"\tpass\r\n"_s << u"pass"_s;
    QTest::newRow("only spaces") << u"   "_s << QString();
    QTest::newRow("full-width space is not blank") << u"\u3000密\u3000"_s << u"\u3000密\u3000"_s;
}

void TestCipher::roundTrip()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);

    QCOMPARE(Cipher::DecryptText(Cipher::EncryptText(text)), std::optional<QString>(expected));
}

void TestCipher::hexDigitsInAnyCase()
{
    const QString stored = u"06000000000000007EDD8CF3F67C318FFB36704BA9ECDA42"_s;
    QCOMPARE(Cipher::DecryptText(stored.toLower()), std::optional<QString>(u"管理员"_s));
    QCOMPARE(Cipher::DecryptText(u"06000000000000007eDd8Cf3F67c318FFB36704BA9ECDA42"_s),
             std::optional<QString>(u"管理员"_s));
}

void TestCipher::oddFinalCharacterIsOneByte()
{
    // "pw2" enciphers to a block ending in byte 05; a lone final "5" is the same byte.
    const QString stored = u"0300000000000000A286EC4AE6B9C10015E6E358253AA805"_s;
    QCOMPARE(Cipher::EncryptText(u"pw2"_s), stored);
    QString shortened = stored;
    shortened.remove(shortened.size() - 2, 1);
    QCOMPARE(Cipher::DecryptText(shortened), std::optional<QString>(u"pw2"_s));
    // Fifteen digits are seven pairs and one single digit: a complete header.
    QCOMPARE(Cipher::DecryptText(u"000000000000000"_s), std::optional<QString>(QString()));
}

void TestCipher::headerWithoutBlocksIsEmptyText()
{
    QString error = u"stale"_s;
    QCOMPARE(Cipher::DecryptText(u"0000000000000000"_s, &error), std::optional<QString>(QString()));
    QVERIFY(error.isEmpty());
    // The header's count is not trusted; no blocks is no text.
    QCOMPARE(Cipher::DecryptText(u"0300000000000000"_s), std::optional<QString>(QString()));
}

void TestCipher::errors_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("message");

    const QString header = u"0300000000000000"_s;
    const QString block = u"C94936F93E05081A990FA70136003190"_s;

    QTest::newRow("non-hex pair") << u"ZZ00000000000000"_s
                                  << u"'0xZZ' is not a valid integer value"_s;
    QTest::newRow("bad pair inside a block")
        << header + u"C94936F93E05081A990FA701360031G0"_s
        << u"'0xG0' is not a valid integer value"_s;
    QTest::newRow("bad lone final character") << header + block + u"x"_s
                                              << u"'0xx' is not a valid integer value"_s;
    QTest::newRow("space is not a digit") << u" 300000000000000"_s
                                          << u"'0x 3' is not a valid integer value"_s;
    QTest::newRow("full-width digit") << u"０３00000000000000"_s
                                      << u"'0x０３' is not a valid integer value"_s;
    QTest::newRow("empty") << QString() << u"Stream read error"_s;
    QTest::newRow("seven bytes") << u"03000000000000"_s << u"Stream read error"_s;
    QTest::newRow("8 + 5 bytes") << header + u"C94936F93E"_s
                                 << u"Invalid buffer size for decryption"_s;
    QTest::newRow("8 + 17 bytes, odd digit") << header + block + u"1"_s
                                             << u"Invalid buffer size for decryption"_s;
}

void TestCipher::errors()
{
    QFETCH(QString, stored);
    QFETCH(QString, message);

    QString error;
    QCOMPARE(Cipher::DecryptText(stored, &error), std::nullopt);
    QCOMPARE(error, message);
}

void TestCipher::errorsWithoutMessageTarget()
{
    QCOMPARE(Cipher::DecryptText(u"ZZ"_s), std::nullopt);
    QCOMPARE(Cipher::DecryptText(u"00"_s), std::nullopt);
    QCOMPARE(Cipher::DecryptString(u"000000000000000001"_s, "key"_ba), std::nullopt);
}

void TestCipher::textGbkCannotEncode()
{
    // Each character GBK lacks is one '?', as the text is stored by the program.
    const QString stored = Cipher::EncryptText(u"密码\U0001F600\u200B"_s);
    QCOMPARE(stored.size(), 48);
    QCOMPARE(stored.left(16), u"0600000000000000"_s);
    QCOMPARE(Cipher::DecryptText(stored), std::optional<QString>(u"密码??"_s));
}

void TestCipher::toAnsi_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("hex");
    QTest::addColumn<bool>("sameInIconv");

    QTest::newRow("管理员") << u"管理员"_s << "b9dcc0edd4b1"_ba << true;
    QTest::newRow("出纳") << u"出纳"_s << "b3f6c4c9"_ba << true;
    QTest::newRow("老王's店") << u"老王's店"_s << "c0cfcdf52773b5ea"_ba << true;
    QTest::newRow("￥") << u"￥"_s << "a3a4"_ba << true;
    QTest::newRow("€") << u"€"_s << "80"_ba << true;
    QTest::newRow("ASCII") << u" Az09~\u007F"_s << "20417a30397e7f"_ba << true;
    QTest::newRow("NUL kept") << (u"a"_s + QChar(u'\0') + u"b"_s) << "610062"_ba << true;
    QTest::newRow("é") << u"é"_s << "a8a6"_ba << true;
    QTest::newRow("emoji") << u"a\U0001F600b"_s << "613f62"_ba << true;
    QTest::newRow("zero-width space") << u"a\u200Bb"_s << "613f62"_ba << true;
    QTest::newRow("BOM") << u"\uFEFFa"_s << "3f61"_ba << true;
    QTest::newRow("lone high surrogate at end") << (u"a"_s + QChar(0xD800)) << "613f"_ba << true;
    QTest::newRow("lone low surrogate") << (QChar(0xDC00) + u"a"_s) << "3f61"_ba << true;
    // Windows puts its user-defined areas in the private use area; glibc's table lacks them.
    QTest::newRow("user-defined area") << u"\uE000"_s << "aaa1"_ba << false;
    QTest::newRow("empty") << QString() << QByteArray() << true;
}

void TestCipher::toAnsi()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, hex);
    QFETCH(bool, sameInIconv);

    QCOMPARE(AnsiText::ToAnsi(text).toHex(), hex);
    if (sameInIconv)
        QCOMPARE(AnsiText::Iconv::ToAnsi(text).toHex(), hex);
}

void TestCipher::fromAnsi_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("sameInIconv");

    QTest::newRow("管理员") << QByteArray::fromHex("b9dcc0edd4b1") << u"管理员"_s << true;
    QTest::newRow("老王's店") << QByteArray::fromHex("c0cfcdf52773b5ea") << u"老王's店"_s << true;
    QTest::newRow("€￥") << QByteArray::fromHex("80a3a4") << u"€￥"_s << true;
    QByteArray ascii;
    QString asciiText;
    for (char16_t c = 0; c < 0x80; ++c) {
        ascii.append(static_cast<char>(c));
        asciiText.append(QChar(c));
    }
    QTest::newRow("ASCII range unchanged") << ascii << asciiText << true;
    QTest::newRow("lead byte with ASCII after it")
        << QByteArray::fromHex("813041") << u"\uFFFD0A"_s << true;
    QTest::newRow("lead byte cut off at end") << QByteArray::fromHex("61b9dcb9") << u"a管\uFFFD"_s
                                              << true;
    QTest::newRow("lone lead byte") << QByteArray::fromHex("b9") << u"\uFFFD"_s << true;
    QTest::newRow("lead byte before NUL")
        << QByteArray::fromHex("b90041") << (u"\uFFFD"_s + QChar(u'\0') + u"A"_s) << true;
    // 0xFF is a private-use character on Windows; glibc calls it invalid.
    QTest::newRow("0xFF") << QByteArray::fromHex("ff") << u"\uF8F5"_s << false;
    QTest::newRow("empty") << QByteArray() << QString() << true;
}

void TestCipher::fromAnsi()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(bool, sameInIconv);

    QCOMPARE(AnsiText::FromAnsi(bytes), text);
    if (sameInIconv)
        QCOMPARE(AnsiText::Iconv::FromAnsi(bytes), text);
}

void TestCipher::everyEncodableCharacterRoundTrips()
{
    int encodable = 0;
    for (char32_t c = 1; c < 0x10000; ++c) {
        if (c >= 0xD800 && c < 0xE000)
            continue;
        const QString text = QString::fromUcs4(&c, 1);
        const QByteArray bytes = AnsiText::ToAnsi(text);
        if (bytes == "?"_ba && c != u'?')
            continue;
        ++encodable;
        if (AnsiText::FromAnsi(bytes) != text)
            QFAIL(qPrintable(u"U+%1 does not round-trip"_s.arg(static_cast<quint32>(c), 4, 16, QChar(u'0'))));
    }
    // GBK holds 21886 double-byte characters besides ASCII and the euro sign.
    QVERIFY2(encodable > 21000, qPrintable(QString::number(encodable)));
}

void TestCipher::gb2312AreaCode_data()
{
    QTest::addColumn<QChar>("c");
    QTest::addColumn<int>("code");

    QTest::newRow("啊 B0A1") << QChar(u'啊') << 1601;
    QTest::newRow("张 D5C5") << QChar(u'张') << 5337;
    QTest::newRow("三 C8FD") << QChar(u'三') << 4093;
    QTest::newRow("齄 F7FE, last GB2312 hanzi") << QChar(u'齄') << 8794;
    QTest::newRow("、 A1A2, symbol") << QChar(u'、') << 102;
    QTest::newRow("Ａ A3C1, full-width letter") << QChar(u'Ａ') << 333;
    QTest::newRow("獱 AAA0, second byte A0 counts") << QChar(u'獱') << 1000;
    QTest::newRow("丂 8140, GBK only") << QChar(u'丂') << -1;
    QTest::newRow("A") << QChar(u'A') << -1;
    QTest::newRow("€ single byte") << QChar(u'€') << -1;
    QTest::newRow("surrogate") << QChar(0xD83D) << -1;
    QTest::newRow("not in GBK") << QChar(u'\u0E01') << -1;
}

void TestCipher::gb2312AreaCode()
{
    QFETCH(QChar, c);
    QFETCH(int, code);

    QCOMPARE(AnsiText::Gb2312AreaCode(c), code);
}

QTEST_GUILESS_MAIN(TestCipher)
#include "tst_cipher.moc"
