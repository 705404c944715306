#include "recordingdevice.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QTextItem>
#include <QTransform>

namespace {

class TRecordingEngine : public QPaintEngine
{
public:
    explicit TRecordingEngine(TRecordingDevice &device)
        : QPaintEngine(AllFeatures), m_device(device)
    {}

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState &state) override
    {
        if (state.state() & DirtyPen)
            m_pen = state.pen();
        if (state.state() & DirtyBrush)
            m_brush = state.brush();
        // What a painter translated (a text document painted at its page's place) is recorded
        // where it lands.
        if (state.state() & DirtyTransform)
            m_transform = state.transform();
    }

    // One drawText call reaches the engine in runs of one script each; a run that starts where
    // the previous one ended on the same baseline continues that text.
    void drawTextItem(const QPointF &at, const QTextItem &item) override
    {
        const QPointF p = m_transform.map(at);
        const QFontMetricsF metrics(item.font(), &m_device);
        if (!m_device.Texts.isEmpty()) {
            TRecordedText &last = m_device.Texts.last();
            if (qAbs(last.Baseline.y() - p.y()) < 0.01 && qAbs(m_lastEnd - p.x()) < 0.5) {
                last.Text += item.text();
                m_lastEnd = p.x() + metrics.horizontalAdvance(item.text());
                return;
            }
        }
        m_device.Texts.append({item.text(), item.font(), p});
        m_lastEnd = p.x() + metrics.horizontalAdvance(item.text());
    }
    void drawLines(const QLineF *lines, int count) override
    {
        for (int i = 0; i < count; ++i)
            m_device.Lines.append({m_transform.map(lines[i]), m_pen});
    }
    void drawLines(const QLine *lines, int count) override
    {
        for (int i = 0; i < count; ++i)
            m_device.Lines.append({m_transform.map(QLineF(lines[i])), m_pen});
    }
    void drawPixmap(const QRectF &target, const QPixmap &, const QRectF &) override
    {
        m_device.Images.append(m_transform.mapRect(target));
    }
    void drawImage(const QRectF &target, const QImage &, const QRectF &,
                   Qt::ImageConversionFlags) override
    {
        m_device.Images.append(m_transform.mapRect(target));
    }
    void drawRects(const QRectF *rects, int count) override
    {
        for (int i = 0; i < count; ++i)
            m_device.Rects.append({m_transform.mapRect(rects[i]), m_brush});
    }
    void drawRects(const QRect *rects, int count) override
    {
        for (int i = 0; i < count; ++i)
            m_device.Rects.append({m_transform.mapRect(QRectF(rects[i])), m_brush});
    }
    // Other shapes are not looked at; drawing nothing keeps the recording small.
    void drawPath(const QPainterPath &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}

private:
    TRecordingDevice &m_device;
    QPen m_pen;
    QBrush m_brush;
    QTransform m_transform;
    qreal m_lastEnd = 0;
};

} // namespace

TRecordingDevice::TRecordingDevice(int width, int height)
    : m_width(width), m_height(height), m_engine(std::make_unique<TRecordingEngine>(*this))
{}

TRecordingDevice::~TRecordingDevice() = default;

QPaintEngine *TRecordingDevice::paintEngine() const
{
    return m_engine.get();
}

QList<TRecordedText> TRecordingDevice::textsNamed(const QString &text) const
{
    QList<TRecordedText> found;
    for (const TRecordedText &recorded : Texts) {
        if (recorded.Text == text)
            found.append(recorded);
    }
    return found;
}

QRectF TRecordingDevice::boxOf(const TRecordedText &text) const
{
    const QFontMetricsF metrics(text.Font, this);
    return QRectF(text.Baseline.x(), text.Baseline.y() - metrics.ascent(),
                  metrics.horizontalAdvance(text.Text), metrics.height());
}

QString TRecordingDevice::OverlappingTexts() const
{
    QList<QRectF> boxes;
    for (const TRecordedText &text : Texts)
        boxes.append(boxOf(text).adjusted(1, 1, -1, -1));
    QStringList found;
    for (qsizetype a = 0; a < boxes.size(); ++a)
        for (qsizetype b = a + 1; b < boxes.size(); ++b)
            if (boxes.at(a).intersects(boxes.at(b)))
                found.append(Texts.at(a).Text + QStringLiteral(" / ") + Texts.at(b).Text);
    return found.join(u' ');
}

int TRecordingDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return m_width;
    case PdmHeight:
        return m_height;
    case PdmWidthMM:
        return m_width * 254 / 6000;
    case PdmHeightMM:
        return m_height * 254 / 6000;
    case PdmNumColors:
        return 1 << 24;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return 600;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(devicePixelRatioFScale());
    default:
        return 0;
    }
}
