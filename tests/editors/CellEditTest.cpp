#include "editors/CellEdit.h"
#include "editors/CellText.h"

#include "QtTestApp.h"
#include "ScriptedPrompts.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace Qt::StringLiterals;

enum class Way { Paste, PasteKey, Drop, Type };

// Puts `text` into the edit at its end the way a user would.
void Insert(CCellEdit& edit, Way way, const QString& text) {
    edit.end(false);
    switch (way) {
    case Way::Paste:
        QApplication::clipboard()->setText(text);
        edit.paste();
        break;
    case Way::PasteKey: {
        QApplication::clipboard()->setText(text);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
        QApplication::sendEvent(&edit, &press);
        break;
    }
    case Way::Drop: {
        QMimeData data;
        data.setText(text);
        // As a drag delivers it: it enters, moves, and is dropped past the end of the text.
        const QPointF at(edit.width() - 1, edit.height() / 2.0);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&edit, &enter);
        QDragMoveEvent move(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&edit, &move);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&edit, &drop);
        break;
    }
    case Way::Type: {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
        QApplication::sendEvent(&edit, &press);
        break;
    }
    }
}

} // namespace

TEST(CellEdit, WhatTheUserPutsInNeverHoldsATabOrLineBreak) {
    EnsureQApplication();
    struct Case {
        bool digitsOnly;
        const char* shown; // put there by the program
        Way way;
        const char* inserted;
        const char* expected;
    };
    const Case cases[] = {
        // A spreadsheet cell copied with its line end, and two cells copied together.
        {true, "", Way::Paste, "123\n", "123"},
        {true, "", Way::Paste, "1\t2", "12"},
        {true, "", Way::PasteKey, "4\r\n", "4"},
        {true, "", Way::Drop, "5\r\n6", "56"},
        // Digits-only edits hold pasted and dropped text to digits as they do typed text; the
        // program's "-5" stays as it is and takes digits after it.
        {true, "-5", Way::Paste, "a-3.5", "-535"},
        {true, "-5", Way::Drop, "x7", "-57"},
        // Other edits keep everything but tabs and line breaks.
        {false, "name", Way::Paste, " a\tb\r\nc", "name abc"},
        {false, "", Way::PasteKey, "-x\n", "-x"},
        {false, "", Way::Drop, "\t\xE9t\xE9\n", "\xE9t\xE9"},
    };
    int n = 0;
    for (const Case& c : cases) {
        CCellEdit edit(nullptr, c.digitsOnly);
        edit.resize(200, 24);
        edit.setText(QString::fromLatin1(c.shown));
        EXPECT_EQ(edit.text().toLatin1().toStdString(), c.shown);
        Insert(edit, c.way, QString::fromLatin1(c.inserted));
        EXPECT_EQ(edit.text().toLatin1().toStdString(), c.expected) << "case " << n;
        // The change counts as the user's, and the cursor stands after what went in.
        EXPECT_TRUE(edit.isModified()) << "case " << n;
        EXPECT_EQ(edit.cursorPosition(), static_cast<int>(std::strlen(c.expected))) << "case " << n;
        ++n;
    }
}

TEST(CellEdit, DigitsOnlyEditsTakeOneLeadingMinusTypedOrPasted) {
    EnsureQApplication();
    enum class By { Typing, Pasting };
    struct Case {
        const char* shown;
        int from, to; // the cursor, or the selection the insertion replaces
        By by;
        const char* inserted;
        const char* expected;
    };
    const Case cases[] = {
        {"", 0, 0, By::Typing, "-5", "-5"},      {"12", 0, 0, By::Typing, "-", "-12"},
        {"12", 1, 1, By::Typing, "-", "12"},     {"12", 2, 2, By::Typing, "-", "12"},
        {"-12", 0, 0, By::Typing, "-", "-12"},   {"-12", 0, 1, By::Typing, "-", "-12"},
        {"-12", 0, 3, By::Typing, "--4", "-4"},  {"", 0, 0, By::Pasting, "-34", "-34"},
        {"", 0, 0, By::Pasting, "--3-4", "-34"}, {"5", 0, 0, By::Pasting, "-", "-5"},
        {"5", 1, 1, By::Pasting, "-6", "56"},    {"-5", 1, 1, By::Pasting, "-6", "-65"},
    };
    int n = 0;
    for (const Case& c : cases) {
        CCellEdit edit(nullptr, true);
        edit.setText(QString::fromLatin1(c.shown));
        edit.setSelection(c.from, c.to - c.from);
        if (c.from == c.to)
            edit.setCursorPosition(c.from);
        if (c.by == By::Pasting) {
            QApplication::clipboard()->setText(QString::fromLatin1(c.inserted));
            edit.paste();
        } else {
            for (const char* key = c.inserted; *key; ++key) {
                const QString text(QChar::fromLatin1(*key));
                QKeyEvent press(QEvent::KeyPress,
                                *key == '-' ? Qt::Key_Minus : Qt::Key_0 + (*key - '0'),
                                Qt::NoModifier, text);
                QApplication::sendEvent(&edit, &press);
            }
        }
        EXPECT_EQ(edit.text().toLatin1().toStdString(), c.expected) << "case " << n;
        ++n;
    }
}

TEST(CellEdit, TextNoCellCanHoldIsRefusedWhereTypedAndByTheConversion) {
    EnsureQApplication();
    // The conversion: U+2212 is a minus; any other character beyond Latin-1 is refused by name.
    EXPECT_EQ(TextToCell(u"\u2212120"_s), "-120");
    EXPECT_EQ(TextToCell(QString::fromLatin1("\xE9t\xE9")), "\xE9t\xE9");
    EXPECT_EQ(TextToCell(u"\u201C5"_s), std::nullopt);
    EXPECT_EQ(CellRefusal(u"a\U0001F600"_s), "The character U+1F600 cannot go into a table cell: "
                                             "the tables hold Latin-1 text only.");

    const std::string quote = CellRefusal(u"\u201C"_s);
    struct Case {
        bool digitsOnly;
        Way way;
        QString inserted;
        const char* expected;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {true, Way::Paste, u"\u2212120"_s, "-120", {}},
        {true, Way::Type, u"\u2212"_s, "-", {}},
        // The whole insertion is refused: "5" alone is not what was meant.
        {false, Way::PasteKey, u"\u201C5\u201D"_s, "", {quote}},
        {false, Way::Drop, u"\u201C5"_s, "", {quote}},
        {false, Way::Type, u"\u0153"_s, "", {CellRefusal(u"\u0153"_s)}},
    };
    for (const Case& c : cases) {
        QDialog dialog;
        auto* edit = new CCellEdit(&dialog, c.digitsOnly);
        edit->setAccessibleName("Field");
        CScriptedPrompts prompts;
        CCellEdit::ShowRefusals(dialog, prompts);
        edit->resize(200, 24);
        Insert(*edit, c.way, c.inserted);
        QCoreApplication::processEvents();
        EXPECT_EQ(edit->text().toLatin1().toStdString(), c.expected) << c.expected;
        EXPECT_EQ(prompts.Messages(), c.messages) << c.expected;

        // Text that came in another way (a screen reader sets it) is refused when applied.
        edit->setText(u"\u201C"_s);
        prompts.log.clear();
        EXPECT_EQ(CCellEdit::CellOf(*edit, "", prompts), std::nullopt);
        EXPECT_EQ(prompts.Messages(),
                  std::vector<std::string>{"Field: " + quote + " Nothing was applied."});
    }
}
