#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <memory>
#include <mutex>
#include <vector>

class QLockFile;

// Recovery copies of pages with unsaved changes, kept where a crash, a kill or the end of the
// desktop session cannot take them: a private per-user folder (mode 0700, files 0600). Each
// copy is an editing file (the page with its colours) and a small side file saying what the
// page was. Every running program holds a lock of its own there, so that it never takes the
// copies of another one that is still running.
namespace platform::recovery {

struct PageInfo {
    QString caption;    // the document window's caption
    QString sourceFile; // the file the page was read from or last written to, if any
    QString encoding;   // the page's encoding, as encodingName() gives it
    QDateTime time;     // when the copy was taken
};

struct Copy {
    QString id;       // "<instance>-<page>"
    QString pagePath; // the editing file
    QString infoPath; // the side file
    PageInfo info;
};

// The folder copies live in: the per-user application data folder + "/recovery".
QString defaultFolder();

class Store {
public:
    explicit Store(const QString& folder = defaultFolder());
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Whether the folder is a folder of the user's own (not a link, not another user's) and
    // could be made private; when not, error() says why (without the folder's name) and no
    // copy is written. This program's lock is taken with its first copy.
    bool isReady() const { return m_ready; }
    QString error() const { return m_error; }
    QString folder() const { return m_folder; }

    // A copy id of this program for its page number n.
    QString copyId(int n) const;

    // Replaces a copy, both files atomically (thread-safe: called from a writer thread).
    bool write(const QString& id, const QByteArray& page, const PageInfo& info,
               QString* reason) const;
    void remove(const QString& id) const;

    // Copies left by programs that no longer run. Their locks are taken, so that no other
    // program offers the same copies while this one decides. A copy whose side file cannot
    // be read is listed in `damaged` (by file name) instead.
    QList<Copy> claimOrphans(QStringList* damaged = nullptr);
    // Gives the claimed copies back untouched, for the next start to offer again.
    void releaseClaims();
    // Reads a copy's editing file.
    static bool readPage(const Copy& copy, QByteArray* page, QString* reason);
    // Removes a claimed copy (recovered or discarded).
    void discard(const Copy& copy) const;
    // Moves an unreadable copy aside (its name ends in ".damaged"), where it is no longer
    // offered but can still be looked at.
    void setAside(const QString& fileName) const;

private:
    QString path(const QString& id, const char* suffix) const;
    // Takes this program's lock unless it holds it already (thread-safe).
    bool holdLock(QString* reason) const;

    QString m_folder;
    QString m_instance;
    bool m_ready = false;
    QString m_error;
    mutable std::mutex m_lockMutex;
    mutable std::unique_ptr<QLockFile> m_lock;
    std::vector<std::unique_ptr<QLockFile>> m_claims;
};

} // namespace platform::recovery
