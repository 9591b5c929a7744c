// A case of pedigrees drawn by hand, driven through the windows as a caseworker
// would: persons added in the pedigree editor, a trio as the basic hypothesis and
// mother and child only as the alternative, three typed profiles and
// "Calculate"; then saved, replaced by a new project, opened again and calculated
// again, which must show the same pedigrees and the same ratios. Every window is
// saved as a PNG in the build's screenshots folder.
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <filesystem>

#include "app/application.h"
#include "core/core.h"
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

void chooseText(QWidget* window, const char* name, const QString& text) {
    auto* box = child<QComboBox>(window, name);
    QVERIFY(box);
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(QString("no %1 in %2").arg(text, name)));
    choose(window, name, index);
}

// Types the two alleles of each marker of the chosen person; each marker's entry
// is stored when the next one is chosen, the last when the list returns to "-".
void typeProfile(QWidget* w, int person, const std::vector<Genotype>& dna) {
    choose(w, "person", person);
    for (const Genotype& g : dna) {
        chooseText(w, "marker", g.marker);
        auto* first = child<QComboBox>(w, "allele1");
        auto* second = child<QComboBox>(w, "allele2");
        QVERIFY(first && second && first->lineEdit() && second->lineEdit());
        retype(first->lineEdit(), g.first);
        retype(second->lineEdit(), g.second);
    }
    choose(w, "marker", 0);
}

void addPerson(QWidget* w, const QString& name, bool male) {
    type(w, "name", name);
    child<QRadioButton>(w, male ? "male" : "female")->click();
    click(w, "Add");
}

void addRelation(QWidget* w, int parent, int child) {
    choose(w, "parent", parent);
    choose(w, "child", child);
    click(w, "Add");
}

}  // namespace

class DrawnPedigreeTest : public QObject {
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

    void drawnPedigreesSurviveSaveAndOpen() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const std::string saved = folder.filePath("drawn_case.sav").toStdString();
        ui_->setFileDialogStandIn(
            [&](bool, const FileDialogRequest&) -> std::optional<std::vector<std::string>> {
                return std::vector<std::string>{saved};
            });
        giveTheCaseMarkers(app_->core());

        const std::vector<Genotype> father = {
            {"M1", "10", "11"}, {"M2", "10", "12"}, {"M3", "11", "11"}, {"M4", "10", "12"}};
        const std::vector<Genotype> mother = {
            {"M1", "12", "12"}, {"M2", "11", "11"}, {"M3", "10", "12"}, {"M4", "11", "11"}};
        const std::vector<Genotype> son = {
            {"M1", "10", "12"}, {"M2", "11", "12"}, {"M3", "11", "12"}, {"M4", "11", "12"}};
        QStringList messages;  // every message box, as "caption: text"
        bool basicDone = false, typed = false;
        QPointer<QWidget> results;
        // What each window does depends on how far the drawing has come: a window
        // back at the front after the one it opened has closed carries on from there.
        const auto drawn = [this](size_t pedigree) {
            const auto& pedigrees = app_->core().createdPedigrees;
            return pedigrees.size() > pedigree ? pedigrees[pedigree].relations.size() : 0u;
        };
        QStringList before;
        {
            ModalScript script(60000);
            ModalScript::Action dispatch = [&](QWidget* w) {
                script.then(dispatch);
                const QString title = w->windowTitle();
                Core& core = app_->core();
                if (auto* box = qobject_cast<QMessageBox*>(w)) {
                    messages << title + ": " + box->text();
                    box->button(box->button(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok)
                        ->click();
                } else if (title == "Select basic hypothesis (Only one pedigree)") {
                    if (core.createdPedigrees.empty()) {
                        clickLater(w, "Create/Edit pedigree");
                    } else if (drawn(0) == 2 && !basicDone) {
                        basicDone = true;
                        auto* list = child<QListWidget>(w, "hypotheses");
                        QCOMPARE(list->currentRow(), kCatalogueCount);  // the drawn pedigree
                        screenshot(w, "drawn_select_basic_hypothesis");
                        clickLater(w, "Next ->");
                    }
                } else if (title == "Edit pedigree") {
                    if (core.genotypeTable.pedigreePersons.empty()) {
                        type(w, "pedigreeName", "Trio & <kin>");
                        clickLater(w, "Persons");
                    } else if (drawn(0) == 0) {
                        addRelation(w, 1, 3);
                        addRelation(w, 2, 3);
                        screenshot(w, "drawn_edit_pedigree");
                        click(w, "Close");
                    } else if (core.createdPedigrees.size() == 2 && drawn(1) == 0) {
                        type(w, "pedigreeName", "Mother only");
                        addRelation(w, 2, 3);
                        click(w, "Close");
                    }
                } else if (title == "Add persons") {
                    if (core.genotypeTable.pedigreePersons.empty()) {
                        addPerson(w, "Father", true);
                        addPerson(w, "Mother \"M\"", false);
                        addPerson(w, "Son", true);
                        screenshot(w, "drawn_add_persons");
                        w->close();
                    }
                } else if (title == "Select alternative hypotheses") {
                    if (core.createdPedigrees.size() < 2) {
                        clickLater(w, "Create/Edit pedigree");
                    } else if (drawn(1) == 1) {
                        clickLater(w, "Next ->");
                    }
                } else if (title == "Add DNA data") {
                    if (!typed) {
                        typed = true;
                        typeProfile(w, 1, father);
                        typeProfile(w, 2, mother);
                        typeProfile(w, 3, son);
                        screenshot(w, "drawn_add_dna_data");
                        clickLater(w, "Next ->");
                    }
                } else if (title == "Results" && !results) {
                    results = w;
                    clickLater(w, "Calculate");
                }
            };
            script.then(dispatch);
            QTimer finisher;
            readRowsOnceCalculated(finisher, results, before, "drawn_results");
            window_->action(CommandId::NewWizard)->trigger();
            QVERIFY(!QTest::currentTestFailed());
        }
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages[0],
                 QString("Notification: Feature to create your own pedigrees is currently not "
                         "fully implemented!"));
        QCOMPARE(messages[1], QString("Question: Save project?"));
        QCOMPARE(before.size(), 2);
        QVERIFY2(before.join('\n').contains("LR (Merlin): "), qPrintable(before.join('\n')));
        QVERIFY2(!before.join('\n').contains("LR (Merlin): NA"), qPrintable(before.join('\n')));

        // Save As has nothing to warn about any more; a new project forgets the
        // drawing ("Save project?" answered No).
        messages.clear();
        {
            ModalScript boxes;
            ModalScript::Action note = [&](QWidget* w) {
                boxes.then(note);
                if (auto* box = qobject_cast<QMessageBox*>(w)) {
                    messages << w->windowTitle() + ": " + box->text();
                    box->button(box->button(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok)
                        ->click();
                }
            };
            boxes.then(note);
            window_->action(CommandId::SaveAs)->trigger();
            QVERIFY(std::filesystem::exists(saved));
            window_->action(CommandId::NewProject)->trigger();
        }
        QCOMPARE(messages, QStringList{"Question: Save project?"});
        QVERIFY(app_->core().genotypeTable.pedigreePersons.empty());
        QVERIFY(app_->core().createdPedigrees.empty());
        {
            ModalScript summary;
            summary.then([](QWidget* w) {
                QCOMPARE(w->windowTitle(), QString("Important message"));
                screenshot(w, "drawn_open_summary");
                click(w, "Close");
            });
            window_->action(CommandId::Open)->trigger();
            QVERIFY(summary.done());
        }
        const Core& opened = app_->core();
        QCOMPARE(opened.mainHypothesis, kCreatedPedigrees);
        QCOMPARE(opened.createdPedigrees.size(), size_t(2));
        QCOMPARE(opened.createdPedigrees[0].name, std::string("Trio & <kin>"));
        QCOMPARE(opened.createdPedigrees[0].relations, (std::vector<Relation>{{1, 3}, {2, 3}}));
        QCOMPARE(opened.createdPedigrees[1].relations, (std::vector<Relation>{{2, 3}}));
        QCOMPARE(opened.genotypeTable.pedigreePersons.size(), size_t(3));
        QCOMPARE(opened.genotypeTable.pedigreePersons[1].name, std::string("Mother \"M\""));
        QVERIFY(!opened.genotypeTable.pedigreePersons[1].isMale);

        // The pedigree list offers the drawn pedigree again, and the results agree.
        messages.clear();
        results = nullptr;
        QStringList after;
        bool basicSeen = false;
        {
            ModalScript again(60000);
            ModalScript::Action reopened = [&](QWidget* w) {
                again.then(reopened);
                if (auto* box = qobject_cast<QMessageBox*>(w)) {
                    messages << w->windowTitle() + ": " + box->text();
                    box->button(box->button(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok)
                        ->click();
                } else if (w->windowTitle() == "Select basic hypothesis (Only one pedigree)" &&
                           !basicSeen) {
                    basicSeen = true;
                    auto* list = child<QListWidget>(w, "hypotheses");
                    QCOMPARE(list->count(), kCatalogueCount + 1);
                    QCOMPARE(list->currentRow(), kCatalogueCount);
                    QCOMPARE(list->item(kCatalogueCount)->text(), QString("Trio & <kin>"));
                    clickLater(w, "Close");
                } else if (w->windowTitle() == "Results" && !results) {
                    results = w;
                    clickLater(w, "Calculate");
                }
            };
            again.then(reopened);
            window_->action(CommandId::SelectPedigree)->trigger();
            QVERIFY(basicSeen);
            QTimer secondFinisher;
            readRowsOnceCalculated(secondFinisher, results, after, "drawn_results_reopened");
            window_->action(CommandId::Results)->trigger();
            QVERIFY(!QTest::currentTestFailed());
        }
        QCOMPARE(messages, QStringList{"Question: Save project?"});
        QCOMPARE(after, before);
    }

private:
    // Four linked markers of one population, as the frequency database would hold.
    static void giveTheCaseMarkers(Core& core) {
        Population population;
        population.name = "Drawn";
        for (int m = 1; m <= 4; ++m) {
            const std::string name = "M" + std::to_string(m);
            core.markerMap.markers.emplace_back(name, 1, 15.0 * m);
            Marker marker(name, 1, 0);
            marker.alleles = {{"10", 0.2}, {"11", 0.3}, {"12", 0.5}};
            population.markers.push_back(marker);
        }
        core.populations = {population};
        core.activePopulation = 1;
    }

    // Polls until `results` is the window in front and its rows show the engine's
    // ratios, then keeps the rows, saves a screenshot and closes the window.
    void readRowsOnceCalculated(QTimer& finisher, QPointer<QWidget>& results, QStringList& rows,
                                const char* screenshotName) {
        connect(&finisher, &QTimer::timeout, this, [&finisher, &results, &rows, screenshotName] {
            if (!results || QApplication::activeModalWidget() != results) return;
            auto* list = results->findChild<QListWidget*>("rows");
            QStringList shown;
            for (int i = 0; list && i < list->count(); ++i) shown << list->item(i)->text();
            if (!shown.join('\n').contains("\nLR (Merlin): ")) return;
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

QTEST_MAIN(DrawnPedigreeTest)
#include "drawn_pedigree_test.moc"
