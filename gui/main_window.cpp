#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include "app/application.h"
#include "qt_user_interface.h"

namespace relatix {

MainWindow::MainWindow(Application& application, QtUserInterface& ui)
    : application_(application), ui_(ui) {
    setObjectName("mainWindow");
    std::map<std::string, QMenu*> menus;
    for (const MenuCommand& command : menuCommands()) {
        QMenu*& menu = menus[command.menu];
        if (!menu) menu = menuBar()->addMenu(QString::fromStdString(command.menu));
        // The caption's text after the tab is the shortcut shown beside it.
        const QString caption = QString::fromStdString(command.caption);
        const qsizetype tab = caption.indexOf('\t');
        QAction* action = menu->addAction(tab < 0 ? caption : caption.left(tab));
        if (tab >= 0) action->setShortcut(QKeySequence(caption.mid(tab + 1)));
        if (command.id == CommandId::Exit) menu->insertSeparator(action);
        const CommandId id = command.id;
        connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
        actions_[id] = action;
    }
    // The case lives in dialogs; the client area says where a new user starts.
    auto* hint = new QLabel(
        "Start a case with File > New Wizard (Ctrl+N),\nor open a saved one with File > Open "
        "(Ctrl+O).",
        this);
    hint->setObjectName("startHint");
    hint->setAlignment(Qt::AlignCenter);
    hint->setEnabled(false);  // drawn in the muted text colour
    setCentralWidget(hint);
    // A permanent "Ready": a menu's status tip covers it only while shown.
    auto* ready = new QLabel("Ready", this);
    ready->setObjectName("ready");
    statusBar()->addWidget(ready);
    setWindowTitle(QString::fromStdString(application_.windowTitle()));
    resize(fontMetrics().averageCharWidth() * 100, fontMetrics().height() * 30);
}

QAction* MainWindow::action(CommandId id) const {
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

void MainWindow::runCommand(CommandId id) {
    // A command that is still running (its progress window lets events through)
    // is not started a second time.
    if (running_ || ui_.busy()) return;
    running_ = true;
    const bool goOn = application_.runCommand(id);
    running_ = false;
    if (!goOn) {
        close();
        QApplication::quit();
    }
}

}  // namespace relatix
