#include "markup/Tables.h"

#include <algorithm>
#include <cstring>

namespace markup {

namespace {

// Compares a name of the tables with a text, ASCII case folded or exactly.
int compare(const char* name, QStringView text, bool fold)
{
    qsizetype i = 0;
    for (; name[i] && i < text.size(); ++i) {
        char16_t c = text[i].unicode();
        if (fold && c >= 'A' && c <= 'Z')
            c = char16_t(c | 0x20);
        const char16_t n = static_cast<unsigned char>(name[i]);
        if (n != c)
            return n < c ? -1 : 1;
    }
    if (name[i])
        return 1;
    return i < text.size() ? -1 : 0;
}

} // namespace

const Element* findElement(QStringView name)
{
    const auto all = elements();
    const auto it = std::lower_bound(all.begin(), all.end(), name, [](const Element& e, QStringView n) {
        return compare(e.name, n, true) < 0;
    });
    return it != all.end() && compare(it->name, name, true) == 0 ? &*it : nullptr;
}

const NamedReference* findNamedReference(QStringView name)
{
    const auto all = namedReferences();
    const auto it = std::lower_bound(all.begin(), all.end(), name,
                                     [](const NamedReference& r, QStringView n) {
                                         return compare(r.name, n, false) < 0;
                                     });
    return it != all.end() && compare(it->name, name, false) == 0 ? &*it : nullptr;
}

} // namespace markup
