#include "shell/CommandBars.h"

#include "platform/Twips.h"

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

QPushButton *CommandBar::addButton(const char *name, const char *caption, const char *tooltip,
                                   double top, double left, double width, double height,
                                   double pointSize)
{
    auto *button = new QPushButton(QString::fromLatin1(caption), m_panel);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(QString::fromLatin1(tooltip));
    button->setAccessibleName(plainCaption(QString::fromLatin1(caption)));
    button->setAccessibleDescription(QString::fromLatin1(tooltip));
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPointSizeF(pointSize);
    button->setFont(font);
    button->setGeometry(pxRect(left, top, width, height));
    m_buttons.insert(QLatin1String(name), button);
    return button;
}

void CommandBar::finish(double width, double height)
{
    m_panel->setFixedSize(pxSize(width, height));
    setWidget(m_panel);
    setFixedWidth(px(width) + verticalScrollBar()->sizeHint().width());
    setMinimumHeight(0);
}

EditBar::EditBar(QWidget *parent) : CommandBar(QStringLiteral("Editbar"), QStringLiteral("HTML Edit"), parent)
{
    addButton("CmdTemplate", "&Template", "Create Document from template", 120, 120, kWide, kSquare, kWordFont);
    addButton("CmdLine", "&Line", "Line", 504, 120, kWide, kSquare, kWordFont);
    addButton("CmdImage", "I&mage", "Image", 888, 120, kWide, kSquare, kWordFont);
    addButton("CmdProperties", "Propert&ies", "Page Properties", 1272, 120, kWide, kSquare, kWordFont);
    addButton("CmdFontColor", "&Font Color", "Custom color for text", 1656, 120, kWide, kSquare, kWordFont);
    addButton("CmdLinks", "L&inks", "Add links", 2040, 120, kWide, kSquare, kWordFont);
    addButton("CmdOpenProcedure", "<", "Open procedure", 2556, 240, kSquare, kSquare, kBracketFont);
    addButton("CmdCloseProcedure", ">", "Close procedure", 2556, 720, kSquare, kSquare, kBracketFont);
    addButton("CmdBold", "B", "Bold", 3036, 72, kSquare, kSquare, kLetterFont);
    addButton("CmdItalic", "I", "Italics", 3036, 444, kSquare, kSquare, kLetterFont);
    QPushButton *underline = addButton("CmdUndeline", "U", "Undeline", 3036, 816, kSquare, kSquare, kLetterFont);
    QFont font = underline->font();
    font.setUnderline(true);
    underline->setFont(font);

    Size = new QComboBox(panel());
    Size->setObjectName(QStringLiteral("Size"));
    Size->setEditable(true);
    Size->setEditText(QStringLiteral("1"));
    Size->setToolTip(QStringLiteral("Fontsize"));
    Size->setAccessibleName(QStringLiteral("Fontsize"));
    Size->setGeometry(px(120), px(3552), px(612), Size->sizeHint().height());

    addButton("CmdSize", "A", "Apply fontsize", 3516, 780, kSquare, kSquare, kLetterFont);
    addButton("CmdLeft", "L", "Align to left", 3996, 72, kSquare, kSquare, kLetterFont);
    addButton("CmdCenter", "C", "Align center", 3996, 444, kSquare, kSquare, kLetterFont);
    addButton("CmdRight", "R", "Align to right", 3996, 816, kSquare, kSquare, kLetterFont);
    addButton("CmdAdvanced", "&Advanced", "Advanced toolbar", 5160, 120, kWide, kSquare, kWordFont);
    finish(1296, 5652);
}

AdvancedBar::AdvancedBar(QWidget *parent)
    : CommandBar(QStringLiteral("AEditBar"), QStringLiteral("Advanced"), parent)
{
    const double w = 1044;
    addButton("CmdParagraphe", "&Paragraph", "Paragraph", 120, 120, w, kSquare, kWordFont);
    addButton("BreakLine", "Break &Line", "Break Line", 504, 120, w, kSquare, kWordFont);
    addButton("CmdBlockQuote", "Block Quote", "Block Quote", 888, 120, w, 495, kWordFont);
    addButton("CmdForm", "&Form", "New Form", 1440, 120, w, kSquare, kWordFont);
    addButton("CmdCheckBox", "Chec&k Box", "Check Box", 1992, 120, w, kSquare, kWordFont);
    addButton("CmdRadio", "&Radio", "Radio", 2376, 120, w, kSquare, kWordFont);
    addButton("CmdText", "&Text", "Text", 2760, 120, w, kSquare, kWordFont);
    addButton("TextArea", "Text &Area", "Text Area", 3144, 120, w, kSquare, kWordFont);
    addButton("CmdSubmit", "&Submit", "Submit Button", 3528, 120, w, kSquare, kWordFont);
    addButton("CmdReset", "Re&set", "Reset Button", 3912, 120, w, kSquare, kWordFont);
    addButton("CmdTable", "Ta&ble", "Reset Button", 4296, 120, w, kSquare, kWordFont);
    addButton("CmdPicFlip", "Pi&c Flip", "Picture Flip Java Script", 4776, 120, w, kSquare, kWordFont);
    addButton("CmdInsertPic", "I&nsert Pic", "Insert a Picture Flip", 5160, 120, w, kSquare, kWordFont);
    finish(1284, 5652);
}

} // namespace tw
