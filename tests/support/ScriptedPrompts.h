#pragma once

#include "platform/UserPrompts.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

// The test double of the prompts: records every message and question in order and answers
// from queues that a test fills beforehand. An unexpected question fails the running test and
// answers Cancel / No, so a forgotten answer can never hang or pass silently.
class CScriptedPrompts : public CUserPrompts {
public:
    struct Entry {
        enum class Kind { Message, OkCancel, YesNo, ThreeWay, Folder, OpenFile, SaveFile, Url };
        Kind kind;
        std::string text;
    };

    // Answers, consumed in order.
    std::deque<bool> okCancelAnswers;
    std::deque<bool> yesNoAnswers;
    std::deque<Answer> threeWayAnswers;
    std::deque<FolderChoice> folderAnswers;
    std::deque<std::optional<std::string>> openFileAnswers;
    std::deque<std::optional<std::string>> saveFileAnswers;

    // Everything shown, in order.
    std::vector<Entry> log;
    int busyDepth = 0;
    int busyCount = 0;
    // The busy-cursor depth when each message box was shown.
    std::vector<int> busyDepthAtMessage;

    void AnswerOkCancel(bool ok) { okCancelAnswers.push_back(ok); }
    void AnswerYesNo(bool yes) { yesNoAnswers.push_back(yes); }
    void AnswerThreeWay(Answer answer) { threeWayAnswers.push_back(answer); }
    void AnswerFolder(const std::string& path);
    void AnswerFolderCancelled();
    void AnswerFolderNotAFolder();
    void AnswerOpenFile(std::optional<std::string> path) { openFileAnswers.push_back(path); }
    void AnswerSaveFile(std::optional<std::string> path) { saveFileAnswers.push_back(path); }

    // The texts of the message boxes (OK only), in order.
    std::vector<std::string> Messages() const;
    // The texts of every question and message of one kind.
    std::vector<std::string> TextsOf(Entry::Kind kind) const;
    bool AllAnswersUsed() const;

    void ShowMessage(const std::string& text) override;
    bool AskOkCancel(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    // Logged as "<text> [<first>/<second>/Cancel]".
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
};
