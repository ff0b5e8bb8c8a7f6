#include "editors/CellEdit.h"

#include "editors/CellText.h"
#include "platform/UserPrompts.h"

#include <QKeyEvent>
#include <QValidator>

#include <algorithm>
#include <limits>

// Qt asks the validator about every change of the text and takes the text it gives back, within
// the same change: a paste, a drop or an input method's text is mended before any signal tells
// of it. Of a change, only the part the user inserted is filtered.
class CCellEdit::CInsertionFilter : public QValidator {
public:
    explicit CInsertionFilter(CCellEdit& edit) : QValidator(&edit), m_edit(edit) {}

    State validate(QString& input, int& pos) const override {
        // setText() leaves the edit unmodified: the program's own text is taken as it is.
        if (!m_edit.isModified())
            return Acceptable;
        const QString& before = m_edit.m_strShown;
        // The inserted part lies between what the text kept of its start and of its end.
        qsizetype start = 0;
        const qsizetype shorter = std::min(before.size(), input.size());
        while (start < shorter && before[start] == input[start])
            ++start;
        qsizetype end = 0;
        while (end < shorter - start &&
               before[before.size() - 1 - end] == input[input.size() - 1 - end])
            ++end;
        const QString inserted = input.mid(start, input.size() - start - end);
        QString refusal;
        const QString allowed = m_edit.Allowed(inserted, start == 0, input.right(end), refusal);
        if (!refusal.isEmpty())
            emit m_edit.TextRefused(refusal);
        if (allowed != inserted) {
            input = input.left(start) + allowed + input.right(end);
            pos = static_cast<int>(start + allowed.size());
            // Qt puts the mended text in as if it were set: it must still count as the user's.
            m_edit.m_bMended = true;
        }
        return Acceptable;
    }

private:
    CCellEdit& m_edit;
};

CCellEdit::CCellEdit(QWidget* parent, bool digitsOnly)
    : QLineEdit(parent), m_bDigitsOnly(digitsOnly) {
    // The default limit of 32,767 characters would cut longer cells as they are shown.
    setMaxLength(std::numeric_limits<int>::max());
    setValidator(new CInsertionFilter(*this));
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_strShown = text;
        if (m_bMended) {
            m_bMended = false;
            setModified(true);
        }
    });
}

void CCellEdit::ShowRefusals(QWidget& dialog, CUserPrompts& prompts) {
    for (CCellEdit* edit : dialog.findChildren<CCellEdit*>())
        // Queued: a message box must not open in the middle of the edit's change.
        connect(
            edit, &CCellEdit::TextRefused, &dialog,
            [&prompts](const QString& why) { prompts.ShowMessage(why.toStdString()); },
            Qt::QueuedConnection);
}

std::optional<std::string> CCellEdit::CellOf(const QLineEdit& edit, const std::string& shown,
                                             CUserPrompts& prompts) {
    const QString text = edit.text();
    if (text == CellToText(shown))
        return shown;
    std::optional<std::string> cell = TextToCell(text);
    if (!cell)
        prompts.ShowMessage(edit.accessibleName().toStdString() + ": " + CellRefusal(text) +
                            " Nothing was applied.");
    return cell;
}

QString CCellEdit::Allowed(const QString& inserted, bool atStart, const QString& after,
                           QString& refusal) const {
    // The whole insertion: dropping the character alone could change what the user meant.
    refusal = QString::fromStdString(CellRefusal(inserted));
    if (!refusal.isEmpty())
        return {};
    // The game's tables hold negative numbers: one minus may lead a digits-only cell.
    bool minusAllowed = atStart && !after.startsWith(u'-');
    QString allowed;
    allowed.reserve(inserted.size());
    for (QChar c : inserted) {
        if (c == u'\t' || c == u'\r' || c == u'\n')
            continue;
        if (c == u'\u2212')
            c = u'-';
        if (m_bDigitsOnly && (c < u'0' || c > u'9') && !(c == u'-' && minusAllowed))
            continue;
        allowed.append(c);
        minusAllowed = false;
    }
    return allowed;
}

void CCellEdit::keyPressEvent(QKeyEvent* event) {
    // A typed character the edit does not take is dropped before it reaches the text, so the
    // undo history stays as it was. Control keys (Backspace, Enter, shortcuts) carry on.
    const QString typed = event->text();
    const bool printable = std::any_of(typed.begin(), typed.end(), [](QChar c) {
        return c.unicode() >= 0x20 && c.unicode() != 0x7F;
    });
    const int at = hasSelectedText() ? selectionStart() : cursorPosition();
    const int kept = hasSelectedText() ? selectionStart() + selectionLength() : at;
    QString refusal;
    if (printable && Allowed(typed, at == 0, text().mid(kept), refusal).isEmpty()) {
        if (!refusal.isEmpty())
            emit TextRefused(refusal);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
