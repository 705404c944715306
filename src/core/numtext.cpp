#include "numtext.h"

#include <array>
#include <cmath>

namespace {

constexpr qint64 kPowersOfTen[] = {1, 10, 100, 1000};

// Beyond this a scaled value may no longer be exact in a double.
constexpr double kExactLimit = 1e15;

// The characters of scaled / 10^decimals, written from the end of a buffer.
class ScaledDigits
{
public:
    ScaledDigits(qint64 scaled, int decimals)
    {
        const bool negative = scaled < 0;
        quint64 rest = negative ? 0 - quint64(scaled) : quint64(scaled);
        for (int i = 0; i < decimals; ++i) {
            m_text[--m_at] = char16_t(u'0' + rest % 10);
            rest /= 10;
        }
        if (decimals > 0)
            m_text[--m_at] = u'.';
        do {
            m_text[--m_at] = char16_t(u'0' + rest % 10);
            rest /= 10;
        } while (rest != 0);
        if (negative)
            m_text[--m_at] = u'-';
    }
    const QChar *begin() const { return reinterpret_cast<const QChar *>(m_text + m_at); }
    qsizetype size() const { return kLength - m_at; }

private:
    static constexpr qsizetype kLength = 32;
    char16_t m_text[kLength];
    qsizetype m_at = kLength;
};

// Texts of 0..kSharedTexts-1 as whole numbers and as tenths.
constexpr qint64 kSharedTexts = 1000;
using SharedTexts = std::array<std::array<QString, kSharedTexts>, 2>;

SharedTexts makeSharedTexts()
{
    SharedTexts texts;
    for (int decimals = 0; decimals < 2; ++decimals) {
        for (qint64 i = 0; i < kSharedTexts; ++i) {
            const ScaledDigits digits(i, decimals);
            texts[decimals][i] = QString(digits.begin(), digits.size());
        }
    }
    return texts;
}

} // namespace

void AppendScaled(QString &out, qint64 scaled, int decimals)
{
    const ScaledDigits digits(scaled, decimals);
    out.append(digits.begin(), digits.size());
}

QString ScaledText(qint64 scaled, int decimals)
{
    if (decimals < 2 && scaled >= 0 && scaled < kSharedTexts) {
        static const SharedTexts shared = makeSharedTexts();
        return shared[decimals][scaled];
    }
    const ScaledDigits digits(scaled, decimals);
    return QString(digits.begin(), digits.size());
}

bool ExactScaled(double value, int decimals, qint64 &scaled)
{
    const double power = double(kPowersOfTen[decimals]);
    const double product = value * power;
    if (!std::isfinite(product) || std::fabs(product) >= kExactLimit)
        return false;
    scaled = std::llround(product);
    return double(scaled) / power == value;
}

void AppendFixed(QString &out, double value, int decimals)
{
    // When value is the double nearest to k / 10^decimals, the print shows k's digits (a
    // negative zero prints as "0.0" too).
    qint64 scaled = 0;
    if (ExactScaled(value, decimals, scaled))
        AppendScaled(out, scaled, decimals);
    else
        out += QString::asprintf("%.*f", decimals, value);
}

QString FixedText(double value, int decimals)
{
    QString text;
    AppendFixed(text, value, decimals);
    return text;
}
