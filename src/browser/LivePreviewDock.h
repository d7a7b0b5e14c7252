#pragma once

#include <QByteArray>
#include <QDockWidget>
#include <QPointer>
#include <QString>
#include <QTimer>

class QLabel;
class QPushButton;
class QStackedLayout;

namespace tw {

class BrowserHost;
class LiveArea;
class frmDocument;

// The "Live Preview" dock: the web engine's rendering of one document
// window's current text, saved or not, served from memory (see
// LiveServing.h). Edits refresh it kLiveDelayMs after the last one; a page
// over the size limit is refreshed only by its Refresh button. The engine
// is loaded when the dock is first shown; a hidden dock does no work.
// Whatever keeps it from showing the page is said in the dock itself.
class LivePreviewDock : public QDockWidget {
    Q_OBJECT
public:
    static constexpr int kLiveDelayMs = 300;
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
    // The text of the dock's message line, or of its whole area when the
    // engine could not start.
    QString message() const;
    // Pages larger than this many bytes refresh only on demand (tests lower it).
    void setAutoLimit(qsizetype bytes) { m_autoLimit = bytes; }

signals:
    // The user closed the dock.
    void closed();
    // A load of the view ended; ok false when the engine could not show it.
    void shown(bool ok);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Follows the document (or none) from now on and shows it.
    void follow(frmDocument *document);
    void startArea();
    void load(bool demanded);
    void edited();
    void say(const QString &text);
    bool tooLarge() const;
    QString largeNotice() const;

    BrowserHost &m_host;
    LiveArea *m_area = nullptr;
    bool m_tried = false; // the engine was asked for once
    QPointer<frmDocument> m_document;
    QList<QMetaObject::Connection> m_watch;
    QTimer m_delay;
    qsizetype m_autoLimit = kAutoLimit;

    // What the view is served: the page's place and its bytes.
    QString m_pagePath;
    QByteArray m_bytes;
    QByteArray m_contentType;

    QStackedLayout *m_stack;
    QLabel *m_unavailable;
    QLabel *m_message;
    QPushButton *m_refresh;
    QPushButton *m_print;
};

} // namespace tw
