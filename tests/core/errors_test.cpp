#include "errors.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(ExcerptForMessage, KeepsShortTextsAndCutsLongOnesAtFortyCharacters)
{
    const QString forty = QString(40, u'9');
    const QString japanese = QString(45, u'砂');
    // A character outside the basic plane is two units: the cut must not split it.
    const QString astral = QString(39, u'a') + QString::fromUtf8("𠮷") + u'b';
    const struct
    {
        QString text;
        QString excerpt;
    } cases[] = {
        {QString(), QString()},
        {forty, forty},
        {forty + u'9', forty + u'…'},
        {QString(5'000'000, u'9'), forty + u'…'},
        {japanese, QString(40, u'砂') + u'…'},
        {astral, QString(39, u'a') + u'…'},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ExcerptForMessage(c.text), c.excerpt) << c.text.left(50).toStdString();
}

TEST(StrictConversions, QuoteAnExcerptOfTheText)
{
    const QString text(1000, u'x');
    const QString quoted = u"'" + QString(40, u'x') + u"…'";
    try {
        StrToInt(text);
        ADD_FAILURE() << "no error";
    } catch (const EConvertError &e) {
        EXPECT_TRUE(e.message().startsWith(quoted)) << e.message().toStdString();
    }
    try {
        StrToFloat(text);
        ADD_FAILURE() << "no error";
    } catch (const EConvertError &e) {
        EXPECT_TRUE(e.message().startsWith(quoted)) << e.message().toStdString();
    }
}

// The disk-space advice only when the disk is full; otherwise the system's reason with the file.
TEST(CantWriteFile, TellsAFullDiskApartFromOtherReasons)
{
    const QString cantSave = QStringLiteral("データを保存できません\r");
    QFile full(QStringLiteral("/dev/full")); // every write: no space left on the device
    ASSERT_TRUE(full.open(QIODevice::WriteOnly));
    EXPECT_LT(full.write(QByteArray(100000, 'x')), 0);
    EXPECT_EQ(ECantWriteFile::Of(full).message(),
              cantSave +
                  QStringLiteral("保存するディスクに十分に空き容量があるかを確認してください"));

    QTemporaryDir dir;
    QFile missing(dir.filePath(QStringLiteral("no-such-folder/out.kgd")));
    ASSERT_FALSE(missing.open(QIODevice::WriteOnly));
    EXPECT_EQ(ECantWriteFile::Of(missing).message(),
              cantSave + missing.fileName() + QStringLiteral(": ") + missing.errorString());
    EXPECT_FALSE(missing.errorString().isEmpty());
}

} // namespace
