#pragma once

#include "editors/FilterList.h"

#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

#include <string>

class CUserPrompts;
class QLabel;
class QLayout;
class QPushButton;
class QScrollArea;

// What every table editor shares: OK, Cancel and Apply below a list and a scrolled grid of
// fields, the question before typed values would be dropped, a first size that fits the screen,
// and the window's geometry and last selected entry kept in the settings file between runs.
//
// The editor shows one record at a time. OK and a change of selection ask "Apply your changes
// to <name>?" when the shown record has changes not applied: Yes applies and goes on (or stays,
// when the apply was refused), No drops them and goes on, Cancel stays where the user was.
// Cancel of the dialog discards.
class CEditorDlg : public QDialog {
    Q_OBJECT
public:
    // The settings file the editor remembers its geometry and selection in (section "Tarvane");
    // empty: it remembers nothing.
    std::string m_strSettingsPath;
    // Opens every column of the edited table in a grid, on the table row given, and returns
    // when the grid is closed; empty: the editor offers no "All Columns...".
    std::function<void(int32_t tableRow)> m_showAllColumns;

    // Fills the dialog and opens it modally. When OnInitDialog() fails it returns 0 at once,
    // without showing the dialog.
    int exec() override;

    // Handlers, public so that tests can drive the dialog without a modal loop.
    // Fills the list and shows the entry selected last time (else the first); false, after a
    // message, when an input is missing.
    virtual bool OnInitDialog() = 0;
    // Writes the shown record into its row; when a field cannot go into its cell it says why
    // and writes nothing, the fields keeping what was typed.
    virtual void OnApply() = 0;
    // Closes with OK once the shown record's changes are applied or dropped as the user says.
    void OnOK();
    // Closes with Cancel; the caller undoes what was applied.
    void OnCancel();
    // All Columns...: once the shown record's changes are applied or dropped as the user says,
    // opens the grid on its row, then shows the record again with what the grid changed.
    void OnAllColumns();
    // The list's current entry changed: shows it once the shown record's changes are applied
    // or dropped as the user says, or puts the selection back (the question waits for the
    // event loop).
    void OnSelChange();

    void done(int result) override;
    void setVisible(bool visible) override;

    CFilterList* EntryList() const { return m_pList; }

signals:
    // The shown record was applied (Apply, or Yes to the question before leaving it); what it
    // wrote may be empty, when the apply was refused.
    void applied();

public:
    // The line naming the shown entry; null in an editor without an entry list.
    QLabel* EditingLine() const { return m_labelEditing; }

protected:
    // `name` makes the settings keys: "<name>Geometry", "<name>Selected".
    CEditorDlg(CUserPrompts& prompts, const char* name, QWidget* parent);

    // The list of entries on the left, with `caption` above it; made once, by the constructor
    // of a derived editor before its fields, so that the filter and the list come first when
    // tabbing.
    CFilterList* MakeEntryList(const QString& caption);
    // Lays the dialog out: the entry list (if any) on the left, `fields` (a widget holding the
    // edits) in a scroll area beside it, the buttons below, outside the scrolling.
    void SetUpLayout(QWidget* fields);

    // Fills the entry list and shows the entry selected last time (else the first).
    void ShowEntries(const std::vector<CFilterList::Entry>& entries);

    // Whether an edit holds text that differs from what was shown (text the program set is
    // not a change).
    virtual bool HasUnappliedChanges() const = 0;
    // Shows the record of a table row in the edits; -1: empty edits.
    virtual void ShowRow(int32_t row) = 0;

    // The table row of the shown record; -1 when none.
    int32_t ShownRow() const { return m_nShownRow; }

    CUserPrompts& m_prompts;

private:
    // Shows the record of the current list entry.
    void ShowCurrent();
    // Names the shown entry above the fields, which take typing only while one is shown.
    void ShowEditingLine();
    // True to go on: nothing to apply, or applied or dropped as the user answered.
    bool ConfirmLeavingRecord();
    void PlaceOnScreen();
    void Remember();
    std::string Setting(const char* what) const;

    const char* m_name;
    CFilterList* m_pList = nullptr;
    QWidget* m_pFields = nullptr;
    QScrollArea* m_pScroll = nullptr;
    QLabel* m_labelEditing = nullptr;
    QPushButton* m_buttonOK = nullptr;
    QPushButton* m_buttonCancel = nullptr;
    QPushButton* m_buttonApply = nullptr;
    QPushButton* m_buttonAllColumns = nullptr;
    bool m_bPlaced = false;
    int32_t m_nShownRow = -1;
    QString m_strShownName;
    QString m_strShownKey;
    // A selection change waits for the apply question; a closed run drops it.
    bool m_bQuestionQueued = false;
    int m_nGeneration = 0;
};
