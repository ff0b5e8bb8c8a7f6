#include "editors/FilterList.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

constexpr int kRowRole = Qt::UserRole;
constexpr int kKeyRole = Qt::UserRole + 1;

QChar LowerAscii(QChar c) {
    return (c >= u'A' && c <= u'Z') ? QChar(c.unicode() - u'A' + u'a') : c;
}

} // namespace

CFilterList::CFilterList(const QString& caption, QWidget* parent) : QWidget(parent) {
    m_label = new QLabel(caption, this);
    m_filter = new QLineEdit(this);
    m_filter->setPlaceholderText("Filter");
    m_filter->setClearButtonEnabled(true);
    m_filter->setAccessibleName(caption + " filter");
    m_filter->setToolTip("Shows only the entries whose name holds this text");
    m_list = new QListWidget(this);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setAccessibleName(caption);
    m_label->setBuddy(m_list);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_label);
    layout->addWidget(m_filter);
    layout->addWidget(m_list);

    connect(m_filter, &QLineEdit::textChanged, this, [this] { ApplyFilter(); });
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { emit CurrentChanged(); });
}

void CFilterList::SetEntries(const std::vector<Entry>& entries) {
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    for (const Entry& entry : entries) {
        auto* item = new QListWidgetItem(entry.name, m_list);
        item->setData(kRowRole, entry.row);
        item->setData(kKeyRole, entry.key);
        item->setToolTip(entry.key + ", row " + QString::number(entry.row));
    }
    m_list->setCurrentRow(-1);
    ApplyFilter();
}

int32_t CFilterList::CurrentRow() const {
    QListWidgetItem* item = m_list->currentItem();
    return item ? item->data(kRowRole).toInt() : -1;
}

QString CFilterList::CurrentName() const {
    QListWidgetItem* item = m_list->currentItem();
    return item ? item->text() : QString();
}

QString CFilterList::CurrentKey() const {
    QListWidgetItem* item = m_list->currentItem();
    return item ? item->data(kKeyRole).toString() : QString();
}

bool CFilterList::SelectRow(int32_t row) {
    return Select(kRowRole, row);
}

bool CFilterList::SelectKey(const QString& key) {
    return Select(kKeyRole, key);
}

void CFilterList::SelectFirst() {
    const QSignalBlocker blocker(m_list);
    m_list->setCurrentRow(m_list->count() > 0 ? 0 : -1);
}

bool CFilterList::Select(int role, const QVariant& value) {
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->data(role) == value) {
            const QSignalBlocker blocker(m_list);
            m_list->setCurrentRow(i);
            m_list->scrollToItem(m_list->item(i));
            return true;
        }
    }
    return false;
}

bool CFilterList::Matches(const QString& name, const QString& filter) {
    if (filter.size() > name.size())
        return false;
    for (qsizetype at = 0; at + filter.size() <= name.size(); ++at) {
        qsizetype k = 0;
        while (k < filter.size() && LowerAscii(name[at + k]) == LowerAscii(filter[k]))
            ++k;
        if (k == filter.size())
            return true;
    }
    return false;
}

void CFilterList::ApplyFilter() {
    // Hiding never changes the current entry: what the editor shows stays bound to its row.
    const QString filter = m_filter->text();
    for (int i = 0; i < m_list->count(); ++i)
        m_list->item(i)->setHidden(!Matches(m_list->item(i)->text(), filter));
    if (QListWidgetItem* current = m_list->currentItem(); current && !current->isHidden())
        m_list->scrollToItem(current);
}
