#include "site/FindInFiles.h"

#include "platform/FileIo.h"
#include "platform/TextCodec.h"
#include "site/SiteFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QStringMatcher>

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

// Lines and columns of matches found in increasing order: the text is scanned for line
// breaks once, up to each match.
class MatchList {
public:
    explicit MatchList(QStringView text) : m_text(text) {}
    void add(qsizetype at, qsizetype length)
    {
        const QStringView text = m_text;
        for (; scanned < at; ++scanned) {
            const QChar c = text[scanned];
            if (c == u'\n' || (c == u'\r' && (scanned + 1 >= text.size() || text[scanned + 1] != u'\n'))) {
                ++line;
                lineStart = scanned + 1;
            }
        }
        qsizetype lineEnd = lineStart;
        while (lineEnd < text.size() && text[lineEnd] != u'\n' && text[lineEnd] != u'\r')
            ++lineEnd;
        out << Match{line, int(at - lineStart + 1), at, length,
                     text.mid(lineStart, lineEnd - lineStart).toString()};
    }
    QList<Match> out;

private:
    QStringView m_text;
    int line = 1;
    qsizetype lineStart = 0;
    qsizetype scanned = 0;
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
    const QStringList patterns = splitPatterns(query.patterns);
    // The thread hands everything to this object's thread through queued calls; the stop
    // flag is its own, so a new search never sees the old one's results.
    m_thread = std::thread([=] {
        const QStringList all = siteFiles(root);
        QStringList files;
        for (const QString& f : all)
            if (matchesPatterns(f, patterns))
                files << f;
        const QDir base(root);
        int fileCount = 0;
        int matchCount = 0;
        int done = 0;
        auto post = [&](auto fn) {
            QMetaObject::invokeMethod(
                self.data(), [self, stopFlag, fn] { if (self && !stopFlag->load()) fn(self.data()); },
                Qt::QueuedConnection);
        };
        // Results go over in batches, a few each 10 ms: every hand-over takes the receiving
        // thread's event queue lock, and a worker that loses its core while holding it would
        // hold up the interface.
        QList<FileMatches> batch;
        QElapsedTimer sincePost;
        sincePost.start();
        auto hand = [&](bool last) {
            if (!last && sincePost.elapsed() < 10)
                return;
            if (!batch.isEmpty())
                post([batch](FindInFilesRun* r) { for (const FileMatches& fm : batch) emit r->found(fm); });
            batch.clear();
            post([done, n = int(files.size())](FindInFilesRun* r) { emit r->progress(done, n); });
            sincePost.restart();
        };
        for (const QString& f : files) {
            if (stopFlag->load())
                break;
            QByteArray bytes;
            QString why;
            if (platform::files::readFile(base.filePath(f), &bytes, &why)) {
                const QString text = platform::text::decode(bytes).text;
                FileMatches fm{f, findInText(text, query)};
                if (!fm.matches.isEmpty()) {
                    ++fileCount;
                    matchCount += int(fm.matches.size());
                    batch << std::move(fm);
                }
            }
            ++done;
            hand(false);
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
        QByteArray now;
        QString reason;
        if (!platform::files::readFile(e.path, &now, &reason) || now != e.after) {
            if (refused)
                *refused << e.path;
            continue;
        }
        if (!platform::files::writeFileAtomically(e.path, e.before, &reason))
            failures << platform::files::saveFailureText(e.path, reason);
    }
    return failures;
}

} // namespace site
