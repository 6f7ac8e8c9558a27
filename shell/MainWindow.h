// The shell's main window: an MDI area for the screens and a menu to open them.
#pragma once

#include <QMainWindow>

class QMdiArea;
class ModuleLoader;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(ModuleLoader &loader, const QString &title);
    QMdiArea *mdiArea() const { return m_area; }
    // Opens a module's screen as the menu does; errors are shown, not thrown.
    void openModule(const QString &code);
    // Closes every screen (each runs its close handling).
    void closeScreens();

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    ModuleLoader &m_loader;
    QMdiArea *m_area;
};
