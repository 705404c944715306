#include "recordingdevice.h"

#include <QFontMetrics>
#include <QTextItem>

RecordingEngine::RecordingEngine(RecordingDevice *device)
    : QPaintEngine(QPaintEngine::AllFeatures), m_device(device)
{}

void RecordingEngine::updateState(const QPaintEngineState &state)
{
    const QPaintEngine::DirtyFlags flags = state.state();
    if (flags & QPaintEngine::DirtyPen)
        m_pen = state.pen();
    if (flags & QPaintEngine::DirtyBrush)
        m_brush = state.brush();
    if (flags & QPaintEngine::DirtyFont)
        m_font = state.font();
}

void RecordingEngine::drawLines(const QLine *lines, int lineCount)
{
    for (int i = 0; i < lineCount; ++i)
        m_device->Lines.append({lines[i], m_pen.style(), m_pen.width()});
}

void RecordingEngine::drawLines(const QLineF *lines, int lineCount)
{
    for (int i = 0; i < lineCount; ++i)
        m_device->Lines.append({lines[i].toLine(), m_pen.style(), m_pen.width()});
}

void RecordingEngine::drawRects(const QRect *rects, int rectCount)
{
    for (int i = 0; i < rectCount; ++i) {
        QPainterPath path;
        path.addRect(rects[i]);
        m_device->Fills.append({path, m_brush});
    }
}

void RecordingEngine::drawRects(const QRectF *rects, int rectCount)
{
    for (int i = 0; i < rectCount; ++i) {
        QPainterPath path;
        path.addRect(rects[i]);
        m_device->Fills.append({path, m_brush});
    }
}

void RecordingEngine::drawEllipse(const QRect &rect)
{
    m_device->Ellipses.append(rect);
}

void RecordingEngine::drawEllipse(const QRectF &rect)
{
    m_device->Ellipses.append(rect.toRect());
}

void RecordingEngine::drawPath(const QPainterPath &path)
{
    m_device->Fills.append({path, m_brush});
}

void RecordingEngine::drawPolygon(const QPointF *points, int pointCount, PolygonDrawMode)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points, points + pointCount)));
    m_device->Fills.append({path, m_brush});
}

void RecordingEngine::drawTextItem(const QPointF &p, const QTextItem &textItem)
{
    const QFontMetrics metrics(m_font);
    m_device->Texts.append({textItem.text(),
                            QPoint(qRound(p.x()), qRound(p.y()) - metrics.ascent()),
                            m_font.pixelSize()});
}

RecordingDevice::RecordingDevice(QSize size)
    : m_size(size), m_engine(std::make_unique<RecordingEngine>(this))
{}

RecordingDevice::~RecordingDevice() = default;

QList<RecordedText> RecordingDevice::TextsStartingWith(const QString &prefix) const
{
    QList<RecordedText> found;
    for (const RecordedText &text : Texts)
        if (text.Text.startsWith(prefix))
            found.append(text);
    return found;
}

QList<RecordedLine> RecordingDevice::VerticalLines(int top, int bottom) const
{
    QList<RecordedLine> found;
    for (const RecordedLine &line : Lines) {
        const QLine &l = line.Line;
        if (l.x1() == l.x2() && std::min(l.y1(), l.y2()) == top &&
            std::max(l.y1(), l.y2()) == bottom)
            found.append(line);
    }
    return found;
}

QList<RecordedLine> RecordingDevice::HorizontalLines(int left, int right) const
{
    QList<RecordedLine> found;
    for (const RecordedLine &line : Lines) {
        const QLine &l = line.Line;
        if (l.y1() == l.y2() && std::min(l.x1(), l.x2()) == left &&
            std::max(l.x1(), l.x2()) == right)
            found.append(line);
    }
    return found;
}

int RecordingDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return m_size.width();
    case PdmHeight:
        return m_size.height();
    case PdmWidthMM:
        return m_size.width() * 254 / 960;
    case PdmHeightMM:
        return m_size.height() * 254 / 960;
    case PdmNumColors:
        return 0x7fffffff;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return 96;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(QPaintDevice::devicePixelRatioFScale());
    default:
        return QPaintDevice::metric(metric);
    }
}
