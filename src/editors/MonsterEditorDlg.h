#pragma once

#include "editors/EditorDlg.h"
#include "editors/MonsterRecord.h"

#include <array>
#include <string>

class CModFuncs;
class CTxtTable;
class CUserPrompts;
class QCheckBox;
class QLineEdit;
class QListWidget;

// Monsters > Editor...: shows one monster of the monster table at a time and writes its fields
// back into its row on Apply. The table is edited in place; the main window undoes a Cancel.
class CMonsterEditorDlg : public CEditorDlg {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Monster Editor";

    explicit CMonsterEditorDlg(CUserPrompts& prompts, QWidget* parent = nullptr);

    // Inputs, set before exec(); not owned.
    CTxtTable* m_pMonTable = nullptr;
    CModFuncs* m_pFuncs = nullptr;
    bool m_bExpansion = false;
    // The column layout of the monster table.
    TableLayout m_layout = TableLayout::V109;

    // Fills the list and shows the monster selected last time (else the first); false (after
    // the message) when an input is missing.
    bool OnInitDialog() override;
    // Writes the shown fields into the shown monster's row.
    void OnApply() override;

    QListWidget* MonsterList() const;

protected:
    bool HasUnappliedChanges() const override;
    void ShowRow(int32_t row) override;

private:
    // The edit of each record field; none for the class.
    std::array<QLineEdit*, MonsterRecord::kFieldCount> m_edits{};
    QCheckBox* m_checkUnused = nullptr;
    // The cells of the shown monster as read (or as last applied): Apply writes the class, and
    // every field the user left as shown, back unchanged. The newer layout's "NameStr" in the
    // class's place is never written.
    MonsterRecord m_shownRecord;
};
