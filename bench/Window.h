#pragma once

class QString;
class RichEdit;
class frmDocument;

// A document window as File > New leaves it, at the document window's size, the active
// document of the benchmark (what the commands act on) until it is destroyed.
class DocumentWindow {
public:
    DocumentWindow();
    // Then holding `page`, loaded through the editor and recorded in the history, with the
    // caret at the middle of the text by the widget's count (where the floor types too).
    explicit DocumentWindow(const QString& page);
    ~DocumentWindow();
    DocumentWindow(const DocumentWindow&) = delete;
    DocumentWindow& operator=(const DocumentWindow&) = delete;

    frmDocument* doc() const { return m_doc; }
    RichEdit* edit() const;

private:
    frmDocument* m_doc;
};
