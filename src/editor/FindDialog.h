#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tw {

class SourceEditor;
struct FindRequest;

// The find and replace window. It is not modal: it stays open beside the
// pages and always acts on the editor `target` names at the moment of the
// command (the active document's), saying in its own line what happened.
class FindDialog : public QDialog {
    Q_OBJECT
public:
    using Target = std::function<SourceEditor *()>;
    explicit FindDialog(Target target, QWidget *parent = nullptr);

    // Shows the window with the replace row hidden or shown; a short
    // one-line selection of the target becomes the text to find.
    void showFind();
    void showReplace();

    void findNext();
    void findPrevious();
    void replaceOne();
    void replaceAll();

    FindRequest request() const;

    QLineEdit *findEdit;
    QLineEdit *replaceEdit;
    QCheckBox *matchCase;
    QCheckBox *wholeWord;
    QCheckBox *regularExpression;
    QPushButton *nextButton;
    QPushButton *previousButton;
    QPushButton *replaceButton;
    QPushButton *replaceAllButton;
    QPushButton *closeButton;
    QLabel *status;

private:
    void present(bool withReplace);
    void run(const std::function<void(SourceEditor &)> &work);
    void say(const QString &message);
    QLabel *m_replaceLabel;
    Target m_target;
};

} // namespace tw
