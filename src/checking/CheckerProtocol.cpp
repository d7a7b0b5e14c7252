#include "checking/CheckerProtocol.h"

namespace tw::checking {

namespace {

constexpr char kUtf8[] = "utf8\n";
constexpr char kWindows1252[] = "win1252\n";
constexpr char kTidyUp[] = "tidyup\n";
constexpr char kEnd[] = "end\n";

} // namespace

QByteArray checkerInput(const QByteArray &bytes, Input input)
{
    return (input == Input::Windows1252 ? QByteArray(kWindows1252) : QByteArray(kUtf8)) + bytes;
}

QByteArray tidyUpInput(const QByteArray &utf8)
{
    return kTidyUp + utf8;
}

bool readCheckerInput(const QByteArray &in, QByteArray *bytes, Input *input, bool *tidyUp)
{
    if (tidyUp)
        *tidyUp = in.startsWith(kTidyUp);
    if (tidyUp && *tidyUp) {
        *input = Input::Utf8;
        *bytes = in.mid(qstrlen(kTidyUp));
        return true;
    }
    for (const auto &[head, how] : {std::pair{kUtf8, Input::Utf8}, std::pair{kWindows1252, Input::Windows1252}}) {
        if (in.startsWith(head)) {
            *input = how;
            *bytes = in.mid(qstrlen(head));
            return true;
        }
    }
    return false;
}

QByteArray checkerAnswer(const QList<Checked> &messages)
{
    QByteArray out;
    for (const Checked &c : messages) {
        const QByteArray text = c.message.text.toUtf8();
        out += QByteArray::number(c.message.line) + ' ' + QByteArray::number(c.message.column) + ' '
            + QByteArray::number(c.place.line) + ' ' + QByteArray::number(c.place.column) + ' '
            + QByteArray::number(int(c.message.kind)) + ' ' + QByteArray::number(text.size()) + '\n' + text + '\n';
    }
    return out + kEnd;
}

bool readCheckerAnswer(const QByteArray &answer, QList<Checked> *messages, QByteArray *rest)
{
    messages->clear();
    qsizetype at = 0;
    while (true) {
        const qsizetype eol = answer.indexOf('\n', at);
        if (eol < 0)
            return false;
        const QByteArray head = answer.mid(at, eol + 1 - at);
        if (head == kEnd) {
            if (rest)
                *rest = answer.mid(eol + 1);
            return rest || eol + 1 == answer.size();
        }
        const QList<QByteArray> fields = head.trimmed().split(' ');
        if (fields.size() != 6)
            return false;
        int n[6];
        for (int i = 0; i < 6; ++i) {
            bool ok = false;
            n[i] = fields[i].toInt(&ok);
            if (!ok)
                return false;
        }
        const qsizetype textAt = eol + 1;
        if (n[4] < 0 || n[4] > 2 || n[5] < 0 || answer.size() - textAt < qsizetype(n[5]) + 1
            || answer[textAt + n[5]] != '\n')
            return false;
        Checked c;
        c.message = CheckMessage{n[0], n[1], Kind(n[4]), QString::fromUtf8(answer.constData() + textAt, n[5])};
        c.place = TidyPlace{n[2], n[3]};
        *messages << c;
        at = textAt + n[5] + 1;
    }
}

} // namespace tw::checking
