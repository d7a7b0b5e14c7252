#pragma once

#include <QByteArray>
#include <QDockWidget>
#include <QPointer>
#include <QString>
#include <QTimer>

#include "browser/LiveArea.h"

#include <functional>

class QLabel;
class QPushButton;
class QStackedLayout;

namespace tw {

class BrowserHost;
class LiveArea;
class LiveCaret;
class LiveViewOptions;
class frmDocument;

// The "Live Preview" dock: the web engine's rendering of one document
// window's current text, saved or not, served from memory (see
// LiveServing.h). Each edit goes to the view at once and changes the shown
// page in place, or loads it anew where its scripts changed (see LiveArea);
// a page over the size limit is refreshed only by its Refresh button. Style
// sheets it links that are open in document windows are served from their
// text, and restyle it as they are edited. The engine
// is loaded when the dock is first shown; a hidden dock does no work.
// Whatever keeps it from showing the page is said in the dock itself.
class LivePreviewDock : public QDockWidget {
    Q_OBJECT
public:
    static constexpr qsizetype kAutoLimit = 5 * 1024 * 1024;

    explicit LivePreviewDock(BrowserHost &host, QWidget *parent = nullptr);
    ~LivePreviewDock() override;

    // The document window to show; none empties the view.
    void setDocument(frmDocument *document);
    frmDocument *document() const;

    // Refreshes the view now from the document's text.
    void refresh();
    // Asks for a PDF file and prints the page as shown into it; the outcome
    // is said in the dock's message line.
    void printToPdf();

    // The view, once the dock has been shown and the engine started.
    LiveArea *area() const { return m_area; }
    // The caret and the view both ways, and the row of the view's choices.
    LiveCaret *caret() const { return m_caret; }
    LiveViewOptions *options() const { return m_options; }
    // The text of the dock's message line, or of its whole area when the
    // engine could not start.
    QString message() const;
    // Pages larger than this many bytes refresh only on demand (tests lower it).
    void setAutoLimit(qsizetype bytes) { m_autoLimit = bytes; }
    // The open document windows, whose style sheets the page is served.
    void setOpenDocuments(std::function<QList<frmDocument *>()> documents) { m_openDocuments = std::move(documents); }

signals:
    // The user closed the dock.
    void closed();
    // A load of the view ended; ok false when the engine could not show it.
    void shown(bool ok);
    // An edit was applied in the shown page, in place or by a load
    // (reloaded); whatever keeps track of its elements looks again.
    void pageUpdated(bool reloaded);
    // The page painted the view's revision (see LiveArea::revision).
    void painted(int revision);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Follows the document (or none) from now on and shows it.
    void follow(frmDocument *document);
    void startArea();
    void load(bool demanded);
    void edited();
    void sheetEdited(frmDocument *sheet);
    LiveText currentText();
    bool openSheet(const QString &path, QByteArray *bytes);
    void say(const QString &text);
    bool tooLarge() const;
    QString largeNotice() const;

    BrowserHost &m_host;
    LiveArea *m_area = nullptr;
    bool m_tried = false; // the engine was asked for once
    QPointer<frmDocument> m_document;
    QList<QMetaObject::Connection> m_watch;
    bool m_posted = false; // an update waits for the event loop
    qsizetype m_autoLimit = kAutoLimit;
    std::function<QList<frmDocument *>()> m_openDocuments;
    QList<QMetaObject::Connection> m_sheetWatch;
    QList<QPointer<frmDocument>> m_sheets; // open style sheets the page was served

    // What the view is served: the page's place, and for a page refreshed
    // on demand its bytes (else taken from the editor when asked for).
    QString m_pagePath;
    QByteArray m_bytes;
    bool m_snapshot = false;
    QByteArray m_contentType;
    QString m_lastText; // the text last handed to the view

    QStackedLayout *m_stack;
    QLabel *m_unavailable;
    QLabel *m_message;
    QPushButton *m_refresh;
    LiveCaret *m_caret;
    LiveViewOptions *m_options;
    QPushButton *m_print;
};

} // namespace tw
