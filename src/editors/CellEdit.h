#pragma once

#include <QLineEdit>

// The edit of one table cell, for every editor. A table cell can never hold a tab, CR or LF (the
// saved file would gain a column or a row), so whatever the user types, pastes or drops loses
// them; a digits-only edit keeps to digits and one leading minus in the same way. Only what the
// user puts in is held to these rules: text the program shows stays as it is and stays editable.
// There is no length limit, so a long cell is shown, and written back, whole.
class CCellEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CCellEdit(QWidget* parent = nullptr, bool digitsOnly = false);

    bool DigitsOnly() const { return m_bDigitsOnly; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    class CInsertionFilter;

    // What the user inserted, as the cell may take it: `atStart` tells whether it goes in at
    // the start of the text, `after` is the text that will follow it.
    QString Allowed(const QString& inserted, bool atStart, const QString& after) const;

    bool m_bDigitsOnly = false;
    QString m_strShown;     // the text before the change in progress
    bool m_bMended = false; // the change in progress lost some of what was inserted
};
