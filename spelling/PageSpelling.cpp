#include "spelling/PageSpelling.h"

#include "document/RichEdit.h"
#include "document/WindowLayer.h"
#include "document/frmDocument.h"
#include "editing/EditingCommands.h"
#include "editing/SelectionLayers.h"
#include "platform/SettingsStore.h"
#include "spelling/Check.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QHash>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QThread>
#include <QTimer>
#include <ctime>
#include <chrono>
#include <deque>
#include <functional>
#include <unordered_map>

namespace spelling::detail {

// One misspelling, in the line (block) it starts in.
struct Mark {
    int column = 0;
    int endBlocks = 0; // how many blocks further it ends (a long line's display blocks)
    int endColumn = 0;
    QString word;
    QString dictionary;
};

// The marks of a block travel with it through edits until its line is checked again.
struct BlockMarks : QTextBlockUserData {
    std::vector<Mark> marks;
};

struct Job {
    quintptr editor = 0;
    int serial = 0;
    int first = 0;   // the first line changed
    int removed = 0; // lines of the worker's copy replaced
    QStringList lines;
    std::vector<bool> ends;
    int visibleFirst = 0, visibleLast = 0;
    QString language; // the page's own choice of dictionary, "" for the system's locale
};

struct Batch {
    quintptr editor = 0;
    int serial = 0;
    bool done = false;
    std::vector<std::pair<int, std::vector<Mark>>> lines;
    QStringList missing;
};

} // namespace spelling::detail

Q_DECLARE_METATYPE(spelling::detail::Batch)

namespace spelling {

using namespace detail;

namespace {

const QString onKey = QStringLiteral("CheckSpelling");

// CPU time of the calling thread, in milliseconds: what a turn of the layer costs the
// interface, whatever else the machine runs.
double threadMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Notes the cost of one turn of the layer on the interface thread.
struct Turn {
    double& longest;
    double start = threadMs();
    ~Turn() { longest = std::max(longest, threadMs() - start); }
};

// Lives in the worker thread: each editor's copy of the page and its checking.
class Checker : public QObject {
    Q_OBJECT
  public:
    void run(const Job& job) {
        if (job.lines.isEmpty() && job.removed < 0) { // the editor is gone
            m_pages.erase(job.editor);
            take(job.editor);
            QMutexLocker lock(&m_heldMutex);
            m_typingUntil.remove(job.editor);
            return;
        }
        std::vector<Line>& page = m_pages[job.editor];
        const int first = std::clamp(job.first, 0, int(page.size()));
        const int removed = std::clamp(job.removed, 0, int(page.size()) - first);
        std::vector<Line> fresh(job.lines.size());
        for (qsizetype i = 0; i < job.lines.size(); ++i)
            fresh[i].text = job.lines[i], fresh[i].ends = job.ends[i];
        page.erase(page.begin() + first, page.begin() + first + removed);
        page.insert(page.begin() + first, fresh.begin(), fresh.end());

        // Scans again from the first changed line until the context before a line beyond the
        // change is what it was.
        Scanner scanner;
        if (first > 0)
            scanner.context = page[first].before;
        const int changedEnd = first + int(job.lines.size());
        int stop = first;
        std::vector<Word> words;
        for (; stop < int(page.size()); ++stop) {
            if (QThread::currentThread()->isInterruptionRequested())
                return;
            Line& line = page[stop];
            if (stop >= changedEnd && stop > first && line.scanned &&
                line.before == scanner.context)
                break;
            line.before = scanner.context;
            line.scanned = true;
            scanner.scan(line.text, stop, line.ends, words);
        }
        if (stop == int(page.size()))
            scanner.finish(words);
        std::unordered_map<int, std::vector<Word>> byLine;
        for (Word& w : words)
            if (w.piece >= first && w.piece < stop)
                byLine[w.piece].push_back(std::move(w));

        // The lines in view first.
        std::vector<int> order;
        order.reserve(stop - first);
        for (int i = std::max(first, job.visibleFirst); i < std::min(stop, job.visibleLast + 1);
             ++i)
            order.push_back(i);
        for (int i = first; i < stop; ++i)
            if (i < job.visibleFirst || i > job.visibleLast)
                order.push_back(i);

        Batch batch{job.editor, job.serial, false, {}, {}};
        QSet<QString> missing;
        QElapsedTimer clock;
        clock.start();
        for (int i : order) {
            if (QThread::currentThread()->isInterruptionRequested())
                return; // the program is quitting: the dictionaries are about to go
            std::vector<Mark> marks;
            const auto it = byLine.find(i);
            if (it != byLine.end())
                for (const Word& w :
                     misspelt(it->second, Dictionaries::shared(), job.language, &missing))
                    marks.push_back(
                        {w.column, w.endPiece - w.piece, w.endColumn, w.text, w.language});
            batch.lines.emplace_back(i, std::move(marks));
            if (clock.elapsed() > 30) {
                deliver(batch);
                batch.lines.clear();
                clock.restart();
            }
        }
        batch.done = true;
        batch.missing = QStringList(missing.begin(), missing.end());
        deliver(batch);
    }

    // The answers for an editor so far, in the order they came (any thread).
    std::vector<Batch> take(quintptr editor) {
        QMutexLocker lock(&m_heldMutex);
        std::vector<Batch> out;
        const auto mine = [editor](const Batch& b) { return b.editor == editor; };
        for (Batch& b : m_held)
            if (mine(b))
                out.push_back(std::move(b));
        m_held.erase(std::remove_if(m_held.begin(), m_held.end(), mine), m_held.end());
        return out;
    }

    // Until when (steady clock, ms) the user types in an editor: its answers then wait for
    // the interface to take them with the next key, rather than waking it for a turn of its
    // own (any thread).
    void typingUntil(quintptr editor, qint64 until) {
        QMutexLocker lock(&m_heldMutex);
        m_typingUntil[editor] = until;
    }
    static qint64 nowMs() {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

  signals:
    void ready(quintptr editor);

  private:
    struct Line {
        QString text;
        bool ends = true;
        bool scanned = false;
        Context before;
    };
    void deliver(const Batch& batch) {
        bool typing = false;
        {
            QMutexLocker lock(&m_heldMutex);
            m_held.push_back(batch);
            typing = nowMs() < m_typingUntil.value(batch.editor);
        }
        if (!typing)
            emit ready(batch.editor);
    }

    std::unordered_map<quintptr, std::vector<Line>> m_pages;
    QMutex m_heldMutex; // guards the two below
    std::vector<Batch> m_held;
    QHash<quintptr, qint64> m_typingUntil;
};

class Worker {
  public:
    static Worker& instance() {
        // Made on first use and kept to the end: the thread stops as the program quits.
        static Worker* worker = new Worker;
        return *worker;
    }
    Checker* checker() { return m_checker; }
    void send(const Job& job) {
        QMetaObject::invokeMethod(
            m_checker, [c = m_checker, job] { c->run(job); }, Qt::QueuedConnection);
    }
    // Runs `ask` on the worker (where the dictionaries load) and hands its answer to `then`
    // on the interface thread.
    void ask(std::function<bool()> ask, std::function<void(bool)> then) {
        QMetaObject::invokeMethod(
            m_checker,
            [ask = std::move(ask), then = std::move(then)] {
                const bool answer = ask();
                QMetaObject::invokeMethod(qApp, [then, answer] { then(answer); },
                                          Qt::QueuedConnection);
            },
            Qt::QueuedConnection);
    }

  private:
    Worker() {
        qRegisterMetaType<spelling::detail::Batch>();
        m_checker = new Checker;
        m_checker->moveToThread(&m_thread);
        m_thread.setObjectName(QStringLiteral("spelling"));
        m_thread.start(QThread::LowPriority);
        // The thread must end before the dictionaries are freed at exit: a check still running
        // would call into a dictionary module already unloaded. A program that never ran its
        // event loop (a test, a command-line run) emits no aboutToQuit, so the application's
        // end stops it too.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] { stop(); });
        qAddPostRoutine(&Worker::stop);
    }
    static void stop() {
        Worker& w = instance();
        w.m_thread.requestInterruption();
        w.m_thread.quit();
        w.m_thread.wait();
    }
    QThread m_thread;
    Checker* m_checker;
};

struct SpellingOptions {
    bool on = true;
    // False until the default is known: with no remembered choice, checking is on only when
    // a dictionary is installed for the system's locale, which the worker finds out.
    bool decided = true;
    bool asked = false;
};
using Installed = WindowLayer<SpellingOptions>;
Installed& installed() { return Installed::installed(); }
QAction* item(const char* name) { return installed().item(name); }

// The page's own language, kept on its editor for the session ("" the system's locale).
const char* const languageProperty = "halvaneSpellingLanguage";

// One editor's layer, a child of the editor so that it goes with it.
class Layer : public QObject {
  public:
    static constexpr const char* name = "halvaneSpelling";
    static Layer* find(const RichEdit* edit) {
        return edit ? dynamic_cast<Layer*>(edit->findChild<QObject*>(QLatin1String(name),
                                                                     Qt::FindDirectChildrenOnly))
                    : nullptr;
    }

    explicit Layer(RichEdit* edit) : QObject(edit), m_edit(edit) {
        setObjectName(QLatin1String(name));
        m_send.setSingleShot(true);
        m_send.setInterval(0); // letters are held back (see changed()): other edits go at once
        connect(&m_send, &QTimer::timeout, this, &Layer::send);
        m_gather.setSingleShot(true);
        m_gather.setInterval(0);
        connect(&m_gather, &QTimer::timeout, this, &Layer::send);
        m_refresh.setSingleShot(true);
        m_refresh.setInterval(0);
        connect(&m_refresh, &QTimer::timeout, this, &Layer::refresh);
        const auto later = [this] { m_refresh.start(0); };
        connect(edit->verticalScrollBar(), &QScrollBar::valueChanged, this, later);
        connect(edit->horizontalScrollBar(), &QScrollBar::valueChanged, this, later);
        connect(edit->document(), &QTextDocument::contentsChange, this, &Layer::changed);
        // The word being typed is underlined once the caret leaves it.
        connect(edit, &QPlainTextEdit::cursorPositionChanged, this, [this] {
            // Answers and underlines held back while typing go with the key's own repaint.
            collect();
            if (m_refresh.isActive() && m_refresh.interval() > 0) {
                m_refresh.stop();
                refresh();
            }
            if (m_edit->textCursor().position() == m_typedTo)
                return;
            if (m_deferred) {
                m_deferred = false;
                m_send.start();
            }
            if (m_hiding)
                m_refresh.start(0);
        });
        connect(Worker::instance().checker(), &Checker::ready, this, [this](quintptr editor) {
            if (editor == m_key)
                collect();
        });
        m_collect.setSingleShot(true);
        m_collect.setInterval(pauseMs);
        connect(&m_collect, &QTimer::timeout, this, &Layer::collect);
        // The context menu event reaches the text area's viewport, not the editor.
        edit->viewport()->installEventFilter(this);
        // A number of its own, never used again: answers for a closed editor are left alone.
        static quintptr keys = 0;
        m_key = ++keys;
        m_blocks = edit->document()->blockCount();
        // The whole page, as one change of all its lines.
        m_dirtyFirst = 0;
        m_dirtyEnd = m_blocks;
        m_delta = m_blocks;
        send();
    }
    ~Layer() override { Worker::instance().send({m_key, 0, 0, -1, {}, {}, 0, 0, {}}); }

    double longestTurn() const { return m_longestTurn; }
    bool settled() const {
        return m_inFlight.empty() && (m_dirtyFirst < 0 || m_deferred) && !m_send.isActive() &&
               !m_gathering;
    }

    // The mark at a widget position, with its range.
    const Mark* markAt(int position, int* start, int* end) const {
        const QTextDocument* doc = m_edit->document();
        QTextBlock b = doc->findBlock(position);
        for (int back = 0; b.isValid() && back < 8; ++back, b = b.previous()) {
            if (auto* data = static_cast<BlockMarks*>(b.userData()))
                for (const Mark& m : data->marks) {
                    const auto [s, e] = range(b, m);
                    if (position >= s && position <= e) {
                        *start = s, *end = e;
                        return &m;
                    }
                }
            if (!m_edit->continuesLine(b))
                break;
        }
        return nullptr;
    }

    std::pair<int, int> range(const QTextBlock& block, const Mark& m) const {
        QTextBlock last = block;
        for (int i = 0; i < m.endBlocks && last.next().isValid(); ++i)
            last = last.next();
        const int s = block.position() + std::min(m.column, block.length() - 1);
        return {s, std::max(s, last.position() + std::min(m.endColumn, last.length() - 1))};
    }

    QList<Underline> all() const {
        QList<Underline> out;
        for (QTextBlock b = m_edit->document()->begin(); b.isValid(); b = b.next())
            if (auto* data = static_cast<BlockMarks*>(b.userData()))
                for (const Mark& m : data->marks) {
                    const auto [s, e] = range(b, m);
                    out.append({s, e, m.word});
                }
        return out;
    }

    void dropAll() {
        for (QTextBlock b = m_edit->document()->begin(); b.isValid(); b = b.next())
            b.setUserData(nullptr);
        editing::setLayer(m_edit, editing::Layer::Spelling, {});
    }

    // Checks every line again (after Ignore All or Add to Dictionary).
    void recheckAll() {
        m_dirtyFirst = 0;
        m_dirtyEnd = m_edit->document()->blockCount();
        m_delta = 0;
        send();
    }

    void refreshSoon() { m_refresh.start(0); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ContextMenu) {
            auto* e = static_cast<QContextMenuEvent*>(event);
            const int position = m_edit->cursorForPosition(e->pos()).position();
            int start = 0, end = 0;
            showMenu(markAt(position, &start, &end), start, e->globalPos());
            return true;
        } else if (event->type() == QEvent::Resize) {
            m_refresh.start(0);
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    // The editor's own menu, the word's suggestions and choices above it when the word is
    // underlined, and the page's language below.
    void showMenu(const Mark* mark, int start, const QPoint& at) {
        QMenu* menu = m_edit->createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        addLanguageMenu(menu);
        if (mark)
            addWordChoices(menu, *mark, start);
        menu->popup(at);
    }

    void addLanguageMenu(QMenu* menu) {
        menu->addSeparator();
        QMenu* languages = menu->addMenu(tr("Spelling &Language"));
        languages->setObjectName(QStringLiteral("mnuSpellingLanguage"));
        auto* group = new QActionGroup(languages);
        const QString chosen = m_edit->property(languageProperty).toString();
        const QString system = Dictionaries::systemLanguage();
        QPointer<RichEdit> edit = m_edit;
        const auto offer = [&](const QString& caption, const QString& language) {
            QAction* a = languages->addAction(caption);
            a->setCheckable(true);
            a->setChecked(language == chosen);
            a->setData(language);
            group->addAction(a);
            connect(a, &QAction::triggered, this, [edit, language] {
                if (edit)
                    setPageLanguage(edit, language);
            });
        };
        offer(tr("System Language (%1)").arg(system), QString());
        languages->addSeparator();
        const QStringList installed = Dictionaries::shared().installed();
        for (const QString& d : installed)
            offer(d, d);
        if (installed.isEmpty()) {
            QAction* none = languages->addAction(tr("(No Dictionaries Installed)"));
            none->setEnabled(false);
        }
    }

    void addWordChoices(QMenu* menu, const Mark& mark, int start) {
        QAction* top = menu->actions().value(0);
        const QString word = mark.word, dictionary = mark.dictionary;
        const QStringList offered = Dictionaries::shared().suggestions(word, dictionary, 8);
        QPointer<RichEdit> edit = m_edit;
        for (const QString& s : offered) {
            QAction* a = new QAction(s, menu);
            connect(a, &QAction::triggered, this, [edit, start, s] {
                if (edit)
                    replaceWordAt(edit, start, s);
            });
            menu->insertAction(top, a);
        }
        if (offered.isEmpty()) {
            QAction* none = new QAction(tr("(No Suggestions)"), menu);
            none->setEnabled(false);
            menu->insertAction(top, none);
        }
        QAction* ignore = new QAction(tr("Ignore All"), menu);
        connect(ignore, &QAction::triggered, this, [word] {
            Dictionaries::shared().ignoreAll(word);
            recheckEverywhere();
        });
        QAction* add = new QAction(tr("Add to Dictionary"), menu);
        connect(add, &QAction::triggered, this, [word, dictionary] {
            Dictionaries::shared().addToPersonal(word, dictionary);
            recheckEverywhere();
        });
        menu->insertSeparator(top);
        menu->insertAction(top, ignore);
        menu->insertAction(top, add);
        menu->insertSeparator(top);
    }

    static void recheckEverywhere();

    void changed(int position, int removed, int added) {
        m_typedTo = position + added;
        m_sinceEdit.start();
        Worker::instance().checker()->typingUntil(m_key, Checker::nowMs() + pauseMs);
        m_collect.start(); // what the worker holds meanwhile, once the typing pauses
        const QTextDocument* doc = m_edit->document();
        const int blocks = doc->blockCount();
        const int delta = blocks - m_blocks;
        m_blocks = blocks;
        const int first = doc->findBlock(position).blockNumber();
        const int last = doc->findBlock(position + added).blockNumber();
        const int firstLine = std::max(0, first);
        if (m_dirtyFirst < 0) {
            m_dirtyFirst = firstLine;
            m_dirtyEnd = last + 1;
            m_delta = delta;
        } else {
            if (m_dirtyEnd > firstLine)
                m_dirtyEnd += delta;
            m_dirtyFirst = std::min(m_dirtyFirst, firstLine);
            m_dirtyEnd = std::max({m_dirtyEnd, last + 1, m_dirtyFirst + 1});
            m_delta += delta;
        }
        m_dirtyEnd = std::min(m_dirtyEnd, blocks);
        m_gathering = false; // the copies taken so far may be out of date
        m_gather.stop();
        // A letter typed goes on with a word, whose underline is held back while it is being
        // typed: its line is checked once the word ends or the caret leaves it.
        const QChar typed = added == 1 && removed == 0 ? doc->characterAt(position) : QChar();
        m_deferred = typed.isLetterOrNumber() || typed == u'\'' || typed == QChar(0x2019);
        if (m_deferred)
            m_send.stop();
        else
            m_send.start();
    }

    // Takes copies of the changed lines, a few milliseconds at a time (a whole big page takes
    // several turns of the event loop), and hands them to the worker. An edit meanwhile starts
    // the copying again.
    void send() {
        const Turn turn{m_longestTurn};
        if (m_dirtyFirst < 0)
            return;
        m_deferred = false;
        const QTextDocument* doc = m_edit->document();
        if (!m_gathering) {
            m_gathering = true;
            m_job = Job{};
            m_job.editor = m_key;
            m_job.first = m_dirtyFirst;
            m_job.removed = (m_dirtyEnd - m_dirtyFirst) - m_delta;
            m_job.lines.reserve(m_dirtyEnd - m_dirtyFirst);
            m_next = doc->findBlockByNumber(m_dirtyFirst);
        }
        // Without display blocks (no very long line) every block ends its line.
        const bool wrapped = m_edit->displayBreakCount() > 0;
        QElapsedTimer clock;
        clock.start();
        for (int i = m_dirtyFirst + int(m_job.lines.size()); i < m_dirtyEnd && m_next.isValid();
             ++i, m_next = m_next.next()) {
            if ((i & 255) == 0 && clock.nsecsElapsed() > sliceNs) {
                m_gather.start();
                return;
            }
            m_job.lines.append(m_next.text());
            const QTextBlock after = m_next.next();
            m_job.ends.push_back(!wrapped || !after.isValid() || !m_edit->continuesLine(after));
        }
        m_gathering = false;
        m_job.serial = ++m_serial;
        m_job.language = m_edit->property(languageProperty).toString();
        const QTextBlock top = m_edit->firstVisibleBlock();
        m_job.visibleFirst = top.blockNumber();
        m_job.visibleLast =
            m_job.visibleFirst +
            m_edit->viewport()->height() / std::max(1, m_edit->fontMetrics().height()) + 1;
        m_inFlight.push_back({m_job.serial, m_dirtyFirst, m_dirtyEnd, m_delta});
        m_dirtyFirst = -1;
        Worker::instance().send(m_job);
        m_job = Job{};
    }

    // Where line `line` of the worker's copy after job `serial` stands in the editor now (-1:
    // changed since, an answer on its way).
    int mapLine(int serial, int line) const {
        const auto through = [&line](const Sent& t) {
            if (line < 0 || line < t.first)
                return;
            line = line >= t.endNew - t.delta ? line + t.delta : -1;
        };
        for (const Sent& t : m_inFlight)
            if (t.serial > serial)
                through(t);
        if (m_dirtyFirst >= 0)
            through({0, m_dirtyFirst, m_dirtyEnd, m_delta});
        return line;
    }

    void collect() {
        for (const Batch& b : Worker::instance().checker()->take(m_key))
            answered(b);
    }

    void answered(const Batch& batch) {
        const Turn turn{m_longestTurn};
        QTextDocument* doc = m_edit->document();
        for (const auto& [line, marks] : batch.lines) {
            const int at = mapLine(batch.serial, line);
            QTextBlock b = at >= 0 ? doc->findBlockByNumber(at) : QTextBlock();
            if (!b.isValid())
                continue;
            if (marks.empty()) {
                if (b.userData())
                    b.setUserData(nullptr);
            } else {
                auto* data = new BlockMarks;
                data->marks = marks;
                b.setUserData(data);
            }
        }
        if (batch.done)
            while (!m_inFlight.empty() && m_inFlight.front().serial <= batch.serial)
                m_inFlight.pop_front();
        for (const QString& language : batch.missing)
            if (Dictionaries::shared().firstReportOfMissing(language))
                editing::notify(
                    tr("No spelling dictionary is installed for \"%1\": its words are not checked.")
                        .arg(language));
        // While the user types, new underlines wait for the next key (drawn with its repaint
        // rather than in a repaint of their own) or a pause.
        const bool typing = m_sinceEdit.isValid() && m_sinceEdit.elapsed() < typingMs;
        if (!m_refresh.isActive() || !typing)
            m_refresh.start(typing ? pauseMs : 0);
    }

    // Underlines for the blocks in view only.
    void refresh() {
        const Turn turn{m_longestTurn};
        std::vector<std::pair<int, int>> ranges;
        // The blocks in view: at most one a line of the viewport's height.
        const int lines =
            m_edit->viewport()->height() / std::max(1, m_edit->fontMetrics().height()) + 2;
        // A word still being typed (the caret at its end, just after an edit) is left alone.
        const QTextCursor caret = m_edit->textCursor();
        const int typing = caret.hasSelection() || caret.position() != m_typedTo ? -1 : m_typedTo;
        m_hiding = false;
        QTextBlock b = m_edit->firstVisibleBlock();
        for (int n = 0; n < lines && b.isValid(); ++n, b = b.next())
            if (auto* data = static_cast<BlockMarks*>(b.userData()))
                for (const Mark& m : data->marks) {
                    const std::pair<int, int> r = range(b, m);
                    if (r.first <= typing && typing <= r.second)
                        m_hiding = true;
                    else
                        ranges.push_back(r);
                }
        // The underlines drawn follow the edits by themselves: most answers bring the same
        // ranges again, and setting them anew would only cost their layout and a repaint.
        const QList<QTextEdit::ExtraSelection>& shown =
            editing::layer(m_edit, editing::Layer::Spelling);
        if (shown.size() == qsizetype(ranges.size()) &&
            std::equal(ranges.begin(), ranges.end(), shown.begin(),
                       [](const std::pair<int, int>& r, const QTextEdit::ExtraSelection& s) {
                           return r.first == s.cursor.selectionStart() &&
                                  r.second == s.cursor.selectionEnd();
                       }))
            return;
        QList<QTextEdit::ExtraSelection> marks;
        marks.reserve(qsizetype(ranges.size()));
        for (const auto& [start, end] : ranges) {
            QTextEdit::ExtraSelection mark;
            mark.cursor = QTextCursor(m_edit->document());
            mark.cursor.setPosition(start);
            mark.cursor.setPosition(end, QTextCursor::KeepAnchor);
            mark.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
            mark.format.setUnderlineColor(Qt::red);
            marks.append(mark);
        }
        editing::setLayer(m_edit, editing::Layer::Spelling, marks);
    }

    struct Sent {
        int serial, first, endNew, delta;
    };
    RichEdit* m_edit;
    quintptr m_key;
    QTimer m_send, m_refresh;
    int m_typedTo = -1;    // where the last edit ended
    bool m_hiding = false; // the underline of the word being typed is held back
    bool m_deferred = false; // a word is being typed: its line is sent once it ends
    QElapsedTimer m_sinceEdit;
    QTimer m_collect;
    static constexpr int typingMs = 1000, pauseMs = 300;
    int m_blocks = 0;
    int m_serial = 0;
    int m_dirtyFirst = -1, m_dirtyEnd = 0, m_delta = 0;
    std::deque<Sent> m_inFlight;
    double m_longestTurn = 0;
    static constexpr qint64 sliceNs = 4'000'000;
    QTimer m_gather; // the next turn of copying
    bool m_gathering = false;
    Job m_job;
    QTextBlock m_next;
};

template <typename F> void forEachEditor(F f) {
    if (QMdiArea* area = installed().area)
        for (QMdiSubWindow* sub : area->subWindowList())
            if (auto* doc = qobject_cast<frmDocument*>(sub->widget()))
                f(doc->editor());
}

void Layer::recheckEverywhere() {
    forEachEditor([](RichEdit* e) {
        if (Layer* l = find(e))
            l->recheckAll();
    });
}

RichEdit* activeEditor() {
    QMdiArea* area = installed().area;
    QMdiSubWindow* sub = area ? area->activeSubWindow() : nullptr;
    auto* doc = sub ? qobject_cast<frmDocument*>(sub->widget()) : nullptr;
    return doc ? doc->editor() : nullptr;
}

void goToMisspelling(bool backwards) {
    RichEdit* edit = activeEditor();
    if (!edit)
        return;
    const QList<Underline> all = underlines(edit);
    if (all.isEmpty()) {
        editing::notify(QObject::tr("No misspelt words"));
        return;
    }
    const QTextCursor c = edit->textCursor();
    const Underline* to = nullptr;
    if (backwards) {
        for (auto it = all.rbegin(); it != all.rend() && !to; ++it)
            if (it->start < c.selectionStart())
                to = &*it;
        if (!to)
            to = &all.back();
    } else {
        for (const Underline& u : all)
            if (u.start > c.selectionStart() ||
                (u.start == c.selectionStart() && !c.hasSelection())) {
                to = &u;
                break;
            }
        if (!to)
            to = &all.front();
    }
    QTextCursor select(edit->document());
    select.setPosition(to->start);
    select.setPosition(to->end, QTextCursor::KeepAnchor);
    edit->setTextCursor(select);
    edit->ensureCursorVisible();
}

void showCheck() {
    if (QAction* a = item("mnuViewCheckSpelling"))
        a->setChecked(installed().options.on);
}

// Asks the worker, once, whether the system's locale has a dictionary; checking follows.
void decideDefault() {
    SpellingOptions& o = installed().options;
    if (o.asked)
        return;
    o.asked = true;
    Worker::instance().ask([] { return Dictionaries::shared().anyFor(QString()); },
                           [](bool any) {
                               SpellingOptions& now = installed().options;
                               if (now.decided)
                                   return; // chosen meanwhile
                               now.decided = true;
                               now.on = any;
                               showCheck();
                               forEachEditor(applySpelling);
                           });
}

} // namespace

bool checkingOn() {
    return installed().options.on;
}

void applySpelling(RichEdit* edit) {
    if (!edit)
        return;
    if (!installed().options.decided) {
        decideDefault();
        return;
    }
    Layer* layer = Layer::find(edit);
    if (installed().options.on && !layer)
        new Layer(edit);
    else if (!installed().options.on && layer) {
        layer->dropAll();
        delete layer;
    }
}

void installSpelling(QMdiArea* area) {
    installed().area = area;
    const platform::SettingsStore store;
    // The default needs the dictionaries, which are looked at only once a page is shown.
    const int remembered = store.readNumber(onKey, -1);
    SpellingOptions& o = installed().options;
    o.on = remembered != 0;
    o.decided = remembered >= 0;
    o.asked = false;
    if (QAction* a = item("mnuViewCheckSpelling"))
        a->setCheckable(true);
    showCheck();
    QObject::connect(area, &QMdiArea::subWindowActivated, area, [](QMdiSubWindow* sub) {
        if (auto* doc = sub ? qobject_cast<frmDocument*>(sub->widget()) : nullptr)
            applySpelling(doc->editor());
    });
    forEachEditor(applySpelling);
}

void toggleSpelling() {
    installed().options.on = !installed().options.on;
    installed().options.decided = true;
    platform::SettingsStore store;
    store.writeNumber(onKey, installed().options.on ? 1 : 0);
    store.sync();
    showCheck();
    forEachEditor(applySpelling);
}

QString pageLanguage(const RichEdit* edit) {
    return edit ? edit->property(languageProperty).toString() : QString();
}

void setPageLanguage(RichEdit* edit, const QString& language) {
    if (!edit || pageLanguage(edit) == language)
        return;
    edit->setProperty(languageProperty, language);
    if (Layer* l = Layer::find(edit))
        l->recheckAll();
}

void nextMisspellingCommand() {
    goToMisspelling(false);
}
void previousMisspellingCommand() {
    goToMisspelling(true);
}

bool isSettled(const RichEdit* edit) {
    const Layer* l = Layer::find(edit);
    return !l || l->settled();
}

double longestTurnMs(const RichEdit* edit) {
    const Layer* l = Layer::find(edit);
    return l ? l->longestTurn() : 0;
}

QList<Underline> underlines(const RichEdit* edit) {
    const Layer* l = Layer::find(edit);
    return l ? l->all() : QList<Underline>{};
}

QStringList suggestionsAt(const RichEdit* edit, int position) {
    const Layer* l = Layer::find(edit);
    int s = 0, e = 0;
    const Mark* m = l ? l->markAt(position, &s, &e) : nullptr;
    return m ? Dictionaries::shared().suggestions(m->word, m->dictionary, 8) : QStringList{};
}

bool replaceWordAt(RichEdit* edit, int position, const QString& replacement) {
    const Layer* l = Layer::find(edit);
    int s = 0, e = 0;
    if (!l || !l->markAt(position, &s, &e))
        return false;
    frmDocument* doc = nullptr;
    for (QObject* p = edit->parent(); p && !doc; p = p->parent())
        doc = qobject_cast<frmDocument*>(p);
    SpliceSet set;
    set.text = replacement;
    const int at = edit->toCrlfPosition(s);
    set.splices.push_back({at, edit->toCrlfPosition(e) - at, int(replacement.size())});
    if (doc)
        doc->applySplices(set);
    else
        edit->applySplices(set);
    edit->setSelStart(at + int(replacement.size()));
    return true;
}

} // namespace spelling

#include "PageSpelling.moc"
