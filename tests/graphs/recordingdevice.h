// A paint device that records what the graph code draws: lines with their pen, texts with the
// top-left corner of their box, ellipses and filled shapes.
#pragma once

#include <QBrush>
#include <QFont>
#include <QLine>
#include <QList>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QRect>
#include <QSize>
#include <QString>
#include <memory>

struct RecordedLine
{
    QLine Line;
    Qt::PenStyle Style = Qt::SolidLine;
    int Width = 1;
};

struct RecordedText
{
    QString Text;   // one run of the text as the painter hands it over
    QPoint TopLeft; // baseline point moved up by the font's ascent
    int PixelSize = 0;
};

struct RecordedFill
{
    QPainterPath Path;
    QBrush Brush;
};

class RecordingDevice;

class RecordingEngine : public QPaintEngine
{
public:
    explicit RecordingEngine(RecordingDevice *device);

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &state) override;
    void drawLines(const QLine *lines, int lineCount) override;
    void drawLines(const QLineF *lines, int lineCount) override;
    void drawRects(const QRect *rects, int rectCount) override;
    void drawRects(const QRectF *rects, int rectCount) override;
    void drawEllipse(const QRect &rect) override;
    void drawEllipse(const QRectF &rect) override;
    void drawPath(const QPainterPath &path) override;
    void drawPolygon(const QPointF *points, int pointCount, PolygonDrawMode mode) override;
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawTextItem(const QPointF &p, const QTextItem &textItem) override;
    Type type() const override { return QPaintEngine::User; }

private:
    RecordingDevice *m_device;
    QPen m_pen;
    QBrush m_brush;
    QFont m_font;
};

class RecordingDevice : public QPaintDevice
{
public:
    explicit RecordingDevice(QSize size);
    ~RecordingDevice() override;

    QPaintEngine *paintEngine() const override { return m_engine.get(); }

    QList<RecordedLine> Lines;
    QList<RecordedText> Texts;
    QList<QRect> Ellipses;
    QList<RecordedFill> Fills;

    // Texts whose recorded run starts with `prefix`.
    QList<RecordedText> TextsStartingWith(const QString &prefix) const;
    // The lines that run vertically / horizontally through the whole of [from, to].
    QList<RecordedLine> VerticalLines(int top, int bottom) const;
    QList<RecordedLine> HorizontalLines(int left, int right) const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize m_size;
    std::unique_ptr<RecordingEngine> m_engine;
};
