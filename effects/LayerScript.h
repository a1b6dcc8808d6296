#pragma once

#include "document/Steps.h"

#include <QStringView>
#include <optional>

// Two absolutely positioned images and the script slide_em() that slides them past each
// other once when the page loads, swapping which one lies on top half way.
namespace layering {

inline constexpr Rgb colour{130, 130, 55};

// What the user typed. The names and sizes go in as typed; the three positions must be
// whole numbers (see toWholeNumber).
struct Values {
    QString image1;  // Text1
    QString image2;  // Text2
    QString height1; // Text3
    QString width1;  // Text4
    QString height2; // Text5
    QString width2;  // Text6
    QString left;    // Text7: the slide distance L
    QString top1;    // Text8
    QString top2;    // Text9
};

// A typed number as a 32-bit signed whole number: blanks around it are allowed, a fraction
// goes to the nearest whole number and a half to the even neighbour (12.5 -> 12,
// 13.5 -> 14). An exponent is accepted ("1e3"). Empty text, anything else, or a value
// outside the 32-bit range gives nothing.
std::optional<qint32> toWholeNumber(QStringView text);

inline const QString errorMessage = QStringLiteral(
    " You have encountered an unspecified error(probably put text where you should have put"
    " a number) Try again");

// What Apply does. On success the steps insert the twenty pieces and end by unloading the
// dialog and recording the caret. When a position is not a whole number, or twice L does not
// fit in 32 bits, `failed` is set and the steps hold only what goes in before the error
// (nothing, or the first five pieces); the dialog then shows errorMessage and finishes with
// unloadSteps().
struct Outcome {
    Steps steps;
    bool failed = false;
};
Outcome apply(const Values& v);

// Cancel, and the end of the error path: unload the dialog, then record the caret.
Steps unloadSteps();

// The two image tags, joined from their parts; positions already in plain decimal.
QString imageTag1(const Values& v, qint32 top1);
QString imageTag2(const Values& v, qint32 top2, qint32 left);

inline const QString browseFilter =
    QStringLiteral("Jpeg Files(*.jpg, *.jpeg)|*.jpg;*.jpeg|Gif Files(*.gif)|*.gif");

} // namespace layering
