// The item pictures of the demo game that `make run` starts on: the game's own pictures and the
// images folder's show in the armour editor, and the README's PCX imported for an armour is in
// the archive after a save, as the picture the game shows.

#include "app/ModEngineDlg.h"

#include "DemoWindowFixture.h"
#include "editors/ArmourDlg.h"
#include "editors/ItemPictureFrame.h"
#include "graphics/Dc6Converter.h"

#include "MpqFixture.h"
#include "QtTestApp.h"
#include "ScriptedPrompts.h"
#include "TempFolder.h"

#include <QDialog>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

void Select(CArmourDlg& dlg, const QString& name) {
    QListWidget* list = dlg.ItemList();
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text() == name)
            return list->setCurrentRow(i);
    ADD_FAILURE() << "not listed: " << name.toStdString();
}

void Press(QDialog& dialog, const QString& caption) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == caption)
            return button->click();
    ADD_FAILURE() << "no button " << caption.toStdString();
}

TEST_F(DemoWindowTest, ArmourPicturesShowAndAnImportedOneIsSaved) {
    OpenDemo();
    ASSERT_TRUE(dlg->m_data.m_Armor.IsLoaded());

    using Source = CItemPictureFrame::Source;
    const std::string pcx = demo.File("work/pictures/quilted-coat.pcx");
    WhenDialogOpens([&](QDialog& dialog) {
        auto* armour = qobject_cast<CArmourDlg*>(&dialog);
        ASSERT_NE(armour, nullptr);
        Select(*armour, "Padded Vest");
        EXPECT_EQ(armour->PictureFrame()->ShownSource(), Source::Game);
        EXPECT_EQ(armour->PictureFrame()->Picture().Image().size(), QSize(56, 84));
        Select(*armour, "Ring Shirt");
        EXPECT_EQ(armour->PictureFrame()->ShownSource(), Source::Images);
        Select(*armour, "Quilted Coat");
        EXPECT_EQ(armour->PictureFrame()->ShownSource(), Source::None);
        prompts.AnswerOpenFile(pcx);
        Press(dialog, "Graphic...");
        EXPECT_EQ(armour->PictureFrame()->ShownSource(), Source::Overrides);
        Press(dialog, "OK");
    });
    dlg->OnEditorCommand("Armour...");
    EXPECT_TRUE(prompts.Messages().empty());

    prompts.AnswerOkCancel(true); // run the game to compile the tables
    dlg->OnFileSave();
    std::string notes = dlg->NotesText();
    EXPECT_EQ(notes.substr(notes.rfind('\n') + 1), "Diablo II has been updated.");

    std::optional<std::string> dc6 = ReadArchived(archive, "data\\global\\items\\invqct.dc6");
    ASSERT_TRUE(dc6.has_value());
    CDc6Converter converter;
    CIndexedImage saved;
    ASSERT_TRUE(converter.GetFileInfoDC6(*dc6));
    ASSERT_TRUE(converter.DecodeFrame(*dc6, 0, saved));
    std::string pcxBytes;
    ASSERT_TRUE(CDc6Converter::LoadFile(pcx, pcxBytes));
    CIndexedImage imported;
    ASSERT_TRUE(converter.ReadPcx(pcxBytes, imported));
    EXPECT_EQ(saved.width, imported.width);
    EXPECT_EQ(saved.height, imported.height);
    EXPECT_EQ(saved.pixels, imported.pixels);
}

} // namespace
