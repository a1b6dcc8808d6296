// Benchmarks of the file commands' work: opening and saving a plain page, and writing and
// reading the coloured editing format. Beside each, the same bytes moved by the bare widget
// (QFile + QPlainTextEdit), prefixed "floor."; run a floor in a process of its own.
//
// Usage: halvane_bench_files [scenario...]   (open openfloor longopen save savefloor rtf hostile
// largest highlightopen; default: all)

#include "Bare.h"
#include "Pages.h"
#include "Probe.h"
#include "Window.h"

#include "app/FileCommands.h"
#include "document/RichEdit.h"
#include "document/Workspace.h"
#include "document/frmDocument.h"
#include "editing/PageDisplay.h"
#include "editing/SyntaxColours.h"
#include "platform/RtfCodec.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <linux/magic.h>
#include <sys/vfs.h>

namespace {

constexpr qsizetype MiB = 1024 * 1024;
using probe::expect;
using probe::report;

QTemporaryDir& scratch()
{
    static QTemporaryDir dir;
    return dir;
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    expect(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size(), "cannot write a page");
}

using Window = DocumentWindow;

// The one-time costs (fonts, first layout, first file read) out of the measurement.
void warmUpDocument()
{
    Window warm;
    QString reason;
    writeBytes(scratch().filePath("small.htm"), benchpages::page(4096).toUtf8());
    files::loadInto(*warm.doc(), scratch().filePath("small.htm"), &reason);
}

QString bigPage()
{
    const QString path = scratch().filePath("big.htm");
    writeBytes(path, benchpages::page(10 * MiB).toUtf8());
    return path;
}

// Before a cold read: the file's pages gone from the page cache, or a warning that they are not.
void evict(const QString& path)
{
    // A file system in memory has no disk to read from, and a file left in the page cache
    // would be read from memory: either way there is no cold figure to give.
    struct statfs where {};
    expect(::statfs(QFile::encodeName(path).constData(), &where) == 0 && where.f_type != TMPFS_MAGIC &&
               where.f_type != RAMFS_MAGIC,
           "cold open: the scratch folder is held in memory (tmpfs); set TMPDIR to a folder on a disk");
    const double cached = probe::evictFromPageCache(path);
    if (cached > 0.01)
        std::fprintf(stderr, "bench: %.0f%% of %s stayed in the page cache\n", cached * 100, qPrintable(path));
    expect(cached <= 0.01, "cold open: the file could not be dropped from the page cache");
}

// Opening: once from the page cache (process CPU time), once after evicting the file (wall
// clock, the disk read included), each into a fresh window.
void openPage()
{
    const QString path = bigPage();
    warmUpDocument();
    for (const bool cold : {false, true}) {
        if (cold)
            evict(path);
        Window w;
        QString reason;
        probe::Stopwatch cpu;
        probe::WallStopwatch wall;
        const bool ok = files::loadInto(*w.doc(), path, &reason);
        QCoreApplication::processEvents();
        const double ms = cold ? wall.ms() : cpu.ms();
        expect(ok && w.doc()->editor()->textLength() > 10 * MiB - 200, "open: the page did not arrive");
        report(cold ? "file.open_10MiB_cold_ms" : "file.open_10MiB_ms", ms, "ms");
        if (!cold)
            report("file.open_10MiB_rss_mb", static_cast<double>(probe::resident()) / MiB, "MB");
    }
}

// A page of the same size on one single line (a minified page), from the page cache: it must
// open as fast as the page of short lines.
void openLongLine()
{
    const QString path = scratch().filePath("line.htm");
    writeBytes(path, benchpages::singleLine(10 * MiB).toUtf8());
    warmUpDocument();
    Window w;
    QString reason;
    probe::Stopwatch cpu;
    const bool ok = files::loadInto(*w.doc(), path, &reason);
    QCoreApplication::processEvents();
    const double ms = cpu.ms();
    expect(ok && w.doc()->editor()->textLength() > 10 * MiB - 200 && w.doc()->editor()->lineCount() == 1,
           "longopen: the page did not arrive as one line");
    report("longline.open_ms_10MiB", ms, "ms");
}

// The same bytes read into the bare widget, in a process of its own.
void openFloor()
{
    const QString path = bigPage();
    bare::warmUp(benchpages::page(4096));
    for (const bool cold : {false, true}) {
        if (cold)
            evict(path);
        QPlainTextEdit floor;
        bare::styleLikeDocument(&floor);
        floor.show();
        QCoreApplication::processEvents();
        probe::Stopwatch cpu;
        probe::WallStopwatch wall;
        QFile in(path);
        expect(in.open(QIODevice::ReadOnly), "open floor: cannot read");
        floor.setPlainText(QString::fromUtf8(in.readAll()));
        QCoreApplication::processEvents();
        const double ms = cold ? wall.ms() : cpu.ms();
        expect(floor.document()->characterCount() > 10 * MiB - 200 - floor.document()->blockCount(),
               "open floor: the page did not arrive");
        report(cold ? "floor.open_10MiB_cold_ms" : "floor.open_10MiB_ms", ms, "ms");
        if (!cold)
            report("floor.open_10MiB_rss_mb", static_cast<double>(probe::resident()) / MiB, "MB");
    }
}

// Both sides save a small page first, untimed, then the big one; CPU time and wall clock of
// the same save (the wall clock includes the fsync and the rename of the atomic save).
void savePage()
{
    QString reason;
    {
        Window warm;
        warm.doc()->editor()->setWholeText(benchpages::page(4096));
        expect(files::writePage(*warm.doc(), scratch().filePath("small.htm"), &reason), "save: warm-up");
    }
    Window w;
    w.doc()->editor()->setWholeText(benchpages::page(10 * MiB));
    QCoreApplication::processEvents();
    const QString path = scratch().filePath("saved.htm");
    probe::Stopwatch cpu;
    probe::WallStopwatch wall;
    const bool ok = files::writePage(*w.doc(), path, &reason);
    const double wallMs = wall.ms();
    const double cpuMs = cpu.ms();
    expect(ok && QFile(path).size() > 10 * MiB - 200, "save: the page was not written");
    report("file.save_10MiB_ms", cpuMs, "ms");
    report("file.save_10MiB_wall_ms", wallMs, "ms");
}

// The bare widget's text written the same way: CR LF breaks, UTF-8, a temporary file synced
// to disk and renamed over the target (QSaveFile).
bool saveBare(const QPlainTextEdit& edit, const QString& path)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(edit.toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n")).toUtf8());
    return out.commit();
}

void saveFloor()
{
    {
        QPlainTextEdit warm;
        bare::styleLikeDocument(&warm);
        warm.show();
        warm.setPlainText(benchpages::page(4096));
        QCoreApplication::processEvents();
        expect(saveBare(warm, scratch().filePath("small.htm")), "save floor: warm-up");
    }
    QPlainTextEdit floor;
    bare::styleLikeDocument(&floor);
    floor.show();
    floor.setPlainText(benchpages::page(10 * MiB));
    QCoreApplication::processEvents();
    const QString path = scratch().filePath("floor.htm");
    probe::Stopwatch cpu;
    probe::WallStopwatch wall;
    const bool ok = saveBare(floor, path);
    const double wallMs = wall.ms();
    const double cpuMs = cpu.ms();
    expect(ok && QFile(path).size() > 10 * MiB - 200, "save floor: the page was not written");
    report("floor.save_10MiB_ms", cpuMs, "ms");
    report("floor.save_10MiB_wall_ms", wallMs, "ms");
}

// Loads a file into the window's document and lets it lay out: the CPU time that takes.
double timedLoad(Window& w, const QString& path, bool* ok, QString* reason)
{
    probe::Stopwatch t;
    *ok = files::loadInto(*w.doc(), path, reason);
    QCoreApplication::processEvents();
    return t.ms();
}

// Loads a file into a fresh window once its pages are gone from the page cache: the wall
// clock of what the user waits for, the disk read included.
double coldLoadMs(const QString& path, bool* ok, qsizetype* length)
{
    evict(path);
    Window w;
    QString reason;
    probe::WallStopwatch wall;
    *ok = files::loadInto(*w.doc(), path, &reason);
    QCoreApplication::processEvents();
    const double ms = wall.ms();
    *length = w.doc()->editor()->textLength();
    return ms;
}

// The coloured editing format: a 1 MiB page saved (CPU time, and the wall clock with the
// file synced to disk) and opened (from the page cache, and from disk); then hostile input.
void editingFormat()
{
    const QString path = scratch().filePath("coloured.hted");
    {
        Window w;
        w.doc()->editor()->setWholeRuns(benchpages::colouredRuns(1 * MiB));
        QCoreApplication::processEvents();
        QString reason;
        probe::Stopwatch t;
        probe::WallStopwatch wall;
        const bool ok = files::writeEditingFile(*w.doc(), path, &reason);
        const double wallMs = wall.ms();
        const double ms = t.ms();
        expect(ok, "rtf save: not written");
        report("rtf.save_1MiB_colored_ms", ms, "ms");
        report("rtf.save_1MiB_colored_wall_ms", wallMs, "ms");
    }
    {
        Window w;
        QString reason;
        bool ok = false;
        const double ms = timedLoad(w, path, &ok, &reason);
        expect(ok && w.doc()->editor()->textLength() > MiB - 200, "rtf open: the page did not arrive");
        report("rtf.open_1MiB_colored_ms", ms, "ms");
    }
    bool ok = false;
    qsizetype length = 0;
    const double coldMs = coldLoadMs(path, &ok, &length);
    expect(ok && length > MiB - 200, "rtf cold open: the page did not arrive");
    report("rtf.open_1MiB_colored_cold_ms", coldMs, "ms");

    // Hostile input: two million nested groups, far past the reader's depth limit; read in
    // memory, then opened as a file from disk.
    constexpr int depth = 2'000'000;
    QByteArray deep = "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf1 ";
    deep += QByteArray(depth, '{') + "deep" + QByteArray(depth, '}') + "after}";
    probe::Stopwatch d;
    const platform::rtf::Runs runs = platform::rtf::read(deep);
    const double deepMs = d.ms();
    expect(platform::rtf::plainText(runs) == QLatin1String("deepafter"), "rtf deep: wrong text");
    report("rtf.read_2M_nested_groups_ms", deepMs, "ms");
    const QString deepPath = scratch().filePath("deep.hted");
    writeBytes(deepPath, deep);
    const double deepColdMs = coldLoadMs(deepPath, &ok, &length);
    expect(ok && length == 9, "rtf deep cold open: not opened as its text");
    report("rtf.open_2M_nested_groups_cold_ms", deepColdMs, "ms");
}

// An editing file of `bytes` bytes written piece by piece (never whole in memory): the RTF
// head with two colours, then `unit` `count` times (as often as fits when 0), then a group
// that readers skip filling the rest.
void writeEditingFileOfSize(const QString& path, qsizetype bytes, const QByteArray& unit,
                            qsizetype count = 0)
{
    QFile f(path);
    expect(f.open(QIODevice::WriteOnly), "cannot write an editing file");
    f.write("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Courier New;}}\r\n"
            "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n\\pard\\f0\\fs20 ");
    const qsizetype perChunk = std::max<qsizetype>(1, MiB / unit.size());
    const QByteArray chunk = unit.repeated(perChunk);
    qsizetype left = count > 0 ? count : bytes / unit.size();
    while (left > 0 && f.size() + unit.size() * std::min(left, perChunk) < bytes - 64) {
        const QByteArray piece = left >= perChunk ? chunk : unit.repeated(left);
        expect(f.write(piece) == piece.size(), "editing file: disk full");
        left -= std::min(left, perChunk);
    }
    f.write("{\\*\\halvanepadding ");
    const QByteArray padding(MiB, 'x');
    while (f.size() < bytes - 8)
        f.write(padding.constData(), std::min<qint64>(padding.size(), bytes - 8 - f.size()));
    f.write("}}\r\n");
}

// Opening a 250 MB editing file: the time it takes from disk (wall clock) and from the page
// cache (CPU time), the process's peak memory, and whether the document is usable afterwards
// (it takes a small page).
void openLargeEditingFile(const char* name, const QByteArray& unit, qsizetype count = 0)
{
    const QString path = scratch().filePath("large.hted");
    writeEditingFileOfSize(path, 250 * MiB, unit, count);
    // From disk first (the file just written is dropped from the cache), then from the cache.
    bool openedCold = false;
    qsizetype length = 0;
    const double coldMs = coldLoadMs(path, &openedCold, &length);
    Window w;
    QString reason;
    bool opened = false;
    const double ms = timedLoad(w, path, &opened, &reason);
    opened = opened && openedCold && length == w.doc()->editor()->textLength();
    QFile::remove(path);
    std::fprintf(stderr, "bench: %s: %s\n", name,
                 opened ? qPrintable(QStringLiteral("opened, %1 characters")
                                         .arg(w.doc()->editor()->textLength()))
                        : qPrintable(QStringLiteral("refused: ") + reason));
    report(qPrintable(QStringLiteral("%1.hted_open_ms_250MB").arg(QLatin1String(name))), ms, "ms");
    report(qPrintable(QStringLiteral("%1.hted_open_cold_ms_250MB").arg(QLatin1String(name))), coldMs, "ms");
    report(qPrintable(QStringLiteral("%1.hted_peak_rss_mb_250MB").arg(QLatin1String(name))),
           static_cast<double>(probe::peakResident()) / MiB, "MB");
    // A refused file is quick and small: the figures above count only beside this one.
    report(qPrintable(QStringLiteral("%1.hted_opened_250MB").arg(QLatin1String(name))),
           static_cast<long long>(opened), "opened");

    const QString small = scratch().filePath("small.htm");
    writeBytes(small, "<P>after</P>");
    expect(files::loadInto(*w.doc(), small, &reason) &&
               w.doc()->editor()->text() == QLatin1String("<P>after</P>"),
           "the document is not usable after the large editing file");
}

// A colour change at every character, two colours in turn, for all 250 MB.
void hostileEditingFile() { openLargeEditingFile("hostile", "\\cf1 a\\cf2 b"); }

// The largest page the editor is given, just inside every limit (250,000 colour runs, 500,000
// lines, 32 Mi characters), the rest of the 250 MB a group readers skip.
void largestEditingFile()
{
    QByteArray unit = "\\cf1 <P>\\cf0 ";
    for (int line = 0; line < 4; ++line)
        unit += "Sixty-two characters of black text, one of four lines a tag.\\par\r\n";
    openLargeEditingFile("largest", unit, 124500);
}

} // namespace

// Watches for the end of a widget's first paint.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QWidget* widget) : m_widget(widget) { widget->installEventFilter(this); }
    bool painted = false;
    double cpuMs = 0;
    probe::Stopwatch clock;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_widget && event->type() == QEvent::Paint && !painted) {
            m_widget->removeEventFilter(this);
            static_cast<QObject*>(m_widget)->event(event); // the paint itself, then the time
            painted = true;
            cpuMs = clock.ms();
            return true;
        }
        return false;
    }

private:
    QWidget* m_widget;
};

// Runs the event loop until `done`; returns the longest time one pass held the interface
// (wall clock, milliseconds), and the whole time in `total`.
double untilDone(const std::function<bool()>& done, double* total)
{
    probe::WallStopwatch all;
    double longest = 0;
    for (int i = 0; i < 10000000 && !done(); ++i) {
        probe::WallStopwatch pass;
        QCoreApplication::processEvents();
        longest = std::max(longest, pass.ms());
    }
    *total = all.ms();
    return longest;
}

// Opening the 10 MiB page with the markup colours on: the time to the end of the first paint
// (coloured), then the colouring of the rest in the background, how long it takes and the
// longest the interface is held meanwhile; then "<!--" typed at the top, which changes the
// colours of every block after it.
void openColoured()
{
    const QString path = bigPage();
    warmUpDocument();
    Window w;
    RichEdit* edit = w.doc()->editor();
    editing::applyDisplay(edit);
    QCoreApplication::processEvents();
    FirstPaint paint(edit->viewport());
    QString reason;
    paint.clock = probe::Stopwatch();
    const bool ok = files::loadInto(*w.doc(), path, &reason);
    for (int i = 0; i < 1000 && !paint.painted; ++i)
        QCoreApplication::processEvents();
    expect(ok && edit->textLength() > 10 * MiB - 200 && paint.painted, "highlight open: no page, or no paint");
    editing::SyntaxColours* layer = editing::SyntaxColours::of(edit);
    expect(layer && layer->colouredLast() > 0, "highlight open: the view was not coloured");
    report("highlight.open_10MiB_first_paint_ms", paint.cpuMs, "ms");
    double total = 0;
    double longest = untilDone([&] { return layer->isComplete(); }, &total);
    report("highlight.background_10MiB_ms", total, "ms");

    edit->setSelStart(0);
    double longestKey = 0;
    for (const QChar c : QStringLiteral("<!--")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        probe::WallStopwatch key;
        QCoreApplication::sendEvent(edit, &press);
        longestKey = std::max(longestKey, key.ms());
    }
    expect(edit->textRange(0, 4) == QLatin1String("<!--"), "highlight open: the comment was not typed");
    double again = 0;
    longest = std::max({longest, longestKey, untilDone([&] { return layer->isComplete(); }, &again)});
    report("highlight.comment_opened_recolour_10MiB_ms", again, "ms");
    report("highlight.ui_longest_block_ms_10MiB", longest, "ms");
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const std::pair<const char*, std::function<void()>> scenarios[] = {
        {"open", openPage},  {"openfloor", openFloor}, {"longopen", openLongLine}, {"save", savePage},
        {"savefloor", saveFloor}, {"rtf", editingFormat}, {"hostile", hostileEditingFile},
        {"largest", largestEditingFile}, {"highlightopen", openColoured}};
    const QStringList wanted = app.arguments().mid(1);
    for (const auto& [name, run] : scenarios)
        if (wanted.isEmpty() || wanted.contains(QLatin1String(name)))
            run();
    return 0;
}
