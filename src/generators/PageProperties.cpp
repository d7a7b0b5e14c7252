#include "generators/PageProperties.h"

#include "editor/ActiveEditor.h"
#include "editor/EditorOperations.h"
#include "markup/FontCommands.h"
#include "platform/AttributeValue.h"
#include "platform/Dialogs.h"
#include "platform/RegularFile.h"

#include <QBuffer>
#include <QImageReader>
#include <QPixmap>

namespace tw {

namespace {

QString attribute(const char *name, const QString &value, AttributeKind kind = AttributeKind::Text)
{
    return QLatin1Char(' ') + QLatin1String(name) + QLatin1Char('=') + quotedAttribute(value, kind);
}

} // namespace

QString bodyTagText(const QString &text, const QString &bgColor, const QString &link,
                    const QString &vlink, const QString &alink,
                    const std::optional<QString> &background)
{
    QString tag = QLatin1String("<BODY") + attribute("TEXT", text) + attribute("BGCOLOR", bgColor)
        + attribute("LINK", link) + attribute("VLINK", vlink) + attribute("ALINK", alink);
    if (background)
        tag += attribute("BACKGROUND", *background, AttributeKind::Address);
    return tag + QLatin1Char('>');
}

QString defaultPageColor(PageColor which)
{
    switch (which) {
    case PageColor::Link:
        return QStringLiteral("#0000FF");
    case PageColor::ALink:
        return QStringLiteral("#FF0000");
    case PageColor::VLink:
        return QStringLiteral("#800080");
    case PageColor::Text:
        return QStringLiteral("0");
    case PageColor::Bg:
        break;
    }
    return QStringLiteral("#FFFFFF");
}

QColor defaultLabelColor(PageColor which)
{
    switch (which) {
    case PageColor::Link:
        return QColor(0, 0, 255);
    case PageColor::ALink:
        return QColor(255, 0, 0);
    case PageColor::VLink:
        return QColor(128, 0, 128);
    case PageColor::Text:
        return QColor(0, 0, 0);
    case PageColor::Bg:
        break;
    }
    return QColor(255, 255, 255);
}

PagePropertiesWindow::PagePropertiesWindow(CommandState &state, Dialogs &dialogs, MarkupWindows &windows)
    : m_state(state), m_dialogs(dialogs), m_windows(windows)
{
    for (const PageColor which : kPageColors)
        m_state.value(which) = defaultPageColor(which);
    m_state.BgPictureChosen = 0;
}

PagePropertiesWindow::~PagePropertiesWindow() = default;

void PagePropertiesWindow::clickLabel(PageColor which, QWidget *parent)
{
    m_state.pending(which) = 1;
    ShowColorPalette(m_state, nullptr, m_windows, parent);
}

void PagePropertiesWindow::browse()
{
    const FileChoice choice = m_dialogs.openFile(QString::fromLatin1(kBackgroundFilter), QString());
    if (choice.cancelled())
        return;
    // Read through the regular-file check and its bound first: a pipe or a
    // device named like a picture would otherwise hang the program here.
    RegularFileRead file = readRegularFile(choice.path, kLargestPicture);
    QBuffer bytes(&file.bytes);
    QImageReader reader(&bytes);
    const QImage image = file.ok && bytes.open(QIODevice::ReadOnly) ? reader.read() : QImage();
    if (image.isNull()) {
        m_dialogs.message(QStringLiteral("%1 cannot be shown as a picture: %2")
                              .arg(choice.path, file.ok ? reader.errorString() : file.reason),
                          QStringLiteral("Page Properties"), MessageKind::Warning);
        return;
    }
    m_backgroundName = choice.title;
    m_state.BgPictureChosen = 1;
    showPreview(QPixmap::fromImage(image));
}

void PagePropertiesWindow::remove()
{
    showPreview(QPixmap());
    m_backgroundName.clear();
    m_state.BgPictureChosen = 0;
}

QString PagePropertiesWindow::bodyTag() const
{
    std::optional<QString> background;
    if (m_state.BgPictureChosen == 1)
        background = m_backgroundName;
    return bodyTagText(m_state.TextColor, m_state.BgColor, m_state.LinkColor, m_state.VLinkColor,
                       m_state.ALinkColor, background);
}

void CmdProperties_Click(CommandState &state, ActiveEditor &editor, const PagePropertiesFactory &make)
{
    // A palette pick that serves a page colour left over from a closed
    // window creates the window hidden through this; the next opening then
    // shows that window with the colour kept.
    state.createPageProperties = [&state, make] { state.pageProperties = make(state); };
    if (!state.pageProperties)
        state.pageProperties = make(state);
    auto *window = dynamic_cast<PagePropertiesWindow *>(state.pageProperties.get());
    if (!window) {
        state.pageProperties.reset();
        return;
    }
    const bool accepted = window->runModal();
    const QString tag = window->bodyTag();
    state.pageProperties.reset();
    if (accepted)
        insertAsOneStep(editor, tag);
}

} // namespace tw
