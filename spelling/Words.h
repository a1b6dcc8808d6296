#pragma once

#include "markup/Lexer.h"

#include <QString>
#include <QStringView>
#include <vector>

// The words of a page that its visitors read, as the spell checker sees them: the text between
// tags and the human-readable attribute values (alt, title, placeholder, aria-label, label,
// summary, the value of buttons, the content of a description or keywords <meta>). Never tag
// or attribute names, other attribute values, URLs, e-mail addresses, words with digits, or
// what <script>, <style>, <code>, <pre>, <kbd> and <samp> hold; comments only when asked for.
// Character references are decoded, so "caf&eacute;" is the word "café". Each word carries
// the language of the nearest lang attribute around it.
//
// Pure: it reads pieces of text (lines, or display blocks of a long line) one after another,
// lexing them with the markup lexer, and keeps what it needs between pieces in a Context, so
// that a page can be scanned again from any piece whose context is known. A word goes on from
// a piece that does not end its line into the next; a character reference cut in two by such
// a boundary reads as its letters.
namespace spelling {

struct Options {
    bool comments = false;     // check the words of <!-- comments -->
    bool skipCapitals = false; // leave out words written in capitals only (acronyms)
};

struct Word {
    int piece = 0;     // the piece its first character is in
    int column = 0;    // in that piece
    int endPiece = 0;  // where it ends in the source: the piece of its last character
    int endColumn = 0; // and the column just past that character's source
    QString text;      // as spelt, references decoded
    QString language;  // the nearest lang value ("" when none: the page's own choice)
    bool operator==(const Word&) const = default;
};

// Where the scan stands between two pieces.
struct Context {
    struct Open {
        QString name;
        QString language;
        bool skipped; // its content is never checked
        bool operator==(const Open&) const = default;
    };
    struct Char {
        int piece;
        int column;
        int length; // of its source (a reference stands for one or two characters)
        bool operator==(const Char&) const = default;
    };
    markup::State lexer = markup::startState;
    std::vector<Open> open; // elements not yet closed, outermost first
    static constexpr std::size_t deepest = 512; // the most `open` holds
    static constexpr qsizetype longestValue = 65536; // the most of a held value kept

    // The tag being read (attribute values are held until its ">": the tag's own lang, or a
    // <meta>'s name, may follow them).
    bool inTag = false;
    bool endTag = false;
    bool selfClosing = false;
    QString tagName;
    QString attributeName;
    QString tagLanguage;
    bool hasTagLanguage = false;
    QString metaName, inputType;
    markup::Token last = markup::Token::Text; // the kind of the last stretch read
    struct Value {
        QString attribute;
        QString text;
        std::vector<Char> chars;
        bool operator==(const Value&) const = default;
    };
    std::vector<Value> values;
    Value current; // the attribute value being read, or the text run between tags

    bool operator==(const Context&) const = default;
};

class Scanner {
  public:
    explicit Scanner(Options options = {}) : m_options(options) {}
    Context context;
    // Scans one piece (number `piece`); appends the words it completes to `out`.
    void scan(QStringView text, int piece, bool endsLine, std::vector<Word>& out);
    // The page ended: completes the words still open.
    void finish(std::vector<Word>& out);

  private:
    void flushText(std::vector<Word>& out);
    // Sends out the words of the text run before its last space, which no later piece can
    // continue: a run carried from piece to piece then holds one word at most.
    void flushCompleteWords(std::vector<Word>& out);
    void endOfTag(std::vector<Word>& out);
    void addRun(QStringView source, int piece, int column, bool decode);
    QString language() const;
    bool skipping() const;
    void emitWords(const Context::Value& run, const QString& language,
                   std::vector<Word>& out) const;

    Options m_options;
    std::vector<markup::Span> m_spans;
};

// All the words of a page (lines split at line breaks), positions as offsets in `page`
// (`piece` and `endPiece` 0, the columns offsets in the page).
std::vector<Word> pageWords(QStringView page, Options options = {});

// Whether an attribute's value is read by visitors, on an element (names in lower case).
bool readableAttribute(QStringView element, QStringView attribute, QStringView metaName,
                       QStringView inputType);

} // namespace spelling
