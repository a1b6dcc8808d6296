#include "insert/Browse.h"

#include "platform/FileChooser.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>

namespace insertdialogs {

void browseInto(QWidget* dialog, QLineEdit* box, const QString& filter, QString& lastChosen)
{
    const QPointer<QWidget> caller(dialog);
    const QPointer<QLineEdit> target(box);
    platform::FileRequest request;
    request.kind = platform::FileDialogKind::Open;
    request.filter = filter;
    request.fileName = lastChosen;
    const QString path = platform::chooseFile(dialog, request);
    if (!caller || !target)
        return; // the dialog went away while the Open dialog was up
    caller->raise();
    caller->activateWindow();
    if (path.isEmpty())
        return;
    lastChosen = path;
    target->setText(QFileInfo(path).fileName());
}

} // namespace insertdialogs
