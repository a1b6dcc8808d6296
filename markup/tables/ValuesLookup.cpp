#include "markup/tables/AttributeValues.h"

#include <QString>
#include <algorithm>
#include <cstring>

namespace markup {

std::span<const char* const> valuesOf(QStringView element, QStringView attribute) {
    const QByteArray a = attribute.toString().toLower().toLatin1();
    const QByteArray e = element.toString().toLower().toLatin1();
    const auto all = attributeValues();
    const auto first = std::lower_bound(all.begin(), all.end(), a, [](const AttributeValues& r, const QByteArray& n) {
        return std::strcmp(r.attribute, n.constData()) < 0;
    });
    auto last = first;
    while (last != all.end() && a == last->attribute)
        ++last;
    if (first == last)
        return {};
    const AttributeValues* any = nullptr;
    bool shared = true;
    for (auto it = first; it != last; ++it) {
        if (e == it->element)
            return it->values;
        if (!*it->element)
            any = &*it;
        shared = shared && std::equal(it->values.begin(), it->values.end(), first->values.begin(),
                                      first->values.end(), [](const char* x, const char* y) {
                                          return std::strcmp(x, y) == 0;
                                      });
    }
    if (any)
        return any->values;
    return shared ? first->values : std::span<const char* const>{};
}

} // namespace markup
