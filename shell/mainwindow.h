#pragma once

#include <QPoint>
#include <QWidget>

class QTabWidget;
class HomeWidget;
class PackageView;

// The single top-level window: its own title bar above a row of document tabs.
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Opens path in a new tab, or selects the tab that already shows it.
    void OpenNewFile(const QString &path, HomeWidget *from);
    // The number of document tabs (the home tab not counted).
    int GetDocumentTabCount() const;
    QTabWidget *GetTabWidget() const { return m_tabs; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void OpenByDialog();
    void CloseTab(int index);

    QTabWidget *m_tabs = nullptr;
    QWidget *m_titleBar = nullptr;
    QPoint m_dragOffset;
    bool m_dragging = false;
};
