// A Halvane that types into a new page and into an opened file, says "ready" and waits to be
// killed. Usage: recovery_child FILE wait|now|hold — "wait" says ready once both recovery
// copies are on disk, "now" at once (before any copy is due); "hold" is "now", and once the
// program has ended it says "ended" and waits for a line on its input before it returns.

#include "RecoveryPages.h"

#include "app/FileCommands.h"
#include "app/StartUp.h"
#include "app/frmMain.h"
#include "document/RichEdit.h"
#include "document/frmDocument.h"
#include "platform/RecoveryStore.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>

namespace {

void typeInto(frmDocument* doc)
{
    using namespace recoverypages;
    RichEdit* edit = doc->editor();
    edit->setSelStart(0);
    edit->setSelColor(red);
    edit->setSelText(tag);
    edit->setSelColor(Qt::black);
    edit->setSelText(typed);
}

int copiesOnDisk()
{
    return int(QDir(platform::recovery::defaultFolder())
                   .entryList({QStringLiteral("*.json")}, QDir::Files)
                   .size());
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Halvane"));
    QApplication::setApplicationName(QStringLiteral("Halvane"));
    if (argc != 3)
        return 2;
    frmMain main;
    main.setEndsProgram(true);
    main.load();
    main.show();
    startup::endWithSession(app, main);

    typeInto(main.LoadANewDoc());
    frmDocument* opened = main.LoadANewDoc();
    QString reason;
    const QString file = QString::fromLocal8Bit(argv[1]);
    if (!files::loadInto(*opened, file, &reason))
        return 3;
    opened->setWindowTitle(file);
    typeInto(opened);

    const QByteArray mode(argv[2]);
    const bool wait = mode == "wait";
    auto* poll = new QTimer(&main);
    QObject::connect(poll, &QTimer::timeout, [poll, wait] {
        if (wait && copiesOnDisk() < 2)
            return;
        poll->stop();
        std::puts("ready");
        std::fflush(stdout);
    });
    poll->start(50);
    const int status = app.exec();
    if (mode == "hold") {
        std::puts("ended");
        std::fflush(stdout);
        char line[16];
        [[maybe_unused]] const char* got = std::fgets(line, sizeof line, stdin);
    }
    return status;
}
