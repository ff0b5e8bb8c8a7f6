#include "editors/FilterList.h"

#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

constexpr int kRowRole = Qt::UserRole;
constexpr int kKeyRole = Qt::UserRole + 1;
// The plain name, which the filter looks at and questions name.
constexpr int kNameRole = Qt::UserRole + 2;

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

    connect(m_filter, &QLineEdit::textChanged, this, [this] { OnFilterEdited(); });
    m_filter->installEventFilter(this);
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { emit CurrentChanged(); });
}

void CFilterList::SetEntries(const std::vector<Entry>& entries) {
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    const std::vector<QString> labels = Labels(entries);
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        auto* item = new QListWidgetItem(labels[i], m_list);
        item->setData(kNameRole, entry.name);
        item->setData(kRowRole, entry.row);
        item->setData(kKeyRole, entry.key);
        item->setToolTip(entry.key + ", row " + QString::number(entry.row));
    }
    m_list->setCurrentRow(-1);
    HideUnmatched();
}

std::vector<QString> CFilterList::Labels(const std::vector<Entry>& entries) {
    // A cell holds no tab, so name and key joined by one stay apart.
    QHash<QString, int> named;
    QHash<QString, int> keyed;
    for (const Entry& entry : entries) {
        ++named[entry.name];
        ++keyed[entry.name + '\t' + entry.key];
    }
    std::vector<QString> labels;
    labels.reserve(entries.size());
    for (const Entry& entry : entries) {
        if (named.value(entry.name) < 2)
            labels.push_back(entry.name);
        else if (!entry.key.isEmpty() && entry.key != QString::number(entry.row) &&
                 keyed.value(entry.name + '\t' + entry.key) == 1)
            labels.push_back(entry.name + " (" + entry.key + ")");
        else
            labels.push_back(entry.name + " (row " + QString::number(entry.row) + ")");
    }
    return labels;
}

int32_t CFilterList::CurrentRow() const {
    QListWidgetItem* item = m_list->currentItem();
    return item ? item->data(kRowRole).toInt() : -1;
}

QString CFilterList::CurrentName() const {
    QListWidgetItem* item = m_list->currentItem();
    return item ? item->data(kNameRole).toString() : QString();
}

QString CFilterList::CurrentKey() const {
    QListWidgetItem* item = m_list->currentItem();
    return item ? item->data(kKeyRole).toString() : QString();
}

QString CFilterList::LabelOfRow(int32_t row) const {
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->data(kRowRole).toInt() == row)
            return m_list->item(i)->text();
    return {};
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

void CFilterList::HideUnmatched() {
    const QString filter = m_filter->text();
    for (int i = 0; i < m_list->count(); ++i) {
        QListWidgetItem* item = m_list->item(i);
        item->setHidden(!Matches(item->data(kNameRole).toString(), filter));
    }
}

void CFilterList::OnFilterEdited() {
    HideUnmatched();
    QListWidgetItem* current = m_list->currentItem();
    if (current && !current->isHidden()) {
        m_list->scrollToItem(current);
        return;
    }
    // An entry the list hides is never the one the form shows: the first entry still shown
    // takes its place, as a click on it would, so that the editor asks about typed changes.
    int first = 0;
    while (first < m_list->count() && m_list->item(first)->isHidden())
        ++first;
    if (first < m_list->count())
        m_list->setCurrentRow(first);
    else if (current)
        m_list->setCurrentItem(nullptr);
}

void CFilterList::OnFilterEnter() {
    QListWidgetItem* only = nullptr;
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->isHidden())
            continue;
        if (only) {
            only = nullptr;
            break;
        }
        only = m_list->item(i);
    }
    if (only && m_list->currentItem() != only)
        m_list->setCurrentItem(only);
    m_list->setFocus(Qt::OtherFocusReason);
}

bool CFilterList::eventFilter(QObject* watched, QEvent* event) {
    // The filter's Enter belongs to the list: the dialog would take it for OK and close.
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OnFilterEnter();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
