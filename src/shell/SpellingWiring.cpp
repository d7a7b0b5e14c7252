#include "shell/SpellingWiring.h"

#include "documents/DocumentSpelling.h"
#include "documents/frmDocument.h"
#include "editor/EditorSettings.h"
#include "shell/CommandActions.h"
#include "shell/FrameMenus.h"
#include "shell/frmMain.h"
#include "spelling/SpellChecker.h"

#include <QAction>
#include <QActionGroup>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

namespace tw {

namespace {

DocumentSpelling *spellingOf(frmDocument *document, spelling::SpellChecker &checker, const QString &chosen)
{
    if (!document)
        return nullptr;
    if (DocumentSpelling *spelling = DocumentSpelling::of(document))
        return spelling;
    auto *spelling = new DocumentSpelling(document, checker);
    spelling->setChosen(chosen);
    return spelling;
}

} // namespace

void wireSpelling(frmMain &frame)
{
    CommandActions &a = frame.commands();
    auto *checker = new spelling::SpellChecker(&frame);
    const QStringList names = checker->dictionaries();
    QString stored = editorSettings::spellingLanguage();
    auto chosen = std::make_shared<QString>(names.contains(stored) ? stored : checker->defaultDictionary());

    // One entry for each installed dictionary, the chosen one checked.
    QMenu *languages = frame.menus().spellingLanguage;
    auto *group = new QActionGroup(languages);
    for (const QString &name : names) {
        QAction *item = languages->addAction(name);
        item->setObjectName(QStringLiteral("mnuEditSpellingLanguage_") + name);
        item->setCheckable(true);
        item->setChecked(name == *chosen);
        group->addAction(item);
        QObject::connect(item, &QAction::triggered, &frame, [&frame, chosen, name] {
            *chosen = name;
            editorSettings::setSpellingLanguage(name);
            for (frmDocument *document : frame.documents())
                if (DocumentSpelling *spelling = DocumentSpelling::of(document))
                    spelling->setChosen(name);
        });
    }
    languages->setEnabled(!names.isEmpty());

    a.checkSpelling->setChecked(editorSettings::checkSpelling());
    const auto follow = [&frame, checker, chosen] {
        if (frame.commands().checkSpelling->isChecked())
            spellingOf(frame.activeDocument(), *checker, *chosen)->setOn(true);
    };
    QObject::connect(a.checkSpelling, &QAction::toggled, &frame, [&frame, follow](bool on) {
        editorSettings::setCheckSpelling(on);
        for (frmDocument *document : frame.documents())
            if (DocumentSpelling *spelling = DocumentSpelling::of(document))
                spelling->setOn(on);
        follow();
    });
    // The frame as receiver: it cuts its windows' signals before it is torn down.
    QObject::connect(frame.mdiArea, &QMdiArea::subWindowActivated, &frame, [&frame, follow] {
        if (frame.activeDocument())
            follow();
    });
    if (frame.activeDocument())
        follow();
}

} // namespace tw
