#include "ScriptedPrompts.h"

#include <gtest/gtest.h>

void CScriptedPrompts::AnswerFolder(const std::string& path) {
    folderAnswers.push_back({FolderChoice::Outcome::Chosen, path});
}

void CScriptedPrompts::AnswerFolderCancelled() {
    folderAnswers.push_back({FolderChoice::Outcome::Cancelled, ""});
}

void CScriptedPrompts::AnswerFolderNotAFolder() {
    folderAnswers.push_back({FolderChoice::Outcome::NotAFolder, ""});
}

std::vector<std::string> CScriptedPrompts::Messages() const {
    return TextsOf(Entry::Kind::Message);
}

std::vector<std::string> CScriptedPrompts::TextsOf(Entry::Kind kind) const {
    std::vector<std::string> texts;
    for (const Entry& e : log)
        if (e.kind == kind)
            texts.push_back(e.text);
    return texts;
}

bool CScriptedPrompts::AllAnswersUsed() const {
    return okCancelAnswers.empty() && yesNoAnswers.empty() && threeWayAnswers.empty() &&
           folderAnswers.empty() && openFileAnswers.empty() && saveFileAnswers.empty();
}

void CScriptedPrompts::ShowMessage(const std::string& text) {
    log.push_back({Entry::Kind::Message, text});
    busyDepthAtMessage.push_back(busyDepth);
}

bool CScriptedPrompts::AskOkCancel(const std::string& text) {
    log.push_back({Entry::Kind::OkCancel, text});
    if (okCancelAnswers.empty()) {
        ADD_FAILURE() << "unexpected OK/Cancel question: " << text;
        return false;
    }
    bool answer = okCancelAnswers.front();
    okCancelAnswers.pop_front();
    return answer;
}

bool CScriptedPrompts::AskYesNo(const std::string& text) {
    log.push_back({Entry::Kind::YesNo, text});
    if (yesNoAnswers.empty()) {
        ADD_FAILURE() << "unexpected Yes/No question: " << text;
        return false;
    }
    bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

CUserPrompts::Answer CScriptedPrompts::AskThreeWay(const std::string& text,
                                                   const std::string& first,
                                                   const std::string& second) {
    log.push_back({Entry::Kind::ThreeWay, text + " [" + first + "/" + second + "/Cancel]"});
    if (threeWayAnswers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text;
        return Answer::Cancel;
    }
    Answer answer = threeWayAnswers.front();
    threeWayAnswers.pop_front();
    return answer;
}

CUserPrompts::FolderChoice CScriptedPrompts::BrowseForFolder(const std::string& prompt) {
    log.push_back({Entry::Kind::Folder, prompt});
    if (folderAnswers.empty()) {
        ADD_FAILURE() << "unexpected folder browser: " << prompt;
        return {};
    }
    FolderChoice answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
}

std::optional<std::string> CScriptedPrompts::ChooseFileToOpen(const std::string& title,
                                                              const std::string&,
                                                              const std::string&,
                                                              const std::string&) {
    log.push_back({Entry::Kind::OpenFile, title});
    if (openFileAnswers.empty()) {
        ADD_FAILURE() << "unexpected file-open dialog: " << title;
        return std::nullopt;
    }
    auto answer = openFileAnswers.front();
    openFileAnswers.pop_front();
    return answer;
}

std::optional<std::string> CScriptedPrompts::ChooseFileToSave(const std::string& title,
                                                              const std::string&,
                                                              const std::string&,
                                                              const std::string&) {
    log.push_back({Entry::Kind::SaveFile, title});
    if (saveFileAnswers.empty()) {
        ADD_FAILURE() << "unexpected file-save dialog: " << title;
        return std::nullopt;
    }
    auto answer = saveFileAnswers.front();
    saveFileAnswers.pop_front();
    return answer;
}

void CScriptedPrompts::BeginBusyCursor() {
    ++busyDepth;
    ++busyCount;
}

void CScriptedPrompts::EndBusyCursor() {
    --busyDepth;
}

void CScriptedPrompts::OpenUrl(const std::string& url) {
    log.push_back({Entry::Kind::Url, url});
}
