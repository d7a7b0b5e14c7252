// Every text builder on any answers: answers go in verbatim, and the table's
// length is known before it is built.
#include "generators/FormCommands.h"
#include "generators/TableCommand.h"
#include "markup/TagCommands.h"
#include "rollover/RolloverCommands.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace tw;

namespace {

void holds(const QString &text, const QString &answer, const char *builder)
{
    if (!text.contains(answer)) {
        std::fprintf(stderr, "fuzz_builders: %s lost an answer\n", builder);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList a = input.split(QChar(u'\x1F'));
    while (a.size() < 4)
        a << QString();

    for (const TagCommand *c : {&tags::bold, &tags::italic, &tags::underline, &tags::blockQuote, &tags::center,
                                &tags::left, &tags::right, &tags::breakLine, &tags::paragraph, &tags::line,
                                &tags::openProcedure, &tags::closeProcedure}) {
        const std::optional<QString> text = tagText(*c, a[0]);
        if (text && c->wrap)
            holds(*text, a[0], c->control);
    }
    holds(formBlockText(a[0], a[1]), a[1], "form");
    (void)isFormMethod(a[0]);
    holds(inputTagText(a[0], a[1], a[2]), a[2], "input");
    holds(textFieldText(a[0], a[1], a[2], a[3]), a[3], "text field");
    holds(textAreaText(a[0], a[1], a[2]), a[2], "text area");
    const int cols = a[1].size() % 40 - 2, rows = a[2].size() % 40 - 2;
    const QString table = tableText(cols, rows, a[0]);
    if (table.size() != tableTextLength(cols, rows, a[0])) {
        std::fprintf(stderr, "fuzz_builders: table length differs\n");
        std::abort();
    }
    holds(picFlipHead(a[0]) + picFlipMiddle() + picFlipTail(a[1]), a[1], "pic flip");
    holds(picFlipImageLines(a[3].size(), a[0], a[1]), a[1], "pic flip lines");
    const QString name = animatedPictureName(a[0]);
    holds(animatedPictureText(name, a[1], a[2], a[3]), a[3], "animated picture");
    return 0;
}
