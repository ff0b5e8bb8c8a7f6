#pragma once

#include <optional>
#include <string>

// Every message box, question, folder browser, file dialog and busy cursor of the program goes
// through this interface. The program shows them with Qt; tests answer them from a script.
// All texts are byte strings as the tables and paths are (Latin-1 on the Qt side).
class CUserPrompts {
public:
    // What the folder browser gave back. NotAFolder stands for an item that has no file-system
    // path (a "computer" or network node on platforms that offer such items).
    struct FolderChoice {
        enum class Outcome { Cancelled, NotAFolder, Chosen };
        Outcome outcome = Outcome::Cancelled;
        std::string path;
    };

    virtual ~CUserPrompts() = default;

    // A report with only an OK button (warning icon, the application's title).
    virtual void ShowMessage(const std::string& text) = 0;
    // OK / Cancel question: true for OK.
    virtual bool AskOkCancel(const std::string& text) = 0;
    // Yes / No question: true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
    // A question with two answers named by the caller ("Yes" / "No", "Save" / "Don't Save") and
    // Cancel, which is also what Escape and closing the box give. The first is the default.
    enum class Answer { First, Second, Cancel };
    virtual Answer AskThreeWay(const std::string& text, const std::string& first,
                               const std::string& second) = 0;

    virtual FolderChoice BrowseForFolder(const std::string& prompt) = 0;

    // File dialogs. `filter` is in the "Description (*.ext)|*.ext||" form. The file chosen to
    // open must exist; the one chosen to save may be a new name in a folder that exists, or an
    // existing file, taken without a question (what a save does to it is for the caller to ask).
    // Empty optional on cancel. Neither changes the current directory.
    virtual std::optional<std::string> ChooseFileToOpen(const std::string& title,
                                                        const std::string& filter,
                                                        const std::string& defaultExtension,
                                                        const std::string& startFolder) = 0;
    virtual std::optional<std::string> ChooseFileToSave(const std::string& title,
                                                        const std::string& filter,
                                                        const std::string& defaultExtension,
                                                        const std::string& startFolder) = 0;

    // The busy cursor, for work during which the window takes no events; the window is painted
    // as it is when the work starts.
    virtual void BeginBusyCursor() = 0;
    virtual void EndBusyCursor() = 0;

    // Opens an address with the desktop's web browser.
    virtual void OpenUrl(const std::string& url) = 0;
};

// Shows the busy cursor for the life of the object.
class CBusyCursor {
public:
    explicit CBusyCursor(CUserPrompts& prompts) : m_prompts(prompts) {
        m_prompts.BeginBusyCursor();
    }
    ~CBusyCursor() { m_prompts.EndBusyCursor(); }
    CBusyCursor(const CBusyCursor&) = delete;
    CBusyCursor& operator=(const CBusyCursor&) = delete;

private:
    CUserPrompts& m_prompts;
};
