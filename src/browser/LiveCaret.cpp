#include "browser/LiveCaret.h"

#include "browser/LiveArea.h"
#include "editor/SourceEditor.h"

#include <QChildEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace tw {

namespace {

// Run in the view's own world, where nothing is shared with the page's
// scripts but the elements themselves: lists the elements in tree order
// (a template's content after the template), keeps them for the two
// functions below, and describes them as "name parent ...". When asked to
// keep the last list and no element came or went since (the live world's
// count of such changes says so), the answer is "=".
const char kMapScript[] = R"JS((function (keep) {
  if (document.readyState === 'loading') return null;
  const changes = globalThis.twLive ? twLive.elementChanges() : -1;
  if (keep && changes >= 0 && changes === globalThis.twCaretChanges) return '=';
  globalThis.twCaretChanges = changes;
  const els = [], out = [], index = new WeakMap();
  const todo = [], parents = [];
  if (document.documentElement) { todo.push(document.documentElement); parents.push(-1); }
  while (todo.length) {
    const e = todo.pop(), p = parents.pop(), i = els.length;
    els.push(e);
    index.set(e, i);
    out.push(e.localName.toLowerCase(), p);
    const from = e.localName === 'template' && e.content ? e.content : e;
    for (let c = from.lastElementChild; c; c = c.previousElementSibling) { todo.push(c); parents.push(i); }
  }
  // The element's box in the view, after bringing it into sight if asked
  // and it lies wholly out of sight.
  globalThis.twCaretBox = function (i, scroll) {
    const e = els[i];
    if (!e || !e.isConnected) return null;
    let r = e.getBoundingClientRect();
    if (scroll && (r.bottom < 0 || r.top > innerHeight || r.right < 0 || r.left > innerWidth)) {
      e.scrollIntoView({ block: 'nearest', inline: 'nearest', behavior: 'instant' });
      r = e.getBoundingClientRect();
    }
    return [r.left, r.top, r.width, r.height];
  };
  // The listed element at a point of the view, or the nearest listed one
  // around it (the page's scripts may have added some since).
  globalThis.twCaretElementAt = function (x, y) {
    let e = document.elementFromPoint(x, y);
    while (e && !index.has(e)) e = e.parentElement || (e.parentNode && e.parentNode.host) || null;
    return e ? index.get(e) : -1;
  };
  return out.join(' ');
}))JS";

// The outline around the caret's element: it takes no input and paints
// only its frame.
class CaretOutline final : public QWidget {
public:
    explicit CaretOutline(QWidget *view) : QWidget(view)
    {
        setObjectName(QStringLiteral("liveCaretOutline"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }
    static constexpr int kPen = 2;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QPen pen(palette().color(QPalette::Highlight), kPen);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.drawRect(QRectF(rect()).adjusted(kPen / 2.0, kPen / 2.0, -kPen / 2.0, -kPen / 2.0));
    }
};

} // namespace

LiveCaret::LiveCaret(QObject *parent) : QObject(parent) {}

LiveCaret::~LiveCaret()
{
    for (const auto &c : m_watch)
        disconnect(c);
    if (m_view) // else the view went first, and took its callbacks
        m_area->onMoved = nullptr;
}

void LiveCaret::setArea(LiveArea *area)
{
    m_area = area;
    m_view = area->widget();
    m_outline = new CaretOutline(m_view);
    m_view->installEventFilter(this);
    // The widget that takes the view's input may exist already.
    for (QObject *child : m_view->children())
        if (child->isWidgetType() && child != m_outline)
            child->installEventFilter(this);
    area->onMoved = [this] { place(); };
}

void LiveCaret::setEditor(SourceEditor *editor)
{
    if (editor == m_editor)
        return;
    for (const auto &c : m_watch)
        disconnect(c);
    m_watch.clear();
    m_editor = editor;
    m_map.clear();
    m_caret = -1;
    if (m_outline)
        m_outline->hide();
    if (!editor)
        return;
    // The map follows each change of the text until the view shows it.
    m_watch << connect(editor, &QsciScintillaBase::SCN_MODIFIED, this,
                       [this](int position, int type, const char *, int length, int, int, int, int, int, int) {
                           if (type & QsciScintillaBase::SC_MOD_BEFOREINSERT)
                               m_map.edited(position, 0, length);
                           else if (type & QsciScintillaBase::SC_MOD_BEFOREDELETE)
                               m_map.edited(position, length, 0);
                       });
    m_watch << connect(editor, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (updated & QsciScintillaBase::SC_UPDATE_SELECTION)
            caretMoved();
    });
}

void LiveCaret::setFollow(bool on)
{
    m_follow = on;
    m_scroll = on;
    place();
}

QRect LiveCaret::outline() const
{
    return m_outline && m_outline->isVisible() ? m_outline->geometry() : QRect();
}

void LiveCaret::remap()
{
    map(kMapTries);
}

void LiveCaret::map(int tries)
{
    if (!m_area)
        return;
    const int run = ++m_mapRun;
    // A typed character changes no element: the view's list stands, and
    // only the text is read anew.
    const bool keep = !m_map.isEmpty() && m_editor;
    const QString script = QString::fromLatin1(kMapScript) + QLatin1String(keep ? "(true)" : "(false)");
    m_area->runScript(script, [this, run, tries, keep](const QVariant &description) {
        if (run != m_mapRun)
            return; // a later map is on its way
        if (description.typeId() != QMetaType::QString) {
            // The page is still being read, or the view was between pages
            // (a load that ends may already have been overtaken by the
            // next): asked again shortly, a bounded number of times.
            if (tries > 1)
                QTimer::singleShot(kMapRetryMs, this, [this, run, tries] {
                    if (run == m_mapRun)
                        map(tries - 1);
                });
            return;
        }
        const QString said = description.toString();
        if (m_editor)
            m_map.build(QByteArrayView(m_editor->documentData(), m_editor->documentLength()),
                        keep && said == QLatin1String("=") ? m_map.elements()
                                                           : LiveTagMap::parseElements(said.toUtf8()));
        else
            m_map.clear();
        place();
        emit mapped();
    });
}

// Costs a comparison per key, and while following, one script in the view;
// a move while the view has not answered the last waits for that answer.
void LiveCaret::caretMoved()
{
    const long caret = m_editor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    if (caret == m_caret)
        return;
    m_caret = caret;
    m_scroll = true;
    place();
}

void LiveCaret::place()
{
    if (!m_outline)
        return;
    if (!m_follow || !m_editor || m_map.isEmpty()) {
        m_outline->hide();
        return;
    }
    if (m_placing) {
        m_placeAgain = true;
        return;
    }
    const int element = m_map.elementAt(m_editor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    m_placing = true;
    const bool scroll = m_scroll;
    QPointer<LiveCaret> self(this);
    m_area->runScript(QStringLiteral("typeof twCaretBox == 'function' ? twCaretBox(%1, %2) : null")
                          .arg(element)
                          .arg(scroll ? QLatin1String("true") : QLatin1String("false")),
                      [self, scroll](const QVariant &box) {
                          if (!self)
                              return;
                          self->m_placing = false;
                          if (scroll && box.isValid() && !box.isNull())
                              self->m_scroll = false;
                          self->showOutline(box);
                          if (self->m_placeAgain) {
                              self->m_placeAgain = false;
                              self->place();
                          }
                      });
}

void LiveCaret::showOutline(const QVariant &box)
{
    const QVariantList r = box.toList();
    if (!m_follow || r.size() != 4 || (r[2].toDouble() <= 0 && r[3].toDouble() <= 0)) {
        m_outline->hide();
        return;
    }
    const double z = m_area->zoom();
    const int pad = CaretOutline::kPen;
    const QRectF css(r[0].toDouble(), r[1].toDouble(), r[2].toDouble(), r[3].toDouble());
    const QRect inView = QRectF(css.x() * z, css.y() * z, css.width() * z, css.height() * z)
                             .toAlignedRect()
                             .adjusted(-pad, -pad, pad, pad)
                             .intersected(m_view->rect());
    if (inView.isEmpty()) {
        m_outline->hide();
        return;
    }
    m_outline->setGeometry(inView);
    m_outline->raise();
    m_outline->show();
}

void LiveCaret::clicked(QPointF at)
{
    const double z = m_area->zoom();
    QPointer<LiveCaret> self(this);
    m_area->runScript(QStringLiteral("typeof twCaretElementAt == 'function' ? twCaretElementAt(%1, %2) : -1")
                          .arg(at.x() / z)
                          .arg(at.y() / z),
                      [self](const QVariant &found) {
                          if (!self || !self->m_editor)
                              return;
                          bool ok = false;
                          const qsizetype position = self->m_map.tagOf(found.toInt(&ok));
                          if (!ok || position < 0)
                              return;
                          SourceEditor *editor = self->m_editor;
                          editor->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(position));
                          editor->window()->activateWindow();
                          editor->setFocus(Qt::MouseFocusReason);
                          emit self->placedCaret(position);
                      });
}

bool LiveCaret::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view) {
        if (event->type() == QEvent::ChildAdded) {
            // The engine makes a new input widget with each new page
            // process. Watched after the view's own watcher, so that a
            // Ctrl+click taken here never reaches it either.
            QPointer<QObject> child = static_cast<QChildEvent *>(event)->child();
            if (child->isWidgetType() && child != m_outline)
                QTimer::singleShot(0, this, [this, child] {
                    if (child) {
                        child->installEventFilter(this);
                        if (m_outline)
                            m_outline->raise();
                    }
                });
        } else if (event->type() == QEvent::Resize) {
            place();
        }
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton || !(mouse->modifiers() & Qt::ControlModifier) || !m_area)
            return false;
        m_ateClick = true;
        if (event->type() == QEvent::MouseButtonPress) {
            auto *widget = static_cast<QWidget *>(watched);
            clicked(widget->mapTo(m_view, mouse->position().toPoint()));
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (m_ateClick && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            m_ateClick = false;
            return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace tw
