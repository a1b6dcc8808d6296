#include "document/frmDocument.h"

#include "document/Forms.h"
#include "document/PageTemplate.h"
#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "platform/Twips.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFont>
#include <QMdiSubWindow>
#include <QPalette>

namespace {
const QString pageColoursDialog = QStringLiteral("color");
}

frmDocument::frmDocument(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmDocument"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_text = new RichEdit(this);

    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.5);
    m_text->setPageFont(font);
    m_text->setTabStopDistance(platform::twipsToPixels(720));
    // The page is black on white whatever the desktop's colours: text without a colour of its
    // own (the template, opened plain pages) takes the palette's text colour, typed text is
    // black, so both must be black on a white base under a dark theme too.
    QPalette colours = m_text->palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    m_text->setPalette(colours);
    nameEditor();
    m_text->setWholeText(page::newPageTemplate());
    m_text->moveCursor(QTextCursor::Start);
    m_saveTracker.setBaseline(*m_text);

    connect(m_text, &RichEdit::edited, this,
            [this](int pos, int removed, int inserted, int newLength) {
                m_history.noteEdit(pos, removed, inserted, newLength);
                m_saveTracker.noteEdit(pos, removed, inserted, newLength);
            });
    connect(m_text, &RichEdit::changed, this, &frmDocument::updateModified);
    connect(m_text, &RichEdit::changed, this, &frmDocument::onChange);
    connect(m_text, &RichEdit::selChange, this, &frmDocument::onSelChange);
    connect(m_text, &RichEdit::clicked, this, &frmDocument::onClick);
}

void frmDocument::load()
{
    showModifiedMark();
    layoutEditor();
    m_history.setRecording(true);
    onChange();
    onSelChange();
    if (QWidget* frame = parentWidget())
        frame->show();
    show();
    QCoreApplication::processEvents();
    if (Forms::isVisible(pageColoursDialog))
        Forms::focus(pageColoursDialog);
    if (frmDocument* active = workspace::activeDocument())
        active->recordCaret();
}

void frmDocument::startHistoryHere() { m_history.startOver(*m_text); }

void frmDocument::markSaved()
{
    m_saveTracker.setBaseline(*m_text);
    updateModified();
}

void frmDocument::markUnsaved()
{
    m_saveTracker.setUnsaved();
    updateModified();
}

void frmDocument::updateModified()
{
    const bool modified = m_saveTracker.isModified(*m_text);
    if (modified == m_modified)
        return;
    m_modified = modified;
    showModifiedMark();
    emit modificationChanged(modified);
}

void frmDocument::showModifiedMark()
{
    // The mark goes on the window frame, not into the caption: the caption is the page's
    // file name, which Save compares with the file dialog's.
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!frame)
        return;
    if (!m_modified)
        frame->setWindowModified(false);
    frame->setWindowTitle(m_modified ? windowTitle() + QLatin1String("[*]") : windowTitle());
    if (m_modified)
        frame->setWindowModified(true);
}

void frmDocument::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // The frame copies a new caption as it is; put the mark's place back after it.
    if (event->type() == QEvent::WindowTitleChange) {
        showModifiedMark();
        nameEditor();
    }
}

void frmDocument::nameEditor()
{
    // What a screen reader announces for the text box: the page and its caption.
    m_text->setAccessibleName(windowTitle().isEmpty() ? QStringLiteral("Page")
                                                      : QStringLiteral("Page ") + windowTitle());
}

void frmDocument::recordCaret() { m_savedCaret = m_text->selStart(); }

void frmDocument::layoutEditor()
{
    const int margin = platform::twipsToPixels(100);
    const int w = width() - 2 * margin;
    const int h = height() - 2 * margin;
    if (w <= 0 || h <= 0)
        return; // too small: the control keeps its previous size
    m_text->setGeometry(margin, margin, w, h);
}

void frmDocument::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutEditor();
}

void frmDocument::onChange()
{
    if (m_history.record(*m_text))
        afterRecord();
}

void frmDocument::applySplices(const SpliceSet& set)
{
    if (m_history.applySplices(*m_text, set))
        afterRecord();
}

void frmDocument::afterRecord()
{
    onSelChange();
    if (Forms::isVisible(pageColoursDialog))
        Forms::focus(pageColoursDialog);
}

void frmDocument::onSelChange()
{
    if (m_history.recording() && Forms::isVisible(pageColoursDialog))
        Forms::focus(pageColoursDialog);
}

void frmDocument::onClick()
{
    frmDocument* active = workspace::activeDocument();
    if (!active)
        return;
    // A click makes what is typed next black. When the click ended a drag or double-click
    // selection, the selected text keeps its colours: recolouring it would wipe out the
    // colour marking of the tags just for selecting them.
    if (active->editor()->selLength() == 0)
        active->editor()->setSelColor(Qt::black);
    active->recordCaret();
}

void frmDocument::closingSteps()
{
    onSelChange();
    m_history.setRecording(true);
    m_text->setFocus();
}

void frmDocument::Undo()
{
    m_history.undo(*m_text);
    closingSteps();
}

void frmDocument::Redo()
{
    m_history.redo(*m_text);
    closingSteps();
}
