#pragma once

#include "review/MarkupCheck.h"

#include <QAbstractTableModel>
#include <vector>

namespace review {

// The findings of one check as a table: severity (with its icon), line, column, message.
// Sorting and the filters (old-style warnings, accessibility findings) work on a list of row numbers, so that even a page with
// tens of thousands of findings sorts in a moment; errors come first by default.
class FindingsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { SeverityColumn, LineColumn, ColumnColumn, MessageColumn, ColumnCount };

    explicit FindingsModel(QObject* parent = nullptr);

    void setResult(CheckResult result);
    const CheckResult& result() const { return m_result; }
    void setShowOldStyle(bool show);
    bool showOldStyle() const { return m_showOldStyle; }
    void setShowAccessibility(bool show);
    bool showAccessibility() const { return m_showAccessibility; }

    // The finding a row shows (nullptr for a row out of range).
    const Finding* findingAt(int row) const;
    // How many findings (old-style warnings, accessibility findings) the filters hide.
    int hiddenCount() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    void rebuildRows();
    CheckResult m_result;
    std::vector<int> m_rows; // indices into m_result.findings, in display order
    bool m_showOldStyle = false;
    bool m_showAccessibility = true;
    int m_sortColumn = SeverityColumn;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace review
