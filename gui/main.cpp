// relatix2, the desktop program.
#include <QApplication>
#include <QTimer>
#include <cstdlib>
#include <iostream>

#include "app/application.h"
#include "main_window.h"
#include "platform/program_folder.h"
#include "qt_user_interface.h"
#include "windows.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // The toolkit's own per-user settings.
    QApplication::setOrganizationName("Ped weaver");
    QApplication::setApplicationName("Relatix2");

    relatix::QtUserInterface ui;
    relatix::registerWindows(ui.windows());
    // A file named on the command line is not loaded: the case always starts empty.
    relatix::Application relatix(ui, relatix::programFolder());
    relatix::MainWindow window(relatix, ui);
    ui.setMainWindow(&window);
    window.show();
    relatix.setTitleFromName("Untitled");

    // RELATIX_EXIT_WHEN_SHOWN=1 (for the start-up test): once the window is on
    // the screen, report it and choose Exit from the menu.
    if (const char* exitWhenShown = std::getenv("RELATIX_EXIT_WHEN_SHOWN");
        exitWhenShown && *exitWhenShown == '1') {
        QTimer::singleShot(200, &window, [&window] {
            std::cout << "relatix2: window shown: " << (window.isVisible() ? "visible" : "hidden")
                      << " \"" << window.windowTitle().toStdString() << "\"" << std::endl;
            window.action(relatix::CommandId::Exit)->trigger();
        });
    }
    const int status = QApplication::exec();
    if (std::getenv("RELATIX_EXIT_WHEN_SHOWN"))
        std::cout << "relatix2: closed with " << status << std::endl;
    return status;
}
