#include "editors/SkillsDlg.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

CSkillsDlg::CSkillsDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Dialog");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addWidget(buttons);
    resize(320, 200);
}
