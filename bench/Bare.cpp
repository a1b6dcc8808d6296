#include "Bare.h"

#include "platform/Twips.h"

#include <QCoreApplication>
#include <QPlainTextEdit>

namespace bare {

void styleLikeDocument(QPlainTextEdit* edit)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.5);
    edit->document()->setDefaultFont(font);
    edit->setFont(font);
    edit->setTabStopDistance(platform::twipsToPixels(720));
    const int margin = platform::twipsToPixels(100);
    edit->resize(windowWidth - 2 * margin, windowHeight - 2 * margin);
}

void warmUp(const QString& page)
{
    QPlainTextEdit edit;
    styleLikeDocument(&edit);
    edit.show();
    edit.setPlainText(page);
    QCoreApplication::processEvents();
}

} // namespace bare
