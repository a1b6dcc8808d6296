#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace platform {

// The application title: caption of the main window and of every message box.
inline const QString applicationTitle() { return QStringLiteral("Halvane"); }

// Modal prompts the program shows. Each goes through a replaceable handler so that tests
// can record what would have been shown instead of blocking on a modal window.
struct Prompts {
    // A message box with an OK button and no icon; the caption is the application title.
    std::function<void(QWidget* parent, const QString& caption, const QString& text)> message;
    // A message box with an OK button, an exclamation icon and a caption of its own.
    std::function<void(QWidget* parent, const QString& caption, const QString& text)> warning;
    // The system's print set-up dialog; what the user chooses is not used.
    std::function<void(QWidget* parent)> pageSetup;
    // A question with the buttons Overwrite and Cancel (the default button, and the answer to
    // Escape) and a warning icon; the caption is the application title. True for Overwrite.
    std::function<bool(QWidget* parent, const QString& text)> overwrite;
};

Prompts& prompts();
void resetPrompts();

void showMessage(QWidget* parent, const QString& text);
void showWarning(QWidget* parent, const QString& caption, const QString& text);
bool askOverwrite(QWidget* parent, const QString& text);

} // namespace platform
