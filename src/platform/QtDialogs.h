#pragma once

#include "platform/Dialogs.h"

class QWidget;

namespace tw {

// The real dialogs: QInputDialog, QMessageBox, QPrintDialog and Qt's own QFileDialog.
class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    QString prompt(const QString &text, const QString &title) override;
    bool askYesNo(const QString &text, const QString &title) override;
    bool askYesNoDefaultNo(const QString &text, const QString &title) override;
    Answer askYesNoCancel(const QString &text, const QString &title) override;
    void message(const QString &text, const QString &title, MessageKind kind) override;
    int choose(const QString &text, const QString &title, const QStringList &choices) override;
    bool choosePrinter(QPrinter &printer, const QString &title) override;
    FileChoice openFile(const QString &filter, const QString &defaultExtension) override;
    FileChoice saveFile(const QString &filter, const QString &defaultExtension) override;
    QString chooseFolder(const QString &title) override;

private:
    FileChoice runFileDialog(bool save, const QString &filter, const QString &defaultExtension);
    QWidget *m_parent;
};

} // namespace tw
