// The "Run Quick Analysis" window driven as a user would: its fields and check
// box show the presenter's values, Analyse reports an untouched field and
// analyses a typed case file with the linkage engine. The window is saved as a
// PNG in the build's screenshots folder.
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "dialogs/quick_analysis_presenter.h"
#include "qt_user_interface.h"
#include "support/kovarian_case_writer.h"
#include "window_script.h"
#include "windows.h"

using namespace relatix;
using namespace relatix::testing;

class QuickWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        ui_ = std::make_unique<QtUserInterface>();
        registerQuickWindows(ui_->windows());
    }
    void cleanup() { ui_.reset(); }

    void analysesATypedCaseFile() {
        QTemporaryDir folder;
        const std::string casePath = folder.filePath("duo.kov").toStdString();
        std::ofstream(casePath, std::ios::binary) << kovarianCaseText(duoCase());
        QuickAnalysisPresenter presenter(*ui_, RELATIX_PROGRAM_FOLDER);
        SeenMessage refusal;
        ModalScript script;
        script
            .then([](QWidget* w) {
                QCOMPARE(w->windowTitle(), QString("Run Quick Analysis"));
                QCOMPARE(fieldText(w, "caseFiles"), QString("Select Kovarian file(s)..."));
                QCOMPARE(fieldText(w, "mapFile"), QString("Default"));
                QVERIFY(child<QCheckBox>(w, "openReport")->isChecked());
                QVERIFY(child<QPushButton>(w, "browseCaseFiles"));
                QVERIFY(child<QPushButton>(w, "browseMapFile"));
                clickLater(w, "Analyse");
            })
            .then(answer(refusal))
            .then([&](QWidget* w) {
                type(w, "caseFiles", QString::fromStdString(casePath + ";"));
                child<QCheckBox>(w, "openReport")->click();
                QVERIFY(!presenter.openReport());
                screenshot(w, "run_quick_analysis");
                click(w, "Analyse");
                click(w, "Close");
            });
        QCOMPARE(ui_->runDialog(presenter), DialogResult::Closed);
        QVERIFY(script.done());
        QCOMPARE(refusal.caption, QString("Error"));
        QCOMPARE(refusal.text, QString("Select file to analyse!"));
        QCOMPARE(presenter.lastOutcomes().size(), size_t(1));
        QVERIFY(presenter.lastOutcomes()[0].reportWritten);
        QVERIFY(std::filesystem::exists(folder.filePath("duo_Relatixed.txt").toStdString()));
    }

private:
    std::unique_ptr<QtUserInterface> ui_;
};

QTEST_MAIN(QuickWindowsTest)
#include "quick_windows_test.moc"
