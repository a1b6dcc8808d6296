#pragma once

#include "document/Steps.h"

#include <QDialog>
#include <functional>
#include <initializer_list>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QBoxLayout;
class QCheckBox;
class QHBoxLayout;
class QPushButton;
class QRadioButton;

// The common cancel of the generator dialogs: unload, give the editor the focus, record the
// caret. Nothing is inserted.
inline Steps commonCancel()
{
    return {step::CloseDialog{}, step::FocusEditor{}, step::RecordCaret{}};
}

// The base of every generator dialog and palette: the shared look (red face, yellow labels,
// flat yellow-on-red buttons), the controls built the same way everywhere, and the one way a
// dialog writes into the active document and unloads itself.
//
// A dialog is a single instance registered with Forms by its name; unloading takes it out of
// the registry and destroys it, so the next showing starts fresh. Escape and the window's
// close box run the dialog's cancel.
class GeneratorDialog : public QDialog {
    Q_OBJECT
public:
    GeneratorDialog(const QString& name, const QString& caption);

    // True once the dialog has started to unload: its buttons then do nothing.
    bool unloading() const { return m_unloading; }

    void reject() override;

protected:
    QPushButton* makeButton(const QString& name, const QString& caption);
    // Adds a control to a layout and to the end of the tab order; the first one added this
    // way gets the focus (palettes: a column of buttons in table order).
    void appendInTabOrder(QBoxLayout* layout, QWidget* control);
    // A palette: one column of flat buttons in the order given, the first focused.
    struct PaletteButton {
        const char* name;
        const char* caption;
        const char* tooltip; // nullptr: none
        std::function<void()> action;
    };
    void addPaletteButtons(std::initializer_list<PaletteButton> buttons, int minimumWidth);
    // A palette's ways of leading on to a dialog: show it, then unload; or unload first.
    void showThenUnload(const QString& dialog);
    void unloadThenShow(const QString& dialog);

public:
    // The row of buttons at the foot of a dialog, kept to the right edge.
    static QHBoxLayout* buttonRow(std::initializer_list<QWidget*> buttons);

protected:
    // A yellow label; with a buddy it names that control for keyboard and screen readers.
    // A label beside an option button or check box also selects it when clicked.
    QLabel* makeLabel(const QString& name, const QString& text, QWidget* buddy = nullptr);
    // One-line box; maxLength 0 means no limit (the widget's own default would cut at 32767).
    QLineEdit* makeLineEdit(const QString& name, const QString& accessibleName, int maxLength = 0);
    // Multi-line box with a vertical scroll bar; Tab moves on to the next control.
    QPlainTextEdit* makeTextArea(const QString& name, const QString& accessibleName);
    // A check box whose caption is the label beside it, drawn so that it shows on the red face.
    QCheckBox* makeCheck(const char* name, const char* accessibleName);
    // An option button whose caption is the label beside it.
    QRadioButton* makeOption(const QString& name, const QString& accessibleName);

    // The text of a multi-line box exactly as typed, line breaks as "\r\n" (the widget's own
    // plain text would turn non-breaking spaces into spaces).
    static QString typedText(const QPlainTextEdit* box);

    // Tab order follows the control table: each control after the one before it.
    void setTabOrderList(std::initializer_list<QWidget*> controls);

    // Carries out the steps on the active document; a CloseDialog step unloads this dialog.
    // Presses after the dialog has started to unload are ignored, so a button pressed twice
    // in quick succession inserts once.
    void run(const Steps& steps);
    void unload();

    // Escape, the close box and the Cancel buttons; by default the common cancel.
    virtual void cancel();

    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_tabTail = nullptr;
    bool m_unloading = false;
};
