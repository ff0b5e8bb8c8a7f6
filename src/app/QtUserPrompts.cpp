#include "app/QtUserPrompts.h"

#include "platform/FileSystem.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace {

// Messages are fixed English texts with paths in them; paths are in the file system's encoding.
QString ToQt(const std::string& text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQtPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QMessageBox::StandardButton Ask(QWidget* parent, const std::string& text,
                                QMessageBox::StandardButtons buttons) {
    QMessageBox box(QMessageBox::Warning, CQtUserPrompts::kTitle, ToQt(text), buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

void CQtUserPrompts::ShowMessage(const std::string& text) {
    Ask(m_parent, text, QMessageBox::Ok);
}

bool CQtUserPrompts::AskOkCancel(const std::string& text) {
    return Ask(m_parent, text, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

bool CQtUserPrompts::AskYesNo(const std::string& text) {
    return Ask(m_parent, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

CUserPrompts::Answer CQtUserPrompts::AskThreeWay(const std::string& text, const std::string& first,
                                                 const std::string& second) {
    QMessageBox box(QMessageBox::Warning, kTitle, ToQt(text), QMessageBox::NoButton, m_parent);
    QPushButton* firstButton = box.addButton(ToQt(first), QMessageBox::AcceptRole);
    QPushButton* secondButton = box.addButton(ToQt(second), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(firstButton);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == firstButton)
        return Answer::First;
    if (box.clickedButton() == secondButton)
        return Answer::Second;
    return Answer::Cancel;
}

CUserPrompts::FolderChoice CQtUserPrompts::BrowseForFolder(const std::string& prompt) {
    QFileDialog dialog(m_parent, ToQt(prompt));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() != QDialog::Accepted)
        return {FolderChoice::Outcome::Cancelled, ""};
    // What the user typed wins over what the list beside it selected: Qt's own dialog was seen
    // to give the parent of a folder typed without a trailing "/".
    QString folder;
    if (auto* field = dialog.findChild<QLineEdit*>("fileNameEdit");
        field != nullptr && !field->text().isEmpty()) {
        QString typed = field->text();
        if (typed.startsWith("~/") || typed == "~")
            typed.replace(0, 1, QDir::homePath());
        typed = dialog.directory().absoluteFilePath(typed);
        if (QFileInfo(typed).isDir())
            folder = typed;
    }
    if (folder.isEmpty() && !dialog.selectedFiles().isEmpty())
        folder = dialog.selectedFiles().first();
    while (folder.size() > 1 && folder.endsWith('/'))
        folder.chop(1);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return {FolderChoice::Outcome::NotAFolder, ""};
    return {FolderChoice::Outcome::Chosen, FromQtPath(QDir::toNativeSeparators(folder))};
}

QString CQtUserPrompts::QtFilter(const std::string& filter) {
    // Pairs of description and pattern separated by '|', ended by "||".
    QStringList parts = ToQt(filter).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break;
        filters << parts[i];
    }
    return filters.join(";;");
}

std::optional<std::string> CQtUserPrompts::ChooseFile(bool save, const std::string& title,
                                                      const std::string& filter,
                                                      const std::string& defaultExtension,
                                                      const std::string& startFolder) {
    QFileDialog dialog(m_parent, ToQt(title), ToQt(NativePath(startFolder)), QtFilter(filter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Open takes only a file that exists; Save also a new name, in a folder that exists.
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(ToQt(defaultExtension));
    // The caller asks about an existing file in its own words: a save may add to it.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, save);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return FromQtPath(QDir::toNativeSeparators(dialog.selectedFiles().first()));
}

std::optional<std::string> CQtUserPrompts::ChooseFileToOpen(const std::string& title,
                                                            const std::string& filter,
                                                            const std::string& defaultExtension,
                                                            const std::string& startFolder) {
    return ChooseFile(false, title, filter, defaultExtension, startFolder);
}

std::optional<std::string> CQtUserPrompts::ChooseFileToSave(const std::string& title,
                                                            const std::string& filter,
                                                            const std::string& defaultExtension,
                                                            const std::string& startFolder) {
    return ChooseFile(true, title, filter, defaultExtension, startFolder);
}

void CQtUserPrompts::BeginBusyCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Nothing is painted while the work goes on: what the window says at its start (the notes of
    // what it waits for) is shown now.
    if (m_parent)
        m_parent->repaint();
}

void CQtUserPrompts::EndBusyCursor() {
    QApplication::restoreOverrideCursor();
}

void CQtUserPrompts::OpenUrl(const std::string& url) {
    QDesktopServices::openUrl(QUrl(ToQt(url)));
}
