#include "app/ToolbarStrip.h"

#include "platform/Twips.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QResizeEvent>
#include <QToolButton>
#include <algorithm>

namespace commands {

std::vector<const ToolButton*> overflowing(int stripWidth, int moreWidth, Scale scale)
{
    auto rightEdge = [scale](const ToolButton& b) { return scale(b.left) + scale(b.width); };
    bool allFit = true;
    for (const ToolButton& b : toolbar())
        allFit = allFit && rightEdge(b) <= stripWidth;
    std::vector<const ToolButton*> hidden;
    if (allFit)
        return hidden;
    const int room = stripWidth - moreWidth;
    for (int row : {1, 2}) {
        std::vector<const ToolButton*> inRow;
        for (const ToolButton& b : toolbar())
            if (b.row == row && rightEdge(b) > room)
                inRow.push_back(&b);
        std::sort(inRow.begin(), inRow.end(),
                  [](const ToolButton* a, const ToolButton* b) { return a->left < b->left; });
        hidden.insert(hidden.end(), inRow.begin(), inRow.end());
    }
    return hidden;
}

} // namespace commands

ToolbarStrip::ToolbarStrip(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Picture1"));
    m_more = new QToolButton(this);
    m_more->setObjectName(QStringLiteral("FBMore"));
    m_more->setText(QStringLiteral("\u00BB"));
    m_more->setToolTip(QStringLiteral("More toolbar buttons"));
    m_more->setAccessibleName(QStringLiteral("More toolbar buttons"));
    m_more->setFocusPolicy(Qt::NoFocus);
    m_more->setAutoRaise(true);
    m_more->setPopupMode(QToolButton::InstantPopup);
    m_menu = new QMenu(m_more);
    m_menu->setObjectName(QStringLiteral("FBMoreMenu"));
    m_menu->setTitle(QStringLiteral("More toolbar buttons"));
    m_menu->setToolTipsVisible(true);
    m_more->setMenu(m_menu);
    m_more->hide();
    connect(m_menu, &QMenu::aboutToShow, this, &ToolbarStrip::fillMenu);
}

void ToolbarStrip::setButtons(const QHash<QString, QPushButton*>& buttons, const QString& styleSheet,
                              const QFont& font)
{
    m_buttons = buttons;
    m_more->setStyleSheet(QString(styleSheet).replace(QLatin1String("QPushButton"),
                                                      QLatin1String("QToolButton")) +
                          QStringLiteral("QToolButton::menu-indicator { image: none; }"));
    m_more->setFont(font);
    relayout();
}

void ToolbarStrip::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void ToolbarStrip::relayout()
{
    using platform::twipsToPixels;
    const int moreWidth = twipsToPixels(commands::moreButtonWidth);
    m_hidden = commands::overflowing(width(), moreWidth, &twipsToPixels);
    for (const commands::ToolButton& b : commands::toolbar()) {
        if (QPushButton* button = m_buttons.value(QString::fromLatin1(b.name)))
            button->setVisible(std::find(m_hidden.begin(), m_hidden.end(), &b) == m_hidden.end());
    }
    m_more->setGeometry(width() - moreWidth, 0, moreWidth,
                        twipsToPixels(commands::secondRowTop + commands::buttonHeight));
    m_more->setVisible(!m_hidden.empty());
    m_more->raise();
}

// The hidden buttons as menu entries, built when the menu opens so that each carries its
// button's enabled state of the moment; choosing one clicks its button.
void ToolbarStrip::fillMenu()
{
    m_menu->clear();
    int row = 0;
    for (const commands::ToolButton* b : m_hidden) {
        if (row != 0 && b->row != row)
            m_menu->addSeparator();
        row = b->row;
        QPushButton* button = m_buttons.value(QString::fromLatin1(b->name));
        if (!button)
            continue;
        QAction* a = m_menu->addAction(button->text());
        a->setObjectName(QString::fromLatin1(b->name) + QStringLiteral("More"));
        a->setToolTip(button->toolTip());
        a->setEnabled(button->isEnabled());
        connect(a, &QAction::triggered, button, &QPushButton::click);
    }
}
