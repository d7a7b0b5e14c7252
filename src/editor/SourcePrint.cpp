#include "editor/SourcePrint.h"

#include "editor/SourceEditor.h"
#include "platform/Dialogs.h"

#include <Qsci/qsciprinter.h>

#include <QPainter>

namespace tw {

namespace {

class SourcePrinter final : public QsciPrinter {
public:
    explicit SourcePrinter(const QString &pageName) : QsciPrinter(QPrinter::HighResolution), m_name(pageName) {}

    // Takes a heading line off the top of each sheet: the page's name on the
    // left, "Page n" on the right, a rule below.
    void formatPage(QPainter &painter, bool drawing, QRect &area, int page) override
    {
        QFont font(QStringLiteral("Sans Serif"));
        font.setPointSize(9);
        const QFontMetrics metrics(font, painter.device());
        const QRect heading(area.left(), area.top(), area.width(), metrics.height());
        if (drawing) {
            painter.save();
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(heading, Qt::AlignLeft | Qt::AlignVCenter, m_name);
            painter.drawText(heading, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Page %1").arg(page));
            painter.drawLine(heading.bottomLeft(), heading.bottomRight());
            painter.restore();
        }
        area.setTop(heading.bottom() + metrics.height() / 2);
    }

private:
    QString m_name;
};

} // namespace

PrintResult printSource(Dialogs &dialogs, SourceEditor &editor, const QString &pageName)
{
    SourcePrinter printer(pageName);
    printer.setDocName(pageName);
    printer.setWrapMode(QsciScintilla::WrapWord);
    if (!dialogs.choosePrinter(printer, QStringLiteral("Print")))
        return PrintResult::Cancelled;

    // Printing draws the number margin only, at the width the editor gives it.
    const int numberWidth = editor.marginWidth(0);
    const long colourMode = editor.SendScintilla(QsciScintilla::SCI_GETPRINTCOLOURMODE);
    if (numberWidth == 0)
        editor.setMarginWidth(0, QString(QString::number(editor.lines()).size() + 1, QLatin1Char('9')));
    editor.SendScintilla(QsciScintilla::SCI_SETPRINTCOLOURMODE,
                         static_cast<unsigned long>(QsciScintilla::SC_PRINT_COLOURONWHITE));
    const bool printed = printer.printRange(&editor);
    editor.SendScintilla(QsciScintilla::SCI_SETPRINTCOLOURMODE, static_cast<unsigned long>(colourMode));
    if (numberWidth == 0)
        editor.setMarginWidth(0, 0);
    if (printed)
        return PrintResult::Printed;
    dialogs.message(QStringLiteral("The page could not be printed to %1.")
                        .arg(printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName()),
                    QStringLiteral("Print"), MessageKind::Warning);
    return PrintResult::Failed;
}

} // namespace tw
