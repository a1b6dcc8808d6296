#include "editing/FindDialog.h"

#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "editing/EditingCommands.h"
#include "editing/Finder.h"
#include "editing/MatchHighlighter.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>

namespace editing {

namespace {

const char* const errorLook = "color: white; font-weight: bold;";

// A label under a box for what went wrong with it; empty and hidden while all is well.
QLabel* makeErrorLabel(QWidget* parent, const char* name)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(true);
    l->setStyleSheet(QLatin1String(errorLook));
    l->hide();
    return l;
}

void showError(QLabel* label, const QString& text)
{
    label->setText(text);
    label->setAccessibleName(text);
    label->setVisible(!text.isEmpty());
}

// Escape and Close: the dialog goes, the editor gets the keyboard back; the saved caret
// position is left as it was.
Steps closeSteps() { return {step::CloseDialog{}, step::FocusEditor{}}; }

} // namespace

FindDialog::FindDialog() : GeneratorDialog(QStringLiteral("frmFind"), QStringLiteral("Find"))
{
    m_find = makeLineEdit(QStringLiteral("txtFind"), QStringLiteral("Search for"));
    m_replace = makeLineEdit(QStringLiteral("txtReplace"), QStringLiteral("Replace with"));
    m_error = makeErrorLabel(this, "lblFindError");
    m_case = makeCheck("chkMatchCase", "Match case");
    m_words = makeCheck("chkWholeWords", "Whole words");
    m_regex = makeCheck("chkRegex", "Regular expression");
    QPushButton* next = makeButton(QStringLiteral("cmdFindNext"), QStringLiteral("Find &Next"));
    m_replaceButton = makeButton(QStringLiteral("cmdReplace"), QStringLiteral("&Replace"));
    m_replaceAllButton = makeButton(QStringLiteral("cmdReplaceAll"), QStringLiteral("Replace &All"));
    QPushButton* close = makeButton(QStringLiteral("cmdClose"), QStringLiteral("Close"));
    next->setDefault(true);
    next->setAutoDefault(true);

    auto* grid = new QGridLayout;
    grid->addWidget(makeLabel(QStringLiteral("lblFind"), QStringLiteral("&Search for:"), m_find), 0, 0);
    grid->addWidget(m_find, 0, 1);
    grid->addWidget(m_error, 1, 1);
    m_replaceLabel = makeLabel(QStringLiteral("lblReplace"), QStringLiteral("Re&place with:"), m_replace);
    grid->addWidget(m_replaceLabel, 2, 0);
    grid->addWidget(m_replace, 2, 1);
    grid->setColumnMinimumWidth(1, 260);
    auto* options = new QHBoxLayout;
    for (const auto& [box, name, caption] :
         {std::tuple{m_case, "lblMatchCase", "Match &case"},
          std::tuple{m_words, "lblWholeWords", "&Whole words"},
          std::tuple{m_regex, "lblRegex", "Regular e&xpression"}}) {
        options->addWidget(box);
        options->addWidget(makeLabel(QLatin1String(name), QLatin1String(caption), box));
        options->addSpacing(8);
    }
    options->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->addLayout(grid);
    column->addLayout(options);
    column->addLayout(buttonRow({next, m_replaceButton, m_replaceAllButton, close}));
    column->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrderList({m_find, m_replace, m_case, m_words, m_regex, next, m_replaceButton,
                     m_replaceAllButton, close});

    m_highlighter = new MatchHighlighter(this);
    const SearchState& state = searchState();
    m_find->setText(state.text);
    m_replace->setText(state.replaceWith);
    m_case->setChecked(state.options.matchCase);
    m_words->setChecked(state.options.wholeWords);
    m_regex->setChecked(state.options.regularExpression);
    searchChanged();

    connect(m_find, &QLineEdit::textChanged, this, &FindDialog::searchChanged);
    connect(m_replace, &QLineEdit::textChanged, this, &FindDialog::searchChanged);
    for (QCheckBox* box : {m_case, m_words, m_regex})
        connect(box, &QCheckBox::toggled, this, &FindDialog::searchChanged);
    connect(next, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(m_replaceButton, &QPushButton::clicked, this, &FindDialog::replaceOne);
    connect(m_replaceAllButton, &QPushButton::clicked, this, &FindDialog::replaceEvery);
    connect(close, &QPushButton::clicked, this, &FindDialog::cancel);
    if (QMdiArea* area = documentArea())
        connect(area, &QMdiArea::subWindowActivated, this,
                [this] { m_highlighter->follow(activeEditor()); });
    m_highlighter->follow(activeEditor());
    setReplacing(false);
    m_find->setFocus();
}

void FindDialog::setReplacing(bool replacing)
{
    m_replacing = replacing;
    for (QWidget* w : {static_cast<QWidget*>(m_replaceLabel), static_cast<QWidget*>(m_replace),
                       static_cast<QWidget*>(m_replaceButton),
                       static_cast<QWidget*>(m_replaceAllButton)})
        w->setVisible(replacing);
    const QString caption = replacing ? QStringLiteral("Replace") : QStringLiteral("Find");
    setWindowTitle(caption);
    setAccessibleName(caption);
}

void FindDialog::setSearchText(const QString& text)
{
    m_find->setText(text);
    m_find->selectAll();
    m_find->setFocus();
}

void FindDialog::searchChanged()
{
    SearchState& state = searchState();
    state.text = m_find->text();
    state.replaceWith = m_replace->text();
    state.options = {m_case->isChecked(), m_words->isChecked(), m_regex->isChecked()};
    m_highlighter->setPattern(checkedPattern());
}

SearchPattern FindDialog::checkedPattern()
{
    const SearchPattern pattern = searchState().pattern();
    showError(m_error, pattern.isValid() ? QString() : pattern.errorText());
    return pattern;
}

void FindDialog::findNext()
{
    if (checkedPattern().usable())
        editing::findNext();
}

frmDocument* FindDialog::replaceTarget(SearchPattern& pattern)
{
    pattern = checkedPattern();
    return pattern.usable() ? workspace::activeDocument() : nullptr;
}

void FindDialog::replaceOne()
{
    SearchPattern pattern;
    if (frmDocument* doc = replaceTarget(pattern)) {
        replaceSelection(*doc, pattern, m_replace->text());
        editing::findNext();
    }
}

void FindDialog::replaceEvery()
{
    SearchPattern pattern;
    frmDocument* doc = replaceTarget(pattern);
    if (!doc)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int n = replaceAll(*doc, pattern, m_replace->text());
    QApplication::restoreOverrideCursor();
    notify(n == 1 ? QStringLiteral("1 replacement") : QStringLiteral("%1 replacements").arg(n));
}

void FindDialog::cancel() { run(closeSteps()); }

// ---- Go to Line ---------------------------------------------------------------------------

GoToLineDialog::GoToLineDialog()
    : GeneratorDialog(QStringLiteral("frmGoToLine"), QStringLiteral("Go to Line"))
{
    m_line = makeLineEdit(QStringLiteral("txtLine"), QStringLiteral("Line number"), 10);
    m_prompt = makeLabel(QStringLiteral("lblLine"), QStringLiteral("&Line number:"), m_line);
    m_error = makeErrorLabel(this, "lblLineError");
    QPushButton* go = makeButton(QStringLiteral("cmdGo"), QStringLiteral("&Go"));
    QPushButton* cancelButton = makeButton(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"));
    go->setDefault(true);

    auto* column = new QVBoxLayout(this);
    column->addWidget(m_prompt);
    column->addWidget(m_line);
    column->addWidget(m_error);
    column->addLayout(buttonRow({go, cancelButton}));
    column->setSizeConstraint(QLayout::SetFixedSize);
    m_line->setMinimumWidth(220);
    setTabOrderList({m_line, go, cancelButton});

    connect(go, &QPushButton::clicked, this, &GoToLineDialog::go);
    connect(cancelButton, &QPushButton::clicked, this, &GoToLineDialog::cancel);
    if (QMdiArea* area = documentArea())
        connect(area, &QMdiArea::subWindowActivated, this, &GoToLineDialog::showRange);
    showRange();
    m_line->setFocus();
}

void GoToLineDialog::showEvent(QShowEvent* event)
{
    showRange();
    GeneratorDialog::showEvent(event);
}

void GoToLineDialog::showRange()
{
    const RichEdit* edit = activeEditor();
    m_prompt->setText(edit ? QStringLiteral("&Line number (1 to %1):").arg(edit->lineCount())
                           : QStringLiteral("&Line number:"));
}

void GoToLineDialog::go()
{
    RichEdit* edit = activeEditor();
    if (!edit) {
        run(closeSteps());
        return;
    }
    const int last = edit->lineCount();
    bool ok = false;
    const int line = m_line->text().trimmed().toInt(&ok);
    if (!ok || line < 1 || line > last) {
        showError(m_error, ok ? QStringLiteral("There is no line %1: this page has lines 1 to %2.")
                                    .arg(line)
                                    .arg(last)
                              : QStringLiteral("Enter a line number from 1 to %1.").arg(last));
        m_line->selectAll();
        m_line->setFocus();
        return;
    }
    QTextCursor c(edit->document());
    c.setPosition(edit->lineStart(line - 1));
    edit->setTextCursor(c);
    edit->centerCursor();
    run(closeSteps());
}

void GoToLineDialog::cancel() { run(closeSteps()); }

} // namespace editing
