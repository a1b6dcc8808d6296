// Benchmark of the completion list.
//
// Usage: halvane_bench_complete complete
//   complete  from a "<" typed in the middle of a 1 MiB page (markup colours on and lexed, as
//             in a window that has been open a moment) to the element list shown, the median
//             of 21 tries.

#include "Pages.h"
#include "Probe.h"

#include "document/RichEdit.h"
#include "editing/CompletionPopup.h"
#include "editing/SyntaxColours.h"

#include <QApplication>
#include <QListWidget>
#include <QTextBlock>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "complete") != 0) {
        std::fprintf(stderr, "usage: halvane_bench_complete complete\n");
        return 2;
    }
    QApplication app(argc, argv);
    RichEdit edit;
    edit.resize(800, 600);
    edit.setWholeText(benchpages::page(1024 * 1024));
    edit.show();
    editing::SyntaxColours::showFor(&edit, true);
    if (editing::SyntaxColours* layer = editing::SyntaxColours::of(&edit))
        layer->lexThrough(edit.document()->blockCount() - 1);
    QApplication::processEvents();
    editing::CompletionPopup popup(&edit);
    const QTextBlock middle = edit.document()->findBlockByNumber(edit.document()->blockCount() / 2);
    std::vector<double> ms;
    for (int i = 0; i < 21; ++i) {
        QTextCursor c(middle);
        c.movePosition(QTextCursor::EndOfBlock);
        edit.setTextCursor(c);
        QApplication::processEvents();
        const probe::WallStopwatch watch;
        edit.setSelText(QStringLiteral(" <"));
        popup.typed(u'<', true);
        QApplication::processEvents();
        ms.push_back(watch.ms());
        if (!popup.isOpen()) {
            std::fprintf(stderr, "the list did not open\n");
            return 1;
        }
        popup.close();
        c = edit.textCursor();
        c.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, 2);
        c.removeSelectedText();
    }
    std::sort(ms.begin(), ms.end());
    std::printf("complete.popup_ms_1MiB: %.2f ms\n", ms[ms.size() / 2]);
    return 0;
}
