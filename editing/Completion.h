#pragma once

#include "markup/Lexer.h"

#include <QString>
#include <vector>

// What the completion list offers at the caret: the kind of name being typed there, where it
// starts, and the names that fit. Pure: it reads one line and the lexer state at its start.
namespace editing {

enum class CompletionKind { None, Element, Attribute, Value, Entity };

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
    QString text;   // what replaces the prefix
    QString label;  // what the list shows
};

// The names that fit the context, in the order the list shows them.
std::vector<Suggestion> suggestions(const CompletionContext& context);

} // namespace editing
