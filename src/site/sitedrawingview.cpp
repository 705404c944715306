#include "sitedrawingview.h"

#include "site.h"
#include "siteplan.h"
#include "sitesection.h"

#include <QPainter>

TSiteDrawingView::TSiteDrawingView(Kind kind, const TSiteData &data, QWidget *parent)
    : QWidget(parent), m_kind(kind), m_data(data)
{
    setObjectName(kind == Kind::Plan ? QStringLiteral("PlanView") : QStringLiteral("SectionView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 150);
}

QSize TSiteDrawingView::sizeHint() const
{
    return m_kind == Kind::Plan ? QSize(420, 360) : QSize(560, 360);
}

void TSiteDrawingView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    TSiteDrawStyle style;
    style.Color = true;
    style.Caption = false;
    // The labels as large as the window's own text, so they read like the table beside them.
    style.TextHeight = std::max(11, fontMetrics().height() - 2);
    if (m_kind == Kind::Plan)
        DrawSitePlan(painter, rect(), m_data, style);
    else
        DrawSiteSection(painter, rect(), m_data, style);
}
