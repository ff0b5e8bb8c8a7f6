#pragma once

#include <QDialog>

class CTxtTable;
class CModFuncs;

// Misc > Skills: a placeholder with OK and Cancel, handed the skills table like an editor.
class CSkillsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSkillsDlg(QWidget* parent = nullptr);

    CTxtTable* m_pSkillsTable = nullptr;
    CModFuncs* m_pFuncs = nullptr;
    bool m_bExpansion = false;
};
