#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace tw {

// Ties the elements of a shown page to the tags written in the editor's
// text, without widgets or the web engine. The view lists its elements in
// tree order (each with its name and its parent's index); the text is read
// for the start tags the engine turns into elements. The two lists are
// aligned by name, so elements the engine makes up (<tbody>, <html>, <head>,
// <body> left out, formatting elements it repeats) and tags that make no
// element (a second <body>, a stray <tr>) fall out of step only locally.
// Each element then gets the stretch of text it stands for, which answers
// both ways: which element holds a place in the text, and where an element's
// tag is written.
class LiveTagMap {
public:
    // One element of the view: its lower-case name and its parent's index
    // in the list (-1 for the root).
    struct Element {
        QByteArray name;
        int parent = -1;
    };

    // The view's description of its elements: "name parent name parent ...".
    // An unreadable description gives no elements.
    static QList<Element> parseElements(QByteArrayView description);

    // A start tag as written: where it starts and ends, its lower-case name.
    struct Written {
        qsizetype start = 0;
        qsizetype end = 0;
        QByteArray name;
    };
    // The start and end tags of the text that the engine reads as markup, in
    // order: comments, doctypes and the text of script, style, title,
    // textarea and the like are passed over; a tag that the text leaves
    // unfinished ends the markup.
    struct Tags {
        QList<Written> starts;
        QList<Written> ends;
    };
    static Tags scan(QByteArrayView text);

    // Builds the map of these elements over this text.
    void build(QByteArrayView text, QList<Element> elements);
    void clear();
    bool isEmpty() const { return m_elements.isEmpty(); }
    const QList<Element> &elements() const { return m_elements; }
    int size() const { return int(m_elements.size()); }

    // Where the caret goes for the element: the '<' of its start tag; for an
    // element without one, the first start tag written inside its stretch,
    // else the stretch's start. -1 for no such element.
    qsizetype tagOf(int element) const;
    // The innermost element whose stretch holds the position, or -1.
    int elementAt(qsizetype position) const;
    // Whether the element has a start tag of its own in the text.
    bool written(int element) const { return element >= 0 && element < size() && m_tag[element] >= 0; }

    // The text changed before the view did: `removed` bytes at `position`
    // went, then `inserted` bytes came there. Places after it move along, so
    // the elements still shown keep finding their tags.
    void edited(qsizetype position, qsizetype removed, qsizetype inserted);

private:
    void align(const QList<Written> &starts);
    void stretch(const Tags &tags, qsizetype textSize);

    QList<Element> m_elements;
    QList<qsizetype> m_tag; // the start tag's '<', -1 when none is written
    QList<qsizetype> m_written; // its index among the written start tags, or -1
    QList<qsizetype> m_start; // the stretch of text each element stands for
    QList<qsizetype> m_end;
    QList<int> m_firstChild;
    QList<int> m_nextSibling;
    QList<qsizetype> m_starts; // every written start tag's '<', in order
    qsizetype m_size = 0; // the text's length
};

} // namespace tw
