// The case wizard driven from end to end as a caseworker would: the bundled
// example opened for its population and markers, a paternity case with one
// alternative, two typed profiles, "Calculate", and the ratios the results window
// shows checked against those relatix2-cli computes from the same case saved to
// disk. Every wizard window is saved as a PNG in the build's screenshots folder.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QProgressDialog>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "app/application.h"
#include "core/core.h"
#include "exceedance_plot.h"
#include "linkage/calculation_workflow.h"
#include "main_window.h"
#include "qt_user_interface.h"
#include "window_script.h"
#include "windows.h"

using namespace relatix;
using namespace relatix::testing;

namespace {

struct Genotype {
    QString marker, first, second;
};

// Chooses the entry with that text as a click in the combo box's list would.
void chooseText(QWidget* window, const char* name, const QString& text) {
    auto* box = child<QComboBox>(window, name);
    QVERIFY(box);
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(QString("no %1 in %2").arg(text, name)));
    choose(window, name, index);
}

// The row of a hypothesis list showing that relationship.
int rowNamed(QListWidget* list, const QString& name) {
    for (int i = 0; list && i < list->count(); ++i)
        if (list->item(i)->text().replace('\n', ' ') == name) return i;
    return -1;
}

// Names the person and types the two alleles of each marker; each marker's entry
// is stored when the next one is chosen, the last when the list returns to "-".
void typeProfile(QWidget* w, int person, const QString& name, const std::vector<Genotype>& dna) {
    choose(w, "person", person);
    type(w, "name", name);
    for (const Genotype& g : dna) {
        chooseText(w, "marker", g.marker);
        auto* first = child<QComboBox>(w, "allele1");
        auto* second = child<QComboBox>(w, "allele2");
        QVERIFY(first && second && first->lineEdit() && second->lineEdit());
        retype(first->lineEdit(), g.first);
        retype(second->lineEdit(), g.second);
    }
    choose(w, "marker", 0);
    auto* table = child<QTableWidget>(w, "genotypes");
    QVERIFY(table);
    int typed = 0;
    for (int r = 0; r < table->rowCount(); ++r) {
        const QString genotype = table->item(r, 2)->text();
        if (genotype.isEmpty()) continue;
        ++typed;
        const auto g = std::find_if(dna.begin(), dna.end(), [&](const Genotype& entry) {
            return entry.marker == table->item(r, 0)->text();
        });
        QVERIFY2(g != dna.end(), qPrintable("typed nothing at " + table->item(r, 0)->text()));
        QCOMPARE(genotype, g->first + ", " + g->second);
    }
    QCOMPARE(typed, static_cast<int>(dna.size()));
}

// The number after "LABEL: " in a results row, "" when the row has no such line.
QString shownValue(const QString& row, const QString& label) {
    for (const QString& line : row.split('\n'))
        if (line.startsWith(label + ": ")) return line.mid(label.size() + 2);
    return {};
}

// The shown value and the computed one agree to the six significant digits shown.
void compareShown(const QString& shown, const QJsonValue& computed, const QString& what) {
    if (shown == "NA") {
        QVERIFY2(computed.isNull(), qPrintable(what + ": shown NA, computed a value"));
        return;
    }
    bool ok = false;
    const double value = shown.toDouble(&ok);
    QVERIFY2(ok && computed.isDouble(),
             qPrintable(what + ": shown '" + shown + "', computed " +
                        QJsonDocument(QJsonArray{computed}).toJson(QJsonDocument::Compact)));
    QVERIFY2(std::abs(value - computed.toDouble()) <= 5e-6 * std::abs(computed.toDouble()),
             qPrintable(what + ": shown " + shown + ", computed " +
                        QString::number(computed.toDouble(), 'g', 12)));
}

}  // namespace

class WizardTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        ui_ = std::make_unique<QtUserInterface>();
        registerWindows(ui_->windows());
        app_ = std::make_unique<Application>(*ui_, RELATIX_PROGRAM_FOLDER);
        window_ = std::make_unique<MainWindow>(*app_, *ui_);
        ui_->setMainWindow(window_.get());
        window_->show();
    }
    void cleanup() {
        window_.reset();
        app_.reset();
        ui_.reset();
    }

    void wizardCaseAgreesWithTheCommandLineProgram() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const std::string saved = folder.filePath("wizard_case.sav").toStdString();
        ui_->setFileDialogStandIn(
            [&](bool save, const FileDialogRequest&) -> std::optional<std::vector<std::string>> {
                if (save) return std::vector<std::string>{saved};
                return std::vector<std::string>{std::string(RELATIX_SOURCE_DIR) +
                                                "/examples/half_siblings_linked.sav"};
            });
        {
            // Reading a case ends with its summary in a text window.
            ModalScript summary;
            summary.then([](QWidget* w) {
                QCOMPARE(w->windowTitle(), QString("Important message"));
                click(w, "Close");
            });
            window_->action(CommandId::Open)->trigger();
            QVERIFY(summary.done());
        }
        QVERIFY(app_->core().populationAt(app_->core().activePopulation));

        // A duo consistent with paternity, at markers of the example population.
        const std::vector<Genotype> father = {{"TPOX", "8", "11"},    {"D3S1358", "15", "17"},
                                              {"vWA", "14", "18"},    {"D8S1179", "13", "13"},
                                              {"D21S11", "29", "30"}, {"D18S51", "12", "16"}};
        const std::vector<Genotype> son = {{"TPOX", "8", "9"},     {"D3S1358", "15", "16"},
                                           {"vWA", "17", "18"},    {"D8S1179", "13", "14"},
                                           {"D21S11", "28", "30"}, {"D18S51", "16", "19"}};
        SeenMessage replace;
        QStringList messages;  // the other message boxes, as "caption: text"
        QPointer<QWidget> results;
        QStringList rows;
        // What to do with the window of each title, once. A window whose message
        // box went away comes back to the front, if only while it closes; it is
        // left alone, as are windows already dealt with.
        QHash<QString, ModalScript::Action> steps;
        steps["Select basic hypothesis (Only one pedigree)"] = [](QWidget* w) {
            auto* list = child<QListWidget>(w, "hypotheses");
            const int row = rowNamed(list, "Paternity (duo)");
            QVERIFY(row >= 0);
            list->setCurrentRow(row);
            screenshot(w, "select_basic_hypothesis");
            clickLater(w, "Next ->");
        };
        // The example's persons and their profiles give way to the duo's.
        steps["Warning"] = answer(replace, QMessageBox::Yes);
        steps["Select alternative hypotheses"] = [](QWidget* w) {
            auto* list = child<QListWidget>(w, "hypotheses");
            const int row = rowNamed(list, "Unrelated");
            QVERIFY(row >= 0);
            list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
            QCOMPARE(list->selectedItems().size(), 1);
            screenshot(w, "select_alternative_hypotheses");
            clickLater(w, "Next ->");
        };
        steps["Add DNA data"] = [&](QWidget* w) {
            QCOMPARE(child<QComboBox>(w, "person")->count(), 3);
            typeProfile(w, 1, "Alleged father", father);
            typeProfile(w, 2, "Son", son);
            QCOMPARE(child<QComboBox>(w, "person")->itemText(1), QString("1. Alleged father"));
            // A stored entry comes back into the fields.
            chooseText(w, "marker", "TPOX");
            QCOMPARE(child<QComboBox>(w, "allele1")->currentText(), QString("8"));
            QCOMPARE(child<QComboBox>(w, "allele2")->currentText(), QString("9"));
            screenshot(w, "add_dna_data");
            clickLater(w, "Next ->");
        };
        steps["Results"] = [&](QWidget* w) {
            results = w;
            clickLater(w, "Calculate");
        };
        ModalScript script;
        ModalScript::Action dispatch = [&](QWidget* w) {
            script.then(dispatch);
            if (const ModalScript::Action step = steps.take(w->windowTitle())) {
                step(w);
            } else if (auto* box = qobject_cast<QMessageBox*>(w)) {
                // Any other message box is noted and declined (No) or acknowledged.
                messages << box->windowTitle() + ": " + box->text();
                box->button(box->button(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok)
                    ->click();
            }
        };
        script.then(dispatch);
        // Once the rows show ratios and the results window is in front again, they
        // are read and the window is closed, which ends the wizard.
        QTimer finisher;
        readRowsOnceCalculated(finisher, results, rows, "results");
        window_->action(CommandId::NewWizard)->trigger();
        QVERIFY(!QTest::currentTestFailed());
        QVERIFY2(steps.isEmpty(), qPrintable("never shown: " + steps.keys().join(", ")));
        QCOMPARE(replace.caption, QString("Warning"));
        QVERIFY2(messages.size() >= 2, qPrintable(messages.join(" | ")));
        QCOMPARE(messages[0], QString("Notification: ") + kIncompleteDataMessage);
        QCOMPARE(messages[1], QString("Question: Save project?"));
        QCOMPARE(rows.size(), 2);

        window_->action(CommandId::SaveAs)->trigger();
        QVERIFY(std::filesystem::exists(saved));
        QCOMPARE(window_->windowTitle(), QString("Relatix2 - wizard_case"));

        QProcess cli;
        cli.start(RELATIX_PROGRAM_FOLDER "/relatix2-cli",
                  {"calculate", "--json", QString::fromStdString(saved)});
        QVERIFY(cli.waitForFinished(120000));
        const QByteArray errors = cli.readAllStandardError();
        QVERIFY2(cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0, errors.data());
        const QJsonObject document = QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
        QStringList used;
        for (const QJsonValue& marker : document["markersUsed"].toArray())
            used << marker.toString();
        QStringList typed;
        for (const Genotype& g : father) typed << g.marker;
        used.sort();
        typed.sort();
        QCOMPARE(used, typed);
        // The linkage engine failing in one program only would show as an extra
        // error box here, or as NA against a value below.
        QCOMPARE(messages.size(), document["linkageEngineMessage"].isNull() ? 2 : 3);

        const QJsonArray hypotheses = document["hypotheses"].toArray();
        QCOMPARE(hypotheses.size(), rows.size());
        for (int i = 0; i < rows.size(); ++i) {
            const QJsonObject h = hypotheses[i].toObject();
            QCOMPARE(rows[i].section('\n', 0, 0), h["name"].toString());
            if (rows[i].contains("\nScale")) {
                QCOMPARE(document["reference"].toInt(), i + 1);
                continue;
            }
            const QString what = h["name"].toString();
            const QString exact = shownValue(rows[i], "LR (Exact)");
            QVERIFY2(!exact.isEmpty() && exact != "NA", qPrintable(rows[i]));
            compareShown(exact, h["lrExact"], what + " exact");
            compareShown(shownValue(rows[i], "LR (Unlinked)"), h["lrUnlinked"], what + " unlinked");
            compareShown(shownValue(rows[i], "LR (Merlin)"), h["lrLinked"], what + " linked");
        }
    }

    // The bundled example opened and calculated as the getting-started guide
    // tells: at unlinked markers half siblings and uncle cannot be told apart
    // (LR 1), along the linked markers they can, and the exact column agrees.
    void bundledExampleShowsTheThreeColumns() {
        ui_->setFileDialogStandIn(
            [&](bool, const FileDialogRequest&) -> std::optional<std::vector<std::string>> {
                return std::vector<std::string>{std::string(RELATIX_SOURCE_DIR) +
                                                "/examples/half_siblings_linked.sav"};
            });
        {
            ModalScript summary;
            summary.then([](QWidget* w) {
                screenshot(w, "open_summary");
                click(w, "Close");
            });
            window_->action(CommandId::Open)->trigger();
            QVERIFY(summary.done());
        }
        QPointer<QWidget> results;
        QStringList rows;
        ModalScript script;
        ModalScript::Action dispatch = [&](QWidget* w) {
            script.then(dispatch);
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                box->button(box->button(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok)
                    ->click();
            } else if (w->windowTitle() == "Results" && !results) {
                results = w;
                clickLater(w, "Calculate");
            }
        };
        script.then(dispatch);
        QTimer finisher;
        readRowsOnceCalculated(finisher, results, rows, "example_results");
        window_->action(CommandId::Results)->trigger();
        QVERIFY(!QTest::currentTestFailed());
        QCOMPARE(rows.size(), 4);
        QVERIFY2(rows[0].startsWith("Half Siblings"), qPrintable(rows[0]));
        QVERIFY2(rows[1].contains("\nScale"), qPrintable(rows[1]));
        QCOMPARE(shownValue(rows[0], "LR (Unlinked)"), QString("1"));
        const double linked = shownValue(rows[0], "LR (Merlin)").toDouble();
        const double exact = shownValue(rows[0], "LR (Exact)").toDouble();
        QVERIFY2(linked > 0.5 && linked < 0.99, qPrintable(rows[0]));
        QVERIFY2(std::abs(exact - linked) < 0.05, qPrintable(rows[0]));
    }

    // Simulate from the results window: a run of 50 data sets ends in the
    // simulation results with their plot; a second run cancelled in its progress
    // window leaves the case's simulated values and its own results as they were.
    void simulationShowsItsPlotAndACancelLeavesTheCase() {
        // A paternity duo against unrelated at ten linked markers: quick to simulate.
        Core& core = app_->core();
        Population population;
        for (int m = 1; m <= 10; ++m) {
            const std::string name = "M" + std::to_string(m);
            core.markerMap.markers.emplace_back(name, 1, 10.0 * m);
            Marker marker(name, 1, 0);
            marker.alleles = {{"10", 0.2}, {"11", 0.3}, {"12", 0.5}};
            population.markers.push_back(marker);
        }
        core.populations = {population};
        core.activePopulation = 1;
        QVERIFY(core.selectMainHypothesis(23));  // "Paternity (duo)"
        core.alternativeHypotheses = {2};        // "Unrelated"
        core.addAlternativePedigree(5);
        core.persons = {Person("Father", true), Person("Child", true)};
        const LogLikelihoods exactBefore = core.exactResults;
        const std::vector<std::vector<double>> markerResultsBefore = core.exactMarkerResults;

        enum class Stage { Start, FirstRun, SecondRun, Finished } stage = Stage::Start;
        size_t curves = 0;
        int statisticsRows = 0;
        int stepsShownWhenCancelled = 0;
        SimulatedDataSets exactAfterFirst, linkedAfterFirst;
        bool cancelledRunKeptTheCase = false;
        QTimer canceller;  // presses Cancel once three data sets were shown
        connect(&canceller, &QTimer::timeout, this, [&] {
            auto* progress = window_->findChild<QProgressDialog*>("progress");
            if (!progress || !progress->isVisible() || progress->value() < 3) return;
            canceller.stop();
            stepsShownWhenCancelled = progress->value();
            screenshot(progress, "simulation_progress");
            progress->cancel();
        });
        ModalScript script(120000);  // simulations under the sanitizers take their time
        ModalScript::Action dispatch = [&](QWidget* w) {
            script.then(dispatch);
            const QString title = w->windowTitle();
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                QCOMPARE(box->windowTitle(), QString("Notification"));
                box->button(QMessageBox::Ok)->click();
            } else if (title == "Results") {
                if (stage == Stage::Start) {
                    stage = Stage::FirstRun;
                    clickLater(w, "Simulate");
                } else if (stage == Stage::Finished) {
                    click(w, "Close");
                }
            } else if (title == "Simulate data" && stage == Stage::FirstRun) {
                type(w, "numberOfSimulations", "50");
                if (child<QCheckBox>(w, "randomSeed")->isChecked())
                    child<QCheckBox>(w, "randomSeed")->click();
                type(w, "seed", "3");
                screenshot(w, "simulate_data");
                clickLater(w, "Simulate");
            } else if (title == "Simulation results - Likelihood ratios") {
                statisticsRows = child<QTableWidget>(w, "statistics")->rowCount();
                curves = child<ExceedancePlot>(w, "plot")->curves().size();
                screenshot(w, "simulation_run_results");
                exactAfterFirst = core.simulatedExactLikelihoods;
                linkedAfterFirst = core.simulatedLinkedLikelihoods;
                stage = Stage::SecondRun;
                click(w, "Close");
            } else if (title == "Simulate data" && stage == Stage::SecondRun) {
                // The run happens inside the click; Cancel comes from the timer.
                canceller.start(20);
                click(w, "Simulate");
                cancelledRunKeptTheCase = core.simulatedExactLikelihoods == exactAfterFirst &&
                                          core.simulatedLinkedLikelihoods == linkedAfterFirst &&
                                          core.exactResults == exactBefore &&
                                          core.exactMarkerResults == markerResultsBefore;
                stage = Stage::Finished;
                clickLater(w, "Close");
            }
        };
        script.then(dispatch);
        window_->action(CommandId::Results)->trigger();
        QVERIFY(!QTest::currentTestFailed());
        QVERIFY(stage == Stage::Finished);
        QCOMPARE(exactAfterFirst.size(), size_t(50) * size_t(core.hypothesisCount()));
        QVERIFY(statisticsRows > 0);
        QVERIFY(curves > 0);
        // Cancelled mid-run, not after the last data set.
        QVERIFY(stepsShownWhenCancelled >= 3 && stepsShownWhenCancelled < 50);
        QVERIFY(cancelledRunKeptTheCase);
        QVERIFY(window_->isEnabled());
    }

private:
    // Polls until `results` is the window in front and its rows show the exact
    // ratios, then keeps the rows, saves a screenshot and closes the window.
    void readRowsOnceCalculated(QTimer& finisher, QPointer<QWidget>& results, QStringList& rows,
                                const char* screenshotName) {
        connect(&finisher, &QTimer::timeout, this, [&finisher, &results, &rows, screenshotName] {
            if (!results || QApplication::activeModalWidget() != results) return;
            auto* list = results->findChild<QListWidget*>("rows");
            QStringList shown;
            for (int i = 0; list && i < list->count(); ++i) shown << list->item(i)->text();
            if (!shown.join('\n').contains("\nLR (Exact): ")) return;
            finisher.stop();
            rows = shown;
            screenshot(results, screenshotName);
            click(results, "Close");
        });
        finisher.start(20);
    }

    std::unique_ptr<QtUserInterface> ui_;
    std::unique_ptr<Application> app_;
    std::unique_ptr<MainWindow> window_;
};

QTEST_MAIN(WizardTest)
#include "wizard_test.moc"
