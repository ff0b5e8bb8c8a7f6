#pragma once

#include "editors/TableLayout.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <string>

class CCellEdit;
class CNoteLog;
class CTxtTable;
class CUserPrompts;
class QCheckBox;
class QLabel;

// Global > Difficulty...: sweeping changes to the whole monster population (more hit points,
// harder hits, better blocking, larger groups, more experience and drops, the automap flag),
// worked into the tables when OK is pressed. The values entered are kept in the settings file
// only to prefill the dialog next time, so a second OK with the same values compounds: OK asks
// before it applies the values applied last again.
class CGlobalSettingsDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Global settings";

    // The four number fields, in layout order.
    enum Amount : size_t { HealthMultiplier, HitHarder, BlockBetter, LargerGroups, kAmountCount };
    // The three check boxes, in layout order.
    enum Option : size_t { IncreaseXP, IncreaseDrops, AutoMap, kOptionCount };

    explicit CGlobalSettingsDlg(CUserPrompts& prompts, QWidget* parent = nullptr);

    // Inputs, set before exec(); not owned.
    CTxtTable* m_pMonTable = nullptr;
    CTxtTable* m_pItmTable = nullptr;
    CTxtTable* m_pTCTable = nullptr;
    bool m_bBinTables = false;
    // The column layout of the monster table. The 1.10 to 1.14d table has no automap column:
    // the box is disabled there and its stored value kept as it was. Resurrected's has none
    // either, and the game has no MonItemPercent table: m_pItmTable may be null there.
    TableLayout m_layout = TableLayout::V109;
    // Where the values are kept between runs (section "Global"); empty: nowhere.
    std::string m_strSettingsPath;
    // Where a settings file that could not be written is reported; may be null.
    CNoteLog* m_pNotes = nullptr;

    // Fills the dialog and opens it modally; 0 at once, without showing it, when a table is
    // missing.
    int exec() override;

    // Handlers, public so that tests can drive the dialog without a modal loop.
    // Prefills the fields from the settings file; false, after a message, when a table is
    // missing.
    bool OnInitDialog();
    // Checks the amounts, changes the tables, keeps the values and closes; with an amount out
    // of range it shows why and stays open, having changed nothing, as it does when the user
    // does not want the values applied last applied again.
    void OnOK();

    CCellEdit* AmountEdit(Amount amount) const { return m_edits[amount]; }
    QCheckBox* OptionBox(Option option) const { return m_boxes[option]; }
    // Says why the automap box is disabled; hidden while it is not.
    QLabel* AutoMapNote() const { return m_autoMapNote; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    using Amounts = std::array<std::string, kAmountCount>;

    // Steps a field by `delta` within its range, as its arrows and the arrow keys do.
    void Step(size_t amount, int delta);
    // Whether more drops come from the treasure classes rather than MonItemPercent.
    bool DropsFromTreasureClasses() const;
    // The settings file's value of `key`; `defaultValue` when it has none.
    std::string Stored(const char* key, const char* defaultValue) const;
    // Whether the values about to be applied are those applied last, and change the tables.
    bool RepeatsLastApplied(const std::array<int32_t, kAmountCount>& values) const;
    // Keeps the values entered, exactly as typed; a file that cannot be written is noted.
    void StoreSettings(const Amounts& texts);

    CUserPrompts& m_prompts;
    std::array<CCellEdit*, kAmountCount> m_edits{};
    std::array<QCheckBox*, kOptionCount> m_boxes{};
    QLabel* m_autoMapNote = nullptr;
};
