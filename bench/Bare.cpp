#include "Bare.h"

#include "Probe.h"

#include "platform/Twips.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

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

void placeCaretMidway(QPlainTextEdit* edit)
{
    QTextCursor c = edit->textCursor();
    c.setPosition(edit->document()->characterCount() / 2);
    edit->setTextCursor(c);
}

int keyAt(int n, bool enter)
{
    if (enter && n % 72 == 71)
        return Qt::Key_Return;
    if (n % 6 == 5)
        return Qt::Key_Space;
    return Qt::Key_A + n % 26;
}

int entersIn(int keys) { return keys / 72; }

namespace {

void sendKey(QWidget* target, QEvent::Type type, int n, bool enter)
{
    const int key = keyAt(n, enter);
    const QString text = key == Qt::Key_Return ? QStringLiteral("\r")
                       : key == Qt::Key_Space  ? QStringLiteral(" ")
                                               : QString(QChar(u'a' + (key - Qt::Key_A)));
    QKeyEvent event(type, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &event);
}

} // namespace

void typeKey(QWidget* target, int n, bool enter)
{
    sendKey(target, QEvent::KeyPress, n, enter);
    sendKey(target, QEvent::KeyRelease, n, enter);
    QCoreApplication::processEvents();
}

void typeKeyAsStep(QPlainTextEdit* edit, int n, bool enter)
{
    // The block ends with the key's edit, before the events it posted are handled: the
    // widget lays the change out and repaints as it does for a key of its own.
    QTextCursor block(edit->document());
    block.beginEditBlock();
    sendKey(edit, QEvent::KeyPress, n, enter);
    block.endEditBlock();
    sendKey(edit, QEvent::KeyRelease, n, enter);
    QCoreApplication::processEvents();
}

std::vector<double> timeKeys(const std::function<void(int)>& type, int first, int count)
{
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(count));
    for (int n = first; n < first + count; ++n) {
        probe::Stopwatch t;
        type(n);
        times.push_back(t.us());
    }
    return times;
}

} // namespace bare
