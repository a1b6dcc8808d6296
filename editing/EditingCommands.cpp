#include "editing/EditingCommands.h"
#include "editing/WritingAids.h"

#include "document/Forms.h"
#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "editing/CaretPanel.h"
#include "editing/FindDialog.h"
#include "editing/Finder.h"
#include "editing/LineNumberGutter.h"
#include "editing/PageDisplay.h"
#include "platform/SettingsStore.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QStatusBar>

namespace editing {

namespace {

const QString findForm = QStringLiteral("frmFind");
const QString goToLineForm = QStringLiteral("frmGoToLine");
const QString lineNumbersKey = QStringLiteral("LineNumbers");
constexpr int noticeMs = 4000;

struct Installed {
    QPointer<QMdiArea> area;
    QPointer<QStatusBar> bar;
    QPointer<QAction> lineNumbersItem;
    bool lineNumbers = false;
};
Installed& installed()
{
    static Installed state;
    return state;
}

// Gives every document window the line numbers as they are set (new ones as they come up).
void applyLineNumbers()
{
    if (!installed().area)
        return;
    for (QMdiSubWindow* sub : installed().area->subWindowList())
        if (auto* doc = qobject_cast<frmDocument*>(sub->widget()))
            LineNumberGutter::showFor(doc->editor(), installed().lineNumbers);
    if (installed().lineNumbersItem)
        installed().lineNumbersItem->setChecked(installed().lineNumbers);
}

void search(Direction direction)
{
    RichEdit* edit = activeEditor();
    if (!edit)
        return;
    const SearchPattern pattern = searchState().pattern();
    if (!pattern.usable()) {
        // Nothing to look for yet: ask for it.
        showFind();
        return;
    }
    switch (find(*edit, pattern, direction)) {
    case Outcome::Found:
        if (installed().bar)
            installed().bar->clearMessage();
        break;
    case Outcome::Wrapped:
        notify(QStringLiteral("Search wrapped"));
        break;
    case Outcome::NotFound:
        notify(QStringLiteral("Cannot find \"%1\"").arg(pattern.text()));
        break;
    }
}

FindDialog* showFindDialog(bool replacing)
{
    RichEdit* edit = activeEditor();
    if (!edit)
        return nullptr;
    auto* dialog = qobject_cast<FindDialog*>(Forms::show(findForm));
    if (!dialog)
        return nullptr;
    dialog->setReplacing(replacing);
    const QString selected = edit->selText();
    if (!selected.isEmpty() && !selected.contains(QLatin1Char('\n')))
        dialog->setSearchText(selected);
    return dialog;
}

} // namespace

void install(QMdiArea* area, QStatusBar* bar, QAction* lineNumbersItem)
{
    installed().area = area;
    installed().bar = bar;
    installed().lineNumbersItem = lineNumbersItem;
    Forms::registerFactory(findForm, [] { return new FindDialog; });
    Forms::registerFactory(goToLineForm, [] { return new GoToLineDialog; });
    // Between the fixed text and the lock-key panels.
    bar->insertPermanentWidget(1, new CaretPanel(area, bar));
    lineNumbersItem->setCheckable(true);
    installed().lineNumbers = platform::SettingsStore().readNumber(lineNumbersKey, 0) != 0;
    QObject::connect(area, &QMdiArea::subWindowActivated, area, [](QMdiSubWindow* sub) {
        if (auto* doc = sub ? qobject_cast<frmDocument*>(sub->widget()) : nullptr)
            LineNumberGutter::showFor(doc->editor(), installed().lineNumbers);
    });
    applyLineNumbers();
    installDisplay(area);
    installWritingAids(area);
}

QMdiArea* documentArea() { return installed().area; }

RichEdit* activeEditor()
{
    frmDocument* doc = workspace::activeDocument();
    return doc ? doc->editor() : nullptr;
}

SearchState& searchState()
{
    static SearchState state;
    return state;
}

void notify(const QString& text)
{
    if (installed().bar)
        installed().bar->showMessage(text, noticeMs);
}

void showFind() { showFindDialog(false); }
void showReplace() { showFindDialog(true); }
void findNext() { search(Direction::Forward); }
void findPrevious() { search(Direction::Backward); }

void showGoToLine()
{
    if (activeEditor())
        Forms::show(goToLineForm);
}

void selectAll()
{
    if (RichEdit* edit = activeEditor())
        edit->selectAll();
}

void toggleLineNumbers()
{
    installed().lineNumbers = !installed().lineNumbers;
    platform::SettingsStore store;
    store.writeNumber(lineNumbersKey, installed().lineNumbers ? 1 : 0);
    store.sync();
    applyLineNumbers();
}

bool lineNumbersShown() { return installed().lineNumbers; }

} // namespace editing
