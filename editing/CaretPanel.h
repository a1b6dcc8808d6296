#pragma once

#include <QLabel>
#include <QPointer>
#include <QTimer>

class QMdiArea;
#include "document/RichEdit.h"

namespace editing {

// The status-bar panel "Ln 12, Col 5": the caret's line and column in the active document
// (a tab counts as one column), empty without a document.
//
// A caret move only starts a short timer; the panel sets its text when the timer runs out,
// at most once per screen frame, so a run of keystrokes pays for one update, not one each.
class CaretPanel : public QLabel {
    Q_OBJECT
public:
    explicit CaretPanel(QMdiArea* area, QWidget* parent = nullptr);

    // The text for an editor's caret (empty for none).
    static QString placeOf(const RichEdit* edit);

private:
    void follow();
    void caretMoved();
    void refresh();

    QMdiArea* m_area;
    QPointer<RichEdit> m_edit;
    QList<QMetaObject::Connection> m_links;
    QTimer m_refresh;
};

} // namespace editing
