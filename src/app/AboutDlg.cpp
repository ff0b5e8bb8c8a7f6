#include "app/AboutDlg.h"

#include "platform/UserPrompts.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(CUserPrompts& prompts, const QIcon& icon, const std::string& readmePath,
                     QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_strReadme(readmePath) {
    setWindowTitle("About Tarvane mod engine");

    auto* iconLabel = new QLabel(this);
    iconLabel->setPixmap(icon.pixmap(32, 32));

    auto* text = new QVBoxLayout;
    text->addWidget(new QLabel("Diablo II Tarvane Mod Engine", this));
    text->addWidget(new QLabel(QString("Version ") + kVersion, this));
    text->addWidget(new QLabel("Written by the Tarvane mod engine developers.", this));
    text->addWidget(
        new QLabel("MPQ archives are read and written with StormLib by Ladislav Zezula.", this));

    m_pReadmeButton = new QPushButton("Open the &README", this);
    m_pReadmeButton->setAutoDefault(false);
    m_pReadmeButton->setEnabled(!m_strReadme.empty());
    m_pReadmeButton->setToolTip(m_strReadme.empty() ? "The README is not installed."
                                                    : QString::fromStdString(m_strReadme));
    connect(m_pReadmeButton, &QPushButton::clicked, this, &CAboutDlg::OnReadmeButton);

    // The standard OK button has no mnemonic on every platform.
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton("&OK", QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(iconLabel, 0, Qt::AlignTop);
    top->addLayout(text);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_pReadmeButton);
    layout->addWidget(buttons);
}

std::string CAboutDlg::FindReadme() {
    const QString installed =
        QCoreApplication::applicationDirPath() + "/" + TARVANE_README_FROM_PROGRAM;
    if (QFileInfo(installed).isFile())
        return QFileInfo(installed).canonicalFilePath().toStdString();
    if (QFileInfo(TARVANE_SOURCE_README).isFile())
        return TARVANE_SOURCE_README;
    return "";
}

void CAboutDlg::OnReadmeButton() {
    if (!m_strReadme.empty())
        m_prompts.OpenUrl(
            QUrl::fromLocalFile(QString::fromStdString(m_strReadme)).toString().toStdString());
}
