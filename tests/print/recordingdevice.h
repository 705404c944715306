// A paint device that records what is drawn on it (texts, lines, pictures), so tests can check
// where a printout puts things without comparing whole images.
#pragma once

#include <QBrush>
#include <QFont>
#include <QLine>
#include <QList>
#include <QPaintDevice>
#include <QPen>
#include <QRect>
#include <QString>
#include <memory>

struct TRecordedText
{
    QString Text;
    QFont Font;
    QPointF Baseline; // left end of the baseline
};

struct TRecordedLine
{
    QLineF Line;
    QPen Pen;
};

struct TRecordedRect
{
    QRectF Rect;
    QBrush Brush;
};

class TRecordingDevice : public QPaintDevice
{
public:
    TRecordingDevice(int width, int height);
    ~TRecordingDevice() override;

    QPaintEngine *paintEngine() const override;

    QList<TRecordedText> Texts;
    QList<TRecordedLine> Lines;
    QList<QRectF> Images; // target rectangles of drawn pictures
    QList<TRecordedRect> Rects;

    // The recorded texts equal to `text`.
    QList<TRecordedText> textsNamed(const QString &text) const;
    // The box the text occupies (from the font's metrics on this device).
    QRectF boxOf(const TRecordedText &text) const;
    // The pairs "A / B" of texts whose boxes overlap by more than a pixel on each side (touching
    // is not overlapping), joined by blanks; "" when none.
    QString OverlappingTexts() const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    int m_width;
    int m_height;
    std::unique_ptr<QPaintEngine> m_engine;
};
