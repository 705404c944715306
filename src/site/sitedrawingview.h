// A plan or a section of the site window, drawn with the same code as the report and the
// pictures, again whenever the site changes.
#pragma once

#include <QWidget>

struct TSiteData;

class TSiteDrawingView : public QWidget
{
    Q_OBJECT

public:
    enum class Kind { Plan, Section };

    TSiteDrawingView(Kind kind, const TSiteData &data, QWidget *parent = nullptr);

    Kind DrawingKind() const { return m_kind; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Kind m_kind;
    const TSiteData &m_data;
};
