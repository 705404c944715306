#include "codec.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

TEST(Cp932Codec, RoundTripsJapaneseTextIncludingHalfWidthKatakana)
{
    const QStringList texts = {
        QStringLiteral("ｼﾞｬﾘｼﾞｬﾘ"), QStringLiteral("砂質土*"),
        QStringLiteral("換算Ｎ値"), QStringLiteral("打撃07回"),
        QStringLiteral("～"),       QStringLiteral("ﾃﾞｰﾀ(&D)"),
        QStringLiteral("D (m) "),   QString(),
    };
    for (const QString &text : texts) {
        const QByteArray bytes = Cp932::encode(text);
        EXPECT_EQ(Cp932::decode(bytes), text) << text.toStdString();
    }
}

TEST(Cp932Codec, HalfWidthKatakanaIsOneByteEach)
{
    EXPECT_EQ(Cp932::encode(QStringLiteral("ｱｲｳ")), QByteArray("\xB1\xB2\xB3"));
    EXPECT_EQ(Cp932::decode(QByteArray("\xB1\xB2\xB3")), QStringLiteral("ｱｲｳ"));
}

TEST(Cp932Codec, KnownDoubleByteCodes)
{
    // 自沈 and 観察 as the instrument writes them.
    EXPECT_EQ(Cp932::encode(QStringLiteral("自沈")), QByteArray("\x8E\xA9\x92\xBE"));
    EXPECT_EQ(Cp932::decode(QByteArray("\x8A\xCF\x8E\x40")), QStringLiteral("観察"));
}

TEST(Cp932Codec, InvalidBytesDoNotStopDecoding)
{
    // A lone lead byte in the middle and a truncated one at the end.
    const QString text = Cp932::decode(QByteArray("A\x81"
                                                  "\x20"
                                                  "B\x82"));
    EXPECT_TRUE(text.startsWith(u'A'));
    EXPECT_TRUE(text.contains(u'B'));
    EXPECT_TRUE(text.contains(QChar(0xFFFD)));
}

TEST(Cp932Codec, UnencodableCharacterBecomesQuestionMark)
{
    EXPECT_EQ(Cp932::encode(QStringLiteral("a😀b")), QByteArray("a?b"));
}

TEST(Cp932Codec, LongTextCrossesTheConversionBuffer)
{
    const QString text = QStringLiteral("粘性土").repeated(5000);
    EXPECT_EQ(Cp932::decode(Cp932::encode(text)), text);
}

} // namespace
