#include "insert/ListMarkup.h"

namespace bulleted {

using namespace step;

QString listString(int n, const QStringList& items)
{
    QString list = QStringLiteral("<UL><LI>&nbsp;") + items.value(0);
    for (int i = 2; i <= n; ++i)
        list += QStringLiteral("</LI>") + QStringLiteral("<LI>&nbsp;") + items.value(i - 1);
    return list + QStringLiteral("</LI></UL>");
}

Steps insertList(int n, const QStringList& items)
{
    Steps steps{FocusEditor{}};
    if (n >= 1 && n <= maxItems)
        steps.insert(steps.end(), {InsertPiece{listString(n, items), std::nullopt}, NewLine{}, RecordCaret{}});
    steps.insert(steps.end(), {CloseDialog{}, FocusEditor{}, RecordCaret{}});
    return steps;
}

} // namespace bulleted
