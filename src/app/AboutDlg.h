#pragma once

#include <QDialog>

class CUserPrompts;
class QPushButton;

// Help > About...: the program's name, the credits and a button that opens the project's page.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kProjectUrl = "https://tarvane.example.org/";

    CAboutDlg(CUserPrompts& prompts, const QIcon& icon, QWidget* parent = nullptr);

    void OnWebButton();
    QPushButton* WebButton() const { return m_pWebButton; }

private:
    CUserPrompts& m_prompts;
    QPushButton* m_pWebButton = nullptr;
};
