#pragma once

// Helpers that keep the integration tests short: a real frmMain built offscreen, commands
// triggered by object name, and the document's text read back as coloured runs.

#include <QColor>
#include <QSettings>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <source_location>

class frmMain;
class frmDocument;
class RichEdit;
class QWidget;
class QTimer;

namespace testkit {

// Points the settings store at a private folder and records messages and the page set-up
// dialog instead of showing them. Call once per test executable, after QApplication exists.
void isolate();

// The program's settings store, as a test sees it (the private one isolate() set up).
QSettings settings();

// Every message box text shown since the last call (and clears the list).
QStringList takeMessages();

// Questions (Save / Discard / Cancel and the like) are recorded instead of shown. Unless a
// test scripts them, each is answered with its Discard button when it has one (what closing
// a window did before pages were tracked), else with its Escape button. A scripted answer
// gets the question and returns the index of the button to press; it stays until replaced
// or reset with an empty function.
void answerQuestions(std::function<int(const QString& text, const QStringList& buttons)> answer);
// Every question asked since the last call (and clears the list): its text, and its
// details on the lines after it.
QStringList takeQuestions();
int pageSetupCount();

// Answers the next showing of a modal window of that name (a dialog run with exec()): the
// answer gets the window once it is up (and the window is closed as by Escape if the answer
// leaves it open). The colour picker that follows File > New is closed that way when no
// answer waits for it, so that New does not block a test and the page keeps its template.
void answerModal(const QString& name, std::function<void(QWidget*)> answer);

// Answers the next modal window that comes up (any kind: a program dialog, a file dialog, a
// message box), from the event loop it runs in. If none has come up within `timeoutMs`, every
// modal window is closed so that the test goes on, and the guard fails the test when it goes
// out of scope; so does an answered window still open at the deadline. Guards alive together
// answer successive modal windows in the order they were made.
class ModalAnswer {
public:
    ModalAnswer(std::function<void(QWidget*)> answer, int timeoutMs, std::source_location where);
    ~ModalAnswer();
    ModalAnswer(const ModalAnswer&) = delete;
    ModalAnswer& operator=(const ModalAnswer&) = delete;
    bool shown() const; // the window came up and was answered
    struct State;

private:
    std::unique_ptr<State> d;
};
[[nodiscard]] ModalAnswer answerNextModal(std::function<void(QWidget*)> answer, int timeoutMs = 5000,
                                          std::source_location where = std::source_location::current());

// A file's bytes ("<missing>" when it cannot be read), and writing a file's bytes.
QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);
// A local (Unix domain) stream socket bound at `path`, which must not exist yet: its file
// descriptor, or -1 when it cannot be bound. The caller listens on it or closes it.
int bindLocalSocket(const QString& path);

// A loaded dialog or palette by name (nullptr when not loaded), and a control on it.
QWidget* form(const QString& name);
QWidget* control(const QString& form, const QString& name);
template <class T> T* control(const QString& formName, const QString& name)
{
    return qobject_cast<T*>(control(formName, name));
}
// Clicks a button of a loaded dialog, as the mouse would.
void press(const QString& form, const QString& button);

// A stretch of text in one colour; line breaks ("\r\n") join the run they stand in.
struct Run {
    QString text;
    QColor colour;
    friend bool operator==(const Run& a, const Run& b)
    {
        return a.text == b.text && a.colour.rgb() == b.colour.rgb();
    }
};
QList<Run> colourRuns(const RichEdit* edit);
QString describe(const QList<Run>& runs); // readable form for failure messages

// The colour of the character at a position (line breaks counting two).
QColor colourAt(const RichEdit* edit, int position);

// While alive, closes every modal window as soon as it shows, and keeps their object names.
class ModalCloser {
public:
    ModalCloser();
    ~ModalCloser();
    QStringList seen() const { return m_seen; }

private:
    QStringList m_seen;
    QTimer* m_timer;
};

// A main window as the start routine leaves it: loaded, shown and active.
class App {
public:
    App();
    ~App();
    frmMain& main() { return *m_main; }

    void trigger(const QString& name); // a menu item, by object name
    void click(const QString& name);   // a toolbar button (does nothing while disabled)
    bool enabled(const QString& name) const;

    frmDocument* newDocument();        // File > New
    frmDocument* doc() const;          // the active document (nullptr when none)
    RichEdit* edit() const;            // its txtText

    // Keystrokes into the active document's editor, as real key events.
    void type(const QString& text);
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // A key press delivered to the focused widget the way the application routes it, so
    // that menu shortcuts get their chance first.
    void shortcut(int key, Qt::KeyboardModifiers modifiers);

    void select(int start, int length); // line breaks count two

private:
    std::unique_ptr<frmMain> m_main;
};

} // namespace testkit
