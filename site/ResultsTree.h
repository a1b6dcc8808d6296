#pragma once

#include <QHeaderView>
#include <QStringList>
#include <QTreeWidget>

namespace site {

// The site docks' result lists: files or pages at the top level, their lines below, named for
// the accessibility layer, the first column as wide as its longest path.
inline void setUpResultsTree(QTreeWidget* view, const char* name, const QString& accessibleName,
                             const QStringList& headers)
{
    view->setObjectName(QLatin1String(name));
    view->setAccessibleName(accessibleName);
    view->setHeaderLabels(headers);
    view->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
}

} // namespace site
