#pragma once

#include <QDialog>

#include <string>

class CUserPrompts;
class QPushButton;

// Help > About...: the program's name, version and credits, and a button that opens the README
// (the project has no web page).
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    // The version the build was made from.
    static constexpr const char* kVersion = TARVANE_VERSION;

    // `readmePath` is the README the button opens; the button is off when it is empty.
    CAboutDlg(CUserPrompts& prompts, const QIcon& icon, const std::string& readmePath,
              QWidget* parent = nullptr);

    // The installed README beside the program (<prefix>/share/doc/tarvane), else the one of the
    // source tree the program was built from; "" when neither exists.
    static std::string FindReadme();

    void OnReadmeButton();
    QPushButton* ReadmeButton() const { return m_pReadmeButton; }

private:
    CUserPrompts& m_prompts;
    std::string m_strReadme;
    QPushButton* m_pReadmeButton = nullptr;
};
