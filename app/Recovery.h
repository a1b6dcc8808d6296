#pragma once

#include "platform/RecoveryStore.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <memory>
#include <mutex>

class QTimer;
class frmDocument;
class frmMain;

namespace recovery {

// Keeps a recovery copy of every document with unsaved changes, taken at most two seconds
// after the typing stops (and at least every half minute while it goes on). The interface
// thread only gathers the page's coloured runs; encoding and writing run on one writer
// thread, in order, so a later copy or a removal never overtakes an earlier one. A copy is
// removed when its page is saved, discarded or closed unchanged.
//
// A copy that cannot be written (a full disk, a quota, a folder that is not the user's) is
// not silent: the main window the keeper belongs to says so in its status bar, and once in a
// message that does not stop the typing, with the folder and the reason. Copies written at the
// end of a session name every page whose copy failed on standard error, as no window may be
// left to show it.
class Keeper : public QObject {
    Q_OBJECT
public:
    static constexpr int quietMs = 2000;
    static constexpr int longestWaitMs = 30000;

    explicit Keeper(QObject* parent = nullptr,
                    const QString& folder = platform::recovery::defaultFolder());
    ~Keeper() override;

    platform::recovery::Store& store() { return *m_store; }

    // Follows a document window from now on until it closes.
    void watch(frmDocument* doc);
    // Takes a copy of the document now if it has changes not yet copied; returns whether it
    // did. The interface thread's share of the work ends when this returns.
    bool snapshot(frmDocument* doc);
    // Copies every document with changes not yet copied and waits until all are written.
    void writeAllNow();
    // Takes a copy of the document now and waits for it; whether the document's text is in a
    // copy on disk.
    bool copyNow(frmDocument* doc);
    // From now on closing documents leaves their copies (the program ends without asking).
    void keepCopies() { m_keepCopies = true; }
    void waitForWrites();

private:
    struct Watched {
        QString id;
        QTimer* quiet = nullptr;
        QElapsedTimer pendingSince; // valid while an edit waits for its copy
        bool copied = false;        // a copy exists (or is queued)
        bool failed = false;        // the last copy could not be written
    };
    // What the writer thread did with one copy.
    struct Outcome {
        QString id;
        QString caption;
        QString reason; // empty: written
    };
    void edited(frmDocument* doc);
    // Takes in the outcomes of the writes done so far (on the interface thread); with
    // `toStandardError`, names every page whose copy failed there.
    void settle(bool toStandardError = false);
    void noteOutcome(Outcome outcome); // any thread
    void warn(const QString& reason);
    void modificationChanged(frmDocument* doc, bool modified);
    void forget(frmDocument* doc);
    void removeCopy(Watched& w);

    std::unique_ptr<platform::recovery::Store> m_store;
    QThreadPool m_writer;
    QHash<frmDocument*, Watched> m_docs;
    int m_next = 0;
    bool m_keepCopies = false;
    bool m_warned = false; // the message was shown (once per run)
    QString m_shownStatus;
    std::mutex m_outcomesLock;
    QList<Outcome> m_outcomes;
};

// At start-up: offers the copies left by a program that ended without saving them, in one
// question (Recover, Discard, Later). Recovered pages open in document windows of their own
// with their captions and colours, marked as changed.
void offerOrphans(frmMain& main, Keeper& keeper);

} // namespace recovery
