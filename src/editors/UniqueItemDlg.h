#pragma once

#include "editors/EditorDlg.h"
#include "editors/UniqueConfig.h"
#include "editors/UniqueItemRecord.h"

#include <array>
#include <string>

class CModFuncs;
class CNoteLog;
class CTxtTable;
class CUserPrompts;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

// Items > Uniques...: the magic properties of one unique item at a time, each a property chosen
// by its description from "uniq.cfg" and a minimum and maximum typed as text. A table of the
// 1.10 to 1.14d layout has twelve properties instead of ten, each with a parameter typed as text
// too (a number or a skill's name). Resurrected's table adds the ladder seasons an item drops in
// and whether it drops, shown as what the game does rather than as its cells. The table is
// edited in place; the main window undoes a Cancel.
class CUniqueItemDlg : public CEditorDlg {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Unique Item Editor";

    explicit CUniqueItemDlg(CUserPrompts& prompts, QWidget* parent = nullptr);

    // Inputs, set before exec(); not owned.
    CTxtTable* m_pUniqueTable = nullptr;
    CModFuncs* m_pFuncs = nullptr;
    bool m_bExpansion = false;
    // Where "uniq.cfg" is looked for first: a user may keep their own there.
    std::string m_strWorkingFolder;
    // The "uniq.cfg" installed with the program, read when the working folder has none.
    std::string m_strInstalledConfig;
    // Told once how many lines of "uniq.cfg" were left out; may be null.
    CNoteLog* m_pNotes = nullptr;
    // The column layout of the table, found before the dialog is made.
    TableLayout m_layout = TableLayout::V109;

    bool OnInitDialog() override;
    void OnApply() override;

    // Adds an empty entry, which removes the property, then every description with its code
    // beside it, each entry carrying its own code.
    void FillPropertyCombo(QComboBox* combo) const;
    // Selects the entry of `code` (the empty one for ""); a code no line describes is added to
    // every row as itself.
    void ShowPropertyCode(const std::string& code, QComboBox* combo);
    void AddCodeToCombos(const std::string& code);
    // The code of the combo's chosen entry; "" with none.
    static std::string GetPropertyCode(const QComboBox* combo);

    // The "uniq.cfg" installed beside the program (or, run from the build folder, the source
    // tree's); "" when there is none.
    static std::string FindInstalledConfig();

    QListWidget* ItemList() const;
    QComboBox* PropertyCombo(size_t k) const { return m_combos[k]; }
    QLineEdit* ParameterEdit(size_t k) const { return m_parameters[k]; }
    QLineEdit* MinimumEdit(size_t k) const { return m_minimums[k]; }
    QLineEdit* MaximumEdit(size_t k) const { return m_maximums[k]; }
    QLineEdit* FirstLadderSeasonEdit() const { return m_firstLadderSeason; }
    QLineEdit* LastLadderSeasonEdit() const { return m_lastLadderSeason; }
    // Checked when a random unique roll may choose the item.
    QCheckBox* RandomDropBox() const { return m_randomDrop; }
    // Checked unless the item never drops, not even from a treasure class naming it.
    QCheckBox* AnyDropBox() const { return m_anyDrop; }

protected:
    bool HasUnappliedChanges() const override;
    void ShowRow(int32_t row) override;

private:
    static void InsertSorted(QComboBox* combo, const QString& text, const std::string& code);
    // Shows the property rows and the parameter column the layout has, and hides the others.
    void ShowLayoutRows();
    // Whether property row k was changed to the empty entry: Apply empties all of its cells.
    bool RemovesProperty(size_t k) const;
    void ClearPropertyRow(size_t k);
    // The cells of the Resurrected fields as the user left them, the shown cells otherwise.
    void TakeResurrectedFields(UniqueItemRecord& record) const;

    // Resurrected's fields, hidden for the other layouts.
    QWidget* m_resurrectedFields = nullptr;
    QLineEdit* m_firstLadderSeason = nullptr;
    QLineEdit* m_lastLadderSeason = nullptr;
    QCheckBox* m_randomDrop = nullptr;
    QCheckBox* m_anyDrop = nullptr;

    QLabel* m_parameterCaption = nullptr;
    std::array<QComboBox*, UniqueItemRecord::kProperties> m_combos{};
    std::array<QLineEdit*, UniqueItemRecord::kProperties> m_parameters{};
    std::array<QLineEdit*, UniqueItemRecord::kProperties> m_minimums{};
    std::array<QLineEdit*, UniqueItemRecord::kProperties> m_maximums{};
    UniqueConfig m_config;
    // The cells of the shown item as read (or as last applied), and the entry each row showed:
    // a choice the user left alone goes back with the code it was read with.
    UniqueItemRecord m_shownRecord;
    std::array<int, UniqueItemRecord::kProperties> m_shownIndex{};
};
