#include "review/FindingsModel.h"

#include <QApplication>
#include <QStyle>
#include <algorithm>
#include <tuple>

namespace review {

FindingsModel::FindingsModel(QObject* parent) : QAbstractTableModel(parent) {}

void FindingsModel::setResult(CheckResult result)
{
    beginResetModel();
    m_result = std::move(result);
    rebuildRows();
    endResetModel();
}

void FindingsModel::setShowOldStyle(bool show)
{
    if (show == m_showOldStyle)
        return;
    beginResetModel();
    m_showOldStyle = show;
    rebuildRows();
    endResetModel();
}

void FindingsModel::setShowAccessibility(bool show)
{
    if (show == m_showAccessibility)
        return;
    beginResetModel();
    m_showAccessibility = show;
    rebuildRows();
    endResetModel();
}

const Finding* FindingsModel::findingAt(int row) const
{
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return nullptr;
    return &m_result.findings.at(m_rows[static_cast<std::size_t>(row)]);
}

int FindingsModel::hiddenCount() const
{
    return static_cast<int>(m_result.findings.size()) - static_cast<int>(m_rows.size());
}

void FindingsModel::rebuildRows()
{
    m_rows.clear();
    m_rows.reserve(static_cast<std::size_t>(m_result.findings.size()));
    for (int i = 0; i < m_result.findings.size(); ++i)
        if ((m_showOldStyle || !m_result.findings.at(i).oldStyle) &&
            (m_showAccessibility || m_result.findings.at(i).severity != Severity::Accessibility))
            m_rows.push_back(i);
    const auto& f = m_result.findings;
    const int column = m_sortColumn;
    auto key = [&f, column](int i) {
        const Finding& x = f.at(i);
        // Ties fall back on the place in the page, then on tidy's own order.
        switch (column) {
        case LineColumn:
            return std::make_tuple(x.line, x.column, 0, i);
        case ColumnColumn:
            return std::make_tuple(x.column, x.line, 0, i);
        case MessageColumn:
            return std::make_tuple(0, 0, 0, i); // sorted by text below
        default:
            return std::make_tuple(static_cast<int>(x.severity), x.line, x.column, i);
        }
    };
    if (column == MessageColumn)
        std::stable_sort(m_rows.begin(), m_rows.end(), [&f](int a, int b) {
            return f.at(a).message.compare(f.at(b).message, Qt::CaseInsensitive) < 0;
        });
    else
        std::sort(m_rows.begin(), m_rows.end(), [&key](int a, int b) { return key(a) < key(b); });
    if (m_sortOrder == Qt::DescendingOrder)
        std::reverse(m_rows.begin(), m_rows.end());
}

void FindingsModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    emit layoutAboutToBeChanged();
    m_sortColumn = column;
    m_sortOrder = order;
    rebuildRows();
    emit layoutChanged();
}

int FindingsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int FindingsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FindingsModel::data(const QModelIndex& index, int role) const
{
    const Finding* f = index.isValid() ? findingAt(index.row()) : nullptr;
    if (!f)
        return {};
    const bool error = f->severity == Severity::Error;
    const bool access = f->severity == Severity::Accessibility;
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case SeverityColumn:
            return error ? tr("Error") : access ? tr("Accessibility") : f->oldStyle ? tr("Old style") : tr("Warning");
        case LineColumn:
            return f->line;
        case ColumnColumn:
            return f->column;
        case MessageColumn:
            return f->message;
        }
        break;
    case Qt::DecorationRole:
        if (index.column() == SeverityColumn)
            return QApplication::style()->standardIcon(error    ? QStyle::SP_MessageBoxCritical
                                                       : access ? QStyle::SP_MessageBoxInformation
                                                                : QStyle::SP_MessageBoxWarning);
        break;
    case Qt::ToolTipRole:
        if (index.column() == MessageColumn)
            return f->message;
        break;
    case Qt::TextAlignmentRole:
        if (index.column() == LineColumn || index.column() == ColumnColumn)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        break;
    }
    return {};
}

QVariant FindingsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case SeverityColumn:
        return tr("Severity");
    case LineColumn:
        return tr("Line");
    case ColumnColumn:
        return tr("Column");
    case MessageColumn:
        return tr("Message");
    }
    return {};
}

} // namespace review
