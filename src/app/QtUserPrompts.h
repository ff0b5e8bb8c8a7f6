#pragma once

#include "platform/UserPrompts.h"

#include <QPointer>
#include <QWidget>

// The prompts as the user sees them: Qt message boxes with the warning icon and the
// application's title, Qt file and folder dialogs, the override cursor.
class CQtUserPrompts : public CUserPrompts {
public:
    static constexpr const char* kTitle = "Tarvane mod engine";

    // Dialogs are shown over this window (may be null).
    void SetParentWindow(QWidget* parent) { m_parent = parent; }

    void ShowMessage(const std::string& text) override;
    bool AskOkCancel(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    Answer AskThreeWay(const std::string& text, const std::string& first,
                       const std::string& second) override;
    FolderChoice BrowseForFolder(const std::string& prompt) override;
    std::optional<std::string> ChooseFileToOpen(const std::string& title, const std::string& filter,
                                                const std::string& defaultExtension,
                                                const std::string& startFolder) override;
    std::optional<std::string> ChooseFileToSave(const std::string& title, const std::string& filter,
                                                const std::string& defaultExtension,
                                                const std::string& startFolder) override;
    void BeginBusyCursor() override;
    void EndBusyCursor() override;
    void OpenUrl(const std::string& url) override;

    // "Diablo data files (*.mpq)|*.mpq||" -> "Diablo data files (*.mpq)".
    static QString QtFilter(const std::string& filter);

private:
    std::optional<std::string> ChooseFile(bool save, const std::string& title,
                                          const std::string& filter,
                                          const std::string& defaultExtension,
                                          const std::string& startFolder);

    QPointer<QWidget> m_parent;
};
