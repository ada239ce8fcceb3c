#pragma once

#include <QWidget>

// Contents widget of the document view's scroll area: reports every released key to the view.
// It also takes the presses of the navigation keys it reports (arrows, page keys, Home, End), so
// that the scroll area around it does not scroll a second time for the same key.
class ScrollAreaOfPage : public QWidget
{
    Q_OBJECT
public:
    explicit ScrollAreaOfPage(QWidget *parent = nullptr);

    // True for the keys whose release the view turns into a move.
    static bool IsNavigationKey(int key);

signals:
    void SignalKeyPress(ScrollAreaOfPage *sender, int key);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
};
