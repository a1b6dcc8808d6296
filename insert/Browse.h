#pragma once

#include <QString>

class QLineEdit;
class QWidget;

namespace insertdialogs {

// The Browse buttons of the insert dialogs: shows the Open dialog with the filter (starting at
// lastChosen, which is updated), gives the calling dialog the focus again and puts the chosen
// file's own name, without its folder, into the box. A cancelled Open dialog leaves the box
// as it was.
void browseInto(QWidget* dialog, QLineEdit* box, const QString& filter, QString& lastChosen);

} // namespace insertdialogs
