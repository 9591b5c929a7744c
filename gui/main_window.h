// The main window: the menu bar built from the command table, an empty client
// area and a status bar. Every menu command goes to the Application.
#pragma once

#include <QMainWindow>
#include <map>

#include "app/command_table.h"

class QAction;

namespace relatix {

class Application;
class QtUserInterface;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(Application& application, QtUserInterface& ui);

    // The menu action of a command (tests trigger commands through it).
    QAction* action(CommandId id) const;

private:
    void runCommand(CommandId id);

    Application& application_;
    QtUserInterface& ui_;
    std::map<CommandId, QAction*> actions_;
    bool running_ = false;
};

}  // namespace relatix
