// The windows of the pedigree editor and of the settings dialogs, driven as a
// user would through their widgets. Every window is saved as a PNG in the
// build's screenshots folder for a reviewer to look at.
#include "settings_windows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "core/core.h"
#include "dialogs/add_persons_presenter.h"
#include "dialogs/advanced_settings_presenter.h"
#include "dialogs/conversion_presenter.h"
#include "dialogs/edit_pedigree_presenter.h"
#include "dialogs/full_image_presenter.h"
#include "dialogs/import_options_presenter.h"
#include "dialogs/mutations_presenter.h"
#include "dialogs/options_presenter.h"
#include "qt_user_interface.h"
#include "window_script.h"

using namespace relatix;
using namespace relatix::testing;

class SettingsWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        ui_ = std::make_unique<QtUserInterface>();
        registerSettingsWindows(ui_->windows());
    }
    void cleanup() { ui_.reset(); }

    void pedigreeEditorAndItsPersons() {
        Core core;
        core.genotypeTable.pedigreePersons = {Person("Anna", false), Person("Bob", true)};
        core.createdPedigrees.resize(1);
        core.createdPedigrees[0].name = "Family";
        EditPedigreePresenter presenter(core, *ui_, 1);
        ModalScript script;
        script
            .then([&](QWidget* w) {
                QCOMPARE(w->windowTitle(), QString("Edit pedigree"));
                QCOMPARE(fieldText(w, "pedigreeName"), QString("Family"));
                type(w, "pedigreeName", "Kin");
                QCOMPARE(core.createdPedigrees[0].name, std::string("Kin"));
                clickLater(w, "Persons");
            })
            .then([&](QWidget* w) {
                QCOMPARE(w->windowTitle(), QString("Add persons"));
                type(w, "name", "Carl");
                click(w, "Add");
                auto* persons = child<QTableWidget>(w, "persons");
                QCOMPARE(persons->rowCount(), 3);
                QCOMPARE(persons->item(2, 1)->text(), QString("Male"));
                QVERIFY(fieldText(w, "name").isEmpty());
                // Editing turns "Add" into "Change".
                persons->selectRow(0);
                click(w, "Edit");
                QCOMPARE(fieldText(w, "name"), QString("Anna"));
                QCOMPARE(child<QPushButton>(w, "add")->text(), QString("Change"));
                screenshot(w, "add_persons");
                w->close();
            })
            .then([&](QWidget* w) {
                // The choices follow the persons added meanwhile.
                QCOMPARE(child<QComboBox>(w, "parent")->count(), 4);
                choose(w, "parent", 2);
                choose(w, "child", 3);
                click(w, "Add");
                auto* relations = child<QTableWidget>(w, "relations");
                QCOMPARE(relations->rowCount(), 1);
                QCOMPARE(relations->item(0, 0)->text(), QString("Bob"));
                QCOMPARE(relations->item(0, 1)->text(), QString("Carl"));
                screenshot(w, "edit_pedigree");
                click(w, "Close");
            });
        QCOMPARE(ui_->runDialog(presenter), DialogResult::Closed);
        QVERIFY(script.done());
        QCOMPARE(core.createdPedigrees[0].relations, (std::vector<Relation>{{2, 3}}));
    }

    void fullImageShowsThePictureOrANote() {
        QTemporaryDir folder;
        QDir(folder.path()).mkpath("Pictures");
        QPixmap picture(60, 40);
        picture.fill(Qt::darkCyan);
        QVERIFY(picture.save(folder.filePath("Pictures/ped1.png")));
        Core core(folder.path().toStdString());
        FullImagePresenter presenter(core, {1, 2});
        ModalScript script;
        script.then([](QWidget* w) {
            auto* label = child<QLabel>(w, "picture");
            QCOMPARE(label->pixmap().size(), QSize(60, 40));
            screenshot(w, "full_image");
            choose(w, "pedigree", 2);  // no file for the second code
            QVERIFY(label->pixmap().isNull());
            QCOMPARE(label->text(), QString("No picture available"));
            w->close();
        });
        QCOMPARE(ui_->runDialog(presenter), DialogResult::Closed);
        QVERIFY(script.done());
    }

    void optionsSaveRefusesAMissingModel() {
        QTemporaryDir folder;
        Core core(folder.path().toStdString());
        OptionsPresenter presenter(core, *ui_);
        QString refusal;
        ModalScript script;
        script
            .then([](QWidget* w) {
                QCOMPARE(child<QComboBox>(w, "model")->currentText(),
                         QString("Search and Substract"));
                QVERIFY(!child<QLineEdit>(w, "databaseSize")->isEnabled());
                choose(w, "model", 0);
                type(w, "theta", "0.03");
                clickLater(w, "Save");
            })
            .then(answer(refusal))
            .then([](QWidget* w) {
                choose(w, "model", 2);  // "Normalise"
                child<QCheckBox>(w, "mutationsOff")->click();
                screenshot(w, "options");
                click(w, "Save");
            });
        QCOMPARE(ui_->runDialog(presenter), DialogResult::Ok);
        QVERIFY(script.done());
        QCOMPARE(refusal, QString("Allele frequency model must be set"));
        QCOMPARE(core.clusterDatabase.theta, 0.03);
        QCOMPARE(core.clusterDatabase.newAlleleModel, 1);
        QVERIFY(core.mutationsOff);
    }

    void advancedSettingsEditAndUpdateARow() {
        Core core;
        AdvancedSettingsPresenter presenter(core, *ui_);
        ModalScript script;
        script.then([](QWidget* w) {
            auto* table = child<QTableWidget>(w, "pedigrees");
            QCOMPARE(table->rowCount(), 26);
            // A click on a row loads it into the "Settings" group.
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                              table->visualRect(table->model()->index(1, 1)).center());
            QCOMPARE(fieldText(w, "threshold"), QString("1e-05"));
            QVERIFY(!child<QLabel>(w, "editedName")->text().isEmpty());
            type(w, "steps", "3");
            child<QCheckBox>(w, "lumpAlleles")->click();
            click(w, "Update");
            QCOMPARE(table->item(1, 2)->text(), QString("3"));
            QCOMPARE(table->item(1, 3)->text(), QString("No"));
            QVERIFY(fieldText(w, "steps").isEmpty());
            screenshot(w, "advanced_settings");
            click(w, "Close");
        });
        QCOMPARE(ui_->runDialog(presenter), DialogResult::Closed);
        QVERIFY(script.done());
        QCOMPARE(core.pedigreeSettings.steps[1], 3);
        QVERIFY(!core.pedigreeSettings.lumpAlleles[1]);
        QCOMPARE(core.pedigreeSettings.steps[0], 1);
    }

    void mutationFieldsFollowTheModels() {
        Core core;
        core.markerMap.markers = {Marker("D1", 1, 10.0)};
        core.markerMap.markers[0].maleMutation = {2, 0.002, 3.0, 0.5};
        core.markerMap.markers[0].femaleMutation = {0, 0.0, 0.0, 0.0};
        MutationsPresenter presenter(core, *ui_, 1, true);
        QString question;
        ModalScript script;
        script
            .then([](QWidget* w) {
                QCOMPARE(fieldText(w, "maleRate"), QString("0.002"));
                QCOMPARE(child<QLabel>(w, "maleThirdLabel")->text(), QString("Steps (N):"));
                QVERIFY(!child<QLineEdit>(w, "femaleRate")->isEnabled());
                choose(w, "femaleModel", 3);
                QVERIFY(child<QLineEdit>(w, "femaleThird")->isEnabled());
                QCOMPARE(child<QLabel>(w, "femaleThirdLabel")->text(), QString("Rate 2:"));
                screenshot(w, "mutations");
                clickLater(w, "Close");
            })
            .then(answer(question, QMessageBox::Yes));
        QCOMPARE(ui_->runDialog(presenter), DialogResult::Closed);
        QVERIFY(script.done());
        QCOMPARE(question, QString("End without saving changes?"));
    }

    void conversionAndImportOptions() {
        ConversionPresenter conversion(*ui_);
        ModalScript script;
        script.then([&](QWidget* w) {
            QCOMPARE(child<QComboBox>(w, "method")->currentText(), QString("Kosambi"));
            choose(w, "direction", 1);
            QCOMPARE(child<QLabel>(w, "arrow")->text(), QString("<-"));
            choose(w, "direction", 0);
            type(w, "distance", "10");
            click(w, "Convert");
            QVERIFY(fieldText(w, "theta") != QString("0.1"));
            QCOMPARE(fieldText(w, "theta").toStdString(), conversion.thetaText());
            screenshot(w, "conversion");
            click(w, "Close");
        });
        QCOMPARE(ui_->runDialog(conversion), DialogResult::Closed);

        ImportOptionsPresenter import(*ui_, "SAMPLE-0123456789ABC", {"Anna", "Bob"});
        QString refusal;
        // A script of its own: the new window may take the old one's address.
        ModalScript importScript;
        importScript
            .then([](QWidget* w) {
                QCOMPARE(child<QLabel>(w, "sample")->text(), QString("Name: SAMPLE-01234567"));
                QCOMPARE(child<QComboBox>(w, "target")->itemText(2), QString("2. Bob"));
                clickLater(w, "Import");
            })
            .then(answer(refusal))
            .then([](QWidget* w) {
                choose(w, "target", 2);
                child<QCheckBox>(w, "importName")->click();
                screenshot(w, "import_options");
                click(w, "Import");
            });
        QCOMPARE(ui_->runDialog(import), DialogResult::Ok);
        QVERIFY(script.done() && importScript.done());
        QCOMPARE(refusal, QString("Select person to import to"));
        QCOMPARE(import.chosenPerson(), std::optional<int>(2));
        QVERIFY(!import.importName());
    }

private:
    std::unique_ptr<QtUserInterface> ui_;
};

QTEST_MAIN(SettingsWindowsTest)
#include "settings_windows_test.moc"
