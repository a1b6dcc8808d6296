#pragma once

#include "app/CommandTable.h"

#include <QHash>
#include <QWidget>
#include <vector>

class QMenu;
class QPushButton;
class QToolButton;

namespace commands {

// A length in twips as the strip places it, in whatever unit the caller lays out in.
using Scale = int (*)(double twips);

// The toolbar buttons that do not fit on a strip `stripWidth` wide (in the unit of `scale`)
// when the overflow button takes `moreWidth` at its right end: each button whose right edge
// lies beyond what is left, first row before second, left to right. None when all fit.
std::vector<const ToolButton*> overflowing(int stripWidth, int moreWidth, Scale scale);

// Width of the overflow button, twips.
inline constexpr int moreButtonWidth = 300;

} // namespace commands

// The toolbar strip `Picture1`: the buttons stay where the layout puts them; when the strip is
// narrower than its rows, those that do not fit are hidden and offered, with the same captions
// and tooltips, by a "»" button at the strip's right end.
class ToolbarStrip : public QWidget {
    Q_OBJECT
public:
    explicit ToolbarStrip(QWidget* parent = nullptr);

    // The buttons by object name, as placed from the toolbar table.
    void setButtons(const QHash<QString, QPushButton*>& buttons, const QString& styleSheet,
                    const QFont& font);
    QToolButton* moreButton() const { return m_more; }
    QMenu* moreMenu() const { return m_menu; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void relayout();
    void fillMenu();

    QHash<QString, QPushButton*> m_buttons;
    std::vector<const commands::ToolButton*> m_hidden;
    QToolButton* m_more = nullptr;
    QMenu* m_menu = nullptr;
};
