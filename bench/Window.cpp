#include "Window.h"

#include "Bare.h"

#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"

#include <QCoreApplication>

DocumentWindow::DocumentWindow() : m_doc(new frmDocument)
{
    m_doc->resize(bare::windowWidth, bare::windowHeight);
    workspace::setActiveLookup([d = m_doc] { return d; });
    m_doc->load();
    QCoreApplication::processEvents();
}

DocumentWindow::DocumentWindow(const QString& page) : DocumentWindow()
{
    edit()->setWholeText(page);
    QCoreApplication::processEvents();
    bare::placeCaretMidway(edit());
    QCoreApplication::processEvents();
}

DocumentWindow::~DocumentWindow()
{
    workspace::setActiveLookup({});
    delete m_doc;
}

RichEdit* DocumentWindow::edit() const { return m_doc->editor(); }
