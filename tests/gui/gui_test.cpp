// The desktop program's windows driven as a user would: menus, message boxes,
// file dialogs (through the test stand-in), the progress window and the windows
// of the presenters. Every window shown is saved as a PNG in the build's
// screenshots folder for a reviewer to look at.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>
#include <filesystem>

#include "app/application.h"
#include "app/help_dialogs.h"
#include "core/core.h"
#include "dialogs/save_results_presenter.h"
#include "dialogs/simulation_results_presenter.h"
#include "dialogs/view_data_presenter.h"
#include "exceedance_plot.h"
#include "genome_ratio_plot.h"
#include "main_window.h"
#include "qt_user_interface.h"
#include "support/one_marker_clusters.h"
#include "window_script.h"
#include "windows.h"

using namespace relatix;
using namespace relatix::testing;

class GuiTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        ui_ = std::make_unique<QtUserInterface>();
        registerWindows(ui_->windows());
        app_ = std::make_unique<Application>(*ui_, RELATIX_PROGRAM_FOLDER);
        window_ = std::make_unique<MainWindow>(*app_, *ui_);
        ui_->setMainWindow(window_.get());
        window_->show();
        app_->setTitleFromName("Untitled");
    }
    void cleanup() {
        window_.reset();
        app_.reset();
        ui_.reset();
    }

    void filterStringsBecomeQtNameFilters() {
        QCOMPARE(qtNameFilters("Save Files (*.sav)|*.sav||All Files (*.*)|*.*||"),
                 QStringList({"Save Files (*.sav)", "All Files (*)"}));
        QCOMPARE(qtNameFilters("Save Files (*.sav)|*.sav|Kovarian Files (*.kov)|*.kov|All Files "
                               "(*.*)|*.*||"),
                 QStringList({"Save Files (*.sav)", "Kovarian Files (*.kov)", "All Files (*)"}));
        // The patterns count, not the description's text.
        QCOMPARE(qtNameFilters("txt/freq files (*.txt;.freq)|*.txt;*.freq|All Files (*.*)|*.*||"),
                 QStringList({"txt/freq files (*.txt *.freq)", "All Files (*)"}));
        QCOMPARE(withDefaultExtension("/a/case", "sav"), std::string("/a/case.sav"));
        QCOMPARE(withDefaultExtension("/a/case", ".sav"), std::string("/a/case.sav"));
        QCOMPARE(withDefaultExtension("/a.b/case.final.sav", "sav"),
                 std::string("/a.b/case.final.sav"));
        QCOMPARE(withDefaultExtension("/a.b/case", "sav"), std::string("/a.b/case.sav"));
    }

    void mainWindowHasTitleMenusAndShortcuts() {
        QCOMPARE(window_->windowTitle(), QString("Relatix2 - Untitled"));
        QStringList menus;
        for (QAction* menu : window_->menuBar()->actions()) menus << menu->text();
        QCOMPARE(menus, QStringList({"File", "Tools", "Help"}));
        QCOMPARE(window_->action(CommandId::NewWizard)->text(), QString("&New Wizard"));
        QCOMPARE(window_->action(CommandId::NewWizard)->shortcut(), QKeySequence("Ctrl+N"));
        QCOMPARE(window_->action(CommandId::Open)->shortcut(), QKeySequence("Ctrl+O"));
        QCOMPARE(window_->action(CommandId::Save)->shortcut(), QKeySequence("Ctrl+S"));
        QCOMPARE(window_->action(CommandId::Exit)->text(), QString("E&xit"));
        auto* ready = window_->findChild<QLabel*>("ready");
        QVERIFY(ready && ready->isVisible());
        screenshot(window_.get(), "main_window");
    }

    void messageBoxesShowCaptionTextAndIcon() {
        SeenMessage manual;
        ModalScript script;
        script.then(answer(manual, QMessageBox::Ok, "message_box"));
        window_->action(CommandId::Manual)->trigger();
        QCOMPARE(manual.caption, QString("Relatix2"));
        QCOMPARE(manual.text,
                 QString("Currently unavailable - please visit the webpage for any information."));
        // A question answered through its buttons.
        script.then([](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            QCOMPARE(box->icon(), QMessageBox::Question);
            box->button(QMessageBox::Cancel)->click();
        });
        QCOMPARE(ui_->messageBox("Save project?", "Question", MessageButtons::YesNoCancel,
                                 MessageIcon::Question),
                 Answer::Cancel);
        QVERIFY(script.done());
    }

    void saveAsAndOpenGoThroughTheFileDialogs() {
        const std::filesystem::path folder =
            std::filesystem::temp_directory_path() / "relatix_gui_test";
        std::filesystem::create_directories(folder);
        std::vector<FileDialogRequest> requests;
        ui_->setFileDialogStandIn(
            [&](bool save,
                const FileDialogRequest& request) -> std::optional<std::vector<std::string>> {
                requests.push_back(request);
                if (save) return std::vector<std::string>{(folder / "case.final").string()};
                return std::vector<std::string>{std::string(RELATIX_SOURCE_DIR) +
                                                "/examples/half_siblings_linked.sav"};
            });
        ModalScript script;
        SeenMessage summary;
        // Open may show the import summary; whatever window appears is closed.
        for (int i = 0; i < 3; ++i)
            script.then(
                [](QWidget* w) { QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection); });
        window_->action(CommandId::Open)->trigger();
        QCOMPARE(window_->windowTitle(), QString("Relatix2 - half_siblings_linked"));
        QVERIFY(!app_->core().markerMap.markers.empty());
        window_->action(CommandId::SaveAs)->trigger();
        QCOMPARE(requests.back().defaultExtension, std::string("sav"));
        QCOMPARE(requests.back().filter,
                 std::string("Save Files (*.sav)|*.sav||All Files (*.*)|*.*||"));
        QVERIFY(std::filesystem::exists(folder / "case.final.sav"));
        QCOMPARE(window_->windowTitle(), QString("Relatix2 - case.final"));
        std::filesystem::remove_all(folder);
    }

    void progressWindowStepsCancelsAndGuardsTheMenus() {
        ui_->progressOpen("Simulating data", 1, 50, "Initiating...");
        auto* progress = window_->findChild<QProgressDialog*>("progress");
        QVERIFY(progress);
        QVERIFY(progress->isVisible());
        QVERIFY(!window_->isEnabled());
        QVERIFY(ui_->busy());
        ui_->progressStep();
        ui_->progressSetText("Data set 2 of 50");
        QCOMPARE(progress->value(), 2);
        QCOMPARE(progress->labelText(), QString("Data set 2 of 50"));
        screenshot(progress, "progress");
        QVERIFY(!ui_->progressCancelled());
        progress->cancel();
        QVERIFY(ui_->progressCancelled());
        ui_->progressClose();
        QVERIFY(window_->isEnabled());
        QVERIFY(!ui_->busy());
    }

    void textWindowHoldsSelectableUnwrappedText() {
        ModalScript script;
        QString shown;
        script.then([&shown](QWidget* w) {
            auto* field = w->findChild<QPlainTextEdit*>("text");
            QVERIFY(field);
            QCOMPARE(w->windowTitle(), QString("Important message"));
            QCOMPARE(field->lineWrapMode(), QPlainTextEdit::NoWrap);
            QVERIFY(field->textInteractionFlags() & Qt::TextSelectableByMouse);
            shown = field->toPlainText();
            screenshot(w, "important_message");
            click(w, "Close");
        });
        ui_->showTextWindow(std::string(300, 'x') + "\nsecond line");
        QVERIFY(shown.startsWith(QString(300, 'x')));
    }

    void helpWindows() {
        ModalScript script;
        QString version;
        SeenMessage note;
        SeenMessage exported;
        script.then([&version](QWidget* w) {
            version = w->findChild<QLabel*>("version")->text();
            screenshot(w, "about");
            QMetaObject::invokeMethod(w, "accept", Qt::QueuedConnection);
        });
        window_->action(CommandId::About)->trigger();
        QCOMPARE(version, QString("Relatix2 Version 2.1"));
        script.then(answer(note))
            .then([](QWidget* w) {
                QCOMPARE(w->windowTitle(), QString("How to cite Relatix"));
                QCOMPARE(w->findChild<QComboBox*>("formats")->currentText(),
                         QString("Select format..."));
                screenshot(w, "how_to_cite");
                clickLater(w, "Export");
            })
            .then(answer(exported))
            .then([](QWidget*) {});
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            if (script.done() && QApplication::activeModalWidget()) {
                closer.stop();
                click(QApplication::activeModalWidget(), "Close");
            }
        });
        closer.start(20);
        window_->action(CommandId::HowToCite)->trigger();
        QCOMPARE(exported.caption, QString("Notification"));
        QCOMPARE(exported.text, QString("Not available yet"));
    }

    void simulationResultsShowStatisticsAndPlot() {
        Core& core = app_->core();
        QVERIFY(core.selectMainHypothesis(23));  // "Paternity (duo)"
        core.alternativeHypotheses = {0};
        // 50 data sets per true pedigree: under the main hypothesis the main one
        // is likelier, under the alternative the alternative; one value missing.
        for (int s = 0; s < 50; ++s) {
            core.simulatedExactLikelihoods.push_back({-10.0 + 0.1 * s, -20.0});
            core.simulatedExactLikelihoods.push_back(
                {-20.0, s == 7 ? LogLikelihood::missing("skipped") : LogLikelihood(-10.0)});
        }
        SimulationResultsPresenter presenter(core, *ui_);
        presenter.refresh();
        const std::vector<ExceedanceCurve> curves = exceedanceCurves(presenter);
        QCOMPARE(curves.size(), size_t(2));
        QCOMPARE(curves[0].log10Ratios.size(), size_t(50));
        QCOMPARE(curves[1].log10Ratios.size(), size_t(49));
        // Main against alternative: log10 of exp(10) for the first data set.
        QVERIFY(std::abs(curves[0].log10Ratios.front() - 10.0 / std::log(10.0)) < 1e-9);
        QVERIFY(curves[1].log10Ratios.back() < 0);

        ModalScript script;
        int tableRows = 0;
        script.then([&](QWidget* w) {
            tableRows = w->findChild<QTableWidget*>("statistics")->rowCount();
            auto* plot = w->findChild<ExceedancePlot*>("plot");
            QVERIFY(plot);
            QCOMPARE(plot->curves().size(), size_t(2));
            w->resize(w->sizeHint());
            screenshot(w, "simulation_results");
            const QString png = screenshotFolder() + "/exceedance_plot.png";
            const QString svg = screenshotFolder() + "/exceedance_plot.svg";
            QVERIFY(plot->saveTo(png));
            QVERIFY(plot->saveTo(svg));
            QFile file(svg);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray content = file.readAll();
            QVERIFY(content.contains("<svg") && content.contains("P(LR &gt;= x)"));
            QVERIFY(content.contains("(n=49)"));
            click(w, "Close");
        });
        QCOMPARE(ui_->runDialog(presenter), DialogResult::Closed);
        QCOMPARE(tableRows, 2);
    }

    void merlinAnalysisOpensFromTheToolsMenu() {
        SeenMessage instructions;
        QString refusal;
        ModalScript script;
        script.then(answer(instructions))
            .then([](QWidget* w) {
                QCOMPARE(w->windowTitle(), QString("Analyze Merlin files"));
                QCOMPARE(child<QLabel>(w, "pedigreeFile")->text(), QString("Select file..."));
                QCOMPARE(child<QLabel>(w, "outputFile")->text(), QString("Select file..."));
                QCOMPARE(fieldText(w, "numberOfSimulations"), QString("1000"));
                QVERIFY(child<QCheckBox>(w, "randomSeed")->isChecked());
                QVERIFY(!child<QLineEdit>(w, "seed")->isEnabled());
                for (const char* button : {"Ped file...", "Dat file...", "Freq file...",
                                           "Map file...", "Map2 file...", "Out file..."})
                    QVERIFY2(buttonNamed(w, button), button);
                screenshot(w, "merlin_analysis");
                clickLater(w, "Simulate");
            })
            .then(answer(refusal))
            .then([](QWidget* w) { click(w, "Close"); });
        window_->action(CommandId::MerlinAnalysis)->trigger();
        QVERIFY(script.done());
        QCOMPARE(instructions.caption, QString("Instructions"));
        QVERIFY(instructions.text.startsWith("Feature is only in alpha testing"));
        QCOMPARE(refusal, QString("Please check the input files"));
    }

    void resultWindowsShowPerMarkerRatiosAndSaveOptions() {
        Core& core = app_->core();
        const char* names[] = {"D1S1656", "D5S818", "CSF1PO"};
        const int chromosomes[] = {1, 5, 5};
        for (int c = 0; c < 3; ++c)
            testing::addOneMarkerCluster(core, names[c], chromosomes[c], 20.0 * (c + 1));
        core.markerSkipped = {false, false, false};
        core.exactMarkerResults = {{-4.0, -7.0, -9.5}, {-5.0, -9.0, -12.0}};
        core.exactResults = {-9.5, -12.0};
        core.referenceHypothesis = 1;

        ViewDataPresenter view(core, *ui_, DataViewMode::MarkerRatios, 1);
        ModalScript script;
        int rows = 0, shownAfterFilter = 0;
        size_t points = 0;
        script.then([&](QWidget* w) {
            QCOMPARE(w->windowTitle(), QString("View data (Beta)"));
            auto* grid = child<QTableWidget>(w, "grid");
            rows = grid->rowCount();
            points = child<GenomeRatioPlot>(w, "plot")->curve().points.size();
            w->resize(w->sizeHint());
            screenshot(w, "view_data_marker_ratios");
            type(w, "markerName", "csf1po");
            shownAfterFilter = grid->rowCount();
            click(w, "Close");
        });
        QCOMPARE(ui_->runDialog(view), DialogResult::Closed);
        QCOMPARE(rows, 4);  // three markers and the total
        QCOMPARE(points, size_t(3));
        QCOMPARE(shownAfterFilter, 2);

        SaveResultsPresenter save(core, *ui_, 1, true, false);
        script.then([](QWidget* w) {
            QCOMPARE(child<QComboBox>(w, "options")->count(), 5);
            screenshot(w, "save_results");
            click(w, "Close");
        });
        QCOMPARE(ui_->runDialog(save), DialogResult::Closed);
    }

private:
    std::unique_ptr<QtUserInterface> ui_;
    std::unique_ptr<Application> app_;
    std::unique_ptr<MainWindow> window_;
};

QTEST_MAIN(GuiTest)
#include "gui_test.moc"
