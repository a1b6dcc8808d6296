#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace platform {

// The application title: caption of the main window and of every message box.
inline const QString applicationTitle() { return QStringLiteral("Halvane"); }

// A question with buttons of its own, e.g. Save / Discard / Cancel. The answer is the index
// of the chosen button; Escape or closing the box gives `escapeButton`.
struct Question {
    QString text;
    QString details;        // a second paragraph under the text (a list of pages, a reason)
    QStringList buttons;    // captions, "&" marking the access key
    int defaultButton = 0;  // the one Return presses
    int escapeButton = -1;  // the one Escape presses; -1: the last button
    int escape() const { return escapeButton >= 0 ? escapeButton : int(buttons.size()) - 1; }
};

// Modal prompts the program shows. Each goes through a replaceable handler so that tests
// can record what would have been shown instead of blocking on a modal window.
struct Prompts {
    // A message box with an OK button and no icon; the caption is the application title.
    std::function<void(QWidget* parent, const QString& caption, const QString& text)> message;
    // A message box with an OK button, an exclamation icon and a caption of its own.
    std::function<void(QWidget* parent, const QString& caption, const QString& text)> warning;
    // The system's print set-up dialog; what the user chooses is not used.
    std::function<void(QWidget* parent)> pageSetup;
    // A question box with a warning icon; returns the index of the chosen button.
    std::function<int(QWidget* parent, const Question& question)> question;
};

Prompts& prompts();
void resetPrompts();

void showMessage(QWidget* parent, const QString& text);
void showWarning(QWidget* parent, const QString& caption, const QString& text);
int ask(QWidget* parent, const Question& question);

} // namespace platform
