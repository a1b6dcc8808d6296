#pragma once

#include <QStringView>
#include <span>

// The known values of enumerated attributes (target, type, rel, method, dir, loading, ...),
// generated from a maintained source by markup/tables/generate.py (AttributeValues.cpp is its
// output, checked in).
namespace markup {

struct AttributeValues {
    const char* element;   // lower case; "" where the values hold for every element
    const char* attribute; // lower case
    std::span<const char* const> values; // sorted
};

// All rows, sorted by attribute, then element.
std::span<const AttributeValues> attributeValues();

// The values an attribute of an element takes (names in any case): the element's own row,
// else the row for every element, else the one list every element that has the attribute
// shares (target, loading, ...); empty where none is known or the elements differ (type).
std::span<const char* const> valuesOf(QStringView element, QStringView attribute);

} // namespace markup
