#pragma once

#include "editors/DifficultyRecord.h"

#include <QDialog>

#include <array>
#include <memory>

class CCellEdit;
class CModFuncs;
class CTxtTable;
class CUserPrompts;
class QLabel;

// Global > Resistances and Penalties...: the eight per-difficulty settings of the difficulty
// table for Normal, Nightmare and Hell, and Resurrected's penalty for classic characters. Values
// are text, shown and written back as typed; OK writes all of them into the table, Cancel nothing
// (the main window puts the table back).
class CDifficultyDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Difficulty/Penalties";

    explicit CDifficultyDlg(CUserPrompts& prompts, QWidget* parent = nullptr);
    ~CDifficultyDlg() override;

    // Inputs, set before exec(); not owned.
    CTxtTable* m_pDiffTable = nullptr;
    CModFuncs* m_pFuncs = nullptr;
    // The column layout of the table, found before the dialog is made.
    TableLayout m_layout = TableLayout::V109;

    // Fills the edits and opens the dialog modally; 0 at once, without showing it, when an
    // input is missing.
    int exec() override;

    // Handlers, public so that tests can drive the dialog without a modal loop.
    // Reads the table into the edits; false, after a message, when an input is missing.
    bool OnInitDialog();
    // Writes every edit's text into its cell and closes; stays open, having written nothing,
    // when a text cannot go into its cell.
    void OnOK();

    void done(int result) override;

    // The edit of a record field.
    CCellEdit* FieldEdit(size_t field) const { return m_edits[field]; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    CUserPrompts& m_prompts;
    std::array<CCellEdit*, DifficultyRecord::kFieldCount> m_edits{};
    QLabel* m_resistCaption = nullptr;
    QLabel* m_nonExpansionCaption = nullptr;
    // The values being edited; exists while the dialog is open.
    std::unique_ptr<DifficultyRecord> m_pRecord;
};
