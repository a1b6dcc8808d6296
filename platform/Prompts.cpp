#include "platform/Prompts.h"

#include <QMessageBox>
#include <QPushButton>
#include <QPageSetupDialog>
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
    p.question = [](QWidget* parent, const Question& q) {
        QMessageBox box(QMessageBox::Warning, applicationTitle(), q.text, QMessageBox::NoButton,
                        parent);
        box.setInformativeText(q.details);
        QList<QPushButton*> buttons;
        for (const QString& caption : q.buttons)
            buttons.append(box.addButton(caption, QMessageBox::ActionRole));
        if (q.defaultButton >= 0 && q.defaultButton < buttons.size())
            box.setDefaultButton(buttons.at(q.defaultButton));
        const int escape = q.escape();
        if (escape >= 0 && escape < buttons.size())
            box.setEscapeButton(buttons.at(escape));
        box.exec();
        const int chosen = static_cast<int>(buttons.indexOf(box.clickedButton()));
        return chosen >= 0 ? chosen : escape;
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

int ask(QWidget* parent, const Question& question) { return prompts().question(parent, question); }

} // namespace platform
