#pragma once

#include "markup/Lexer.h"

#include <QString>
#include <QStringList>
#include <vector>

// What the completion list offers at the caret: the kind of name being typed there, where it
// starts, and the names that fit. Pure: it reads one line and the lexer state at its start.
namespace editing {

enum class CompletionKind { None, Element, Attribute, Value, Entity, ClassName, Id, Path };

struct CompletionContext {
    CompletionKind kind = CompletionKind::None;
    int start = 0;     // in the line: where the name being typed begins
    QString prefix;    // what is typed of it so far
    QString element;   // the tag's element (attributes and values), lower case
    QString attribute; // the attribute whose value is typed (values), lower case
};

// The context at `caret` in `line` (the text of a piece, lexed from `state`).
CompletionContext completionContext(QStringView line, int caret, markup::State state);

struct Suggestion {
    QString text;  // what replaces the prefix
    QString label; // what the list shows
};

// What the page itself offers: the class names its style sheets define, its ids, and its
// folder for paths (empty for a page with no file).
struct PageNames {
    QStringList classes;
    QStringList ids;
    QString folder;
};

// The names that fit the context, in the order the list shows them.
std::vector<Suggestion> suggestions(const CompletionContext& context, const PageNames& page = {});

// The class selectors of a style sheet (sorted, once each).
QStringList classNames(QStringView css);
// The ids of a page and the style sheets it links ("stylesheet" links' href, as written).
QStringList idsOf(QStringView page);
QStringList styleSheetsOf(QStringView page);
// The <style> contents of a page, joined.
QString pageStyle(QStringView page);

} // namespace editing
