#include "codec.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace {

// One converter per direction and thread: opening an iconv descriptor costs more than
// converting a typical line.
class Converter
{
public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool isValid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts [in, in + inLeft); calls onBad(in, inLeft) at an invalid or incomplete sequence,
    // which must advance past it and may append a replacement to out.
    template<typename OnBad> void run(const char *in, size_t inLeft, QByteArray &out, OnBad onBad)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        out.reserve(out.size() + qsizetype(inLeft) * 2 + 16);
        char buffer[4096];
        while (inLeft > 0) {
            char *inPtr = const_cast<char *>(in);
            char *outPtr = buffer;
            size_t outLeft = sizeof buffer;
            const size_t rc = iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer, outPtr - buffer);
            in = inPtr;
            if (rc != static_cast<size_t>(-1))
                break;
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL: an invalid or truncated sequence at `in`.
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
            onBad(in, inLeft, out);
        }
    }

private:
    iconv_t m_cd;
};

Converter &decoder()
{
    thread_local Converter c("UTF-8", "CP932");
    return c;
}

Converter &encoder()
{
    thread_local Converter c("CP932", "UTF-8");
    return c;
}

// Length of the UTF-8 sequence that starts with byte b (1 for a stray continuation byte).
size_t utf8Length(unsigned char b)
{
    if (b >= 0xF0)
        return 4;
    if (b >= 0xE0)
        return 3;
    if (b >= 0xC0)
        return 2;
    return 1;
}

bool isAscii(QByteArrayView bytes)
{
    for (const char b : bytes) {
        if (static_cast<unsigned char>(b) >= 0x80)
            return false;
    }
    return true;
}

bool isAscii(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

} // namespace

namespace Cp932 {

// Most lines of a data file are plain ASCII (codes and numbers), which CP932 shares unchanged:
// only text with Japanese in it goes through the converter.
QString decode(const QByteArray &bytes)
{
    if (isAscii(QByteArrayView(bytes)))
        return QString::fromLatin1(bytes);
    Converter &c = decoder();
    if (!c.isValid())
        return QString::fromLatin1(bytes);
    QByteArray utf8;
    c.run(bytes.constData(), size_t(bytes.size()), utf8,
          [](const char *&in, size_t &left, QByteArray &out) {
              out.append("\xEF\xBF\xBD"); // U+FFFD
              ++in;
              --left;
          });
    return QString::fromUtf8(utf8);
}

QByteArray encode(const QString &text)
{
    if (isAscii(QStringView(text)))
        return text.toLatin1();
    Converter &c = encoder();
    const QByteArray utf8 = text.toUtf8();
    if (!c.isValid())
        return text.toLatin1();
    QByteArray out;
    c.run(utf8.constData(), size_t(utf8.size()), out,
          [](const char *&in, size_t &left, QByteArray &result) {
              result.append('?');
              const size_t skip = std::min(left, utf8Length(static_cast<unsigned char>(*in)));
              in += skip;
              left -= skip;
          });
    return out;
}

} // namespace Cp932
