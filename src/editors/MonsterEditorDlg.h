#pragma once

#include "editors/MonsterRecord.h"

#include <QDialog>

#include <array>
#include <string>

class CModFuncs;
class CTxtTable;
class CUserPrompts;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

// Monsters > Editor...: shows one monster of the monster table at a time and writes its fields
// back into its row on Apply. The table is edited in place; the main window undoes a Cancel.
class CMonsterEditorDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Monster Editor";

    explicit CMonsterEditorDlg(CUserPrompts& prompts, QWidget* parent = nullptr);

    // Inputs, set before exec(); not owned.
    CTxtTable* m_pMonTable = nullptr;
    CModFuncs* m_pFuncs = nullptr;
    bool m_bExpansion = false;

    // Opens the dialog modally. When an input is missing it shows why and returns 0 at once,
    // without showing the dialog.
    int exec() override;

    // Handlers, public so that tests can drive the dialog without a modal loop.
    // Fills the list and shows its first monster; false (after the message) when an input is
    // missing.
    bool OnInitDialog();
    // Shows the monster of the selected list entry; unapplied edits are dropped.
    void OnSelChange();
    // Writes the shown fields into the selected monster's row.
    void OnApply();
    // Closes with OK without applying.
    void OnOK();
    // Closes with Cancel.
    void OnCancel();

    QListWidget* MonsterList() const { return m_listMonsters; }

private:
    void ShowRecord(const MonsterRecord& record);

    CUserPrompts& m_prompts;
    QListWidget* m_listMonsters = nullptr;
    // The edit of each record field; none for the class.
    std::array<QLineEdit*, MonsterRecord::kFieldCount> m_edits{};
    QCheckBox* m_checkUnused = nullptr;
    QPushButton* m_buttonOK = nullptr;
    QPushButton* m_buttonCancel = nullptr;
    QPushButton* m_buttonApply = nullptr;
    // The cells of the shown monster as read: Apply writes the class, and every field the user
    // left as shown, back unchanged.
    MonsterRecord m_shownRecord;
};
