#pragma once

#include "platform/UserPrompts.h"

#include <optional>
#include <string>

// Prompts for benchmarks: every question is answered No or Cancel, and messages are only
// counted (a benchmark that meets one has gone wrong).
class CSilentPrompts : public CUserPrompts {
public:
    void ShowMessage(const std::string&) override { ++messages; }
    bool AskOkCancel(const std::string&) override { return false; }
    bool AskYesNo(const std::string&) override { return false; }
    Answer AskThreeWay(const std::string&, const std::string&, const std::string&) override {
        return Answer::Cancel;
    }
    FolderChoice BrowseForFolder(const std::string&) override { return {}; }
    std::optional<std::string> ChooseFileToOpen(const std::string&, const std::string&,
                                                const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseFileToSave(const std::string&, const std::string&,
                                                const std::string&, const std::string&) override {
        return std::nullopt;
    }
    void BeginBusyCursor() override {}
    void EndBusyCursor() override {}
    void OpenUrl(const std::string&) override {}
    int messages = 0;
};
