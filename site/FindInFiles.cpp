#include "site/FindInFiles.h"

#include "platform/FileIo.h"
#include "platform/TextCodec.h"
#include "site/SiteFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QStringMatcher>
#include <mutex>
#include <vector>

namespace site {

QRegularExpression FindQuery::expression() const
{
    QString pattern = regularExpression ? text : QRegularExpression::escape(text);
    if (wholeWord)
        pattern = QStringLiteral("(?<![\\w])(?:%1)(?![\\w])").arg(pattern);
    // CR LF, CR and LF each end a line: '.' never takes a part of a line break and '^' / '$'
    // stand at every line's start and end, whichever breaks the file uses.
    pattern.prepend(QLatin1String("(*ANYCRLF)"));
    QRegularExpression::PatternOptions options = QRegularExpression::UseUnicodePropertiesOption
                                                 | QRegularExpression::MultilineOption;
    if (!matchCase)
        options |= QRegularExpression::CaseInsensitiveOption;
    QRegularExpression re(pattern, options);
    if (text.isEmpty())
        return QRegularExpression(QStringLiteral("("), options); // invalid: nothing to find
    re.optimize();
    return re;
}

namespace {

// Lines and columns of matches found in increasing order. The text is stepped through a line
// at a time up to each match, line breaks found with the library's vector search where the
// text has no CR; the matches of one line share its text.
class MatchList {
public:
    explicit MatchList(QStringView text)
        : m_text(text)
        , m_lfOnly(!text.contains(u'\r'))
    {
        setLine(0);
    }
    void add(qsizetype at, qsizetype length)
    {
        while (at >= m_next && m_end < m_text.size()) {
            ++m_line;
            setLine(m_next);
        }
        if (m_lineText.isNull())
            m_lineText = m_text.mid(m_start, m_end - m_start).toString();
        out << Match{m_line, int(at - m_start + 1), at, length, m_lineText};
    }
    QList<Match> out;

private:
    // CR LF, CR and LF each end a line.
    void setLine(qsizetype start)
    {
        m_start = start;
        m_lineText = QString();
        const QStringView text = m_text;
        if (m_lfOnly) {
            const qsizetype lf = text.indexOf(u'\n', start);
            m_end = lf < 0 ? text.size() : lf;
        } else {
            m_end = start;
            while (m_end < text.size() && text[m_end] != u'\n' && text[m_end] != u'\r')
                ++m_end;
        }
        m_next = m_end + (m_end + 1 < text.size() && text[m_end] == u'\r' && text[m_end + 1] == u'\n' ? 2 : 1);
    }
    QStringView m_text;
    bool m_lfOnly;
    int m_line = 1;
    qsizetype m_start = 0; // of the line
    qsizetype m_end = 0;   // of the line, before its break
    qsizetype m_next = 0;  // the next line's start
    QString m_lineText;
};

bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c.isMark(); }

} // namespace

QList<Match> findInText(QStringView text, const FindQuery& query)
{
    if (query.regularExpression || query.text.isEmpty())
        return findInText(text, query.expression());
    // Plain text needs no expression engine: a string matcher skips through the text.
    const QStringMatcher matcher(query.text, query.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
    MatchList list(text);
    const qsizetype n = query.text.size();
    for (qsizetype at = matcher.indexIn(text, 0); at >= 0; at = matcher.indexIn(text, at + n)) {
        if (query.wholeWord
            && ((at > 0 && isWordChar(text[at - 1])) || (at + n < text.size() && isWordChar(text[at + n])))) {
            at = at + 1 - n; // the next try starts one character on
            continue;
        }
        list.add(at, n);
    }
    return list.out;
}

QList<Match> findInText(QStringView text, const QRegularExpression& expression)
{
    MatchList list(text);
    auto it = expression.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedLength() > 0)
            list.add(m.capturedStart(), m.capturedLength());
    }
    return list.out;
}

namespace {

QString expand(const QString& replacement, const QRegularExpressionMatch& m)
{
    QString out;
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        const QChar c = replacement[i];
        if (c == u'\\' && i + 1 < replacement.size()) {
            const QChar n = replacement[i + 1];
            if (n.isDigit()) {
                out += m.captured(n.digitValue());
                ++i;
                continue;
            }
            if (n == u'\\') {
                out += u'\\';
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

} // namespace

QList<Replacement> replacementsIn(QStringView text, const FindQuery& query, const QString& replacement)
{
    QList<Replacement> out;
    const QRegularExpression re = query.expression();
    if (!re.isValid())
        return out;
    auto it = re.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedLength() == 0)
            continue;
        out.append({m.capturedStart(), m.capturedLength(),
                    query.regularExpression ? expand(replacement, m) : replacement});
    }
    return out;
}

QString replaceInText(const QString& text, const FindQuery& query, const QString& replacement,
                      int* count)
{
    const QList<Replacement> replacements = replacementsIn(text, query, replacement);
    QString out;
    qsizetype last = 0;
    for (const Replacement& r : replacements) {
        out += QStringView(text).mid(last, r.start - last);
        out += r.text;
        last = r.start + r.length;
    }
    out += QStringView(text).mid(last);
    if (count)
        *count = int(replacements.size());
    return out;
}

FindInFilesRun::FindInFilesRun(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<site::FileMatches>();
}

FindInFilesRun::~FindInFilesRun() { stop(); }

void FindInFilesRun::join()
{
    if (m_thread.joinable())
        m_thread.join();
}

void FindInFilesRun::stop()
{
    if (m_stop)
        m_stop->store(true);
    join();
    m_running = false;
}

bool FindInFilesRun::start(const QString& root, const FindQuery& query, QString* reason)
{
    stop();
    const QRegularExpression re = query.expression();
    if (!re.isValid()) {
        if (reason)
            *reason = query.text.isEmpty() ? QStringLiteral("There is nothing to find.")
                                           : QStringLiteral("The regular expression is not valid: %1.")
                                                 .arg(re.errorString());
        return false;
    }
    m_stop = std::make_shared<std::atomic_bool>(false);
    m_running = true;
    auto stopFlag = m_stop;
    QPointer<FindInFilesRun> self(this);
    // The thread hands everything to this object's thread through queued calls; the stop
    // flag is its own, so a new search never sees the old one's results.
    m_thread = std::thread([=] {
        const FilePatterns patterns(query.patterns);
        QStringList files;
        for (const QString& f : siteFiles(root))
            if (patterns.matches(f))
                files << f;
        const QDir base(root);
        const qsizetype total = files.size();
        auto post = [&](auto fn) {
            QMetaObject::invokeMethod(
                self.data(), [self, stopFlag, fn] { if (self && !stopFlag->load()) fn(self.data()); },
                Qt::QueuedConnection);
        };
        // The files are searched by one thread per core (this one among them), each taking the
        // next file; their results are handed over in the files' order.
        std::vector<FileMatches> results(static_cast<std::size_t>(total));
        std::unique_ptr<std::atomic_bool[]> ready(new std::atomic_bool[std::size_t(total)]());
        std::atomic<qsizetype> next{0};
        // Results go over in batches, a few each 10 ms: every hand-over takes the receiving
        // thread's event queue lock, and a worker that loses its core while holding it would
        // hold up the interface. Whichever worker finds the hand-over free makes it.
        std::mutex handing;
        qsizetype handed = 0;
        int fileCount = 0;
        int matchCount = 0;
        QElapsedTimer sincePost;
        sincePost.start();
        auto hand = [&](bool last) {
            std::unique_lock<std::mutex> hold(handing, std::defer_lock);
            if (last)
                hold.lock();
            else if (!hold.try_lock() || sincePost.elapsed() < 10)
                return;
            QList<FileMatches> batch;
            for (; handed < total && ready[std::size_t(handed)].load(std::memory_order_acquire); ++handed) {
                FileMatches& fm = results[std::size_t(handed)];
                if (fm.matches.isEmpty())
                    continue;
                ++fileCount;
                matchCount += int(fm.matches.size());
                batch << std::move(fm);
            }
            if (!batch.isEmpty())
                post([batch](FindInFilesRun* r) { for (const FileMatches& fm : batch) emit r->found(fm); });
            post([done = int(handed), n = int(total)](FindInFilesRun* r) { emit r->progress(done, n); });
            sincePost.restart();
        };
        auto work = [&] {
            for (qsizetype i; !stopFlag->load() && (i = next.fetch_add(1)) < total;) {
                QByteArray bytes;
                QString why;
                const QString& f = files[i];
                if (platform::files::readFile(base.filePath(f), &bytes, &why))
                    results[std::size_t(i)] = {f, findInText(platform::text::decodeText(bytes), query)};
                ready[std::size_t(i)].store(true, std::memory_order_release);
                hand(false);
            }
        };
        {
            const qsizetype helpers = std::min<qsizetype>(total, std::max(1u, std::thread::hardware_concurrency())) - 1;
            std::vector<std::jthread> pool;
            for (qsizetype h = 0; h < helpers; ++h)
                pool.emplace_back(work);
            work();
        }
        hand(true);
        const bool stopped = stopFlag->load();
        QMetaObject::invokeMethod(
            self.data(), [self, stopFlag, fileCount, matchCount, stopped] {
                // The thread is left to end on its own and joined by the next start or stop:
                // joining here would hold up the interface while it waits for a core.
                if (!self || self->m_stop != stopFlag)
                    return;
                self->m_running = false;
                emit self->finished(fileCount, matchCount, stopped);
            },
            Qt::QueuedConnection);
    });
    return true;
}

bool replaceInFile(const QString& path, const FindQuery& query, const QString& replacement,
                   FileEdit* edit, QString* reason)
{
    FileEdit e;
    e.path = path;
    if (!platform::files::readFile(path, &e.before, reason))
        return false;
    const platform::text::Decoded d = platform::text::decode(e.before);
    if (platform::text::encode(d.text, d.encoding) != e.before) {
        *reason = QStringLiteral("Its bytes would not be written back exactly as they are.");
        return false;
    }
    const QString text = replaceInText(d.text, query, replacement, &e.count);
    if (e.count > 0) {
        qsizetype references = 0;
        e.after = platform::text::encode(text, d.encoding, &references);
        if (!platform::files::writeFileAtomically(path, e.after, reason))
            return false;
    }
    *edit = e;
    return true;
}

QStringList undoReplace(const QList<FileEdit>& edits, QStringList* refused)
{
    QStringList failures;
    for (const FileEdit& e : edits) {
        if (e.count == 0)
            continue;
        // A file changed since it was written is refused, not written over.
        QByteArray now;
        QString reason;
        if (!platform::files::readFile(e.path, &now, &reason) || now != e.after) {
            if (refused)
                *refused << e.path;
        } else if (!platform::files::writeFileAtomically(e.path, e.before, &reason)) {
            failures << platform::files::saveFailureText(e.path, reason);
        }
    }
    return failures;
}

FileWriteRun::FileWriteRun(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<site::WriteOutcome>();
}

FileWriteRun::~FileWriteRun()
{
    stop();
    if (m_thread.joinable())
        m_thread.join();
}

void FileWriteRun::stop()
{
    if (m_stop)
        m_stop->store(true);
}

void FileWriteRun::launch(int total, std::function<void(int, WriteOutcome&)> step,
                          std::function<void(int, WriteOutcome&)> notReached)
{
    stop();
    // A run that has handed over its outcome has left its loop; one still running is asked to
    // stop, and its outcome is dropped.
    if (m_thread.joinable())
        m_thread.join();
    m_stop = std::make_shared<std::atomic_bool>(false);
    m_running = true;
    auto flag = m_stop;
    QPointer<FileWriteRun> self(this);
    m_thread = std::thread([self, flag, total, step = std::move(step), notReached = std::move(notReached)] {
        WriteOutcome out;
        out.total = total;
        QElapsedTimer sincePost;
        sincePost.start();
        int i = 0;
        for (; i < total && !flag->load(); ++i) {
            step(i, out);
            out.done = i + 1;
            if (sincePost.elapsed() >= 10) {
                QMetaObject::invokeMethod(
                    self.data(), [self, flag, done = out.done, total] {
                        if (self && self->m_stop == flag)
                            emit self->progress(done, total);
                    },
                    Qt::QueuedConnection);
                sincePost.restart();
            }
        }
        out.stopped = i < total;
        if (notReached)
            notReached(i, out);
        QMetaObject::invokeMethod(
            self.data(), [self, flag, out] {
                // The thread ends on its own; the next run or the object's end joins it.
                if (!self || self->m_stop != flag)
                    return;
                self->m_running = false;
                emit self->finished(out);
            },
            Qt::QueuedConnection);
    });
}

void FileWriteRun::replace(const QString& root, const QStringList& files, const FindQuery& query,
                           const QString& replacement)
{
    const QDir base(root);
    launch(int(files.size()), [base, files, query, replacement](int i, WriteOutcome& out) {
        FileEdit edit;
        QString reason;
        if (!replaceInFile(base.filePath(files[i]), query, replacement, &edit, &reason))
            out.failures << QStringLiteral("%1: %2").arg(files[i], reason);
        else if (edit.count > 0)
            out.edits << edit;
    }, {});
}

void FileWriteRun::undo(const QList<FileEdit>& edits)
{
    launch(int(edits.size()), [edits](int i, WriteOutcome& out) {
        // A file not written back stays to be undone.
        const QStringList failed = undoReplace({edits[i]}, &out.refused);
        if (!failed.isEmpty()) {
            out.failures << failed;
            out.edits << edits[i];
        }
    }, [edits](int from, WriteOutcome& out) { out.edits << edits.mid(from); });
}

} // namespace site
