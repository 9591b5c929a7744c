#include "qt_user_interface.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>

#include "dialogs/modal_presenter.h"

namespace relatix {

QStringList qtNameFilters(const std::string& filter) {
    // The pieces alternate between a description and its patterns; empty pieces
    // (the "||" separators and the closing "||") carry nothing.
    std::vector<QString> pieces;
    for (const QString& piece : QString::fromStdString(filter).split('|'))
        if (!piece.trimmed().isEmpty()) pieces.push_back(piece.trimmed());
    QStringList filters;
    for (size_t i = 0; i + 1 < pieces.size(); i += 2) {
        QString description = pieces[i];
        const qsizetype open = description.indexOf('(');
        if (open > 0) description = description.left(open).trimmed();
        QStringList patterns;
        for (const QString& pattern : pieces[i + 1].split(';', Qt::SkipEmptyParts))
            patterns << (pattern.trimmed() == "*.*" ? QString("*") : pattern.trimmed());
        filters << description + " (" + patterns.join(' ') + ")";
    }
    if (filters.isEmpty()) filters << "All Files (*)";
    return filters;
}

std::string withDefaultExtension(const std::string& path, const std::string& extension) {
    std::string ext = extension;
    if (!ext.empty() && ext.front() == '.') ext.erase(0, 1);
    if (ext.empty() || path.empty()) return path;
    // Only a name that already ends in the extension keeps as it is: "case.final"
    // becomes "case.final.sav".
    const std::string end = "." + ext;
    if (path.size() > end.size() &&
        std::equal(end.rbegin(), end.rend(), path.rbegin(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) ==
                   std::tolower(static_cast<unsigned char>(b));
        }))
        return path;
    return path + end;
}

QtUserInterface::QtUserInterface() = default;
QtUserInterface::~QtUserInterface() {
    delete progress_;
}

QWidget* QtUserInterface::dialogParent() const {
    if (QWidget* active = QApplication::activeModalWidget()) return active;
    return mainWindow_.data();
}

Answer QtUserInterface::messageBox(const std::string& text, const std::string& caption,
                                   MessageButtons buttons, MessageIcon icon) {
    QMessageBox box(dialogParent());
    box.setWindowTitle(QString::fromStdString(caption));
    box.setText(QString::fromStdString(text));
    switch (icon) {
        case MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
        case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
        case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
        case MessageIcon::Error: box.setIcon(QMessageBox::Critical); break;
        case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    }
    switch (buttons) {
        case MessageButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            box.setDefaultButton(QMessageBox::Ok);
            break;
        case MessageButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::No);
            break;
        case MessageButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        case QMessageBox::Cancel: return Answer::Cancel;
        default: break;
    }
    // A box closed by its close button: Cancel where offered, No where only
    // Yes and No are, OK for a plain message.
    if (buttons == MessageButtons::YesNoCancel) return Answer::Cancel;
    if (buttons == MessageButtons::YesNo) return Answer::No;
    return Answer::Ok;
}

std::optional<std::vector<std::string>> QtUserInterface::openFileDialog(
    const FileDialogRequest& request) {
    if (fileStandIn_) return fileStandIn_(false, request);
    QFileDialog dialog(dialogParent(), QString::fromStdString(request.title));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.allowMultiple ? QFileDialog::ExistingFiles
                                             : QFileDialog::ExistingFile);
    dialog.setNameFilters(qtNameFilters(request.filter));
    if (!request.initialFileName.empty())
        dialog.selectFile(QString::fromStdString(request.initialFileName));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    std::vector<std::string> paths;
    for (const QString& file : dialog.selectedFiles()) paths.push_back(file.toStdString());
    if (paths.empty()) return std::nullopt;
    return paths;
}

std::optional<std::string> QtUserInterface::saveFileDialog(const FileDialogRequest& request) {
    if (fileStandIn_) {
        const auto paths = fileStandIn_(true, request);
        if (!paths || paths->empty()) return std::nullopt;
        return withDefaultExtension(paths->front(), request.defaultExtension);
    }
    QFileDialog dialog(dialogParent(), QString::fromStdString(request.title));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(qtNameFilters(request.filter));
    std::string suffix = request.defaultExtension;
    if (!suffix.empty() && suffix.front() == '.') suffix.erase(0, 1);
    dialog.setDefaultSuffix(QString::fromStdString(suffix));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.initialFileName.empty())
        dialog.selectFile(QString::fromStdString(request.initialFileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return withDefaultExtension(dialog.selectedFiles().front().toStdString(), suffix);
}

void QtUserInterface::showTextWindow(const std::string& text) {
    QDialog window(dialogParent());
    window.setWindowTitle("Important message");
    auto* layout = new QVBoxLayout(&window);
    auto* field = new QPlainTextEdit(QString::fromStdString(text), &window);
    field->setObjectName("text");
    // Read-only keeps selection and copying; long lines scroll sideways.
    field->setReadOnly(true);
    field->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    field->setLineWrapMode(QPlainTextEdit::NoWrap);
    field->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    field->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(field);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &window);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);
    buttons->button(QDialogButtonBox::Close)->setDefault(true);
    layout->addWidget(buttons);
    window.resize(window.fontMetrics().averageCharWidth() * 90, window.fontMetrics().height() * 30);
    window.exec();
}

void QtUserInterface::progressOpen(const std::string& title, int low, int high,
                                   const std::string& text) {
    delete progress_;
    cancelled_ = false;
    progressLow_ = low;
    progress_ =
        new QProgressDialog(QString::fromStdString(text), "Cancel", low, high, mainWindow_.data());
    progress_->setWindowTitle(QString::fromStdString(title));
    progress_->setObjectName("progress");
    // Modeless: the main window keeps repainting, its commands are disabled meanwhile.
    progress_->setWindowModality(Qt::NonModal);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setMinimumDuration(0);
    progress_->setValue(low);
    QObject::connect(progress_.data(), &QProgressDialog::canceled, [this] { cancelled_ = true; });
    if (mainWindow_) mainWindow_->setEnabled(false);
    progress_->setEnabled(true);
    progress_->show();
    processEvents();
}

void QtUserInterface::progressStep() {
    if (!progress_) return;
    progress_->setValue(std::min(progress_->value() + 1, progress_->maximum()));
    processEvents();
}

void QtUserInterface::progressSetText(const std::string& text) {
    if (!progress_) return;
    progress_->setLabelText(QString::fromStdString(text));
    processEvents();
}

void QtUserInterface::progressClose() {
    if (!progress_) return;
    progress_->hide();
    progress_->deleteLater();
    progress_ = nullptr;
    if (mainWindow_) mainWindow_->setEnabled(true);
    processEvents();
}

void QtUserInterface::processEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool QtUserInterface::progressCancelled() {
    processEvents();
    return cancelled_ || (progress_ && progress_->wasCanceled());
}

DialogResult QtUserInterface::runDialog(Presenter& presenter) {
    std::unique_ptr<PresenterWindow> window = windows_.create(presenter, *this, dialogParent());
    if (!window) {
        messageBox("The window \"" + presenter.title() + "\" is not available in this version.",
                   "Notification", MessageButtons::Ok, MessageIcon::Information);
        return DialogResult::Cancel;
    }
    window->refresh();
    auto* modal = dynamic_cast<ModalPresenter*>(&presenter);
    window->exec();
    if (!modal) return DialogResult::Closed;
    return modal->closed() ? modal->result() : DialogResult::Cancel;
}

bool QtUserInterface::openDocument(const std::string& pathOrAddress) {
    const QString target = QString::fromStdString(pathOrAddress);
    const QUrl url = target.contains("://") ? QUrl(target) : QUrl::fromLocalFile(target);
    return QDesktopServices::openUrl(url);
}

void QtUserInterface::setWindowTitle(const std::string& title) {
    if (mainWindow_) mainWindow_->setWindowTitle(QString::fromStdString(title));
    if (titleHandler_) titleHandler_(title);
}

}  // namespace relatix
