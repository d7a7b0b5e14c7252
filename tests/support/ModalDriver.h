#pragma once

#include <QApplication>
#include <QByteArray>
#include <QEvent>
#include <QList>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace tw::test {

// Waits for the next modal window to be shown and runs `act` on it once its
// own event loop runs. It waits as long as it takes; a dialog that never
// comes ends the test program with a message naming the test that expected
// it, as soon as another test arms a watch or the program ends.
class ModalWatch final : public QObject {
public:
    explicit ModalWatch(std::function<void(QWidget *)> act)
        : QObject(qApp), m_act(std::move(act)), m_test(currentTest())
    {
        for (ModalWatch *earlier : pending()) {
            if (earlier->m_test != m_test)
                earlier->giveUp();
        }
        pending().append(this);
        qApp->installEventFilter(this);
    }
    ~ModalWatch() override
    {
        pending().removeAll(this);
        if (!m_acted)
            giveUp();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (m_seen || event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto *window = static_cast<QWidget *>(watched);
        if (!window->isWindow() || !window->isModal())
            return false;
        m_seen = true;
        qApp->removeEventFilter(this);
        // The show comes before the dialog's event loop starts; act inside it.
        QTimer::singleShot(0, this, [this, dialog = QPointer<QWidget>(window)] {
            if (!dialog)
                qFatal("onNextModal in %s: the dialog closed before it could be answered", m_test.constData());
            m_acted = true;
            pending().removeAll(this);
            m_act(dialog);
            deleteLater();
        });
        return false;
    }

private:
    static QList<ModalWatch *> &pending()
    {
        static QList<ModalWatch *> watches;
        return watches;
    }
    // The test function and its data row: a watch left over from another row
    // would act with that row's variables gone.
    static QByteArray currentTest()
    {
        const char *name = QTest::currentTestFunction();
        const char *row = QTest::currentDataTag();
        QByteArray test = name ? QByteArray(name) : QByteArrayLiteral("(no test function)");
        if (row)
            test += QByteArrayLiteral("(") + row + QByteArrayLiteral(")");
        return test;
    }
    [[noreturn]] void giveUp() const
    {
        qFatal("onNextModal in %s: no modal dialog was shown", m_test.constData());
    }

    std::function<void(QWidget *)> m_act;
    QByteArray m_test;
    bool m_seen = false;
    bool m_acted = false;
};

// Runs `act` on the next modal dialog to appear, so a test can drive a real
// blocking dialog: call this, then the function that shows the dialog.
inline void onNextModal(std::function<void(QWidget *)> act)
{
    new ModalWatch(std::move(act));
}

} // namespace tw::test
