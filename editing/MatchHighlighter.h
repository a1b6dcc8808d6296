#pragma once

#include "editing/SearchPattern.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include "document/RichEdit.h"

namespace editing {

// Marks every match in the shown part of one editor (extra selections, not colours in the
// text) and keeps the marks in step as the view scrolls, resizes or the text changes.
class MatchHighlighter : public QObject {
    Q_OBJECT
public:
    explicit MatchHighlighter(QObject* parent = nullptr);
    ~MatchHighlighter() override;

    void setPattern(const SearchPattern& pattern);
    // Moves the marks to another editor (nullptr: none).
    void follow(RichEdit* edit);
    RichEdit* editor() const { return m_edit; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    void release();

    QPointer<RichEdit> m_edit;
    SearchPattern m_pattern;
    QTimer m_refresh;
    QList<QMetaObject::Connection> m_links;
};

} // namespace editing
