#include "graphunit.h"

#include "errors.h"
#include "events.h"
#include "messages.h"
#include "record.h"
#include "reftables.h"
#include "settings.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace {

const QString kCaption = QStringLiteral("ｸﾞﾗﾌ表示");
const QString kHint = QStringLiteral("ダブルクリックするとｸﾞﾗﾌが切り替わります");
constexpr int kMinimumSide = 120;

// The window's own picture: soil-coloured bars against depth in a white frame.
QIcon GraphWindowIcon()
{
    QIcon icon;
    for (int side : {16, 32}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.scale(side / 16.0, side / 16.0);
        p.setPen(Qt::black);
        p.setBrush(Qt::white);
        p.drawRect(0, 0, 15, 15);
        p.setPen(Qt::NoPen);
        const int lengths[] = {5, 9, 7, 12};
        for (int i = 0; i < 4; ++i) {
            p.setBrush(SoilBrush(i, true));
            p.drawRect(1, 1 + 3 * i + i / 2, lengths[i], 3);
        }
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

TGraphForm::TGraphForm(const TSoundingTest &test, TSetting &setting, const TReferenceTables &tables,
                       std::function<bool()> roundedView, QWidget *owner)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_test(test), m_setting(setting), m_tables(tables), m_roundedView(std::move(roundedView)),
      m_nswStyle(MakeGraphStyle(TGraphKind::Nsw, setting)),
      m_nStyle(MakeGraphStyle(TGraphKind::N, setting)),
      m_formPaint(MakeGraphPaint(TPaintTarget::Window))
{
    setObjectName(QStringLiteral("GraphForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kCaption);
    setWindowIcon(GraphWindowIcon());
    setToolTip(kHint);
    setFont(GraphFont(TPaintTarget::Window));
    setMinimumSize(kMinimumSide, kMinimumSide);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    copysel = new QAction(QStringLiteral("ｺﾋﾟｰ"), this);
    copysel->setObjectName(QStringLiteral("copysel"));
    copysel->setShortcut(QKeySequence::Copy);
    copysel->setShortcutContext(Qt::WindowShortcut);
    connect(copysel, &QAction::triggered, this, &TGraphForm::copyselClick);
    addAction(copysel);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(copysel);
}

TGraphForm::~TGraphForm() = default;

TGraphStyle &TGraphForm::style(TGraphKind kind)
{
    return kind == TGraphKind::Nsw ? *m_nswStyle : *m_nStyle;
}

const TGraphStyle &TGraphForm::CurrentStyle() const
{
    return m_kind == TGraphKind::Nsw ? *m_nswStyle : *m_nStyle;
}

bool TGraphForm::TorqueShown() const
{
    return m_setting.TorqueGraph && !(m_roundedView && m_roundedView());
}

QString TGraphForm::LoadCurrentPoints()
{
    TGraphStyle &current = style(m_kind);
    // The axis follows the options as they are now, so it agrees with the caps of the points.
    current.AxisMax = m_kind == TGraphKind::Nsw ? m_setting.NswMax : m_setting.NMax;
    try {
        current.LoadPoints(m_test.DisplayLog, m_setting);
        return QString();
    } catch (const ETessmarkError &error) {
        Tkannyu noRows;
        noRows.startRows();
        current.LoadPoints(noRows, m_setting);
        return error.message();
    }
}

void TGraphForm::ReportLoadFailure(const QString &failure)
{
    if (!failure.isEmpty())
        Messages().error(failure, this);
}

void TGraphForm::ShowKind(TGraphKind kind)
{
    QString failure;
    {
        TWaitCursor wait;
        m_kind = kind;
        failure = LoadCurrentPoints();
        repaint();
    }
    ReportLoadFailure(failure);
}

void TGraphForm::ToggleGraph()
{
    ShowKind(m_kind == TGraphKind::Nsw ? TGraphKind::N : TGraphKind::Nsw);
}

void TGraphForm::RefreshGraph()
{
    const QString failure = LoadCurrentPoints();
    repaint();
    ReportLoadFailure(failure);
}

void TGraphForm::PaintClient(QPainter &canvas)
{
    const QList<TTorquePair> *torque = TorqueShown() ? &m_test.TestQuantities : nullptr;
    PaintGraph(canvas, rect(), style(m_kind), *m_formPaint,
               GraphDepthRange(m_test.DisplayLog.FinalDepth, m_setting.Depth1), torque, m_setting,
               m_tables);
}

QImage TGraphForm::ClientImage()
{
    QImage image(size(), QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Window));
    QPainter canvas(&image);
    canvas.setFont(font());
    canvas.translate(-1, -1);
    PaintClient(canvas);
    return image;
}

void TGraphForm::copyselClick()
{
    QGuiApplication::clipboard()->setImage(ClientImage());
}

bool TGraphForm::event(QEvent *event)
{
    if (event->type() == WM_GRAPHREFRESH) {
        RefreshGraph();
        return true;
    }
    return QWidget::event(event);
}

void TGraphForm::paintEvent(QPaintEvent *)
{
    QPainter canvas(this);
    PaintClient(canvas);
}

void TGraphForm::showEvent(QShowEvent *event)
{
    // The stored place is taken once; later shows (with the owner restored) keep where the
    // user has moved the window since.
    if (!m_placed) {
        m_placed = true;
        move(m_setting.GraphLeft, m_setting.GraphTop);
        QSize size(m_setting.GraphWidth, m_setting.GraphHeight);
        // A garbled settings file must not ask for a window no screen (or memory) can hold.
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            size = size.boundedTo(screen->size());
        resize(size);
    }
    QWidget::showEvent(event);
}

void TGraphForm::closeEvent(QCloseEvent *event)
{
    m_setting.GraphHeight = height();
    m_setting.GraphTop = y();
    m_setting.GraphLeft = x();
    m_setting.GraphWidth = width();
    QWidget::closeEvent(event);
}

void TGraphForm::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        PopupMenu1->popup(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void TGraphForm::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        ToggleGraph();
        event->accept();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

void TGraphForm::contextMenuEvent(QContextMenuEvent *event)
{
    // The mouse opens the menu when the button goes down; the menu key opens it mid-window.
    if (event->reason() == QContextMenuEvent::Keyboard)
        PopupMenu1->popup(mapToGlobal(rect().center()));
    event->accept();
}

#ifdef Q_OS_WIN
bool TGraphForm::nativeEvent(const QByteArray &eventType, void *message, qintptr *result)
{
    // Only the corners resize the window: a hit on a plain edge counts as nowhere.
    if (eventType == "windows_generic_MSG") {
        const MSG *msg = static_cast<const MSG *>(message);
        if (msg->message == WM_NCHITTEST) {
            const LRESULT hit = DefWindowProcW(msg->hwnd, msg->message, msg->wParam, msg->lParam);
            if (hit == HTLEFT || hit == HTRIGHT || hit == HTTOP || hit == HTBOTTOM) {
                *result = HTNOWHERE;
                return true;
            }
        }
    }
    return QWidget::nativeEvent(eventType, message, result);
}
#endif

TGraphForm *OpenGraphWindow(QPointer<TGraphForm> &form, const TSoundingTest &test,
                            TSetting &setting, const TReferenceTables &tables,
                            std::function<bool()> roundedView, QWidget *owner)
{
    if (form)
        return form;
    auto *window = new TGraphForm(test, setting, tables, std::move(roundedView), owner);
    form = window;
    window->show();
    window->raise();
    window->activateWindow();
    window->ShowKind(TGraphKind::Nsw);
    return window;
}

bool ToggleGraph(const QPointer<TGraphForm> &form)
{
    if (!form)
        return false;
    form->ToggleGraph();
    return true;
}

void PostGraphRefresh(const QPointer<TGraphForm> &form)
{
    if (form)
        QCoreApplication::postEvent(form, new TWindowMessage(WM_GRAPHREFRESH));
}

void CloseGraphWindow(QPointer<TGraphForm> &form)
{
    if (!form)
        return;
    form->close();
    delete form.data();
}
