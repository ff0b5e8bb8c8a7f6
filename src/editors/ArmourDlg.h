#pragma once

#include "editors/ArmourRecord.h"
#include "editors/EditorDlg.h"
#include "editors/TableLayout.h"

#include <array>

class CItemPictureFrame;
class CModFuncs;
class CTxtTable;
class CUserPrompts;
class QLineEdit;
class QListWidget;

// Items > Armour...: shows one armour of the armour table at a time and writes its fields back
// into its row on Apply. The table is edited in place; the main window undoes a Cancel.
class CArmourDlg : public CEditorDlg {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Armour Editor";

    explicit CArmourDlg(CUserPrompts& prompts, QWidget* parent = nullptr);

    // Inputs, set before exec(); not owned.
    CTxtTable* m_pArmourTable = nullptr;
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
    // The edit of each shown field; none for the picture's fields.
    std::array<QLineEdit*, ArmourRecord::kFieldCount> m_edits{};
    // The cells of the shown item as read (or last applied): unchanged fields go back as read.
    ArmourRecord m_shownRecord;
};
