#include "errors.h"

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

} // namespace
