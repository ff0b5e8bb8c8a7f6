#pragma once

#include "editors/EditorDlg.h"
#include "editors/TableLayout.h"
#include "editors/WeaponRecord.h"

#include <array>

class CItemPictureFrame;
class CModFuncs;
class CTxtTable;
class CUserPrompts;
class QCheckBox;
class QLineEdit;
class QListWidget;

// Items > Weapons...: shows one weapon of the weapon table at a time and writes its fields back
// into its row on Apply. The table is edited in place; the main window undoes a Cancel.
class CWeaponDlg : public CEditorDlg {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Weapon Editor";

    explicit CWeaponDlg(CUserPrompts& prompts, QWidget* parent = nullptr);

    // Inputs, set before exec(); not owned.
    CTxtTable* m_pWeaponTable = nullptr;
    CModFuncs* m_pFuncs = nullptr;
    bool m_bExpansion = false;
    // The column layout of the table, found before the dialog is made: Resurrected's item
    // pictures cannot be shown nor imported.
    TableLayout m_layout = TableLayout::V109;

    bool OnInitDialog() override;
    void OnApply() override;

    // "Graphic...": imports a PCX picture for the shown item.
    void OnGraphic();

    QListWidget* ItemList() const;
    CItemPictureFrame* PictureFrame() const { return m_pPicture; }

protected:
    bool HasUnappliedChanges() const override;
    void ShowRow(int32_t row) override;

private:
    CItemPictureFrame* m_pPicture = nullptr;
    // Whether the shown "2Handed" cell reads as two-handed to the box.
    bool ShownTwoHanded() const;

    // The edit of each shown text field; none for the flag and the picture's fields.
    std::array<QLineEdit*, WeaponRecord::kFieldCount> m_edits{};
    QCheckBox* m_checkTwoHanded = nullptr;
    // The cells of the shown weapon as read (or last applied): unchanged fields go back as read.
    WeaponRecord m_shownRecord;
};
