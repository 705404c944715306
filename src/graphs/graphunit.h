// The graph window: the Nsw or converted-N graph of the shown test in a small window that stays
// above the main window, with copy to the clipboard; and the commands the main window uses on it.
#pragma once

#include "graphdraw.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

class QAction;
class QImage;
class QMenu;
class TReferenceTables;
struct TSetting;
struct TSoundingTest;

class TGraphForm : public QWidget
{
    Q_OBJECT

public:
    // `test`, `setting` and `tables` belong to the owner and must outlive the window; the
    // window reads DisplayLog and TestQuantities of `test` and writes its geometry into
    // `setting` when it closes. `roundedView` answers whether the rounded view was chosen with
    // the tool button (the torque curve is hidden then). The window deletes itself on close.
    TGraphForm(const TSoundingTest &test, TSetting &setting, const TReferenceTables &tables,
               std::function<bool()> roundedView, QWidget *owner);
    ~TGraphForm() override;

    // The graph shown.
    TGraphKind Kind() const { return m_kind; }
    const TGraphStyle &CurrentStyle() const;
    // True when the torque curve is drawn: TorqueGraph on and not the tool button's rounded view.
    bool TorqueShown() const;

    // Makes `kind` current, reloads its points from DisplayLog and repaints at once.
    void ShowKind(TGraphKind kind);
    // Switches between the Nsw graph and the converted-N graph.
    void ToggleGraph();
    // Reloads the points of the current graph from DisplayLog and repaints at once.
    void RefreshGraph();

    // The client area as painted, shifted one pixel up and to the left: what the copy puts on
    // the clipboard.
    QImage ClientImage();
    // Puts ClientImage on the clipboard as a bitmap.
    void copyselClick();

    QMenu *PopupMenu1 = nullptr;
    QAction *copysel = nullptr;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result) override;
#endif

private:
    TGraphStyle &style(TGraphKind kind);
    // Loads the current style from DisplayLog. On a value that is not a number the graph is
    // left without bars rather than showing another test's points, and the error's message is
    // answered (empty when all went well).
    QString LoadCurrentPoints();
    void ReportLoadFailure(const QString &failure);
    void PaintClient(QPainter &canvas);

    const TSoundingTest &m_test;
    TSetting &m_setting;
    const TReferenceTables &m_tables;
    std::function<bool()> m_roundedView;

    std::unique_ptr<TGraphStyle> m_nswStyle;
    std::unique_ptr<TGraphStyle> m_nStyle;
    TGraphKind m_kind = TGraphKind::Nsw;
    std::unique_ptr<TObject_Paint> m_formPaint;
    bool m_placed = false;
};

// Opens the graph window held in `form` unless it is open already (then nothing changes, not
// even its graph): creates it owned by `owner` with the Nsw graph loaded from DisplayLog, shows
// it and brings it to the front. Answers the window.
TGraphForm *OpenGraphWindow(QPointer<TGraphForm> &form, const TSoundingTest &test,
                            TSetting &setting, const TReferenceTables &tables,
                            std::function<bool()> roundedView, QWidget *owner);
// Switches the open window between its two graphs; false (nothing done) when none is open.
bool ToggleGraph(const QPointer<TGraphForm> &form);
// Posts WM_GRAPHREFRESH to the open window after DisplayLog changed; nothing when none is open.
void PostGraphRefresh(const QPointer<TGraphForm> &form);
// Closes the open window as the user would (its geometry goes into the settings) and destroys
// it at once, so nothing refers to the test afterwards.
void CloseGraphWindow(QPointer<TGraphForm> &form);
