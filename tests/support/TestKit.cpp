#include "support/TestKit.h"

#include "app/frmMain.h"
#include "document/Forms.h"
#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "platform/FileChooser.h"
#include "platform/Prompts.h"

#include <QAbstractButton>
#include <QDeadlineTimer>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QHash>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QTextBlock>
#include <QTextDocument>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace testkit {

namespace {
QStringList& messages()
{
    static QStringList list;
    return list;
}
QStringList& questions()
{
    static QStringList list;
    return list;
}
std::function<int(const QString&, const QStringList&)>& questionAnswer()
{
    static std::function<int(const QString&, const QStringList&)> answer;
    return answer;
}
int& pageSetups()
{
    static int n = 0;
    return n;
}
QHash<QString, std::function<void(QWidget*)>>& modalAnswers()
{
    static QHash<QString, std::function<void(QWidget*)>> answers;
    return answers;
}

// Watches for modal program windows coming up and answers them (see answerModal).
class ModalAnswerer : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (!dialog || !dialog->isModal() || !Forms::isRegistered(dialog->objectName()))
            return false;
        const QString name = dialog->objectName();
        // Only the colour picker is closed unasked: other modal windows are left to the tests
        // that open them.
        if (!modalAnswers().contains(name) && name != QLatin1String("color"))
            return false;
        QTimer::singleShot(0, dialog, [dialog, name] {
            QPointer<QDialog> guard(dialog);
            if (auto answer = modalAnswers().take(name))
                answer(dialog);
            // An answer that failed half-way must not leave the test blocked.
            if (guard && guard->isVisible())
                guard->reject();
        });
        return false;
    }
};
} // namespace

void answerModal(const QString& name, std::function<void(QWidget*)> answer)
{
    modalAnswers().insert(name, std::move(answer));
}

struct ModalAnswer::State {
    std::function<void(QWidget*)> answer;
    QDeadlineTimer deadline;
    std::source_location where;
    QTimer timer;
    QPointer<QWidget> window; // the window answered
    bool shown = false;
    bool timedOut = false;
    bool leftOpen = false;

    static QList<State*>& live()
    {
        static QList<State*> states;
        return states;
    }
    // The modal window on top when no earlier guard waits and no other guard holds it.
    QWidget* claimable() const
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return nullptr;
        for (const State* s : live()) {
            if (s == this)
                break;
            if (!s->shown && !s->timedOut)
                return nullptr;
        }
        for (const State* s : live())
            if (s != this && s->window == modal && modal->isVisible())
                return nullptr;
        return modal;
    }
    static void closeWindow(QWidget* w)
    {
        if (auto* dialog = qobject_cast<QDialog*>(w))
            dialog->reject();
        else
            w->close();
    }
    void poll()
    {
        if (!shown) {
            if (QWidget* modal = claimable()) {
                shown = true;
                window = modal;
                answer(modal);
            }
        }
        if (shown && (!window || !window->isVisible())) {
            timer.stop();
            return;
        }
        if (!deadline.hasExpired())
            return;
        timer.stop();
        if (shown) {
            leftOpen = true;
            closeWindow(window);
            return;
        }
        timedOut = true;
        for (int i = 0; i < 10; ++i) {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                break;
            closeWindow(modal);
        }
    }
};

ModalAnswer::ModalAnswer(std::function<void(QWidget*)> answer, int timeoutMs, std::source_location where)
    : d(std::make_unique<State>())
{
    d->answer = std::move(answer);
    d->deadline = QDeadlineTimer(timeoutMs);
    d->where = where;
    State::live().append(d.get());
    QObject::connect(&d->timer, &QTimer::timeout, [s = d.get()] { s->poll(); });
    d->timer.start(10);
}

ModalAnswer::~ModalAnswer()
{
    State::live().removeOne(d.get());
    if (QTest::currentTestFailed() || (d->shown && !d->leftOpen))
        return;
    QTest::qFail(d->shown ? "the modal window answered was still open at the deadline"
                          : "no modal window came up to be answered",
                 d->where.file_name(), static_cast<int>(d->where.line()));
}

bool ModalAnswer::shown() const { return d->shown; }

ModalAnswer answerNextModal(std::function<void(QWidget*)> answer, int timeoutMs, std::source_location where)
{
    return ModalAnswer(std::move(answer), timeoutMs, where);
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

int bindLocalSocket(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path);
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        return fd;
    if (fd >= 0)
        ::close(fd);
    return -1;
}

QWidget* form(const QString& name) { return Forms::find(name); }

QWidget* control(const QString& formName, const QString& name)
{
    QWidget* f = form(formName);
    return f ? f->findChild<QWidget*>(name) : nullptr;
}

void press(const QString& formName, const QString& button)
{
    auto* b = qobject_cast<QAbstractButton*>(control(formName, button));
    QVERIFY2(b, qPrintable(QStringLiteral("no button %1 on %2").arg(button, formName)));
    QTest::mouseClick(b, Qt::LeftButton);
}

QSettings settings()
{
    return {QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Halvane"), QStringLiteral("Halvane")};
}

void isolate()
{
    static ModalAnswerer* answerer = [] {
        auto* a = new ModalAnswerer(qApp);
        qApp->installEventFilter(a);
        return a;
    }();
    Q_UNUSED(answerer);
    static QTemporaryDir settingsDir;
    // Recovery copies and other per-user data go to a private folder too.
    static QTemporaryDir dataDir;
    qputenv("XDG_DATA_HOME", dataDir.path().toLocal8Bit());
    QApplication::setOrganizationName(QStringLiteral("Halvane"));
    QApplication::setApplicationName(QStringLiteral("Halvane"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    platform::prompts().message = [](QWidget*, const QString& caption, const QString& text) {
        messages().append(caption == platform::applicationTitle() ? text
                                                                 : caption + QLatin1String(": ") + text);
    };
    platform::prompts().warning = platform::prompts().message;
    platform::prompts().pageSetup = [](QWidget*) { ++pageSetups(); };
    platform::prompts().question = [](QWidget*, const platform::Question& q) {
        questions().append(q.details.isEmpty() ? q.text : q.text + QLatin1Char('\n') + q.details);
        if (questionAnswer())
            return questionAnswer()(q.text, q.buttons);
        for (int i = 0; i < q.buttons.size(); ++i)
            if (QString(q.buttons.at(i)).remove(QLatin1Char('&')).startsWith(QLatin1String("Discard")))
                return i;
        return q.escape();
    };
    // File dialogs answer "cancel" unless a test scripts them.
    platform::fileChooser() = [](QWidget*, const platform::FileRequest&) { return QString(); };
}

QStringList takeMessages()
{
    QStringList out = messages();
    messages().clear();
    return out;
}

int pageSetupCount() { return pageSetups(); }

void answerQuestions(std::function<int(const QString&, const QStringList&)> answer)
{
    questionAnswer() = std::move(answer);
}

QStringList takeQuestions()
{
    QStringList out = questions();
    questions().clear();
    return out;
}

QList<Run> colourRuns(const RichEdit* edit)
{
    QList<Run> runs;
    auto append = [&runs](const QString& text, const QColor& colour, bool isBreak) {
        if (!runs.isEmpty() && (isBreak || runs.last().colour.rgb() == colour.rgb()))
            runs.last().text += text;
        else
            runs.append({text, colour});
    };
    const QTextDocument* doc = edit->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            append(f.text(), f.charFormat().foreground().color(), false);
        }
        if (b.next().isValid() && !edit->continuesLine(b.next())) // not a display-only break
            append(QStringLiteral("\r\n"), QColor(), true);
    }
    return runs;
}

QString describe(const QList<Run>& runs)
{
    QStringList parts;
    for (const Run& r : runs) {
        QString t = r.text;
        t.replace(QLatin1String("\r\n"), QLatin1String("\\r\\n"));
        parts << QStringLiteral("[%1,%2,%3]\"%4\"")
                     .arg(r.colour.red())
                     .arg(r.colour.green())
                     .arg(r.colour.blue())
                     .arg(t);
    }
    return parts.join(QLatin1Char(' '));
}

QColor colourAt(const RichEdit* edit, int position)
{
    QTextCursor c(edit->document());
    c.setPosition(edit->toDocumentPosition(position));
    c.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    return c.charFormat().foreground().color();
}

ModalCloser::ModalCloser() : m_timer(new QTimer)
{
    QObject::connect(m_timer, &QTimer::timeout, [this] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            m_seen << modal->objectName();
            modal->close();
        }
    });
    m_timer->start(10);
}

ModalCloser::~ModalCloser() { delete m_timer; }

App::App() : m_main(std::make_unique<frmMain>())
{
    m_main->load();
    m_main->show();
    m_main->activateWindow();
    (void)QTest::qWaitForWindowActive(m_main.get());
}

App::~App()
{
    // Dialogs are top-level windows of their own: take them down with the main window so
    // that the next test starts with none loaded.
    Forms::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void App::trigger(const QString& name)
{
    QAction* a = m_main->action(name);
    QVERIFY2(a, qPrintable(QStringLiteral("no menu item ") + name));
    a->trigger();
}

void App::click(const QString& name)
{
    QPushButton* b = m_main->button(name);
    QVERIFY2(b, qPrintable(QStringLiteral("no toolbar button ") + name));
    QTest::mouseClick(b, Qt::LeftButton);
}

bool App::enabled(const QString& name) const
{
    QPushButton* b = m_main->button(name);
    return b && b->isEnabled();
}

frmDocument* App::newDocument()
{
    trigger(QStringLiteral("mnuFileNew"));
    m_main->activateWindow();
    (void)QTest::qWaitForWindowActive(m_main.get());
    return doc();
}

frmDocument* App::doc() const { return m_main->activeDocument(); }

RichEdit* App::edit() const
{
    frmDocument* d = doc();
    return d ? d->editor() : nullptr;
}

void App::type(const QString& text)
{
    for (const QChar ch : text) {
        if (ch == QLatin1Char('\n'))
            QTest::keyClick(edit(), Qt::Key_Return);
        else
            QTest::keyClicks(edit(), QString(ch));
    }
}

void App::key(int k, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(edit(), static_cast<Qt::Key>(k), modifiers);
}

void App::shortcut(int k, Qt::KeyboardModifiers modifiers)
{
    QWidget* target = QApplication::focusWidget();
    if (!target)
        target = m_main.get();
    QTest::keyClick(target, static_cast<Qt::Key>(k), modifiers);
}

void App::select(int start, int length)
{
    edit()->setSelStart(start);
    edit()->setSelLength(length);
}

} // namespace testkit
