#include "editor/TextSearch.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <cctype>

namespace tw {

namespace {

// Bounds on one search call. A hostile expression such as (a+)+$ against a
// long run of a's stops with an error after this much work instead of taking
// hours; ordinary searches of a 100 MB page stay far below it.
constexpr uint32_t kMatchLimit = 50'000'000;
constexpr uint32_t kDepthLimit = 100'000;
constexpr size_t kJitStackMax = 8 * 1024 * 1024;

pcre2_code *code(void *p)
{
    return static_cast<pcre2_code *>(p);
}

QString pcreMessage(int errorCode)
{
    PCRE2_UCHAR buffer[256];
    const int n = pcre2_get_error_message(errorCode, buffer, sizeof buffer);
    return n > 0 ? QString::fromUtf8(reinterpret_cast<const char *>(buffer), n) : QString::number(errorCode);
}

bool isContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Moves back onto the first byte of the character that holds `at`.
qsizetype characterStart(const char *data, qsizetype length, qsizetype at)
{
    qsizetype p = std::min(at, length);
    for (int i = 0; i < 3 && p > 0 && p < length && isContinuation(data[p]); ++i)
        --p;
    return p;
}

QByteArray escapedLiteral(const QByteArray &text)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u == 0)
            out += "\\x00";
        else if (u < 0x80 && !std::isalnum(u))
            out += '\\';
        if (u != 0)
            out += c;
    }
    return out;
}

} // namespace

struct TextSearch::Pcre {
    pcre2_match_data *matchData = nullptr;
    pcre2_match_context *context = nullptr;
    pcre2_jit_stack *jitStack = nullptr;
    ~Pcre()
    {
        pcre2_match_data_free(matchData);
        pcre2_match_context_free(context);
        pcre2_jit_stack_free(jitStack);
    }
};

qsizetype nextCharacter(const char *data, qsizetype length, qsizetype at)
{
    if (at >= length)
        return at + 1;
    const auto lead = static_cast<unsigned char>(data[at]);
    int extra = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
        extra = 1;
    else if (lead >= 0xE0 && lead <= 0xEF)
        extra = 2;
    else if (lead >= 0xF0 && lead <= 0xF4)
        extra = 3;
    qsizetype p = at + 1;
    for (int i = 0; i < extra; ++i) {
        if (p >= length || !isContinuation(data[p]))
            return at + 1; // a stray or cut-off sequence counts byte by byte
        ++p;
    }
    return p;
}

TextSearch::TextSearch(const QByteArray &pattern, const FindOptions &options)
    : m_regex(options.regularExpression)
{
    if (pattern.isEmpty()) {
        m_error = QStringLiteral("Type the text to find.");
        return;
    }
    uint32_t flags = PCRE2_UTF | PCRE2_UCP | PCRE2_MATCH_INVALID_UTF;
    if (!options.matchCase)
        flags |= PCRE2_CASELESS;
    if (options.regularExpression)
        flags |= PCRE2_MULTILINE; // ^ and $ at every line
    pcre2_compile_context *compile = pcre2_compile_context_create(nullptr);
    // Pages mix line ends; $ must never fall between the CR and LF of a CR LF.
    pcre2_set_newline(compile, PCRE2_NEWLINE_ANYCRLF);
    if (options.wholeWord)
        pcre2_set_compile_extra_options(compile, PCRE2_EXTRA_MATCH_WORD);
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    // Plain text becomes an expression with every ASCII sign escaped (a
    // backslash before a sign always means the sign itself), so that it gets
    // the same Unicode case folding and word boundaries as an expression.
    const QByteArray source = options.regularExpression ? pattern : escapedLiteral(pattern);
    pcre2_code *compiled = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(source.constData()),
                                         static_cast<PCRE2_SIZE>(source.size()), flags, &errorCode,
                                         &errorOffset, compile);
    pcre2_compile_context_free(compile);
    if (!compiled) {
        const qsizetype at = QString::fromUtf8(pattern.left(static_cast<qsizetype>(errorOffset))).size();
        m_error = QStringLiteral("The regular expression is not valid at character %1: %2.")
                      .arg(at + 1)
                      .arg(pcreMessage(errorCode));
        return;
    }
    m_code = compiled;
    pcre2_jit_compile(compiled, PCRE2_JIT_COMPLETE); // falls back to the interpreter on failure
    uint32_t groups = 0;
    pcre2_pattern_info(compiled, PCRE2_INFO_CAPTURECOUNT, &groups);
    m_groups = static_cast<int>(groups);

    m_pcre = std::make_unique<Pcre>();
    m_pcre->matchData = pcre2_match_data_create_from_pattern(compiled, nullptr);
    m_pcre->context = pcre2_match_context_create(nullptr);
    pcre2_set_match_limit(m_pcre->context, kMatchLimit);
    pcre2_set_depth_limit(m_pcre->context, kDepthLimit);
    m_pcre->jitStack = pcre2_jit_stack_create(32 * 1024, kJitStackMax, nullptr);
    if (m_pcre->jitStack)
        pcre2_jit_stack_assign(m_pcre->context, nullptr, m_pcre->jitStack);
}

TextSearch::~TextSearch()
{
    m_pcre.reset();
    pcre2_code_free(code(m_code));
}

int TextSearch::matchAt(const char *data, qsizetype length, qsizetype offset, unsigned how, TextMatch &out)
{
    uint32_t options = 0;
    if (how == kNonEmptyHere)
        options = PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED;
    else if (how == kNotEmptyAtOffset)
        options = PCRE2_NOTEMPTY_ATSTART;
    else if (how == kAnchored)
        options = PCRE2_ANCHORED;
    // An empty document has no data pointer; PCRE2 wants one all the same.
    static const char empty = 0;
  again:
    const int r = pcre2_match(code(m_code), reinterpret_cast<PCRE2_SPTR>(length ? data : &empty),
                              static_cast<PCRE2_SIZE>(length), static_cast<PCRE2_SIZE>(offset), options,
                              m_pcre->matchData, m_pcre->context);
    if (r == PCRE2_ERROR_NOMATCH)
        return 0;
    if (r < 0) {
        switch (r) {
        case PCRE2_ERROR_MATCHLIMIT:
        case PCRE2_ERROR_DEPTHLIMIT:
        case PCRE2_ERROR_HEAPLIMIT:
        case PCRE2_ERROR_JIT_STACKLIMIT:
        case PCRE2_ERROR_NOMEMORY:
            m_error = QStringLiteral("The regular expression backtracks too much to search this page; "
                                     "make it more specific.");
            break;
        default:
            m_error = QStringLiteral("The search failed: %1.").arg(pcreMessage(r));
        }
        return -1;
    }
    const PCRE2_SIZE *ovector = pcre2_get_ovector_pointer(m_pcre->matchData);
    out.start = static_cast<qsizetype>(ovector[0]);
    // \K in a lookahead can put the end before the start; such a match is
    // taken as empty at its start.
    out.length = ovector[1] > ovector[0] ? static_cast<qsizetype>(ovector[1] - ovector[0]) : 0;
    // $ matches before any line end, and so also between the CR and LF of a
    // CR LF; an empty match there is no line end of the page and would split it.
    if (out.length == 0 && out.start > 0 && out.start < length && data[out.start - 1] == '\r'
        && data[out.start] == '\n') {
        if (options & PCRE2_ANCHORED)
            return 0;
        offset = out.start;
        options |= PCRE2_NOTEMPTY_ATSTART;
        goto again;
    }
    return 1;
}

TextMatch TextSearch::findNext(const char *data, qsizetype length, qsizetype from, bool wrap)
{
    if (!isValid())
        return {};
    from = std::clamp<qsizetype>(from, 0, length);
    TextMatch m;
    int r = matchAt(data, length, from, kNotEmptyAtOffset, m);
    if (r < 0)
        return {};
    if (r > 0 || !wrap || from == 0)
        return r > 0 ? m : TextMatch{};
    r = matchAt(data, length, 0, 0, m);
    if (r <= 0 || (m.length == 0 && m.start == from))
        return {};
    return m;
}

TextMatch TextSearch::findPrevious(const char *data, qsizetype length, qsizetype before, bool wrap)
{
    if (!isValid())
        return {};
    bool failed = false;
    // The last position below `limit` where a match starts. The search looks
    // at a growing window before the limit, so a match near the caret is
    // found without scanning the whole page from its beginning.
    auto lastBefore = [&](qsizetype limit) {
        TextMatch best;
        for (qsizetype window = 4096;; window *= 4) {
            const qsizetype low = characterStart(data, length, std::max<qsizetype>(0, limit - window));
            qsizetype pos = low;
            while (pos <= length) {
                TextMatch m;
                const int r = matchAt(data, length, pos, 0, m);
                if (r < 0) {
                    failed = true;
                    return TextMatch{};
                }
                if (r == 0 || m.start >= limit)
                    break;
                best = m;
                pos = nextCharacter(data, length, m.start);
            }
            if (best.found() || low == 0)
                return best;
        }
    };
    before = std::clamp<qsizetype>(before, 0, length + 1);
    TextMatch m = before > 0 ? lastBefore(before) : TextMatch{};
    if (m.found() || failed || !wrap)
        return m;
    m = lastBefore(length + 1);
    return m.start >= before ? m : TextMatch{};
}

bool TextSearch::matchesExactly(const char *data, qsizetype length, qsizetype start, qsizetype end)
{
    if (!isValid() || start < 0 || end > length || end < start)
        return false;
    TextMatch m;
    return matchAt(data, length, start, kAnchored, m) > 0 && m.end() == end;
}

namespace {

// Walks a regular expression's replacement text: literal runs go to `text`,
// group references to `group`.
template <typename Text, typename Group>
void parseReplacement(const QByteArray &r, Text text, Group group)
{
    const qsizetype n = r.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = r.at(i);
        if (c == '$' && i + 1 < n) {
            const char d = r.at(i + 1);
            if (d == '$') {
                text('$');
                ++i;
                continue;
            }
            if (d >= '0' && d <= '9') {
                group(d - '0');
                ++i;
                continue;
            }
            if (d == '{') {
                const qsizetype close = r.indexOf('}', i + 2);
                bool ok = false;
                const int number = close > i + 2 ? r.mid(i + 2, close - i - 2).toInt(&ok) : 0;
                if (ok && number >= 0) {
                    group(number);
                    i = close;
                    continue;
                }
            }
        } else if (c == '\\' && i + 1 < n) {
            const char d = r.at(i + 1);
            const char escaped = d == 'n' ? '\n' : d == 'r' ? '\r' : d == 't' ? '\t' : d == '\\' ? '\\' : 0;
            if (escaped) {
                text(escaped);
                ++i;
                continue;
            }
        }
        text(c);
    }
}

} // namespace

bool TextSearch::checkReplacement(const QByteArray &replacement)
{
    if (!m_regex || !isValid())
        return isValid();
    int highest = 0;
    parseReplacement(replacement, [](char) {}, [&](int g) { highest = std::max(highest, g); });
    if (highest > m_groups) {
        m_error = QStringLiteral("The replacement names group %1, but the regular expression has %2.")
                      .arg(highest)
                      .arg(m_groups == 1 ? QStringLiteral("only one group")
                                         : QStringLiteral("%1 groups").arg(m_groups));
        return false;
    }
    return true;
}

QByteArray TextSearch::expand(const QByteArray &replacement, const char *data) const
{
    if (!m_regex)
        return replacement;
    QByteArray out;
    out.reserve(replacement.size());
    const PCRE2_SIZE *ovector = pcre2_get_ovector_pointer(m_pcre->matchData);
    const uint32_t pairs = pcre2_get_ovector_count(m_pcre->matchData);
    parseReplacement(
        replacement, [&](char c) { out.append(c); },
        [&](int g) {
            if (g < 0 || static_cast<uint32_t>(g) >= pairs)
                return;
            const PCRE2_SIZE s = ovector[2 * g];
            const PCRE2_SIZE e = ovector[2 * g + 1];
            if (s != PCRE2_UNSET && e > s)
                out.append(data + s, static_cast<qsizetype>(e - s));
        });
    return out;
}

ReplaceAllResult replaceAllMatches(TextSearch &search, const char *data, qsizetype length,
                                   const QByteArray &replacement)
{
    ReplaceAllResult result;
    if (!search.checkReplacement(replacement)) {
        result.error = search.error();
        return result;
    }
    qsizetype copied = -1; // end of the last match, once there is one
    const bool done = search.forEachMatch(data, length, [&](const TextMatch &m) {
        if (copied < 0) {
            result.start = m.start;
            copied = m.start;
        }
        result.text.append(data + copied, m.start - copied);
        result.text.append(search.expand(replacement, data));
        copied = m.end();
        ++result.count;
    });
    if (!done) {
        result.error = search.error();
        result.text.clear();
        result.count = 0;
        return result;
    }
    result.end = copied < 0 ? 0 : copied;
    result.ok = true;
    return result;
}

} // namespace tw
