#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>

class QMouseEvent;
class QWidget;

// Moves and resizes a window that has no system frame: dragging its title bar moves it, a double
// click on the title bar maximises or restores it, and dragging within the border resizes it.
class FramelessHelper : public QObject
{
    Q_OBJECT
public:
    // Watches window; the helper is a child of it.
    explicit FramelessHelper(QWidget *window);

    // The widget whose empty area moves the window (may be the window itself).
    void SetTitleBar(QWidget *titleBar);
    // Width in pixels of the band along the window's edge that resizes it; 0 turns resizing off.
    void SetBorderWidth(int width) { m_border = width; }
    int GetBorderWidth() const { return m_border; }
    // Window edges under a point in window coordinates (Qt::Edges), empty when none or maximised.
    Qt::Edges EdgesAt(const QPoint &pos) const;
    void ToggleMaximized();

signals:
    void SignalMaximizedChanged(bool maximized);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool HandleTitleBar(QEvent *event);
    bool HandleWindow(QEvent *event);
    void UpdateCursor(const QPoint &pos);

    QWidget *m_window = nullptr;
    QWidget *m_titleBar = nullptr;
    int m_border = 5;

    bool m_moving = false;
    QPoint m_moveOffset;
    Qt::Edges m_resizeEdges;
    QPoint m_pressGlobal;
    QRect m_pressGeometry;
};
