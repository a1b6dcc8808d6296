#pragma once

#include "platform/RecoveryStore.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <memory>

class QTimer;
class frmDocument;
class frmMain;

namespace recovery {

// Keeps a recovery copy of every document with unsaved changes, taken at most two seconds
// after the typing stops (and at least every half minute while it goes on). The interface
// thread only gathers the page's coloured runs; encoding and writing run on one writer
// thread, in order, so a later copy or a removal never overtakes an earlier one. A copy is
// removed when its page is saved, discarded or closed unchanged.
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
    // From now on closing documents leaves their copies (the program ends without asking).
    void keepCopies() { m_keepCopies = true; }
    void waitForWrites();

private:
    struct Watched {
        QString id;
        QTimer* quiet = nullptr;
        QElapsedTimer pendingSince; // valid while an edit waits for its copy
        bool copied = false;        // a copy exists (or is queued)
    };
    void edited(frmDocument* doc);
    void modificationChanged(frmDocument* doc, bool modified);
    void forget(frmDocument* doc);
    void removeCopy(Watched& w);

    std::unique_ptr<platform::recovery::Store> m_store;
    QThreadPool m_writer;
    QHash<frmDocument*, Watched> m_docs;
    int m_next = 0;
    bool m_keepCopies = false;
};

// At start-up: offers the copies left by a program that ended without saving them, in one
// question (Recover, Discard, Later). Recovered pages open in document windows of their own
// with their captions and colours, marked as changed.
void offerOrphans(frmMain& main, Keeper& keeper);

} // namespace recovery
