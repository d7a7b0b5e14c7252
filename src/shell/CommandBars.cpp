#include "shell/CommandBars.h"

#include "platform/Twips.h"
#include "shell/CommandActions.h"

#include <QAction>
#include <QComboBox>
#include <QFont>
#include <QPushButton>
#include <QScrollBar>

namespace tw {

namespace {

QString plainCaption(QString caption)
{
    return caption.remove(QLatin1Char('&'));
}

// Bar buttons: wide ones carry a word, square ones a letter or an angle bracket.
const double kWide = 1056;
const double kSquare = 372;
const double kLetterFont = 10.5;
const double kWordFont = 8.25;
const double kBracketFont = 13.5;

} // namespace

CommandBar::CommandBar(const QString &objectName, const QString &title, QWidget *parent)
    : QScrollArea(parent), m_panel(new QWidget)
{
    setObjectName(objectName);
    setAccessibleName(title);
    setWindowTitle(title);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(false);
    m_panel->setObjectName(objectName + QStringLiteral("Panel"));
}

QPushButton *CommandBar::addButton(const char *name, QAction *action, double top, double left, double width,
                                   double height, double pointSize)
{
    auto *button = new QPushButton(m_panel);
    button->setObjectName(QLatin1String(name));
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPointSizeF(pointSize);
    button->setFont(font);
    button->setGeometry(pxRect(left, top, width, height));
    // The button mirrors its action, so a caption or tooltip the command
    // changes (the Advanced toggle) shows at once.
    const auto mirror = [button, action] {
        button->setText(action->text());
        button->setToolTip(action->toolTip());
        button->setAccessibleName(plainCaption(action->text()));
        button->setAccessibleDescription(action->toolTip());
        button->setEnabled(action->isEnabled());
    };
    mirror();
    connect(action, &QAction::changed, button, mirror);
    connect(button, &QPushButton::clicked, action, [action] { action->trigger(); });
    m_buttons << button;
    return button;
}

void CommandBar::finish(double width, double height)
{
    m_panel->setFixedSize(pxSize(width, height));
    setWidget(m_panel);
    setFixedWidth(px(width) + verticalScrollBar()->sizeHint().width());
    setMinimumHeight(0);
}

EditBar::EditBar(const CommandActions &a, QWidget *parent) : CommandBar(QStringLiteral("Editbar"), QStringLiteral("HTML Edit"), parent)
{
    addButton("CmdTemplate", a.helpTemplate, 120, 120, kWide, kSquare, kWordFont);
    addButton("CmdLine", a.line, 504, 120, kWide, kSquare, kWordFont);
    addButton("CmdImage", a.image, 888, 120, kWide, kSquare, kWordFont);
    addButton("CmdProperties", a.fileProperties, 1272, 120, kWide, kSquare, kWordFont);
    addButton("CmdFontColor", a.fontColor, 1656, 120, kWide, kSquare, kWordFont);
    addButton("CmdLinks", a.links, 2040, 120, kWide, kSquare, kWordFont);
    addButton("CmdOpenProcedure", a.openProcedure, 2556, 240, kSquare, kSquare, kBracketFont);
    addButton("CmdCloseProcedure", a.closeProcedure, 2556, 720, kSquare, kSquare, kBracketFont);
    addButton("CmdBold", a.bold, 3036, 72, kSquare, kSquare, kLetterFont);
    addButton("CmdItalic", a.italic, 3036, 444, kSquare, kSquare, kLetterFont);
    QPushButton *underline = addButton("CmdUndeline", a.underline, 3036, 816, kSquare, kSquare, kLetterFont);
    QFont font = underline->font();
    font.setUnderline(true);
    underline->setFont(font);

    sizeBox = new QComboBox(panel());
    sizeBox->setObjectName(QStringLiteral("Size"));
    sizeBox->setEditable(true);
    sizeBox->setEditText(QStringLiteral("1"));
    sizeBox->setToolTip(QStringLiteral("Fontsize"));
    sizeBox->setAccessibleName(QStringLiteral("Fontsize"));
    sizeBox->setGeometry(px(120), px(3552), px(612), sizeBox->sizeHint().height());

    addButton("CmdSize", a.applySize, 3516, 780, kSquare, kSquare, kLetterFont);
    addButton("CmdLeft", a.alignLeft, 3996, 72, kSquare, kSquare, kLetterFont);
    addButton("CmdCenter", a.alignCenter, 3996, 444, kSquare, kSquare, kLetterFont);
    addButton("CmdRight", a.alignRight, 3996, 816, kSquare, kSquare, kLetterFont);
    addButton("CmdAdvanced", a.advanced, 5160, 120, kWide, kSquare, kWordFont);
    finish(1296, 5652);
}

AdvancedBar::AdvancedBar(const CommandActions &a, QWidget *parent)
    : CommandBar(QStringLiteral("AEditBar"), QStringLiteral("Advanced"), parent)
{
    const double w = 1044;
    addButton("CmdParagraphe", a.paragraph, 120, 120, w, kSquare, kWordFont);
    addButton("BreakLine", a.breakLine, 504, 120, w, kSquare, kWordFont);
    addButton("CmdBlockQuote", a.blockQuote, 888, 120, w, 495, kWordFont);
    addButton("CmdForm", a.form, 1440, 120, w, kSquare, kWordFont);
    addButton("CmdCheckBox", a.checkBox, 1992, 120, w, kSquare, kWordFont);
    addButton("CmdRadio", a.radio, 2376, 120, w, kSquare, kWordFont);
    addButton("CmdText", a.textField, 2760, 120, w, kSquare, kWordFont);
    addButton("TextArea", a.textArea, 3144, 120, w, kSquare, kWordFont);
    addButton("CmdSubmit", a.submit, 3528, 120, w, kSquare, kWordFont);
    addButton("CmdReset", a.reset, 3912, 120, w, kSquare, kWordFont);
    addButton("CmdTable", a.table, 4296, 120, w, kSquare, kWordFont);
    addButton("CmdPicFlip", a.picFlip, 4776, 120, w, kSquare, kWordFont);
    addButton("CmdInsertPic", a.insertPic, 5160, 120, w, kSquare, kWordFont);
    finish(1284, 5652);
}

} // namespace tw
