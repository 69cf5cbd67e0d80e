#include "JetSql.h"

#include <QDate>
#include <QHash>
#include <QTime>

#include <optional>
#include <span>
#include <vector>

using namespace Qt::StringLiterals;

namespace JetSql {
namespace {

// Deeper nesting than this is no statement of ours; it is left to the engine rather than
// risking the stack on a recursive walk.
constexpr int kMaxDepth = 200;
// An alias expression longer than this is not inlined, so chains of aliases cannot blow up.
constexpr qsizetype kMaxInline = 64 * 1024;

enum class Tok { Space, Ident, Number, String, DqString, Date, Bracket, Op, LParen, RParen, Comma };

struct Token
{
    Tok kind;
    qsizetype pos;
    qsizetype len;
};

bool isIdentStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

bool isDateChar(QChar c)
{
    return (c >= u'0' && c <= u'9') || c == u'-' || c == u'/' || c == u':' || c == u'.' || c == u' '
        || c == u'A' || c == u'a' || c == u'P' || c == u'p' || c == u'M' || c == u'm';
}

// Splits the text into tokens; nullopt when a quote or bracket is never closed.
std::optional<std::vector<Token>> tokenize(QStringView s)
{
    std::vector<Token> out;
    const qsizetype n = s.size();
    qsizetype i = 0;
    auto push = [&out](Tok kind, qsizetype from, qsizetype to) { out.push_back({kind, from, to - from}); };
    while (i < n) {
        const QChar c = s[i];
        const qsizetype start = i;
        if (c.isSpace()) {
            while (i < n && s[i].isSpace())
                ++i;
            push(Tok::Space, start, i);
        } else if (c == u'\'' || c == u'"') {
            // Quote doubled inside means the quote itself.
            ++i;
            for (;;) {
                if (i >= n)
                    return std::nullopt;
                if (s[i] == c) {
                    if (i + 1 < n && s[i + 1] == c) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            push(c == u'\'' ? Tok::String : Tok::DqString, start, i);
        } else if (c == u'[') {
            while (i < n && s[i] != u']')
                ++i;
            if (i >= n)
                return std::nullopt;
            ++i;
            push(Tok::Bracket, start, i);
        } else if (c == u'#') {
            qsizetype j = i + 1;
            while (j < n && s[j] != u'#' && isDateChar(s[j]))
                ++j;
            if (j < n && s[j] == u'#' && j > i + 1) {
                i = j + 1;
                push(Tok::Date, start, i);
            } else {
                ++i;
                push(Tok::Op, start, i);
            }
        } else if (isIdentStart(c)) {
            while (i < n && isIdentChar(s[i]))
                ++i;
            if (i < n && s[i] == u'$') // Left$(), Mid$() ...
                ++i;
            push(Tok::Ident, start, i);
        } else if (c.isDigit()
                   || (c == u'.' && i + 1 < n && s[i + 1].isDigit()
                       && (out.empty()
                           || (out.back().kind != Tok::Ident && out.back().kind != Tok::Bracket
                               && out.back().kind != Tok::RParen)))) {
            while (i < n && s[i].isDigit())
                ++i;
            if (i < n && s[i] == u'.') {
                ++i;
                while (i < n && s[i].isDigit())
                    ++i;
            }
            if (i < n && (s[i] == u'e' || s[i] == u'E')) {
                qsizetype j = i + 1;
                if (j < n && (s[j] == u'+' || s[j] == u'-'))
                    ++j;
                if (j < n && s[j].isDigit()) {
                    i = j;
                    while (i < n && s[i].isDigit())
                        ++i;
                }
            }
            push(Tok::Number, start, i);
        } else if (c == u'(') {
            push(Tok::LParen, start, ++i);
        } else if (c == u')') {
            push(Tok::RParen, start, ++i);
        } else if (c == u',') {
            push(Tok::Comma, start, ++i);
        } else {
            ++i;
            if (i < n) {
                const QChar d = s[i];
                if ((c == u'<' && (d == u'=' || d == u'>')) || (c == u'>' && d == u'=')
                    || (c == u'!' && d == u'=') || (c == u'|' && d == u'|'))
                    ++i;
            }
            push(Tok::Op, start, i);
        }
    }
    return out;
}

// A token, or a parenthesised group with its contents.
struct Node
{
    int tok = -1;   // the token, or the '(' of a group
    int close = -1; // the ')' of a group
    bool group = false;
    std::vector<Node> kids;
    // Memos of "is text" for the group as a bare parenthesis and as the argument list of a call.
    mutable signed char textGroup = -1;
    mutable signed char textCall = -1;
};

using Span = std::span<const Node>;

bool buildTree(const std::vector<Token> &toks, std::vector<Node> &top)
{
    std::vector<std::vector<Node> *> stack{&top};
    std::vector<Node *> open;
    for (int i = 0; i < int(toks.size()); ++i) {
        const Tok k = toks[size_t(i)].kind;
        if (k == Tok::LParen) {
            if (int(stack.size()) > kMaxDepth)
                return false;
            std::vector<Node> &cur = *stack.back();
            cur.push_back(Node{});
            Node &g = cur.back();
            g.tok = i;
            g.group = true;
            open.push_back(&g);
            stack.push_back(&g.kids);
        } else if (k == Tok::RParen) {
            if (open.empty())
                return false;
            open.back()->close = i;
            open.pop_back();
            stack.pop_back();
        } else {
            Node leaf;
            leaf.tok = i;
            stack.back()->push_back(std::move(leaf));
        }
    }
    return open.empty();
}

// Words that end an operand: clause, join, logical and comparison words.
const QStringList &boundaryKeywords()
{
    static const QStringList words = {
        u"select"_s, u"from"_s,   u"where"_s,   u"and"_s,     u"or"_s,       u"not"_s,     u"on"_s,
        u"as"_s,     u"group"_s,  u"order"_s,   u"by"_s,      u"having"_s,   u"union"_s,   u"all"_s,
        u"distinct"_s, u"distinctrow"_s, u"top"_s, u"percent"_s, u"when"_s,  u"then"_s,    u"else"_s,
        u"end"_s,    u"case"_s,   u"join"_s,    u"left"_s,    u"right"_s,    u"inner"_s,   u"outer"_s,
        u"full"_s,   u"cross"_s,  u"between"_s, u"in"_s,      u"is"_s,       u"like"_s,    u"asc"_s,
        u"desc"_s,   u"exists"_s, u"into"_s,    u"values"_s,  u"insert"_s,   u"update"_s,  u"delete"_s,
        u"set"_s,    u"limit"_s,  u"offset"_s,  u"escape"_s,  u"with"_s,     u"any"_s,     u"some"_s,
        u"natural"_s, u"using"_s, u"except"_s,  u"intersect"_s, u"collate"_s, u"glob"_s,
    };
    return words;
}

// Functions whose result is text: a + next to one of them joins texts.
const QStringList &textFunctions()
{
    static const QStringList names = {
        u"ltrim"_s, u"rtrim"_s, u"trim"_s,    u"str"_s,   u"cstr"_s,  u"left"_s,  u"right"_s,
        u"mid"_s,   u"ucase"_s, u"lcase"_s,   u"format"_s, u"chr"_s,  u"chrw"_s,  u"string"_s,
        u"space"_s, u"replace"_s, u"strconv"_s, u"lower"_s, u"upper"_s, u"substr"_s,
    };
    return names;
}

QString asciiLower(QStringView s)
{
    QString r = s.toString();
    for (QChar &c : r) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return r;
}

QString sqlQuote(QString text)
{
    text.replace(u'\'', u"''"_s);
    return u'\'' + text + u'\'';
}

QString identQuote(QString name)
{
    name.replace(u'"', u"\"\""_s);
    return u'"' + name + u'"';
}

// Is the whole (translated) text one parenthesis, as in "(CASE ... END)"? Quotes are skipped.
bool isParenthesised(QStringView s)
{
    if (s.size() < 2 || s.front() != u'(' || s.back() != u')')
        return false;
    int depth = 0;
    QChar quote;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')' && --depth == 0) {
            return i == s.size() - 1;
        }
    }
    return false;
}

// The text between the quotes of a '...' or "..." literal, with doubled quotes undone.
QString unquote(QStringView lit)
{
    const QChar q = lit.front();
    QString r = lit.mid(1, lit.size() - 2).toString();
    r.replace(QString(2, q), QString(q));
    return r;
}

struct JetDate
{
    QDate date;
    QTime time;
};

bool parseUInt(QStringView s, int maxDigits, int &out)
{
    if (s.isEmpty() || s.size() > maxDigits)
        return false;
    int v = 0;
    for (QChar c : s) {
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c.unicode() - u'0');
    }
    out = v;
    return true;
}

// The contents of #...#: yyyy-M-d, yyyy/M/d or M/d/yyyy, optionally with H:mm[:ss] [AM|PM].
std::optional<JetDate> parseJetDate(QStringView inner)
{
    inner = inner.trimmed();
    qsizetype sp = inner.indexOf(u' ');
    QStringView datePart = sp < 0 ? inner : inner.left(sp);
    QStringView timePart = sp < 0 ? QStringView() : inner.mid(sp + 1).trimmed();

    const QChar sep = datePart.contains(u'-') ? u'-' : u'/';
    const auto fields = datePart.split(sep);
    if (fields.size() != 3)
        return std::nullopt;
    int a = 0, b = 0, c = 0;
    int y = 0, m = 0, d = 0;
    if (fields[0].size() == 4) {
        if (!parseUInt(fields[0], 4, a) || !parseUInt(fields[1], 2, b) || !parseUInt(fields[2], 2, c))
            return std::nullopt;
        y = a, m = b, d = c;
    } else if (fields[2].size() == 4) {
        if (!parseUInt(fields[0], 2, a) || !parseUInt(fields[1], 2, b) || !parseUInt(fields[2], 4, c))
            return std::nullopt;
        m = a, d = b, y = c;
    } else {
        return std::nullopt;
    }
    JetDate r{QDate(y, m, d), QTime(0, 0)};
    if (y < 100 || !r.date.isValid())
        return std::nullopt;

    if (!timePart.isEmpty()) {
        int pm = -1; // -1: 24-hour clock, 0: AM, 1: PM
        QStringView t = timePart;
        if (t.size() >= 2) {
            const QStringView suffix = t.right(2);
            if (suffix.compare(u"AM", Qt::CaseInsensitive) == 0)
                pm = 0;
            else if (suffix.compare(u"PM", Qt::CaseInsensitive) == 0)
                pm = 1;
            if (pm >= 0)
                t = t.chopped(2).trimmed();
        }
        const auto parts = t.split(u':');
        if (parts.size() < 2 || parts.size() > 3)
            return std::nullopt;
        int h = 0, mi = 0, s = 0;
        if (!parseUInt(parts[0], 2, h) || !parseUInt(parts[1], 2, mi)
            || (parts.size() == 3 && !parseUInt(parts[2], 2, s)))
            return std::nullopt;
        if (pm >= 0) {
            if (h < 1 || h > 12)
                return std::nullopt;
            h = h % 12 + (pm == 1 ? 12 : 0);
        }
        r.time = QTime(h, mi, s);
        if (!r.time.isValid())
            return std::nullopt;
    }
    return r;
}

using AliasMap = QHash<QString, QString>;

class Translator
{
public:
    Translator(QStringView src, std::vector<Token> toks, Dialect dialect)
        : m_src(src), m_toks(std::move(toks)), m_pg(dialect == Dialect::PostgreSQL)
    {}

    QString statement(Span nodes) { return emitSpan(nodes, nullptr, false); }

private:
    QStringView m_src;
    std::vector<Token> m_toks;
    bool m_pg;

    // ---- node helpers ----

    const Token &tok(const Node &n) const { return m_toks[size_t(n.tok)]; }
    QStringView text(const Node &n) const
    {
        const Token &t = tok(n);
        return m_src.mid(t.pos, t.len);
    }
    Tok kind(const Node &n) const { return n.group ? Tok::LParen : tok(n).kind; }
    bool isSpace(const Node &n) const { return !n.group && tok(n).kind == Tok::Space; }
    bool isWord(const Node &n, QStringView w) const
    {
        return !n.group && tok(n).kind == Tok::Ident && text(n).compare(w, Qt::CaseInsensitive) == 0;
    }
    bool isOp(const Node &n, QStringView op) const
    {
        return !n.group && tok(n).kind == Tok::Op && text(n) == op;
    }
    bool isKeyword(const Node &n) const
    {
        return !n.group && tok(n).kind == Tok::Ident
            && boundaryKeywords().contains(text(n).toString(), Qt::CaseInsensitive);
    }
    QString lowerName(const Node &n) const
    {
        QStringView t = text(n);
        if (t.endsWith(u'$'))
            t.chop(1);
        return t.toString().toLower();
    }

    qsizetype nextSig(Span s, qsizetype i) const
    {
        while (i < qsizetype(s.size()) && isSpace(s[size_t(i)]))
            ++i;
        return i;
    }
    qsizetype prevSig(Span s, qsizetype i) const
    {
        while (i >= 0 && isSpace(s[size_t(i)]))
            --i;
        return i;
    }

    // Leading and trailing whitespace split off a span.
    struct Trimmed
    {
        Span lead, core, trail;
    };
    Trimmed trim(Span s) const
    {
        size_t b = 0, e = s.size();
        while (b < e && isSpace(s[b]))
            ++b;
        while (e > b && isSpace(s[e - 1]))
            --e;
        return {s.subspan(0, b), s.subspan(b, e - b), s.subspan(e)};
    }

    QString raw(Span s) const
    {
        QString r;
        for (const Node &n : s)
            r += rawNode(n);
        return r;
    }
    QString rawNode(const Node &n) const
    {
        if (!n.group)
            return text(n).toString();
        return text(n) + raw(n.kids) + m_src.mid(m_toks[size_t(n.close)].pos, 1);
    }

    std::vector<Span> splitCommas(Span s) const
    {
        std::vector<Span> parts;
        size_t from = 0;
        for (size_t i = 0; i < s.size(); ++i) {
            if (!s[i].group && tok(s[i]).kind == Tok::Comma) {
                parts.push_back(s.subspan(from, i - from));
                from = i + 1;
            }
        }
        parts.push_back(s.subspan(from));
        return parts;
    }

    bool startsWithSelect(const Node &group) const
    {
        const Span kids(group.kids);
        const qsizetype i = nextSig(kids, 0);
        return i < qsizetype(kids.size()) && isWord(kids[size_t(i)], u"select");
    }

    // Is the bare name (unqualified word or [name]) used anywhere in the span?
    bool mentions(Span s, const QString &lower) const
    {
        for (const Node &n : s) {
            if (n.group) {
                if (mentions(n.kids, lower))
                    return true;
            } else if (tok(n).kind == Tok::Ident && text(n).compare(lower, Qt::CaseInsensitive) == 0) {
                return true;
            } else if (tok(n).kind == Tok::Bracket
                       && text(n).mid(1, text(n).size() - 2).compare(lower, Qt::CaseInsensitive) == 0) {
                return true;
            }
        }
        return false;
    }

    // ---- statements and select lists ----

    // Any run of text: statements (with select lists), sub-selects, expressions.
    QString emitSpan(Span nodes, const AliasMap *aliases, bool boolCtx)
    {
        QString out;
        const qsizetype n = qsizetype(nodes.size());
        qsizetype i = 0;
        bool sawSelect = false;
        while (i < n) {
            qsizetype s = i;
            while (s < n && !isWord(nodes[size_t(s)], u"select"))
                ++s;
            if (s == n) {
                out += emitExpr(nodes.subspan(size_t(i)), sawSelect ? nullptr : aliases,
                                !sawSelect && boolCtx);
                break;
            }
            if (s > i)
                out += emitExpr(nodes.subspan(size_t(i), size_t(s - i)), sawSelect ? nullptr : aliases,
                                false);
            sawSelect = true;
            out += text(nodes[size_t(s)]);
            qsizetype j = s + 1;
            // Select modifiers pass as they are.
            for (;;) {
                const qsizetype k = nextSig(nodes, j);
                if (k >= n)
                    break;
                const Node &w = nodes[size_t(k)];
                if (isWord(w, u"distinct") || isWord(w, u"distinctrow") || isWord(w, u"all")
                    || isWord(w, u"percent")) {
                    out += raw(nodes.subspan(size_t(j), size_t(k - j + 1)));
                    j = k + 1;
                } else if (isWord(w, u"top")) {
                    qsizetype m = nextSig(nodes, k + 1);
                    if (m < n && kind(nodes[size_t(m)]) == Tok::Number)
                        ++m;
                    else
                        m = k + 1;
                    out += raw(nodes.subspan(size_t(j), size_t(m - j)));
                    j = m;
                } else {
                    break;
                }
            }
            qsizetype e = j;
            while (e < n) {
                const Node &w = nodes[size_t(e)];
                if (isWord(w, u"from") || isWord(w, u"into") || isWord(w, u"where") || isWord(w, u"group")
                    || isWord(w, u"having") || isWord(w, u"order") || isWord(w, u"union"))
                    break;
                ++e;
            }
            out += emitSelectList(nodes.subspan(size_t(j), size_t(e - j)));
            i = e;
        }
        return out;
    }

    // The items of one select list. Jet lets an item use the alias of an earlier item; the
    // engines do not, so such a reference becomes the earlier item's expression.
    QString emitSelectList(Span nodes)
    {
        AliasMap map;
        QString out;
        const std::vector<Span> items = splitCommas(nodes);
        for (size_t it = 0; it < items.size(); ++it) {
            if (it > 0)
                out += u',';
            const Span item = items[it];
            const qsizetype last = prevSig(item, qsizetype(item.size()) - 1);
            qsizetype asAt = -1;
            if (last >= 0) {
                const Node &a = item[size_t(last)];
                const Tok k = kind(a);
                if ((k == Tok::Ident && !isKeyword(a)) || k == Tok::Bracket || k == Tok::String
                    || k == Tok::DqString) {
                    const qsizetype p = prevSig(item, last - 1);
                    if (p >= 0 && isWord(item[size_t(p)], u"as") && prevSig(item, p - 1) >= 0)
                        asAt = p;
                }
            }
            if (asAt < 0) {
                out += emitExpr(item, map.isEmpty() ? nullptr : &map, false);
                continue;
            }
            const Span expr = item.subspan(0, size_t(asAt));
            const QString translated = emitExpr(expr, map.isEmpty() ? nullptr : &map, false);
            out += translated;
            out += raw(item.subspan(size_t(asAt), size_t(last - asAt)));
            const Node &aliasNode = item[size_t(last)];
            QString name;
            switch (kind(aliasNode)) {
            case Tok::String:
            case Tok::DqString:
                name = unquote(text(aliasNode));
                out += identQuote(name);
                break;
            case Tok::Bracket:
                name = text(aliasNode).mid(1, text(aliasNode).size() - 2).toString();
                out += identQuote(name);
                break;
            default:
                name = text(aliasNode).toString();
                out += name;
                break;
            }
            out += raw(item.subspan(size_t(last + 1)));
            const QString key = name.toLower();
            // A self-referencing alias is Jet's "circular reference"; leave it to the engine.
            const QString body = translated.trimmed();
            if (!key.isEmpty() && !mentions(expr, key) && body.size() <= kMaxInline)
                map.insert(key, isParenthesised(body) ? body : u'(' + body + u')');
        }
        return out;
    }

    // ---- expressions ----

    // Comparison and keyword boundaries cut an expression into operand segments; a segment is a
    // condition of its own when it stands between where/and/or/not/on/when and the next
    // boundary does not compare it with something.
    QString emitExpr(Span nodes, const AliasMap *aliases, bool boolCtx)
    {
        QString out;
        const size_t n = nodes.size();
        size_t segStart = 0;
        bool prevBool = boolCtx;
        bool betweenPending = false;
        for (size_t k = 0; k <= n; ++k) {
            if (k < n && !isBoundary(nodes, k))
                continue;
            bool isBool = prevBool;
            if (k < n && isBool) {
                const Node &b = nodes[k];
                if (kind(b) == Tok::Op || isWord(b, u"is") || isWord(b, u"like") || isWord(b, u"between")
                    || isWord(b, u"in") || isWord(b, u"not") || isWord(b, u"glob"))
                    isBool = false;
            }
            out += emitSegment(nodes.subspan(segStart, k - segStart), aliases, isBool);
            if (k == n)
                break;
            const Node &b = nodes[k];
            out += text(b);
            if (isWord(b, u"between")) {
                betweenPending = true;
                prevBool = false;
            } else if (isWord(b, u"and") && betweenPending) {
                betweenPending = false;
                prevBool = false;
            } else {
                prevBool = isWord(b, u"where") || isWord(b, u"and") || isWord(b, u"or") || isWord(b, u"not")
                    || isWord(b, u"having") || isWord(b, u"on") || isWord(b, u"when");
            }
            segStart = k + 1;
        }
        return out;
    }

    bool isBoundary(Span s, size_t i) const
    {
        const Node &n = s[i];
        if (n.group)
            return false;
        const Token &t = tok(n);
        if (t.kind == Tok::Comma)
            return true;
        if (t.kind == Tok::Op) {
            const QStringView op = text(n);
            return op == u"=" || op == u"<" || op == u">" || op == u"<=" || op == u">=" || op == u"<>"
                || op == u"!=";
        }
        if (t.kind != Tok::Ident || !isKeyword(n))
            return false;
        // Left(s, n) and Right(s, n) are functions, not joins.
        if (isWord(n, u"left") || isWord(n, u"right")) {
            const qsizetype j = nextSig(s, qsizetype(i) + 1);
            if (j < qsizetype(s.size()) && s[size_t(j)].group)
                return false;
        }
        return true;
    }

    // Jet's & joins texts with Null as empty text, below + and - in precedence.
    QString emitSegment(Span nodes, const AliasMap *aliases, bool isBool)
    {
        std::vector<Span> operands;
        size_t from = 0;
        for (size_t i = 0; i < nodes.size(); ++i) {
            if (isOp(nodes[i], u"&")) {
                operands.push_back(nodes.subspan(from, i - from));
                from = i + 1;
            }
        }
        if (operands.empty())
            return emitAdditive(nodes, aliases, isBool);
        operands.push_back(nodes.subspan(from));
        for (const Span &o : operands) {
            if (trim(o).core.empty())
                return emitAdditive(nodes, aliases, false);
        }
        const Trimmed whole = trim(nodes);
        QString out = raw(whole.lead) + u'(';
        for (size_t i = 0; i < operands.size(); ++i) {
            if (i > 0)
                out += u"||"_s;
            const QString v = emitAdditive(operands[i], aliases, false).trimmed();
            const Span core = trim(operands[i]).core;
            const Tok k = core.size() == 1 ? kind(core[0]) : Tok::Op;
            if (k == Tok::String || k == Tok::DqString || k == Tok::Number)
                out += v; // a literal is never Null
            else
                out += m_pg ? u"coalesce(CAST("_s + v + u" AS text),'')"_s : u"coalesce("_s + v + u",'')"_s;
        }
        return out + u')' + raw(whole.trail);
    }

    bool endsOperand(const Node &n) const
    {
        switch (kind(n)) {
        case Tok::Ident:
            return !isWord(n, u"mod");
        case Tok::Number:
        case Tok::String:
        case Tok::DqString:
        case Tok::Date:
        case Tok::Bracket:
        case Tok::LParen:
            return true;
        default:
            return false;
        }
    }

    // A single operand: a literal, a name (maybe qualified), a call or a parenthesis.
    bool isPrimary(Span core) const
    {
        if (core.size() == 1)
            return true;
        const qsizetype j = nextSig(core, 1);
        if (kind(core[0]) == Tok::Ident && j == qsizetype(core.size()) - 1 && core[size_t(j)].group)
            return true;
        if (core.size() == 3 && isOp(core[1], u".") && !core[0].group && !core[2].group)
            return true;
        return false;
    }

    // + and - chains: a + next to a text operand joins texts (and, like ||, passes Null on).
    QString emitAdditive(Span nodes, const AliasMap *aliases, bool isBool)
    {
        std::vector<size_t> ops; // binary + and -
        bool otherOps = false;
        qsizetype prev = -1;
        for (size_t i = 0; i < nodes.size(); ++i) {
            const Node &n = nodes[i];
            if (isSpace(n))
                continue;
            if ((isOp(n, u"+") || isOp(n, u"-")) && prev >= 0 && endsOperand(nodes[size_t(prev)]))
                ops.push_back(i);
            else if (kind(n) == Tok::Op && !isOp(n, u".") && prev >= 0)
                otherOps = true;
            else if (isWord(n, u"mod"))
                otherOps = true;
            prev = qsizetype(i);
        }
        if (ops.empty())
            return emitTerm(nodes, aliases, isBool && !otherOps);

        std::vector<Span> terms;
        size_t from = 0;
        for (size_t o : ops) {
            terms.push_back(nodes.subspan(from, o - from));
            from = o + 1;
        }
        terms.push_back(nodes.subspan(from));

        std::vector<bool> concat(ops.size(), false);
        bool anyConcat = false, allConcat = true;
        for (size_t k = 0; k < ops.size(); ++k) {
            concat[k] = isOp(nodes[ops[k]], u"+") && (isTextTerm(terms[k]) || isTextTerm(terms[k + 1]));
            anyConcat = anyConcat || concat[k];
            allConcat = allConcat && concat[k];
        }
        if (!anyConcat)
            return emitTerm(nodes, aliases, false);

        // || binds tighter than any arithmetic, so compound operands get parentheses.
        auto termText = [&](Span t) -> QString {
            const Trimmed tr = trim(t);
            QString v = emitTerm(tr.core, aliases, false);
            if (!isPrimary(tr.core))
                v = u'(' + v + u')';
            return raw(tr.lead) + v + raw(tr.trail);
        };
        auto opText = [&](size_t k) -> QString {
            return concat[k] ? u"||"_s : text(nodes[ops[k]]).toString();
        };
        if (allConcat) {
            QString out = termText(terms[0]);
            for (size_t k = 0; k < ops.size(); ++k)
                out += opText(k) + termText(terms[k + 1]);
            return out;
        }
        // Mixed text and arithmetic: keep Jet's left-to-right evaluation explicit.
        const Trimmed whole = trim(nodes);
        terms.front() = trim(terms.front()).core;
        terms.back() = terms.back().first(terms.back().size() - whole.trail.size());
        QString acc = termText(terms.front());
        for (size_t k = 0; k < ops.size(); ++k)
            acc = u'(' + acc + opText(k) + termText(terms[k + 1]) + u')';
        return raw(whole.lead) + acc + raw(whole.trail);
    }

    bool isTextTerm(Span t) const
    {
        const Span core = trim(t).core;
        if (core.empty())
            return false;
        if (core.size() == 1) {
            const Node &n = core[0];
            if (kind(n) == Tok::String || kind(n) == Tok::DqString)
                return true;
            if (n.group && !startsWithSelect(n)) {
                if (n.textGroup < 0)
                    n.textGroup = isTextExpr(n.kids) ? 1 : 0;
                return n.textGroup == 1;
            }
            return false;
        }
        const qsizetype j = nextSig(core, 1);
        if (kind(core[0]) != Tok::Ident || j != qsizetype(core.size()) - 1 || !core[size_t(j)].group)
            return false;
        const Node &call = core[size_t(j)];
        if (call.textCall < 0) {
            const QString name = lowerName(core[0]);
            bool textual = textFunctions().contains(name);
            if (!textual && name == u"iif") {
                const std::vector<Span> args = splitCommas(call.kids);
                textual = args.size() == 3 && (isTextExpr(args[1]) || isTextExpr(args[2]));
            }
            call.textCall = textual ? 1 : 0;
        }
        return call.textCall == 1;
    }

    bool isTextExpr(Span s) const
    {
        size_t from = 0;
        qsizetype prev = -1;
        for (size_t i = 0; i < s.size(); ++i) {
            const Node &n = s[i];
            if (isSpace(n))
                continue;
            if (isOp(n, u"&"))
                return true;
            if ((isOp(n, u"+") || isOp(n, u"-")) && prev >= 0 && endsOperand(s[size_t(prev)])) {
                if (isTextTerm(s.subspan(from, i - from)))
                    return true;
                from = i + 1;
            }
            prev = qsizetype(i);
        }
        return isTextTerm(s.subspan(from));
    }

    // Operands and everything else of a term, token by token.
    QString emitTerm(Span nodes, const AliasMap *aliases, bool isBool)
    {
        QString out;
        const Trimmed tr = trim(nodes);
        const qsizetype n = qsizetype(nodes.size());
        for (qsizetype i = 0; i < n; ++i) {
            const Node &node = nodes[size_t(i)];
            if (node.group) {
                const bool whole = isBool && tr.core.size() == 1;
                const Span kids(node.kids);
                out += text(node);
                out += startsWithSelect(node) ? emitSpan(kids, nullptr, false) : emitSpan(kids, aliases, whole);
                out += m_src.mid(m_toks[size_t(node.close)].pos, 1);
                continue;
            }
            const Token &t = tok(node);
            const qsizetype ps = prevSig(nodes, i - 1);
            const qsizetype ns = nextSig(nodes, i + 1);
            const bool qualified = (ps >= 0 && isOp(nodes[size_t(ps)], u"."))
                || (ns < n && isOp(nodes[size_t(ns)], u"."));
            switch (t.kind) {
            case Tok::Ident:
                if (ns < n && nodes[size_t(ns)].group) {
                    const bool whole = isBool && tr.core.size() == size_t(ns - i + 1);
                    out += emitCall(node, nodes.subspan(size_t(i + 1), size_t(ns - i - 1)), nodes[size_t(ns)],
                                    aliases, whole);
                    i = ns;
                } else if (!qualified && !m_pg && isWord(node, u"true")) {
                    out += u'1';
                } else if (!qualified && !m_pg && isWord(node, u"false")) {
                    out += u'0';
                } else if (!qualified && aliases && aliases->contains(text(node).toString().toLower())) {
                    out += aliases->value(text(node).toString().toLower());
                } else {
                    out += text(node);
                }
                break;
            case Tok::Bracket: {
                const QString name = text(node).mid(1, text(node).size() - 2).toString();
                if (!qualified && aliases && aliases->contains(name.toLower()))
                    out += aliases->value(name.toLower());
                else
                    out += identQuote(name);
                break;
            }
            case Tok::DqString:
                out += sqlQuote(unquote(text(node)));
                break;
            case Tok::Date:
                out += dateLiteral(text(node));
                break;
            default:
                out += text(node);
                break;
            }
        }
        return out;
    }

    QString dateLiteral(QStringView lit) const
    {
        const std::optional<JetDate> d = parseJetDate(lit.mid(1, lit.size() - 2));
        if (!d)
            return lit.toString();
        QString v = d->date.toString(u"yyyy-MM-dd"_s);
        const bool midnight = d->time == QTime(0, 0);
        if (!midnight)
            v += u' ' + d->time.toString(u"HH:mm:ss"_s);
        if (!m_pg)
            return u'\'' + v + u'\'';
        return (midnight ? u"DATE '"_s : u"TIMESTAMP '"_s) + v + u'\'';
    }

    QString arg(Span a, const AliasMap *aliases, bool boolCtx = false)
    {
        return emitSpan(a, aliases, boolCtx).trimmed();
    }

    // InStr's operands compare without case; a literal is lowered here instead of per row.
    QString lowered(Span a, const AliasMap *aliases)
    {
        const Span core = trim(a).core;
        if (core.size() == 1 && (kind(core[0]) == Tok::String || kind(core[0]) == Tok::DqString)) {
            const QString v = unquote(text(core[0]));
            return sqlQuote(m_pg ? v.toLower() : asciiLower(v));
        }
        return u"lower("_s + arg(a, aliases) + u')';
    }

    QString emitCall(const Node &nameNode, Span gap, const Node &group, const AliasMap *aliases, bool isBool)
    {
        const std::vector<Span> args = splitCommas(group.kids);
        auto present = [&](size_t count) {
            if (args.size() != count)
                return false;
            for (const Span &a : args) {
                if (trim(a).core.empty())
                    return false;
            }
            return true;
        };
        const QString name = lowerName(nameNode);
        if (name == u"iif" && present(3)) {
            return u"(CASE WHEN "_s + arg(args[0], aliases, true) + u" THEN "_s + arg(args[1], aliases)
                + u" ELSE "_s + arg(args[2], aliases) + u" END)"_s;
        }
        if (name == u"isnull" && present(1))
            return u'(' + arg(args[0], aliases) + u" IS NULL)"_s;
        if (name == u"instr" && present(2)) {
            const QString call = (m_pg ? u"strpos("_s : u"instr("_s) + lowered(args[0], aliases) + u','
                + lowered(args[1], aliases) + u')';
            return isBool ? u'(' + call + u">0)"_s : call;
        }
        if (m_pg) {
            if ((name == u"year" || name == u"month" || name == u"day") && present(1))
                return extract(name.toUpper(), arg(args[0], aliases));
            if (name == u"datepart" && present(2)) {
                const Span iv = trim(args[0]).core;
                if (iv.size() == 1 && (kind(iv[0]) == Tok::String || kind(iv[0]) == Tok::DqString)) {
                    const QString r = pgDatePart(unquote(text(iv[0])).toLower(), arg(args[1], aliases));
                    if (!r.isEmpty())
                        return r;
                }
            }
            if ((name == u"ltrim" || name == u"rtrim" || name == u"trim") && present(1))
                return text(nameNode) + u"(CAST("_s + arg(args[0], aliases) + u" AS text))"_s;
            if (name == u"round" && (present(1) || present(2))) {
                QString r = u"round(CAST("_s + arg(args[0], aliases) + u" AS numeric)"_s;
                if (args.size() == 2)
                    r += u',' + arg(args[1], aliases);
                return r + u')';
            }
        }
        QString out = text(nameNode) + raw(gap) + text(group);
        for (size_t i = 0; i < args.size(); ++i) {
            if (i > 0)
                out += u',';
            out += emitSpan(args[i], aliases, false);
        }
        return out + m_src.mid(m_toks[size_t(group.close)].pos, 1);
    }

    static QString extract(const QString &field, const QString &x)
    {
        return u"CAST(EXTRACT("_s + field + u" FROM "_s + x + u") AS integer)"_s;
    }

    static QString pgDatePart(const QString &interval, const QString &x)
    {
        if (interval == u"yyyy")
            return extract(u"YEAR"_s, x);
        if (interval == u"q")
            return extract(u"QUARTER"_s, x);
        if (interval == u"m")
            return extract(u"MONTH"_s, x);
        if (interval == u"y")
            return extract(u"DOY"_s, x);
        if (interval == u"d")
            return extract(u"DAY"_s, x);
        if (interval == u"w")
            return u'(' + extract(u"DOW"_s, x) + u"+1)"_s;
        if (interval == u"ww") // weeks start on Sunday; week 1 holds 1 January
            return u"CAST(floor((EXTRACT(DOY FROM "_s + x + u")+EXTRACT(DOW FROM date_trunc('year',"_s + x
                + u"))-1)/7)+1 AS integer)"_s;
        if (interval == u"h")
            return extract(u"HOUR"_s, x);
        if (interval == u"n")
            return extract(u"MINUTE"_s, x);
        if (interval == u"s")
            return u"CAST(floor(EXTRACT(SECOND FROM "_s + x + u")) AS integer)"_s;
        return {};
    }
};

} // namespace

QString translate(const QString &jet, Dialect dialect)
{
    std::optional<std::vector<Token>> toks = tokenize(jet);
    if (!toks)
        return jet;
    std::vector<Node> tree;
    if (!buildTree(*toks, tree))
        return jet;
    Translator t(jet, std::move(*toks), dialect);
    return t.statement(tree);
}

} // namespace JetSql
