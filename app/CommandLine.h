#pragma once

#include <QString>
#include <QStringList>

// What the program is asked to do on its command line:
//   halvane [OPTIONS] [FILE...]
// Each FILE becomes an absolute path ("-" stands for the standard input; a file: URL is taken
// as its local path). Options of the toolkit itself (-platform, -display, -session...) are
// accepted and left to it.
namespace cli {

struct Request {
    enum class Action {
        Run,     // start (or hand the files to the program already running)
        Help,    // print `output` to stdout, end with status 0
        Version, // likewise
        Misuse,  // print `output` to stderr, end with status 2
    };
    Action action = Action::Run;
    QStringList files;
    bool newInstance = false;
    QString output;
};

// The stand-in for the standard input among the files.
inline const QString standardInput = QStringLiteral("-");

// Parses `arguments` (the program's name first, as argv gives them); relative paths are
// taken from `workingFolder`. Needs no application object and no display.
Request parse(const QStringList& arguments, const QString& workingFolder);

// The program's arguments as text, from the bytes the system passed.
QStringList fromArgv(int argc, char* argv[]);

} // namespace cli
