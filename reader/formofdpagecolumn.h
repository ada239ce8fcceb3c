#pragma once

#include <QAbstractScrollArea>
#include <QMap>
#include <QSizeF>
#include <QVector>

#include <functional>

#include "reader/formofdpage.h"

class QLabel;
class OfdPageScene;

// A scrolling column of small pages of one width, each with its number under it, as the
// thumbnail panel and the print preview show them. Every page has its place from its size, but
// page widgets exist only for the pages in sight and one on each side; the scenes they show come
// from a provider (the document view's, which keeps only a budget of them).
//
// Interface: SetPages(count, size, scene, type, width) (size: page size in pixels at rate 1;
// scene: the page's scene, may be null), GetPageCount(), GetPage(i) (the widget, made on request
// when it is out of sight), GetLivePageCount(), EnsurePageVisible(i), GetPageTop(i),
// SetMarkedPage(i) (the selection frame; -1 for none), GetMarkedPage(), SetShowPageNum(bool);
// signals SignalPagePressed(int index), SignalPageCreated(FormOfdPage*).
class FormOfdPageColumn : public QAbstractScrollArea
{
    Q_OBJECT
public:
    using SizeProvider = std::function<QSizeF(int index)>;
    using SceneProvider = std::function<OfdPageScene *(int index)>;

    explicit FormOfdPageColumn(QWidget *parent = nullptr);
    ~FormOfdPageColumn() override;

    void SetPages(int count, const SizeProvider &size, const SceneProvider &scene, EN_OfdPageType type,
                  double width);
    int GetPageCount() const { return m_tops.size(); }
    FormOfdPage *GetPage(int index);
    int GetLivePageCount() const { return m_live.size(); }
    void EnsurePageVisible(int index);
    qint64 GetPageTop(int index) const { return m_tops.value(index); }
    void SetMarkedPage(int index);
    int GetMarkedPage() const { return m_marked; }
    void SetShowPageNum(bool show);
    // The widget's rate for page index (its width over the page's width at rate 1).
    double GetPageRate(int index) const;

signals:
    void SignalPagePressed(int index);
    void SignalPageCreated(FormOfdPage *page);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct Live
    {
        FormOfdPage *page = nullptr;
        QLabel *number = nullptr;
    };

    void UpdateRange();
    void UpdateLive();
    void Release(int index);
    Live Make(int index);
    qint64 ScrollTop() const;

    SizeProvider m_size;
    SceneProvider m_scene;
    EN_OfdPageType m_type = EN_OfdPageType_Thumbnail;
    double m_width = 200;
    QVector<qint64> m_tops; // top of each page's widget in the column
    QVector<int> m_heights; // height of each page's widget
    qint64 m_height = 0;    // the whole column
    int m_scale = 1;        // column pixels per scroll-bar unit
    QMap<int, Live> m_live;
    int m_marked = -1;
    bool m_showPageNum = false;
    bool m_updating = false;
};
