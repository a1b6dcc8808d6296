#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

// Find and replace across the files of a site folder.
namespace site {

inline constexpr auto defaultPatterns = "*.htm;*.html;*.css;*.js";

struct FindQuery {
    QString text;
    bool regularExpression = false;
    bool wholeWord = false;
    bool matchCase = false;
    QString patterns = QLatin1String(defaultPatterns);

    // The expression the query searches with; invalid (with its error) for a bad pattern.
    QRegularExpression expression() const;
};

struct Match {
    int line = 0;        // 1-based
    int column = 0;      // 1-based, in UTF-16 units of the line
    qsizetype offset = 0; // in the file's text
    qsizetype length = 0;
    QString lineText;    // the line, without its break
};

struct FileMatches {
    QString path; // relative to the root
    QList<Match> matches;
};

QList<Match> findInText(QStringView text, const QRegularExpression& expression);
// The same for a query (plain text is searched without the expression engine).
QList<Match> findInText(QStringView text, const FindQuery& query);

// One match to replace: where it stands in the text and what takes its place.
struct Replacement {
    qsizetype start = 0;
    qsizetype length = 0;
    QString text;
};

// The replacements a query makes in a text: the rules for closed files and open pages alike.
// Matches may span lines; empty matches are left alone. A regular expression's replacement may
// name groups as \1 .. \9, and "\\" stands for a backslash; a plain replacement is literal.
QList<Replacement> replacementsIn(QStringView text, const FindQuery& query, const QString& replacement);

// The text with every match replaced, by the rules above.
QString replaceInText(const QString& text, const FindQuery& query, const QString& replacement,
                      int* count = nullptr);

// Searches the matching files under a root in a thread of its own and reports each file's
// matches as they are found (queued to the object's thread).
class FindInFilesRun : public QObject {
    Q_OBJECT
public:
    explicit FindInFilesRun(QObject* parent = nullptr);
    ~FindInFilesRun() override;
    // Starts a search (stopping one that runs). False, with the reason, for a bad pattern.
    bool start(const QString& root, const FindQuery& query, QString* reason = nullptr);
    void stop();
    bool isRunning() const { return m_running; }

signals:
    void found(const site::FileMatches& matches);
    void progress(int done, int total);
    void finished(int files, int matches, bool stopped);

private:
    void join();
    std::shared_ptr<std::atomic_bool> m_stop;
    std::thread m_thread;
    bool m_running = false;
};

// Replacing in closed files. Each file written is kept as it was before, so that the whole
// replacement can be undone for as long as the program runs.
struct FileEdit {
    QString path; // absolute
    QByteArray before;
    QByteArray after;
    int count = 0;
};

// Replaces in one file through the atomic file writer. The file's encoding, byte-order mark
// and line ends stay as they were; a file whose bytes would not come back unchanged from its
// decoded text (bytes the encoding cannot carry) is refused rather than altered outside the
// matches. Returns false with the reason; a file without a match is not written (count 0).
bool replaceInFile(const QString& path, const FindQuery& query, const QString& replacement,
                   FileEdit* edit, QString* reason);

// Writes back the copies of the files replaced; a file changed since it was written is left
// alone and listed in `refused`. Failures to write are listed with their reason.
QStringList undoReplace(const QList<FileEdit>& edits, QStringList* refused);

// What a run of file writes did.
struct WriteOutcome {
    // Replacing: the files written. Undoing: the files still to be restored (not reached
    // before Stop, or not written back), so that Undo can be tried again for them.
    QList<FileEdit> edits;
    QStringList refused;  // undoing: files changed since they were written, left alone
    QStringList failures; // each file not written, with the reason
    int done = 0;         // files taken up
    int total = 0;
    bool stopped = false;
};

// Replaces in closed files, or undoes that, one file after another on a thread of its own.
// Stop is taken after the file being written: every file is either written whole or left as
// it was, and the outcome names the files written so far. The outcome always comes, stopped
// or not; ending the object waits for the file being written and ends the thread.
class FileWriteRun : public QObject {
    Q_OBJECT
public:
    explicit FileWriteRun(QObject* parent = nullptr);
    ~FileWriteRun() override;
    // `files` are relative to `root` (and named so in the failures).
    void replace(const QString& root, const QStringList& files, const FindQuery& query,
                 const QString& replacement);
    void undo(const QList<FileEdit>& edits);
    void stop(); // asks; the outcome follows once the file being written is done
    bool isRunning() const { return m_running; }

signals:
    void progress(int done, int total);
    void finished(const site::WriteOutcome& outcome);

private:
    void launch(int total, std::function<void(int, WriteOutcome&)> step,
                std::function<void(int, WriteOutcome&)> notReached);
    std::shared_ptr<std::atomic_bool> m_stop;
    std::thread m_thread;
    bool m_running = false;
};

} // namespace site

Q_DECLARE_METATYPE(site::FileMatches)
Q_DECLARE_METATYPE(site::WriteOutcome)
