// Every text builder on any answers: text between tags goes in verbatim, an
// answer in an attribute value goes in written so that it cannot end the
// value early, and the table's length is known before it is built.
#include "generators/FormCommands.h"
#include "generators/TableCommand.h"
#include "markup/TagCommands.h"
#include "rollover/RolloverCommands.h"
#include "platform/AttributeValue.h"

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

void fail(const char *what, const char *builder)
{
    std::fprintf(stderr, "fuzz_builders: %s %s\n", builder, what);
    std::abort();
}

// A quoted value holds no quote but its two ends, and an address no line break.
void quotedWhole(const QString &value, bool address, const char *builder)
{
    if (value.size() < 2 || !value.startsWith(u'"') || !value.endsWith(u'"')
        || value.mid(1, value.size() - 2).contains(u'"'))
        fail("wrote a quote inside a value", builder);
    if (address && (value.contains(u'\n') || value.contains(u'\r')))
        fail("wrote a line break inside an address", builder);
}

// The answer as an attribute value: the text holds it, and it cannot end early.
void holdsQuoted(const QString &text, const QString &answer, AttributeKind kind, const char *builder)
{
    const QString value = quotedAttribute(answer, kind);
    quotedWhole(value, kind == AttributeKind::Address, builder);
    holds(text, value, builder);
}

// A bare value holds nothing that ends it or the tag; else it is quoted.
void holdsBare(const QString &text, const QString &answer, const char *builder)
{
    const QString value = bareAttribute(answer);
    if (value.startsWith(u'"')) {
        quotedWhole(value, false, builder);
    } else {
        if (value != answer)
            fail("changed a bare value", builder);
        // The blanks HTML knows; those around the value end nothing early.
        const QString blanks = QStringLiteral(" \t\n\r\f");
        qsizetype first = 0, last = value.size();
        while (first < last && blanks.contains(value.at(first)))
            ++first;
        while (last > first && blanks.contains(value.at(last - 1)))
            --last;
        for (const QChar c : value.mid(first, last - first))
            if (blanks.contains(c) || QStringLiteral("\"'=<>`").contains(c))
                fail("left a bare value that ends early", builder);
    }
    holds(text, value, builder);
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
    holdsQuoted(formBlockText(a[0], a[1]), a[0], AttributeKind::Address, "form");
    holdsQuoted(formBlockText(a[0], a[1]), a[1], AttributeKind::Text, "form");
    (void)isFormMethod(a[0]);
    holdsQuoted(inputTagText(a[0], a[1], a[2]), a[2], AttributeKind::Text, "input");
    holdsBare(textFieldText(a[0], a[1], a[2], a[3]), a[3], "text field");
    holdsBare(textAreaText(a[0], a[1], a[2]), a[2], "text area");
    const int cols = a[1].size() % 40 - 2, rows = a[2].size() % 40 - 2;
    const QString table = tableText(cols, rows, a[0]);
    if (table.size() != tableTextLength(cols, rows, a[0])) {
        std::fprintf(stderr, "fuzz_builders: table length differs\n");
        std::abort();
    }
    holds(picFlipHead(a[0]) + picFlipMiddle() + picFlipTail(a[1]), a[1], "pic flip");
    // Two lines whatever the picture's name: the name cannot split a line or
    // end the script's string (every quote after the first is escaped).
    const QString lines = picFlipImageLines(a[3].size(), a[0], a[1]);
    if (lines.count(u'\n') != 2 + 2 * a[0].count(u'\n'))
        fail("split a line", "pic flip lines");
    const QString image = QLatin1String("    Pic") + QString::number(a[3].size()) + a[0];
    const QString source = lines.mid(2 * image.size() + 20); // after " = new Image;\n" and ".src ="
    if (!source.startsWith(u'"') || !source.endsWith(QLatin1String("\";\n")))
        fail("wrote no whole string", "pic flip lines");
    for (qsizetype i = 1; i < source.size() - 3; ++i) {
        if (source.at(i) == u'"') {
            qsizetype slashes = 0;
            while (source.at(i - 1 - slashes) == u'\\')
                ++slashes;
            if (slashes % 2 == 0)
                fail("ended the script's string early", "pic flip lines");
        }
    }
    const QString name = animatedPictureName(a[0]);
    holdsQuoted(animatedPictureText(name, a[1], a[2], a[3]), a[3], AttributeKind::Text, "animated picture");
    holdsQuoted(animatedPictureText(name, a[1], a[2], a[3]), a[1], AttributeKind::Address, "animated picture");
    return 0;
}
