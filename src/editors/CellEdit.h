#pragma once

#include <QLineEdit>

#include <array>
#include <optional>
#include <string>
#include <utility>

class CUserPrompts;

// The edit of one table cell, for every editor. A table cell can never hold a tab, CR or LF (the
// saved file would gain a column or a row), so whatever the user types, pastes or drops loses
// them; a digits-only edit keeps to digits and one leading minus in the same way. Only what the
// user puts in is held to these rules: text the program shows stays as it is and stays editable.
// There is no length limit, so a long cell is shown, and written back, whole.
// A character no cell can hold (outside Latin-1) refuses the whole insertion, with TextRefused;
// the minus sign U+2212 goes in as "-".
class CCellEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CCellEdit(QWidget* parent = nullptr, bool digitsOnly = false);

    bool DigitsOnly() const { return m_bDigitsOnly; }

    // Shows the refusals of every cell edit within `dialog` through `prompts`, once the change
    // that was refused is over.
    static void ShowRefusals(QWidget& dialog, CUserPrompts& prompts);
    // The cell for the text of `edit`: `shown` itself while the text is still the one shown
    // from it, else the text as a cell. None, after a message naming the field and the
    // character, when the text holds a character no cell can hold.
    static std::optional<std::string> CellOf(const QLineEdit& edit, const std::string& shown,
                                             CUserPrompts& prompts);
    // CellOf for a record's fields: `cells` holds the shown cells and gets each edit's (a null
    // edit leaves its cell). False at the first text no cell can hold, after its message.
    template <class Edit, size_t N>
    static bool CellsOf(const std::array<Edit*, N>& edits, std::array<std::string, N>& cells,
                        CUserPrompts& prompts) {
        for (size_t k = 0; k < N; ++k) {
            if (!edits[k])
                continue;
            std::optional<std::string> cell = CellOf(*edits[k], cells[k], prompts);
            if (!cell)
                return false;
            cells[k] = std::move(*cell);
        }
        return true;
    }

signals:
    // Text the user put in was refused; `why` names the character.
    void TextRefused(const QString& why);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    class CInsertionFilter;

    // What the user inserted, as the cell may take it: `atStart` tells whether it goes in at
    // the start of the text, `after` is the text that will follow it. Nothing, with the reason
    // in `refusal`, when it holds a character no cell can hold.
    QString Allowed(const QString& inserted, bool atStart, const QString& after,
                    QString& refusal) const;

    bool m_bDigitsOnly = false;
    QString m_strShown;     // the text before the change in progress
    bool m_bMended = false; // the change in progress lost some of what was inserted
};
