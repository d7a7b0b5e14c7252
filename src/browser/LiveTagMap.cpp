#include "browser/LiveTagMap.h"

#include "editor/TagScan.h"

#include <QHash>

#include <algorithm>

namespace tw {

using namespace tagContext;

namespace {

// How far apart, in elements and tags together, the two lists may fall
// before an element is given up as one the text does not write.
constexpr int kResync = 32;

QByteArray lower(QByteArrayView name)
{
    return name.toByteArray().toLower();
}

// Elements whose text the engine reads up to their own closing tag only.
bool rawText(const QByteArray &name)
{
    static const QByteArray names[] = {"script", "style", "textarea", "title", "xmp",
                                       "iframe", "noembed", "noframes", "noscript"};
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

bool foreignRoot(const QByteArray &name)
{
    return name == "svg" || name == "math";
}

} // namespace

QList<LiveTagMap::Element> LiveTagMap::parseElements(QByteArrayView description)
{
    QList<Element> out;
    const QList<QByteArray> words = description.toByteArray().split(' ');
    if (description.isEmpty() || words.size() % 2 != 0)
        return out;
    out.reserve(words.size() / 2);
    for (qsizetype k = 0; k < words.size(); k += 2) {
        bool ok = false;
        const int parent = words[k + 1].toInt(&ok);
        if (!ok || words[k].isEmpty() || parent < -1 || parent >= int(out.size()))
            return {};
        out.append({words[k], parent});
    }
    return out;
}

LiveTagMap::Tags LiveTagMap::scan(QByteArrayView text)
{
    Tags tags;
    const qsizetype n = text.size();
    int foreign = 0; // open <svg> and <math>: no raw text inside, CDATA allowed
    qsizetype i = 0;
    // Passes a bogus comment or doctype: up to the next '>'.
    const auto pastGt = [&](qsizetype from) {
        const qsizetype gt = text.indexOf('>', from);
        return gt < 0 ? n : gt + 1;
    };
    while (i < n) {
        const qsizetype lt = text.indexOf('<', i);
        if (lt < 0 || lt + 1 >= n)
            break;
        const QByteArrayView rest = text.sliced(lt);
        const char c = text[lt + 1];
        if (c == '!') {
            if (rest.startsWith("<!--")) {
                if (rest.sliced(4).startsWith(">") || rest.sliced(4).startsWith("->")) {
                    i = pastGt(lt + 4);
                    continue;
                }
                const qsizetype close = text.indexOf("-->", lt + 4);
                if (close < 0)
                    break; // the rest is a comment
                i = close + 3;
                continue;
            }
            if (foreign > 0 && rest.startsWith("<![CDATA[")) {
                const qsizetype close = text.indexOf("]]>", lt + 9);
                if (close < 0)
                    break;
                i = close + 3;
                continue;
            }
            i = pastGt(lt + 2);
            continue;
        }
        if (c == '?') {
            i = pastGt(lt + 2);
            continue;
        }
        if (c == '/') {
            if (lt + 2 < n && isNameStart(text[lt + 2])) {
                const Scan s = scanTag(text, lt, n);
                if (s.state != State::Ended)
                    break;
                const QByteArray name = lower(s.tag.name(text));
                tags.ends.append({lt, s.tag.end, name});
                if (foreign > 0 && foreignRoot(name))
                    --foreign;
                i = s.tag.end;
                continue;
            }
            i = pastGt(lt + 2); // "</>" or a bogus comment
            continue;
        }
        if (!isNameStart(c)) {
            i = lt + 1; // a '<' in text
            continue;
        }
        const Scan s = scanTag(text, lt, n);
        if (s.state != State::Ended)
            break; // a tag unfinished at the end makes no element
        const QByteArray name = lower(s.tag.name(text));
        tags.starts.append({lt, s.tag.end, name});
        i = s.tag.end;
        if (foreignRoot(name)) {
            foreign += s.tag.selfClosing ? 0 : 1;
            continue;
        }
        if (foreign > 0)
            continue;
        if (name == "plaintext")
            break;
        if (rawText(name)) {
            const qsizetype close = nextCloser(text, i, name);
            if (close < 0)
                break;
            const Scan e = scanTag(text, close, n);
            if (e.state != State::Ended)
                break;
            tags.ends.append({close, e.tag.end, name});
            i = e.tag.end;
        }
    }
    return tags;
}

void LiveTagMap::clear()
{
    m_elements.clear();
    m_tag.clear();
    m_written.clear();
    m_start.clear();
    m_end.clear();
    m_firstChild.clear();
    m_nextSibling.clear();
    m_starts.clear();
}

void LiveTagMap::build(QByteArrayView text, QList<Element> elements)
{
    clear();
    m_elements = std::move(elements);
    const Tags tags = scan(text);
    m_starts.reserve(tags.starts.size());
    for (const Written &w : tags.starts)
        m_starts.append(w.start);
    align(tags.starts);
    stretch(tags, text.size());
}

// Walks both lists in step while the names agree. Where they part, the
// nearest place where they agree again is taken, counting the elements and
// the tags passed over together; at equal distance, elements are passed
// over first (the engine makes up more elements than it drops tags).
void LiveTagMap::align(const QList<Written> &starts)
{
    const int n = size();
    m_tag.fill(-1, n);
    // Names as numbers, so a comparison costs one instruction.
    QHash<QByteArray, int> ids;
    const auto id = [&ids](const QByteArray &name) {
        auto it = ids.find(name);
        if (it == ids.end())
            it = ids.insert(name, int(ids.size()));
        return it.value();
    };
    QList<int> d(n), w(starts.size());
    for (int i = 0; i < n; ++i)
        d[i] = id(m_elements[i].name);
    for (qsizetype j = 0; j < starts.size(); ++j)
        w[j] = id(starts[j].name);
    qsizetype i = 0, j = 0;
    m_written.fill(-1, n);
    while (i < n && j < w.size()) {
        if (d[i] == w[j]) {
            m_tag[i] = starts[j].start;
            m_written[i] = j;
            ++i;
            ++j;
            continue;
        }
        bool found = false;
        for (int k = 1; k <= kResync && !found; ++k) {
            for (int a = k; a >= 0; --a) {
                const qsizetype b = k - a;
                if (i + a < n && j + b < w.size() && d[i + a] == w[j + b]) {
                    i += a;
                    j += b;
                    found = true;
                    break;
                }
            }
        }
        if (!found)
            ++i;
    }
}

// Each element's stretch of text. One written with its start tag runs from
// that tag to the end of its closing tag, or, where the closing tag is left
// out, to the closing tag of an element around it or the next start tag
// outside it. One the engine made up fills the room between its neighbours
// inside its parent.
void LiveTagMap::stretch(const Tags &tags, qsizetype textSize)
{
    const int n = size();
    m_start.fill(0, n);
    m_end.fill(textSize, n);
    m_firstChild.fill(-1, n);
    m_nextSibling.fill(-1, n);
    if (n <= 0) // (never negative, but the compiler warns about the lists below without it)
        return;
    QList<int> prevSibling(n, -1), lastChild(n, -1), subtree(n, 1);
    for (int i = 0; i < n; ++i) {
        const int p = m_elements[i].parent;
        if (p < 0)
            continue;
        if (lastChild[p] < 0)
            m_firstChild[p] = i;
        else
            m_nextSibling[lastChild[p]] = i;
        prevSibling[i] = lastChild[p];
        lastChild[p] = i;
    }
    for (int i = n - 1; i > 0; --i)
        if (m_elements[i].parent >= 0)
            subtree[m_elements[i].parent] += subtree[i];
    // The first written start tag at or after each element, in tree order.
    QList<qsizetype> nextTag(n + 1, textSize);
    for (int i = n - 1; i >= 0; --i)
        nextTag[i] = m_tag[i] >= 0 ? m_tag[i] : nextTag[i + 1];
    const auto tagEnd = [&](int i) { return tags.starts[m_written[i]].end; };
    const auto below = [&](int i, const QByteArray &name) {
        for (int a = m_elements[i].parent; a >= 0; a = m_elements[a].parent)
            if (m_elements[a].name == name)
                return true;
        return false;
    };

    // Bottom up: a written element ends after what its children cover.
    QList<qsizetype> covered(n, -1), closeStart(n, -1);
    for (int i = n - 1; i >= 0; --i) {
        if (m_tag[i] >= 0) {
            const qsizetype from = qMax(tagEnd(i), covered[i]);
            const qsizetype limit = qMax(from, nextTag[qMin(n, i + subtree[i])]);
            qsizetype end = limit;
            auto e = std::lower_bound(tags.ends.cbegin(), tags.ends.cend(), from,
                                      [](const Written &t, qsizetype at) { return t.start < at; });
            for (; e != tags.ends.cend() && e->start < limit; ++e) {
                if (e->name == m_elements[i].name) {
                    closeStart[i] = e->start;
                    end = e->end;
                    break;
                }
                if (below(i, e->name)) {
                    end = e->start;
                    break;
                }
            }
            m_start[i] = m_tag[i];
            m_end[i] = end;
        } else {
            m_end[i] = covered[i];
        }
        const int p = m_elements[i].parent;
        if (p >= 0)
            covered[p] = qMax(covered[p], m_end[i]);
    }
    // Top down: a made-up element between its neighbours.
    for (int i = 0; i < n; ++i) {
        if (m_tag[i] >= 0)
            continue;
        const int p = m_elements[i].parent;
        const int prev = prevSibling[i];
        const int next = m_nextSibling[i];
        const qsizetype contentStart = p < 0 ? 0 : (m_tag[p] >= 0 ? tagEnd(p) : m_start[p]);
        m_start[i] = prev >= 0 ? m_end[prev] : contentStart;
        qsizetype end;
        if (next >= 0)
            end = m_tag[next] >= 0 ? m_tag[next] : m_end[i];
        else if (p < 0)
            end = textSize;
        else
            end = closeStart[p] >= 0 ? closeStart[p] : m_end[p];
        m_end[i] = qMax(end, m_start[i]);
    }
    m_size = textSize;
}

qsizetype LiveTagMap::tagOf(int element) const
{
    if (element < 0 || element >= size())
        return -1;
    if (m_tag[element] >= 0)
        return m_tag[element];
    const auto first = std::lower_bound(m_starts.cbegin(), m_starts.cend(), m_start[element]);
    if (first != m_starts.cend() && *first < m_end[element])
        return *first;
    return m_start[element];
}

int LiveTagMap::elementAt(qsizetype position) const
{
    if (isEmpty())
        return -1;
    int at = 0;
    for (int c = m_firstChild[at]; c >= 0;) {
        if (m_start[c] <= position && position < m_end[c]) {
            at = c;
            c = m_firstChild[c];
        } else {
            c = m_nextSibling[c];
        }
    }
    return at;
}

void LiveTagMap::edited(qsizetype position, qsizetype removed, qsizetype inserted)
{
    const qsizetype after = position + removed;
    const qsizetype by = inserted - removed;
    // A tag at the place of an insertion moves along with what follows it;
    // a stretch ending there keeps its end, unless it ran to the end of the text.
    const auto moveStart = [&](qsizetype &x) {
        if (x >= after)
            x += by;
        else if (x > position)
            x = position;
    };
    const auto moveEnd = [&](qsizetype &x) {
        if (x > after || x == m_size)
            x += by;
        else if (x > position)
            x = position;
    };
    for (qsizetype &x : m_tag)
        if (x >= 0)
            moveStart(x);
    for (qsizetype &x : m_start)
        moveStart(x);
    for (qsizetype &x : m_starts)
        moveStart(x);
    for (qsizetype &x : m_end)
        moveEnd(x);
    m_size += by;
}

} // namespace tw
