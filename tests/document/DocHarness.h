#pragma once

// A loaded document window on its own, made the active document, for tests that need a
// real frmDocument but no main window. Keys go to its editor as real key events.

#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"

#include <QTest>
#include <memory>

namespace doctest {

class Doc {
public:
    // A new document window with the page template, loaded (recording, one snapshot).
    Doc() : Doc(QString(), false) {}
    // A document window whose text is replaced by `text` before the load step, so that the
    // first snapshot is that text.
    explicit Doc(const QString& text) : Doc(text, true) {}
    ~Doc() { workspace::setActiveLookup({}); }

    frmDocument* doc() const { return m_doc.get(); }
    RichEdit* edit() const { return m_doc->editor(); }
    UndoHistory& history() const { return m_doc->history(); }

    void type(const QString& text) const
    {
        for (const QChar ch : text) {
            if (ch == QLatin1Char('\n'))
                QTest::keyClick(edit(), Qt::Key_Return);
            else
                QTest::keyClick(edit(), ch.toLatin1());
        }
    }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QTest::keyClick(edit(), k, modifiers);
    }
    void select(int start, int length) const
    {
        edit()->setSelStart(start);
        edit()->setSelLength(length);
    }

private:
    Doc(const QString& text, bool replace) : m_doc(std::make_unique<frmDocument>())
    {
        frmDocument* d = m_doc.get();
        workspace::setActiveLookup([d] { return d; });
        d->resize(640, 480);
        if (replace) {
            d->editor()->setWholeText(text);
            d->editor()->setSelStart(0);
        }
        d->load();
    }

    std::unique_ptr<frmDocument> m_doc;
};

} // namespace doctest
