#include "shell/MenuKeys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>

namespace tw {

namespace {

class SharedAccessKeys : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *menu = qobject_cast<QMenu *>(watched);
        if (!menu || event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->text().size() != 1 || (key->modifiers() & ~(Qt::AltModifier | Qt::ShiftModifier)))
            return false;
        const int letter = key->text().toUpper().at(0).unicode();
        QList<QAction *> sharing;
        QList<QAction *> enabled;
        for (QAction *item : menu->actions()) {
            if (item->isSeparator() || !item->isVisible())
                continue;
            const QKeySequence mnemonic = QKeySequence::mnemonic(item->text());
            if (mnemonic.isEmpty() || int(mnemonic[0].key()) != letter)
                continue;
            sharing << item;
            if (item->isEnabled())
                enabled << item;
        }
        if (sharing.size() < 2)
            return false; // a letter of its own: Qt's handling chooses the item
        if (enabled.size() == 1) {
            menu->setActiveAction(enabled.first());
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(menu, &enter);
        } else if (!enabled.isEmpty()) {
            const qsizetype at = enabled.indexOf(menu->activeAction());
            menu->setActiveAction(enabled.at((at + 1) % enabled.size()));
        }
        return true;
    }
};

} // namespace

void steerSharedAccessKeys(QMenu *menu)
{
    static SharedAccessKeys *steering = new SharedAccessKeys(QCoreApplication::instance());
    menu->installEventFilter(steering);
}

} // namespace tw
