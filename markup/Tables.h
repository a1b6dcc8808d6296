#pragma once

#include <QStringView>
#include <span>

// The HTML tables of the lexer and of the tag matching: elements with their attributes, and the
// named character references. Generated from maintained sources by markup/tables/generate.py
// (the .cpp files in markup/tables are its output, checked in).
namespace markup {

struct Element {
    const char* name;  // lower case
    bool isVoid;       // never has content or an end tag: br, img, input, ...
    bool obsolete;     // non-conforming today: font, center, marquee, ...
    std::span<const char* const> attributes;  // its own, besides the global ones
};

struct NamedReference {
    const char* name;  // without '&' and ';', case matters: "amp", "Aacute"
    char32_t first;    // the character it stands for
    char32_t second;   // a second character for the few that stand for two, else 0
    bool legacy;       // also recognised without the ';' (&amp, &copy)
};

// All elements, sorted by name.
std::span<const Element> elements();
// Attributes every element takes, and the event handler attributes (onclick, ...), sorted.
std::span<const char* const> globalAttributes();
std::span<const char* const> eventHandlerAttributes();
// All named references, sorted by name in byte order.
std::span<const NamedReference> namedReferences();

// The element of a name in any case, or nullptr when the name is no HTML element.
const Element* findElement(QStringView name);
// The reference of a name (case matters, without '&' and ';'), or nullptr.
const NamedReference* findNamedReference(QStringView name);

} // namespace markup
