#include "markup/Lexer.h"
#include "markup/LexerTags.h"

#include "markup/Tables.h"

#include <algorithm>
#include <cstring>

// How it works
// ------------
// A character-by-character machine after the HTML tokenizer: data, tags, attributes, comments,
// doctype, CDATA, the raw text of <script> and <style> and the escapable raw text of <textarea>
// and <title>, with a small JavaScript lexer and a small CSS lexer run inside script, style,
// on...="" and style="".
//
// A few tokens are decided by what follows them: "<" starts a tag only before a letter, "/",
// "!" or "?"; "&" starts a reference only when a real one follows; a word is a keyword only
// when it ends where the keyword does; "</script" ends a script only before a space, "/" or
// ">". Such a decision reads at most `lookahead` characters on, past the piece's end into the
// `following` text, and colours the whole token at once. When the token runs past the piece's
// end, the state carries what is left of it (its kind and how many characters), so the next
// piece colours them the same way: lexing piece by piece gives the tokens of lexing the line as
// one piece. Everything else depends only on the state and the character at hand.
//
// A line break is fed to the machine as a "\n" of its own after a piece that ends a line: it
// ends JavaScript // comments and unterminated strings and is white space in tags.
//
// The state packing (31 bits, never negative)
// -------------------------------------------
//   bits  0-4   phase: Data, TagName, the attribute phases, the comment phases, Doctype, CData
//   bits  5-10  characters left of a token that ran past the piece's end (0-63)
//   bits 11-15  their kind (a Token)
//   then by phase:
//   Data, comments, doctype, CDATA:
//         16-18 content: Normal, ScriptJs, ScriptData, Style, Textarea, Title
//         19-30 the JavaScript state (in ScriptJs) or the CSS state (in Style), below
//   TagName:
//         16    end tag;  17-20 the tag name matcher's candidates;  21-24 its length
//   attribute phases:
//         16    end tag;  17-19 what the tag opens (the content it leaves behind at its ">")
//         AttrName, AfterAttrName, BeforeAttrValue:
//                           20-22 the attribute name matcher's candidates;  23-25 its length
//         attribute values: 20-21 what the value holds (plain, CSS, JavaScript, a script type)
//                           22-30 the JavaScript or CSS state, or the script type matcher
//   JavaScript state (9 bits): 0-3 mode, 4 a regular expression may start here (or, in a
//         template, an expression ${...} is open), 5 an expression ${...} of a template is
//         open, 6-8 the depth of braces inside it
//   CSS state (9 bits, 10 in <style>): 0-2 mode, 3-4 the mode a comment or string returns to,
//         5-7 depth of braces, 8-9 the at-rule whose prelude this is (none, with rules, with
//         declarations; only in <style>)
namespace markup {

namespace {

enum Phase : std::uint8_t {
    Data,
    TagName,
    BeforeAttrName,
    AttrName,
    AfterAttrName,
    BeforeAttrValue,
    ValueDq,
    ValueSq,
    ValueUnq,
    CommentStart,
    CommentStartDash,
    CommentBody,
    CommentEndDash,
    CommentEnd,
    CommentEndBang,
    BogusComment,
    DoctypeBody,
    CDataBody,
    CDataBracket,
    CDataBrackets,
    PhaseCount
};

enum Content : std::uint8_t { Normal, ScriptJs, ScriptData, Style, Textarea, Title, ContentCount };

enum ValueClass : std::uint8_t { Plain, CssValueClass, JsValueClass, ScriptType };

enum JsMode : std::uint8_t {
    JsCode,
    JsLineComment,
    JsBlockComment,
    JsSingle,
    JsDouble,
    JsTemplate,
    JsRegex,
    JsRegexClass,
    JsIdent,
    JsNumberMode,
    JsModeCount
};

enum CssMode : std::uint8_t { Selector, Property, Value, CssCommentMode, CssSingle, CssDouble };
enum AtRule : std::uint8_t { NoAtRule, AtRuleWithRules, AtRuleWithDeclarations };

struct JsState {
    std::uint8_t mode = JsCode;
    bool regexOk = true;
    bool inExpr = false;
    std::uint8_t depth = 0;
};

struct CssState {
    std::uint8_t mode = Selector;
    std::uint8_t ret = Selector;
    std::uint8_t depth = 0;
    std::uint8_t atRule = NoAtRule;
};

// The names whose start tags change what follows them.
constexpr const char* specialTags[] = {"script", "style", "textarea", "title"};
constexpr Content specialContent[] = {ScriptJs, Style, Textarea, Title};
constexpr int specialMask = 0xF;

// Attribute names whose values hold code: style (CSS), type (of a script), on... (JavaScript).
constexpr const char* styleAttr = "style";
constexpr const char* typeAttr = "type";
constexpr int attrMaskAll = 0x7;

// The type values of a script that make it JavaScript; any other type makes it a data block.
// Sorted: the matcher keeps the first candidate with the prefix read so far.
constexpr const char* scriptTypes[] = {
    "application/ecmascript", "application/javascript", "application/x-ecmascript",
    "application/x-javascript", "module", "text/ecmascript", "text/javascript", "text/jscript",
    "text/livescript", "text/x-ecmascript", "text/x-javascript"};
constexpr int scriptTypeCount = int(std::size(scriptTypes));
constexpr std::uint8_t typeDead = 15;

// Keywords of JavaScript, and which of them may be followed by a regular expression.
struct Keyword {
    const char* word;
    bool beforeExpression;
};
constexpr Keyword keywords[] = {
    {"async", false},     {"await", true},     {"break", false},   {"case", true},
    {"catch", false},     {"class", false},    {"const", false},   {"continue", false},
    {"debugger", false},  {"default", true},   {"delete", true},   {"do", true},
    {"else", true},       {"export", false},   {"extends", true},  {"false", false},
    {"finally", false},   {"for", false},      {"function", false}, {"if", false},
    {"import", false},    {"in", true},        {"instanceof", true}, {"let", false},
    {"new", true},        {"null", false},     {"of", true},       {"return", true},
    {"static", false},    {"super", false},    {"switch", false},  {"this", false},
    {"throw", true},      {"true", false},     {"try", false},     {"typeof", true},
    {"undefined", false}, {"var", false},      {"void", true},     {"while", false},
    {"with", false},      {"yield", true},
};

// Longest word that can be a keyword, reference name and at-rule name read ahead.
constexpr int maxWord = 16;
constexpr int maxReferenceName = 32;
constexpr int maxDigits = 8;
constexpr int maxAtRule = 24;

struct Machine {
    std::uint8_t phase = Data;
    std::uint8_t content = Normal;
    int carryCount = 0;
    Token carryKind = Token::Text;
    bool isEnd = false;
    std::uint8_t tagMask = 0, tagLen = 0;
    std::uint8_t opens = Normal;  // the content after this start tag's ">"
    std::uint8_t attrMask = 0, attrLen = 0;
    std::uint8_t valueClass = Plain;
    std::uint8_t typeLo = 0, typeLen = 0;
    JsState js;
    CssState css;
};

constexpr bool inTagPhase(int phase) { return phase >= TagName && phase <= ValueUnq; }
constexpr bool inValuePhase(int phase) { return phase >= ValueDq && phase <= ValueUnq; }

int packJs(const JsState& s)
{
    return s.mode | (s.regexOk ? 1 << 4 : 0) | (s.inExpr ? 1 << 5 : 0) | (s.depth << 6);
}
JsState unpackJs(int v)
{
    JsState s;
    s.mode = std::uint8_t(v & 0xF);
    if (s.mode >= JsModeCount)
        s.mode = JsCode;
    s.regexOk = v >> 4 & 1;
    s.inExpr = v >> 5 & 1;
    s.depth = std::uint8_t(v >> 6 & 7);
    return s;
}
int packCss(const CssState& s)
{
    return s.mode | (s.ret << 3) | (s.depth << 5) | (s.atRule << 8);
}
CssState unpackCss(int v)
{
    CssState s;
    s.mode = std::uint8_t(std::min(v & 7, int(CssDouble)));
    s.ret = std::uint8_t(std::min(v >> 3 & 3, int(Value)));
    s.depth = std::uint8_t(v >> 5 & 7);
    s.atRule = std::uint8_t(std::min(v >> 8 & 3, int(AtRuleWithDeclarations)));
    return s;
}

State pack(const Machine& m)
{
    int v = m.phase | (m.carryCount << 5) | (int(m.carryKind) << 11);
    if (m.phase == TagName) {
        v |= (m.isEnd ? 1 << 16 : 0) | (m.tagMask << 17) | (m.tagLen << 21);
    } else if (inTagPhase(m.phase)) {
        v |= (m.isEnd ? 1 << 16 : 0) | (m.opens << 17);
        if (inValuePhase(m.phase)) {
            v |= m.valueClass << 20;
            int sub = 0;
            if (m.valueClass == JsValueClass)
                sub = packJs(m.js);
            else if (m.valueClass == CssValueClass)
                sub = packCss(m.css) & 0xFF;  // no at-rules in an attribute
            else if (m.valueClass == ScriptType)
                sub = m.typeLo | (m.typeLen << 4);
            v |= sub << 22;
        } else if (m.phase != BeforeAttrName) {
            v |= (m.attrMask << 20) | (m.attrLen << 23);
        }
    } else {
        v |= m.content << 16;
        if (m.content == ScriptJs)
            v |= packJs(m.js) << 19;
        else if (m.content == Style)
            v |= packCss(m.css) << 19;
    }
    return v;
}

Machine unpack(State s)
{
    Machine m;
    if (s < 0)
        return m;
    m.phase = std::uint8_t(s & 0x1F);
    if (m.phase >= PhaseCount)
        return Machine{};
    m.carryCount = s >> 5 & 0x3F;
    int kind = s >> 11 & 0x1F;
    m.carryKind = kind <= int(Token::JsText) ? Token(kind) : Token::Text;
    if (m.phase == TagName) {
        m.isEnd = s >> 16 & 1;
        m.tagMask = std::uint8_t(s >> 17 & 0xF);
        m.tagLen = std::uint8_t(s >> 21 & 0xF);
    } else if (inTagPhase(m.phase)) {
        m.isEnd = s >> 16 & 1;
        m.opens = std::uint8_t(s >> 17 & 7);
        if (m.opens >= ContentCount)
            m.opens = Normal;
        if (inValuePhase(m.phase)) {
            m.valueClass = std::uint8_t(s >> 20 & 3);
            int sub = s >> 22 & 0x1FF;
            if (m.valueClass == JsValueClass) {
                m.js = unpackJs(sub);
            } else if (m.valueClass == CssValueClass) {
                m.css = unpackCss(sub & 0xFF);
            } else if (m.valueClass == ScriptType) {
                m.typeLo = std::uint8_t(sub & 0xF);
                m.typeLen = std::uint8_t(sub >> 4 & 0x1F);
                if (m.typeLo >= scriptTypeCount)
                    m.typeLo = typeDead;
            }
        } else if (m.phase != BeforeAttrName) {
            m.attrMask = std::uint8_t(s >> 20 & 7);
            m.attrLen = std::uint8_t(s >> 23 & 7);
        }
    } else {
        m.content = std::uint8_t(s >> 16 & 7);
        if (m.content >= ContentCount)
            m.content = Normal;
        if (m.content == ScriptJs)
            m.js = unpackJs(s >> 19);
        else if (m.content == Style)
            m.css = unpackCss(s >> 19);
    }
    return m;
}

constexpr bool isAsciiAlpha(char16_t c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }
constexpr bool isDigit(char16_t c) { return c >= '0' && c <= '9'; }
constexpr bool isHexDigit(char16_t c)
{
    return isDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f');
}
constexpr bool isAlnum(char16_t c) { return isAsciiAlpha(c) || isDigit(c); }
constexpr bool isSpace(char16_t c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}
constexpr char16_t lower(char16_t c) { return c >= 'A' && c <= 'Z' ? char16_t(c | 0x20) : c; }
constexpr bool isJsIdent(char16_t c)
{
    return isAlnum(c) || c == '_' || c == '$' || c >= 0x80;
}
constexpr bool isCssName(char16_t c) { return isAlnum(c) || c == '-' || c == '_'; }

// Feeds one character of a tag name to the matcher of the special tag names.
void feedTagName(Machine& m, char16_t c)
{
    c = lower(c);
    int mask = m.tagMask;
    for (int k = 0; k < 4; ++k) {
        if (!(mask >> k & 1))
            continue;
        const char* name = specialTags[k];
        if (m.tagLen >= std::strlen(name) || name[m.tagLen] != c)
            mask &= ~(1 << k);
    }
    m.tagMask = std::uint8_t(mask);
    if (m.tagLen < 15)
        ++m.tagLen;
}

std::uint8_t tagOpens(const Machine& m)
{
    for (int k = 0; k < 4; ++k)
        if ((m.tagMask >> k & 1) && std::strlen(specialTags[k]) == m.tagLen)
            return specialContent[k];
    return Normal;
}

void feedAttrName(Machine& m, char16_t c)
{
    c = lower(c);
    int mask = m.attrMask;
    if ((mask & 1) && (m.attrLen >= 5 || styleAttr[m.attrLen] != c))
        mask &= ~1;
    if ((mask & 2) && (m.attrLen >= 4 || typeAttr[m.attrLen] != c))
        mask &= ~2;
    if ((mask & 4) && m.attrLen < 2 && "on"[m.attrLen] != c)
        mask &= ~4;
    m.attrMask = std::uint8_t(mask);
    if (m.attrLen < 7)
        ++m.attrLen;
}

void feedScriptType(Machine& m, char16_t c)
{
    if (m.typeLo == typeDead)
        return;
    c = lower(c);
    const char* first = scriptTypes[m.typeLo];
    for (int k = m.typeLo; k < scriptTypeCount; ++k) {
        const char* candidate = scriptTypes[k];
        if (std::strncmp(candidate, first, m.typeLen) != 0)
            break;
        if (std::strlen(candidate) > m.typeLen && candidate[m.typeLen] == c) {
            m.typeLo = std::uint8_t(k);
            ++m.typeLen;
            return;
        }
    }
    m.typeLo = typeDead;
}

bool scriptTypeIsJs(const Machine& m)
{
    return m.typeLo != typeDead && std::strlen(scriptTypes[m.typeLo]) == m.typeLen;
}

const Keyword* findKeyword(const char16_t* word, int length)
{
    for (const Keyword& k : keywords) {
        int i = 0;
        while (i < length && k.word[i] == word[i])
            ++i;
        if (i == length && k.word[i] == 0)
            return &k;
    }
    return nullptr;
}

AtRule atRuleKind(const char16_t* name, int length)
{
    static constexpr const char* declarationBlocks[] = {
        "font-face", "page", "counter-style", "property", "font-palette-values", "viewport"};
    for (const char* d : declarationBlocks) {
        int i = 0;
        while (i < length && d[i] == lower(name[i]))
            ++i;
        if (i == length && d[i] == 0)
            return AtRuleWithDeclarations;
    }
    return AtRuleWithRules;
}

class Lexer {
public:
    Lexer(QStringView piece, QStringView following, bool endsLine, std::vector<Span>& out,
          bool tagsOnly = false)
        : m_tagsOnly(tagsOnly), m_p(reinterpret_cast<const char16_t*>(piece.utf16())), m_n(int(piece.size())),
          m_f(reinterpret_cast<const char16_t*>(following.utf16())),
          m_fn(endsLine ? 0 : int(following.size())), m_out(&out), m_base(out.size())
    {
    }

    State run(State in, bool endsLine)
    {
        m = unpack(in);
        int i = 0;
        if (m.carryCount > 0) {
            const int k = std::min(m.carryCount, m_n);
            mark(0, k, m.carryKind);
            m.carryCount -= k;
            i = k;
        }
        if (m.carryCount == 0)
            m.carryKind = Token::Text;
        while (i < m_n)
            i = step(i);
        if (endsLine && m.carryCount == 0 && !m_continued)
            newline();
        return pack(m);
    }

private:
    // The character at i, past the piece's end the following text, then "\n" for the line
    // break (when the piece or the following text ends the line), then 0.
    char16_t at(int i) const
    {
        if (i < m_n)
            return m_p[i];
        i -= m_n;
        if (i < m_fn)
            return m_f[i];
        return i == m_fn ? u'\n' : 0;
    }

    void mark(int start, int length, Token kind)
    {
        if (!m_out || length <= 0 || kind == Token::Text)
            return;
        if (m_tagsOnly && kind != Token::TagDelimiter && kind != Token::TagName)
            return;
        if (m_out->size() > m_base) {
            Span& last = m_out->back();
            if (last.kind == kind && last.start + last.length == start) {
                last.length += length;
                return;
            }
        }
        m_out->push_back({start, length, kind});
    }

    // Colours `length` characters from i as `kind`; those past the piece's end are carried.
    int token(int i, int length, Token kind)
    {
        const int inPiece = std::min(length, m_n - i);
        mark(i, inPiece, kind);
        if (length > inPiece) {
            m.carryCount = length - inPiece;
            m.carryKind = kind;
        }
        return i + length;
    }

    // The line break after a piece that ends a line, fed as one character that is not shown.
    void newline()
    {
        const char16_t nl[1] = {u'\n'};
        const char16_t* p = m_p;
        const int n = m_n;
        const int fn = m_fn;
        std::vector<Span>* out = m_out;
        m_p = nl;
        m_n = 1;
        m_fn = 0;
        m_out = nullptr;
        step(0);
        m_p = p;
        m_n = n;
        m_fn = fn;
        m_out = out;
    }

    bool matchesFold(int i, const char* word) const
    {
        for (int k = 0; word[k]; ++k)
            if (lower(at(i + k)) != word[k])
                return false;
        return true;
    }
    bool matches(int i, const char* word) const
    {
        for (int k = 0; word[k]; ++k)
            if (at(i + k) != word[k])
                return false;
        return true;
    }

    int step(int i)
    {
        switch (m.phase) {
        case Data:
            return data(i);
        case TagName:
            return tagName(i);
        case BeforeAttrName:
        case AfterAttrName:
            return betweenAttributes(i);
        case AttrName:
            return attrName(i);
        case BeforeAttrValue:
            return beforeValue(i);
        case ValueDq:
        case ValueSq:
        case ValueUnq:
            return value(i);
        case BogusComment:
        case DoctypeBody:
            return untilGreater(i, m.phase == BogusComment ? Token::Comment : Token::Doctype);
        case CDataBody:
        case CDataBracket:
        case CDataBrackets:
            return cdata(i);
        default:
            return comment(i);
        }
    }

    // --- data and what starts in it ---

    int data(int i)
    {
        switch (m.content) {
        case Normal: {
            int j = i;
            if (m_tagsOnly) {
                while (j < m_n && m_p[j] != '<')
                    ++j;
                return j == m_n ? j : tagOpen(j);
            }
            while (j < m_n && m_p[j] != '<' && m_p[j] != '&')
                ++j;
            if (j == m_n)
                return j;
            return m_p[j] == '<' ? tagOpen(j) : reference(j);
        }
        case Textarea:
        case Title: {
            int j = i;
            while (j < m_n && m_p[j] != '<' && (m_tagsOnly || m_p[j] != '&'))
                ++j;
            if (j == m_n)
                return j;
            if (m_p[j] == '&')
                return reference(j);
            return endTagOfContent(j) ? j + 2 : j + 1;
        }
        case ScriptData:
        raw: {
            int j = i;
            while (j < m_n && m_p[j] != '<')
                ++j;
            if (j == m_n)
                return j;
            return endTagOfContent(j) ? j + 2 : j + 1;
        }
        case ScriptJs:
            if (m_tagsOnly)
                goto raw;
            if (m_p[i] == '<' && endTagOfContent(i))
                return i + 2;
            return js(i);
        default:  // Style
            if (m_tagsOnly)
                goto raw;
            if (m_p[i] == '<' && endTagOfContent(i))
                return i + 2;
            return css(i, false);
        }
    }

    // "</name" of the element whose raw text this is, before a space, "/" or ">": the end tag.
    bool endTagOfContent(int i)
    {
        static constexpr const char* names[] = {"", "script", "script", "style", "textarea",
                                                "title"};
        const char* name = names[m.content];
        if (at(i + 1) != '/' || !matchesFold(i + 2, name))
            return false;
        const char16_t after = at(i + 2 + int(std::strlen(name)));
        if (!isSpace(after) && after != '/' && after != '>')
            return false;
        m.content = Normal;
        m.js = {};
        m.css = {};
        token(i, 2, Token::TagDelimiter);
        m.phase = TagName;
        m.isEnd = true;
        m.tagMask = 0;
        m.tagLen = 0;
        return true;
    }

    int tagOpen(int i)
    {
        const char16_t c1 = at(i + 1);
        if (isAsciiAlpha(c1)) {
            mark(i, 1, Token::TagDelimiter);
            m.phase = TagName;
            m.isEnd = false;
            m.tagMask = specialMask;
            m.tagLen = 0;
            return i + 1;
        }
        if (c1 == '/') {
            const char16_t c2 = at(i + 2);
            if (isAsciiAlpha(c2)) {
                m.phase = TagName;
                m.isEnd = true;
                m.tagMask = 0;
                m.tagLen = 0;
                return token(i, 2, Token::TagDelimiter);
            }
            if (c2 == '>')
                return token(i, 3, Token::TagDelimiter);
            if (c2 == 0 || c2 == '\n')  // "</" at the end of a line: text
                return i + 1;
            m.phase = BogusComment;
            return token(i, 2, Token::Comment);
        }
        if (c1 == '!') {
            if (matches(i + 2, "--")) {
                m.phase = CommentStart;
                return token(i, 4, Token::Comment);
            }
            if (matchesFold(i + 2, "doctype")) {
                m.phase = DoctypeBody;
                return token(i, 9, Token::Doctype);
            }
            if (matches(i + 2, "[CDATA[")) {
                m.phase = CDataBody;
                return token(i, 9, Token::CData);
            }
            m.phase = BogusComment;
            return token(i, 2, Token::Comment);
        }
        if (c1 == '?') {
            m.phase = BogusComment;
            return token(i, 1, Token::Comment);
        }
        return i + 1;  // "<" before anything else is text
    }

    // A character reference at i ("&"): numeric, or named and in the table. Else "&" is text.
    int reference(int i)
    {
        int k = i + 1;
        if (at(k) == '#') {
            ++k;
            const bool hex = (at(k) | 0x20) == 'x';
            if (hex)
                ++k;
            int digits = 0;
            while (digits < maxDigits && (hex ? isHexDigit(at(k)) : isDigit(at(k)))) {
                ++k;
                ++digits;
            }
            if (digits == 0)
                return i + 1;
            if (at(k) == ';')
                ++k;
            return token(i, k - i, Token::CharacterReference);
        }
        char16_t name[maxReferenceName];
        int length = 0;
        while (length < maxReferenceName && isAlnum(at(k + length))) {
            name[length] = at(k + length);
            ++length;
        }
        if (length == 0 || length == maxReferenceName)
            return i + 1;
        const NamedReference* ref =
            findNamedReference(QStringView(name, length));
        if (!ref)
            return i + 1;
        if (at(k + length) == ';')
            return token(i, length + 2, Token::CharacterReference);
        if (ref->legacy)
            return token(i, length + 1, Token::CharacterReference);
        return i + 1;
    }

    // --- tags ---

    int tagName(int i)
    {
        int j = i;
        while (j < m_n) {
            const char16_t c = m_p[j];
            if (isSpace(c) || c == '/' || c == '>')
                break;
            if (m.tagMask)
                feedTagName(m, c);
            ++j;
        }
        mark(i, j - i, Token::TagName);
        if (j == m_n)
            return j;
        m.opens = m.isEnd ? std::uint8_t(Normal) : tagOpens(m);
        m.tagMask = 0;
        m.tagLen = 0;
        m.phase = BeforeAttrName;
        return betweenAttributes(j);
    }

    // The tag's ">": what follows is the content the start tag opens.
    int tagEnd(int i)
    {
        mark(i, 1, Token::TagDelimiter);
        m.phase = Data;
        m.content = m.isEnd ? std::uint8_t(Normal) : m.opens;
        m.isEnd = false;
        m.opens = Normal;
        m.attrMask = m.attrLen = 0;
        m.valueClass = Plain;
        m.js = {};
        m.css = {};
        return i + 1;
    }

    int betweenAttributes(int i)
    {
        while (i < m_n && isSpace(m_p[i]))
            ++i;
        if (i == m_n)
            return i;
        const char16_t c = m_p[i];
        if (c == '/') {
            mark(i, 1, Token::TagDelimiter);
            m.phase = BeforeAttrName;
            return i + 1;
        }
        if (c == '>')
            return tagEnd(i);
        if (c == '=' && m.phase == AfterAttrName) {
            m.phase = BeforeAttrValue;
            return i + 1;
        }
        m.phase = AttrName;
        m.attrMask = m_tagsOnly ? 0 : attrMaskAll;
        m.attrLen = 0;
        feedAttrName(m, c);
        mark(i, 1, Token::AttributeName);
        return i + 1;
    }

    int attrName(int i)
    {
        int j = i;
        while (j < m_n) {
            const char16_t c = m_p[j];
            if (isSpace(c) || c == '/' || c == '>' || c == '=')
                break;
            if (m.attrMask)
                feedAttrName(m, c);
            ++j;
        }
        mark(i, j - i, Token::AttributeName);
        if (j == m_n)
            return j;
        const char16_t c = m_p[j];
        if (c == '=') {
            m.phase = BeforeAttrValue;
            return j + 1;
        }
        m.phase = AfterAttrName;
        return betweenAttributes(j);
    }

    int beforeValue(int i)
    {
        const char16_t c = m_p[i];
        if (isSpace(c))
            return i + 1;
        if (c == '>')
            return tagEnd(i);
        if ((m.attrMask & 1) && m.attrLen == 5) {
            m.valueClass = CssValueClass;
            m.css = {};
            m.css.mode = m.css.ret = Property;
        } else if ((m.attrMask & 4) && m.attrLen > 2) {
            m.valueClass = JsValueClass;
            m.js = {};
        } else if ((m.attrMask & 2) && m.attrLen == 4 && m.opens == ScriptJs) {
            m.valueClass = ScriptType;
            m.typeLo = 0;
            m.typeLen = 0;
        } else {
            m.valueClass = Plain;
        }
        m.attrMask = m.attrLen = 0;
        if (c == '"' || c == '\'') {
            m.phase = c == '"' ? ValueDq : ValueSq;
            mark(i, 1, Token::AttributeValue);
            return i + 1;
        }
        m.phase = ValueUnq;
        return value(i);
    }

    void valueEnd()
    {
        if (m.valueClass == ScriptType && !scriptTypeIsJs(m))
            m.opens = ScriptData;
        m.valueClass = Plain;
        m.js = {};
        m.css = {};
        m.typeLo = m.typeLen = 0;
        m.phase = BeforeAttrName;
    }

    int value(int i)
    {
        const char16_t quote = m.phase == ValueDq ? '"' : m.phase == ValueSq ? '\'' : 0;
        const char16_t c = m_p[i];
        if (quote ? c == quote : isSpace(c)) {
            if (quote)
                mark(i, 1, Token::AttributeValue);
            valueEnd();
            return i + 1;
        }
        if (!quote && c == '>') {
            valueEnd();
            return tagEnd(i);
        }
        switch (m_tagsOnly ? std::uint8_t(Plain) : m.valueClass) {
        case JsValueClass:
            return js(i);
        case CssValueClass:
            return css(i, true);
        case ScriptType:
            feedScriptType(m, c);
            mark(i, 1, Token::AttributeValue);
            return i + 1;
        default: {
            int j = i + 1;
            if (quote)
                while (j < m_n && m_p[j] != quote)
                    ++j;
            else
                while (j < m_n && !isSpace(m_p[j]) && m_p[j] != '>')
                    ++j;
            mark(i, j - i, Token::AttributeValue);
            return j;
        }
        }
    }

    // --- comments, doctype, CDATA ---

    int comment(int i)
    {
        int j = i;
        while (j < m_n && m.phase != Data) {
            const char16_t c = m_p[j++];
            switch (m.phase) {
            case CommentStart:
                m.phase = c == '-' ? CommentStartDash : c == '>' ? Data : CommentBody;
                break;
            case CommentStartDash:
                m.phase = c == '-' ? CommentEnd : c == '>' ? Data : CommentBody;
                break;
            case CommentBody:
                while (c != '-' && j < m_n && m_p[j] != '-')
                    ++j;
                if (c == '-')
                    m.phase = CommentEndDash;
                break;
            case CommentEndDash:
                m.phase = c == '-' ? CommentEnd : CommentBody;
                break;
            case CommentEnd:
                m.phase = c == '>'   ? Data
                          : c == '!' ? CommentEndBang
                          : c == '-' ? CommentEnd
                                     : CommentBody;
                break;
            default:  // CommentEndBang
                m.phase = c == '-' ? CommentEndDash : c == '>' ? Data : CommentBody;
                break;
            }
        }
        mark(i, j - i, Token::Comment);
        return j;
    }

    int untilGreater(int i, Token kind)
    {
        int j = i;
        while (j < m_n && m_p[j] != '>')
            ++j;
        if (j < m_n) {
            ++j;
            m.phase = Data;
        }
        mark(i, j - i, kind);
        return j;
    }

    int cdata(int i)
    {
        int j = i;
        while (j < m_n && m.phase != Data) {
            const char16_t c = m_p[j++];
            if (m.phase == CDataBrackets && c == '>')
                m.phase = Data;
            else if (c == ']')
                m.phase = m.phase == CDataBody ? CDataBracket : CDataBrackets;
            else
                m.phase = CDataBody;
        }
        mark(i, j - i, Token::CData);
        return j;
    }

    // --- JavaScript ---

    // One token or character of script at i.
    int js(int i)
    {
        JsState& s = m.js;
        const char16_t c = m_p[i];
        switch (s.mode) {
        case JsCode:
            break;
        case JsIdent:
            if (isJsIdent(c)) {
                mark(i, 1, Token::JsText);
                return i + 1;
            }
            s.mode = JsCode;
            break;
        case JsNumberMode:
            if (isJsIdent(c) || c == '.') {
                mark(i, 1, Token::JsNumber);
                return i + 1;
            }
            s.mode = JsCode;
            break;
        case JsLineComment:
            if (c == '\n') {
                s.mode = JsCode;
                return i + 1;
            }
            mark(i, 1, Token::JsComment);
            return i + 1;
        case JsBlockComment:
            if (c == '*' && at(i + 1) == '/') {
                s.mode = JsCode;
                return token(i, 2, Token::JsComment);
            }
            mark(i, 1, Token::JsComment);
            return i + 1;
        case JsSingle:
        case JsDouble:
        case JsTemplate:
            return jsString(i);
        default:  // JsRegex, JsRegexClass
            if (c == '\n') {
                s.mode = JsCode;
                return i + 1;
            }
            if (c == '\\')
                return escape(i, Token::JsString);
            if (s.mode == JsRegexClass) {
                if (c == ']')
                    s.mode = JsRegex;
            } else if (c == '[') {
                s.mode = JsRegexClass;
            } else if (c == '/') {
                s.mode = JsCode;
                s.regexOk = false;
            }
            mark(i, 1, Token::JsString);
            return i + 1;
        }

        // Code.
        if (isSpace(c))
            return i + 1;
        if (c == '/') {
            const char16_t next = at(i + 1);
            if (next == '/') {
                s.mode = JsLineComment;
                return token(i, 2, Token::JsComment);
            }
            if (next == '*') {
                s.mode = JsBlockComment;
                return token(i, 2, Token::JsComment);
            }
            if (s.regexOk) {
                s.mode = JsRegex;
                mark(i, 1, Token::JsString);
                return i + 1;
            }
            s.regexOk = true;
            mark(i, 1, Token::JsText);
            return i + 1;
        }
        if (c == '\'' || c == '"' || c == '`') {
            s.mode = c == '\'' ? JsSingle : c == '"' ? JsDouble : JsTemplate;
            mark(i, 1, Token::JsString);
            return i + 1;
        }
        if (isDigit(c) || (c == '.' && isDigit(at(i + 1)))) {
            s.mode = JsNumberMode;
            s.regexOk = false;
            mark(i, 1, Token::JsNumber);
            return i + 1;
        }
        if (isJsIdent(c)) {
            char16_t word[maxWord];
            int length = 0;
            while (length < maxWord && isJsIdent(at(i + length))) {
                word[length] = at(i + length);
                ++length;
            }
            s.regexOk = false;
            if (length == maxWord) {
                s.mode = JsIdent;
                return token(i, length, Token::JsText);
            }
            const Keyword* k = findKeyword(word, length);
            if (k)
                s.regexOk = k->beforeExpression;
            return token(i, length, k ? Token::JsKeyword : Token::JsText);
        }
        if (c == '}' && s.inExpr) {
            if (s.depth == 0) {
                s.inExpr = false;
                s.mode = JsTemplate;
            } else {
                --s.depth;
            }
        } else if (c == '{' && s.inExpr && s.depth < 7) {
            ++s.depth;
        }
        s.regexOk = !(c == ')' || c == ']');
        mark(i, 1, Token::JsText);
        return i + 1;
    }

    int jsString(int i)
    {
        JsState& s = m.js;
        const char16_t c = m_p[i];
        if (c == '\\')
            return escape(i, Token::JsString);
        if (s.mode == JsTemplate) {
            if (c == '`') {
                s.mode = JsCode;
                s.regexOk = false;
            } else if (c == '$' && at(i + 1) == '{') {
                s.mode = JsCode;
                s.inExpr = true;
                s.depth = 0;
                s.regexOk = true;
                return token(i, 2, Token::JsText);
            }
            mark(i, 1, Token::JsString);
            return i + 1;
        }
        if (c == '\n') {  // unterminated at the line's end
            s.mode = JsCode;
            s.regexOk = false;
            return i + 1;
        }
        if (c == (s.mode == JsSingle ? '\'' : '"')) {
            s.mode = JsCode;
            s.regexOk = false;
        }
        mark(i, 1, Token::JsString);
        return i + 1;
    }

    // A backslash and the character it escapes; a backslash that ends a line continues the
    // string on the next one.
    int escape(int i, Token kind)
    {
        if (i + 1 == m_n && m_fn == 0 && at(i + 1) == '\n') {
            m_continued = true;
            mark(i, 1, kind);
            return i + 1;
        }
        // "\<" escapes nothing for the HTML around the script: "</script" still ends it.
        if (at(i + 1) == '\n' || at(i + 1) == '<') {
            mark(i, 1, kind);
            return i + 1;
        }
        return token(i, 2, kind);
    }

    // --- CSS ---

    // One token or character of CSS at i. `inAttribute`: a style="" value, declarations only.
    int css(int i, bool inAttribute)
    {
        CssState& s = m.css;
        const char16_t c = m_p[i];
        switch (s.mode) {
        case CssCommentMode:
            if (c == '*' && at(i + 1) == '/') {
                s.mode = s.ret;
                return token(i, 2, Token::CssComment);
            }
            mark(i, 1, Token::CssComment);
            return i + 1;
        case CssSingle:
        case CssDouble:
            if (c == '\\')
                return escape(i, Token::CssString);
            if (c == '\n') {
                s.mode = s.ret;
                return i + 1;
            }
            if (c == (s.mode == CssSingle ? '\'' : '"'))
                s.mode = s.ret;
            mark(i, 1, Token::CssString);
            return i + 1;
        default:
            break;
        }
        if (c == '/' && at(i + 1) == '*') {
            s.ret = s.mode;
            s.mode = CssCommentMode;
            return token(i, 2, Token::CssComment);
        }
        if (c == '"' || c == '\'') {
            s.ret = s.mode;
            s.mode = c == '"' ? CssDouble : CssSingle;
            mark(i, 1, Token::CssString);
            return i + 1;
        }
        if (isSpace(c))
            return i + 1;
        if (c == '}') {
            if (s.depth > 0)
                --s.depth;
            s.mode = inAttribute ? Property : Selector;
            s.atRule = NoAtRule;
            return i + 1;
        }
        switch (s.mode) {
        case Selector:
            if (c == '{') {
                if (s.depth < 7)
                    ++s.depth;
                s.mode = s.atRule == AtRuleWithRules ? Selector : Property;
                s.atRule = NoAtRule;
                return i + 1;
            }
            if (c == ';') {
                s.atRule = NoAtRule;
                return i + 1;
            }
            if (c == '@') {
                char16_t name[maxAtRule];
                int length = 0;
                while (length < maxAtRule && isCssName(at(i + 1 + length))) {
                    name[length] = at(i + 1 + length);
                    ++length;
                }
                s.atRule = atRuleKind(name, length);
            }
            mark(i, 1, Token::CssSelector);
            return i + 1;
        case Property:
            if (c == ':') {
                s.mode = Value;
                return i + 1;
            }
            if (c == ';')
                return i + 1;
            if (c == '{') {  // a nested rule: what was read was its selector
                if (s.depth < 7)
                    ++s.depth;
                return i + 1;
            }
            mark(i, 1, Token::CssProperty);
            return i + 1;
        default:  // Value
            if (c == ';') {
                s.mode = Property;
                return i + 1;
            }
            mark(i, 1, Token::CssValue);
            return i + 1;
        }
    }

    const bool m_tagsOnly;  // only tags matter: script, style and references are passed over
    const char16_t* m_p;
    int m_n;
    const char16_t* m_f;
    int m_fn;
    std::vector<Span>* m_out;
    std::size_t m_base;  // spans before this piece's, never merged with
    bool m_continued = false;
    Machine m;
};

} // namespace

State lex(QStringView piece, State in, bool pieceEndsLine, std::vector<Span>& out,
          QStringView following)
{
    return Lexer(piece, following, pieceEndsLine, out).run(in, pieceEndsLine);
}

State lex(QStringView piece, State in, bool pieceEndsLine, std::vector<Span>& out)
{
    return lex(piece, in, pieceEndsLine, out, {});
}

void lexTags(QStringView piece, State in, bool pieceEndsLine, std::vector<Span>& out,
             QStringView following)
{
    Lexer(piece, following, pieceEndsLine, out, true).run(in, pieceEndsLine);
}

bool insideTag(State state) { return inTagPhase(state & 0x1F); }

} // namespace markup
