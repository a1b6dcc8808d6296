#pragma once

#include <QHash>
#include <QMainWindow>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QPushButton;
class QStatusBar;
class QTimer;
class ToolbarStrip;
class frmDocument;
namespace recovery {
class Keeper;
}

// The main window: menus, the two-row toolbar strip, the document area with its logo window,
// and the status bar. Commands live with their subsystems; this class only wires them.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The load step: toolbar enabling, placement from the settings store, shared values cleared.
    void load();

    frmDocument* activeDocument() const;
    QList<frmDocument*> documents() const;

    // File > New: a new page, then the page-colours dialog (modal).
    frmDocument* newPage();
    // A new empty document window of its own numbering, with no dialog after it.
    frmDocument* LoadANewDoc();

    void runCommand(const QString& name);
    void enableToolbar();
    void toggleStatusBar();
    void keepToolbarChecked();

    QAction* action(const QString& name) const { return m_actions.value(name); }
    QPushButton* button(const QString& name) const { return m_buttons.value(name); }
    QMdiArea* mdiArea() const { return m_mdi; }
    QMdiSubWindow* logoWindow() const { return m_logo; }

    // When set, closing the main window ends the program (the start routine sets it).
    void setEndsProgram(bool ends) { m_endsProgram = ends; }

    recovery::Keeper& recoveryKeeper() const { return *m_recovery; }
    // The desktop session ends or the process is asked to stop: nobody can answer a
    // question, so every unsaved page goes to its recovery copy and the window closes.
    void endSession();

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildToolbar(ToolbarStrip* strip);
    void buildStatusBar();
    void buildLogo();
    void centreLogo();
    void updateStatusPanels();
    void refreshWindowList();
    void restorePlacement();
    void storePlacement();
    void placementChanged();
    frmDocument* createDocument(const QString& caption);

    QMdiArea* m_mdi = nullptr;
    QMdiSubWindow* m_logo = nullptr;
    QHash<QString, QAction*> m_actions;
    QHash<QString, QPushButton*> m_buttons;
    QList<QLabel*> m_panels;
    QList<QAction*> m_windowListActions;
    QTimer* m_placementTimer = nullptr; // stores the placement once moving or resizing stops
    QRect m_storedPlacement;
    recovery::Keeper* m_recovery = nullptr;
    bool m_endsProgram = false;
    bool m_closingAll = false;   // the pages' fate is decided: close them without asking
    bool m_sessionEnding = false;
    bool m_statusBarMark = true;
};
