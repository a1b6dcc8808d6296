#include "platform/Prompts.h"

#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPushButton>
#include <QPrinter>

namespace platform {

namespace {
Prompts defaults()
{
    Prompts p;
    p.message = [](QWidget* parent, const QString& caption, const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
        box.exec();
    };
    p.warning = [](QWidget* parent, const QString& caption, const QString& text) {
        QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok, parent);
        box.exec();
    };
    p.pageSetup = [](QWidget* parent) {
        QPrinter printer;
        QPageSetupDialog dialog(&printer, parent);
        dialog.exec();
    };
    p.overwrite = [](QWidget* parent, const QString& text) {
        QMessageBox box(QMessageBox::Warning, applicationTitle(), text, QMessageBox::NoButton, parent);
        const QPushButton* overwrite =
            box.addButton(QStringLiteral("Overwrite"), QMessageBox::DestructiveRole);
        QPushButton* cancel = box.addButton(QMessageBox::Cancel);
        box.setDefaultButton(cancel);
        box.setEscapeButton(cancel);
        box.exec();
        return box.clickedButton() == overwrite;
    };
    return p;
}
} // namespace

Prompts& prompts()
{
    static Prompts current = defaults();
    return current;
}

void resetPrompts() { prompts() = defaults(); }

void showMessage(QWidget* parent, const QString& text)
{
    prompts().message(parent, applicationTitle(), text);
}

void showWarning(QWidget* parent, const QString& caption, const QString& text)
{
    prompts().warning(parent, caption, text);
}

bool askOverwrite(QWidget* parent, const QString& text) { return prompts().overwrite(parent, text); }

} // namespace platform
