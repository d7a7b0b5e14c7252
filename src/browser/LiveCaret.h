#pragma once

#include "browser/LiveTagMap.h"

#include <QObject>
#include <QPointer>
#include <QRect>

class QWidget;

namespace tw {

class LiveArea;
class SourceEditor;

// The live view and the editor's caret, both ways. The element that holds
// the caret is outlined in the view (and scrolled into sight when out of
// it); Ctrl+click on an element puts the caret at its start tag and gives
// the editor the focus. The outline is a widget of ours over the view, so
// the page never meets it; what is read from the page is read by scripts in
// the view's own world, which keeps the page's elements in a map the page
// cannot reach. A Ctrl+click is taken from the view's input before the page
// sees it, so no script of the page's can make one.
class LiveCaret : public QObject {
    Q_OBJECT
public:
    explicit LiveCaret(QObject *parent = nullptr);
    ~LiveCaret() override;

    // The view, once the engine runs.
    void setArea(LiveArea *area);
    // The editor whose caret is followed; none stops following.
    void setEditor(SourceEditor *editor);
    // Whether the caret's element is outlined (Ctrl+click works either way).
    void setFollow(bool on);
    bool follows() const { return m_follow; }

    const LiveTagMap &map() const { return m_map; }
    // Where the outline stands in the view; empty while none is shown.
    QRect outline() const;

public slots:
    // Reads the view's elements anew and ties them to the editor's text:
    // after each load of the view, and after each change made in place.
    void remap();

signals:
    // The map was made anew, and the outline placed.
    void mapped();
    // The caret was put on an element's tag by a Ctrl+click.
    void placedCaret(qsizetype position);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static constexpr int kMapTries = 50;
    static constexpr int kMapRetryMs = 100;
    void map(int tries);
    void caretMoved();
    void place();
    void clicked(QPointF at);
    void showOutline(const QVariant &box);

    QPointer<QWidget> m_view;
    LiveArea *m_area = nullptr;
    QPointer<SourceEditor> m_editor;
    QList<QMetaObject::Connection> m_watch;
    QPointer<QWidget> m_outline;
    LiveTagMap m_map;
    bool m_follow = true;
    long m_caret = -1;
    bool m_scroll = false; // the caret moved: its element comes into sight
    bool m_placing = false; // an outline is asked for
    bool m_placeAgain = false; // and another after it
    bool m_ateClick = false;
    int m_mapRun = 0;
};

} // namespace tw
