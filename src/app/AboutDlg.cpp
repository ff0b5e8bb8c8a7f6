#include "app/AboutDlg.h"

#include "platform/UserPrompts.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(CUserPrompts& prompts, const QIcon& icon, QWidget* parent)
    : QDialog(parent), m_prompts(prompts) {
    setWindowTitle("About Tarvane mod engine");

    auto* iconLabel = new QLabel(this);
    iconLabel->setPixmap(icon.pixmap(32, 32));

    auto* text = new QVBoxLayout;
    text->addWidget(new QLabel("Diablo II Tarvane Mod Engine", this));
    text->addWidget(new QLabel("Written by the Tarvane mod engine developers.", this));
    text->addWidget(
        new QLabel("MPQ archives are read and written with StormLib by Ladislav Zezula.", this));

    m_pWebButton = new QPushButton(kProjectUrl, this);
    m_pWebButton->setAutoDefault(false);
    connect(m_pWebButton, &QPushButton::clicked, this, &CAboutDlg::OnWebButton);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(iconLabel, 0, Qt::AlignTop);
    top->addLayout(text);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_pWebButton);
    layout->addWidget(buttons);
}

void CAboutDlg::OnWebButton() {
    m_prompts.OpenUrl(kProjectUrl);
}
