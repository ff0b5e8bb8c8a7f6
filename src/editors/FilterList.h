#pragma once

#include <QString>
#include <QVariant>
#include <QWidget>

#include <cstdint>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;

// A long list of table entries with a filter field above it. Every entry carries its table row
// and its key, so that same-named entries stay apart: the list shows a repeated name with what
// tells its entries apart, and the tooltip names the key and the row.
//
// Typing in the filter hides the entries whose name does not hold the text; when that hides the
// current entry, the first one still shown becomes current (none when nothing is shown), as a
// click would make it. Enter in the filter goes to the list instead of closing the dialog.
class CFilterList : public QWidget {
    Q_OBJECT
public:
    struct Entry {
        QString name;
        int32_t row = -1;
        QString key;
    };

    CFilterList(const QString& caption, QWidget* parent = nullptr);

    // Replaces the entries, in the order given, with no current entry and without a signal.
    // The filter stays and applies to the new entries.
    void SetEntries(const std::vector<Entry>& entries);

    // What the list shows for each entry: the name, and beside a name that more than one entry
    // has, the key when it tells them apart ("Cap (xcp)"), else the row ("Cap (row 7)").
    static std::vector<QString> Labels(const std::vector<Entry>& entries);

    // The current entry's table row, name and key; -1 and "" when there is none.
    int32_t CurrentRow() const;
    QString CurrentName() const;
    QString CurrentKey() const;
    // What the list shows for the first entry of this table row; "" when none has it.
    QString LabelOfRow(int32_t row) const;
    // Makes the first entry of this table row (or key) current, without a signal. False when no
    // entry has it.
    bool SelectRow(int32_t row);
    bool SelectKey(const QString& key);
    // Makes the first entry current (none when the list is empty), without a signal.
    void SelectFirst();

    QListWidget* List() const { return m_list; }
    QLineEdit* Filter() const { return m_filter; }

    // Whether `name` holds `filter`, ignoring ASCII case only.
    static bool Matches(const QString& name, const QString& filter);

signals:
    // The user (or the program, outside the calls above) made another entry current.
    void CurrentChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void HideUnmatched();
    void OnFilterEdited();
    void OnFilterEnter();
    bool Select(int role, const QVariant& value);

    QLabel* m_label = nullptr;
    QLineEdit* m_filter = nullptr;
    QListWidget* m_list = nullptr;
};
