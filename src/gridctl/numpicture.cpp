#include "numpicture.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <cmath>

namespace {

// 15 significant digits: what a decimal text of a cell carries, without the binary noise
// of the 17th digit (1.005 stays 1.005 and rounds up).
constexpr int kSignificantDigits = 15;
constexpr int kMaxExponentDigits = 4;

enum class TokenKind { IntDigit, Point, DecDigit, Exponent, Literal };

struct Token
{
    TokenKind kind;
    QString text; // literal text, or the exponent letter
};

struct Picture
{
    QList<Token> tokens;
    int intCount = 0; // digit placeholders before the point
    int minInt = 0;   // integer digits always shown (from the first '0' on)
    int decCount = 0; // digit placeholders after the point
    int minDec = 0;   // decimals always shown (up to the last '0')
    bool thousands = false;
    bool scientific = false;
    bool expPlus = false;
    int expDigits = 0;
};

// Splits at ';' outside quotes; at most three sections count.
QStringList splitSections(const QString &picture)
{
    QStringList sections;
    QString current;
    QChar quote;
    for (const QChar c : picture) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u';') {
            sections.append(current);
            current.clear();
            continue;
        }
        current.append(c);
    }
    sections.append(current);
    while (sections.size() > 3)
        sections.removeLast();
    return sections;
}

Picture parsePicture(const QString &section)
{
    Picture pic;
    bool seenPoint = false;
    int firstIntZero = -1;
    const int length = int(section.size());
    for (int i = 0; i < length; ++i) {
        const QChar c = section.at(i);
        if (c == u'"' || c == u'\'') {
            const int close = int(section.indexOf(c, i + 1));
            const int end = close < 0 ? length : close;
            pic.tokens.append({TokenKind::Literal, section.mid(i + 1, end - i - 1)});
            i = end;
        } else if ((c == u'0' || c == u'#') && !pic.scientific) {
            if (!seenPoint) {
                if (c == u'0' && firstIntZero < 0)
                    firstIntZero = pic.intCount;
                ++pic.intCount;
                pic.tokens.append({TokenKind::IntDigit, QString()});
            } else {
                ++pic.decCount;
                if (c == u'0')
                    pic.minDec = pic.decCount;
                pic.tokens.append({TokenKind::DecDigit, QString()});
            }
        } else if (c == u'.' && !pic.scientific) {
            if (!seenPoint)
                pic.tokens.append({TokenKind::Point, QString()});
            seenPoint = true; // a second point has no meaning and is dropped
        } else if (c == u',') {
            pic.thousands = true;
        } else if ((c == u'E' || c == u'e') && !pic.scientific && i + 1 < length &&
                   (section.at(i + 1) == u'+' || section.at(i + 1) == u'-') &&
                   pic.intCount + pic.decCount > 0) {
            pic.scientific = true;
            pic.expPlus = section.at(i + 1) == u'+';
            int j = i + 2;
            while (j < length && section.at(j) == u'0' && pic.expDigits < kMaxExponentDigits) {
                ++pic.expDigits;
                ++j;
            }
            pic.tokens.append({TokenKind::Exponent, QString(c)});
            i = j - 1;
        } else {
            pic.tokens.append({TokenKind::Literal, QString(c)});
        }
    }
    pic.minInt = firstIntZero < 0 ? 0 : pic.intCount - firstIntZero;
    return pic;
}

// A magnitude as significant digits: value = 0.digits × 10^pointPos.
struct Decimal
{
    QByteArray digits; // no leading zero; empty for zero
    int pointPos = 0;  // number of digits before the decimal point
};

Decimal toDecimal(double magnitude)
{
    Decimal d;
    if (magnitude == 0)
        return d;
    const QByteArray text = QByteArray::number(magnitude, 'e', kSignificantDigits - 1);
    const int e = int(text.indexOf('e'));
    d.digits = text.left(1) + text.mid(2, e - 2);
    d.pointPos = text.mid(e + 1).toInt() + 1;
    while (d.digits.endsWith('0'))
        d.digits.chop(1);
    return d;
}

// Keeps `keep` leading digits, rounding halves away from zero.
void roundTo(Decimal &d, int keep)
{
    if (keep >= d.digits.size())
        return;
    if (keep < 0) {
        d = Decimal();
        return;
    }
    const bool up = d.digits.at(keep) >= '5';
    d.digits.truncate(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits.at(i) == '9') {
            d.digits[i] = '0';
            --i;
        }
        if (i >= 0) {
            d.digits[i] = char(d.digits.at(i) + 1);
        } else {
            d.digits.prepend('1');
            ++d.pointPos;
        }
    }
    while (d.digits.endsWith('0'))
        d.digits.chop(1);
    if (d.digits.isEmpty())
        d = Decimal();
}

char digitAt(const Decimal &d, int position)
{
    return position >= 0 && position < d.digits.size() ? d.digits.at(position) : '0';
}

struct Rendered
{
    QString text;
    bool zero = false;
};

Rendered render(const Picture &pic, double magnitude)
{
    Decimal d = toDecimal(magnitude);
    QString intPart;
    QString decPart;
    int exponent = 0;
    if (pic.scientific) {
        const int intDigits = qMax(pic.intCount, 1);
        roundTo(d, intDigits + pic.decCount);
        if (!d.digits.isEmpty()) {
            exponent = d.pointPos - intDigits;
            for (int i = 0; i < intDigits; ++i)
                intPart.append(QLatin1Char(digitAt(d, i)));
        }
        for (int i = 0; i < pic.decCount; ++i)
            decPart.append(QLatin1Char(digitAt(d, intDigits + i)));
    } else {
        roundTo(d, d.pointPos + pic.decCount);
        for (int i = 0; i < d.pointPos; ++i)
            intPart.append(QLatin1Char(digitAt(d, i)));
        for (int i = 0; i < pic.decCount; ++i)
            decPart.append(QLatin1Char(digitAt(d, d.pointPos + i)));
    }
    while (intPart.startsWith(u'0'))
        intPart.remove(0, 1);
    while (intPart.size() < pic.minInt)
        intPart.prepend(u'0');
    while (decPart.size() > pic.minDec && decPart.endsWith(u'0'))
        decPart.chop(1);

    const int digits = int(intPart.size());
    const auto appendIntDigits = [&](QString &out, int from, int to) {
        for (int i = qMax(from, 0); i <= to; ++i) {
            out.append(intPart.at(i));
            if (pic.thousands && i < digits - 1 && (digits - 1 - i) % 3 == 0)
                out.append(u',');
        }
    };

    Rendered result;
    result.zero = d.digits.isEmpty();
    int intIndex = 0;
    int decIndex = 0;
    for (const Token &token : pic.tokens) {
        switch (token.kind) {
        case TokenKind::IntDigit: {
            // The first placeholder takes every digit the picture has no place for.
            const int position = digits - pic.intCount + intIndex;
            appendIntDigits(result.text, intIndex == 0 ? 0 : position, position);
            ++intIndex;
            break;
        }
        case TokenKind::Point:
            if (pic.intCount == 0)
                appendIntDigits(result.text, 0, digits - 1);
            if (!decPart.isEmpty())
                result.text.append(u'.');
            break;
        case TokenKind::DecDigit:
            if (decIndex < decPart.size())
                result.text.append(decPart.at(decIndex));
            ++decIndex;
            break;
        case TokenKind::Exponent: {
            result.text.append(token.text);
            if (exponent < 0)
                result.text.append(u'-');
            else if (pic.expPlus)
                result.text.append(u'+');
            result.text.append(
                QString::number(std::abs(exponent)).rightJustified(pic.expDigits, u'0'));
            break;
        }
        case TokenKind::Literal:
            result.text.append(token.text);
            break;
        }
    }
    return result;
}

} // namespace

QString FormatFloat(const QString &picture, double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    const QStringList sections = splitSections(picture);
    if (sections.first().isEmpty())
        return QString::number(value, 'g', kSignificantDigits);

    int index = 0;
    bool minus = false;
    if (value < 0) {
        if (sections.size() > 1 && !sections.at(1).isEmpty())
            index = 1;
        else
            minus = true;
    }
    const Rendered rendered = render(parsePicture(sections.at(index)), std::fabs(value));
    if (rendered.zero) {
        if (sections.size() > 2 && !sections.at(2).isEmpty())
            return render(parsePicture(sections.at(2)), 0).text;
        minus = false; // no "-0.00"
    }
    return minus ? u'-' + rendered.text : rendered.text;
}

bool CellTextToFloat(const QString &text, double &value)
{
    bool ok = false;
    const double parsed = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}
