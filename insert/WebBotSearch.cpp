#include "insert/WebBotSearch.h"

#include <initializer_list>

namespace webbot {

using namespace step;

namespace {
QString join(std::initializer_list<const char*> pieces)
{
    QString s;
    for (const char* p : pieces)
        s += QLatin1String(p);
    return s;
}
} // namespace

QString openingComment()
{
    return join({"<!--webbot bot= \"", "Search\"", " startspan s-index= \"", "All\"",
                 " s-fields= \"", "DocumentK,\"", " s-text= \"", "Search for:\"", " i-size= \"",
                 "20\"", " s-submit= \"", "Start Search\"", " s-clear= \"", "Reset\"", " tag= \"",
                 "FORM\"", " -->"});
}

QString fieldAndSubmit()
{
    return join({"<input type= \"", "text\"", " name= \"", "search\"",
                 " size=20></p> <p><input type= \"", "submit\"", " value= \"", "Start Search\"", ">"});
}

QString resetAndClosing()
{
    return join({"<input type= \"", "reset\"", " value= \"", "Reset\"", "></p> </form><!--webbot ",
                 "bot= \"", "Search\"", " i-checksum= \"", "44572\"", " endspan -->"});
}

Steps searchForm()
{
    const Rgb green = colours::webBotGreen;
    return {FocusEditor{},
            InsertPiece{openingComment(), green},
            NewLine{},
            InsertPiece{QStringLiteral("<form><p><b>Search for:</b>"), green},
            NewLine{},
            InsertPiece{fieldAndSubmit(), green},
            NewLine{},
            InsertPiece{resetAndClosing(), green},
            SetColour{colours::black},
            NewLine{},
            RecordCaret{}};
}

} // namespace webbot
