#include "editors/ArmourDlg.h"
#include "editors/ItemPictureFrame.h"
#include "editors/ModFuncs.h"
#include "editors/WeaponDlg.h"
#include "graphics/BuiltinPalette.h"
#include "graphics/Dc6Converter.h"
#include "table/TxtTable.h"

#include "MpqFixture.h"
#include "QtTestApp.h"
#include "ScriptedPrompts.h"
#include "TableFixture.h"
#include "TempFolder.h"

#include <QApplication>
#include <QBuffer>
#include <QEvent>
#include <QImage>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

// The colour of palette entry i in the pictures these tests write.
QRgb PcxColour(int i) {
    return qRgb(i, 255 - i, (i * 3) & 255);
}

// The palette index of pixel (x, y) of a test picture; never 0 (transparent in DC6 files).
int IndexAt(int x, int y, int seed) {
    return (x * 7 + y * 13 + seed) % 250 + 1;
}

// An 8-bit PCX of the given size, written here byte by byte so that a reading fault shows.
std::string MakePcx(int width, int height, int seed) {
    std::string file(128, '\0');
    auto put16 = [&file](size_t at, int value) {
        file[at] = static_cast<char>(value & 0xFF);
        file[at + 1] = static_cast<char>((value >> 8) & 0xFF);
    };
    file[0] = 0x0A;
    file[1] = 5;
    file[2] = 1;
    file[3] = 8;
    put16(8, width - 1);
    put16(10, height - 1);
    file[65] = 1;
    put16(66, width);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int index = IndexAt(x, y, seed);
            if (index >= 0xC0)
                file += static_cast<char>(0xC1);
            file += static_cast<char>(index);
        }
    file += static_cast<char>(0x0C);
    for (int i = 0; i < 256; ++i) {
        const QRgb colour = PcxColour(i);
        file += static_cast<char>(qRed(colour));
        file += static_cast<char>(qGreen(colour));
        file += static_cast<char>(qBlue(colour));
    }
    return file;
}

// A one-frame DC6 picture of the given size, as the game's item pictures are.
std::string MakeDc6(int width, int height, int seed) {
    CIndexedImage image;
    image.width = width;
    image.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.pixels.push_back(static_cast<uint8_t>(IndexAt(x, y, seed)));
    CDc6Converter converter;
    converter.SetTransparency(true, 0);
    std::string file;
    converter.WriteDc6(file, image);
    return file;
}

QRgb GameColour(int i) {
    const size_t at = static_cast<size_t>(i) * 3;
    return qRgb(kBuiltinPalette[at + 2], kBuiltinPalette[at + 1], kBuiltinPalette[at]);
}

std::string MakeJpeg(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(200, 30, 30));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// What the frame shows on screen, its inside only.
QImage Shown(CItemPictureFrame& frame) {
    return frame.grab().toImage().copy(frame.contentsRect()).convertToFormat(QImage::Format_RGB32);
}

// Expects the frame's top left to show the test picture of that size and seed pixel by pixel,
// and the rest of the frame not to.
void ExpectShowsPicture(CItemPictureFrame& frame, int width, int height, int seed,
                        QRgb (*colour)(int)) {
    const QImage shown = Shown(frame);
    ASSERT_GE(shown.width(), width);
    ASSERT_GE(shown.height(), height);
    int wrong = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            wrong += shown.pixel(x, y) != colour(IndexAt(x, y, seed));
    EXPECT_EQ(wrong, 0) << "pixels differing from the picture";
    if (width < shown.width()) {
        EXPECT_NE(shown.pixel(width, 0), colour(IndexAt(width, 0, seed)));
    }
}

// Counts the paint events of the widget it watches.
class PaintCounter : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::Paint;
        return false;
    }
};

class ItemPictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQApplication();
        LoadRows(table, {{"name", "code", "invfile", "invwidth", "invheight", "gemsockets"},
                         {"Cap", "cap", "invcap", "2", "3", "0"},
                         {"Helm", "hlm", "invhlm", "2", "2", "0"},
                         {"Skull", "skl", "invskl", "1", "1", "0"}});
    }

    std::unique_ptr<CArmourDlg> Open() {
        auto dlg = std::make_unique<CArmourDlg>(prompts);
        dlg->m_pArmourTable = &table;
        dlg->m_pFuncs = &funcs;
        dlg->PictureFrame()->m_strWorkingFolder = work.Path();
        dlg->PictureFrame()->m_gameArchives = {archive};
        EXPECT_TRUE(dlg->OnInitDialog());
        return dlg;
    }

    static void Select(CArmourDlg& dlg, const QString& name) {
        QListWidget* list = dlg.ItemList();
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->text() == name)
                list->setCurrentRow(i);
    }

    static void PressGraphic(QDialog& dlg) {
        for (QPushButton* button : dlg.findChildren<QPushButton*>())
            if (button->text() == "Graphic...")
                return button->click();
        ADD_FAILURE() << "no Graphic... button";
    }

    void Write(const std::string& relative, const std::string& bytes) {
        std::filesystem::create_directories(
            std::filesystem::path(work.File(relative)).parent_path());
        WriteTextFile(work.File(relative), bytes);
    }

    CTempFolder work;
    CTempFolder chosen;
    std::string archive = work.File("d2data.mpq");
    CScriptedPrompts prompts;
    CTxtTable table;
    CModFuncs funcs;
};

// An item of 2 x 3 cells takes a picture of 56 to 83 by 84 to 111 pixels; anything else is
// refused with the size it must have, and nothing is copied.
TEST_F(ItemPictureTest, ImportChecksThePictureSizeAgainstTheItemsCells) {
    struct Case {
        int width;
        int height;
        bool accepted;
    };
    for (const Case& c :
         {Case{56, 84, true}, Case{83, 111, true}, Case{55, 84, false}, Case{84, 84, false}}) {
        std::filesystem::remove_all(work.File("overrides"));
        const std::string pcx = chosen.File("new.pcx");
        WriteTextFile(pcx, MakePcx(c.width, c.height, 1));
        EXPECT_EQ(funcs.CheckPcxSize(2, 3, pcx), c.accepted) << c.width << " x " << c.height;

        CScriptedPrompts local;
        prompts = local;
        auto dlg = Open();
        Select(*dlg, "Cap");
        prompts.AnswerOpenFile(pcx);
        PressGraphic(*dlg);
        EXPECT_EQ(std::filesystem::exists(work.File("overrides/invcap.pcx")), c.accepted);
        EXPECT_EQ(prompts.Messages(),
                  c.accepted ? std::vector<std::string>{}
                             : std::vector<std::string>{
                                   "The imported graphic does not match the size of the existing "
                                   "one. It must be 56 pixels wide, and 84 pixels high"});
    }
}

TEST_F(ItemPictureTest, AnImportIsShownAtOnceAndAgainAfterAnotherSelection) {
    auto dlg = Open();
    dlg->show();
    Select(*dlg, "Cap");
    WriteTextFile(chosen.File("cap.pcx"), MakePcx(57, 84, 3));
    prompts.AnswerOpenFile(chosen.File("cap.pcx"));
    PressGraphic(*dlg);
    EXPECT_EQ(dlg->PictureFrame()->ShownSource(), CItemPictureFrame::Source::Overrides);
    ExpectShowsPicture(*dlg->PictureFrame(), 57, 84, 3, PcxColour);

    Select(*dlg, "Helm");
    EXPECT_EQ(dlg->PictureFrame()->ShownSource(), CItemPictureFrame::Source::None);
    EXPECT_EQ(Shown(*dlg->PictureFrame()).pixel(0, 0), Shown(*dlg->PictureFrame()).pixel(30, 30));
    Select(*dlg, "Cap");
    ExpectShowsPicture(*dlg->PictureFrame(), 57, 84, 3, PcxColour);
    EXPECT_TRUE(prompts.Messages().empty());
}

// Cancel takes back the pictures imported while the editor ran (a replaced one as it was before
// the first import, a new one removed); OK keeps the last ones.
TEST_F(ItemPictureTest, CancelTakesBackThePicturesImportedWhileTheEditorRan) {
    WriteTextFile(chosen.File("cap1.pcx"), MakePcx(56, 84, 7));
    WriteTextFile(chosen.File("cap2.pcx"), MakePcx(56, 84, 9));
    WriteTextFile(chosen.File("helm.pcx"), MakePcx(56, 56, 8));
    for (const bool cancel : {true, false}) {
        Write("overrides/invcap.pcx", MakePcx(56, 84, 2));
        auto dlg = Open();
        for (const char* file : {"cap1.pcx", "cap2.pcx", "helm.pcx"}) {
            Select(*dlg, file[0] == 'c' ? "Cap" : "Helm");
            prompts.AnswerOpenFile(chosen.File(file));
            PressGraphic(*dlg);
        }
        cancel ? dlg->OnCancel() : dlg->OnOK();
        EXPECT_TRUE(ReadTextFile(work.File("overrides/invcap.pcx")) ==
                    MakePcx(56, 84, cancel ? 2 : 9));
        EXPECT_EQ(std::filesystem::exists(work.File("overrides/invhlm.pcx")), !cancel);
    }
    EXPECT_TRUE(prompts.Messages().empty());
}

// A chosen picture whose name holds a "\" is refused as every file chooser refuses it.
TEST_F(ItemPictureTest, AChosenPictureWhoseNameHoldsABackslashIsRefused) {
    const std::string pcx = chosen.File("a\\cap.pcx");
    WriteTextFile(pcx, MakePcx(56, 84, 1));
    auto dlg = Open();
    Select(*dlg, "Cap");
    prompts.AnswerOpenFile(pcx);
    PressGraphic(*dlg);
    EXPECT_EQ(prompts.Messages(),
              std::vector<std::string>{pcx + " cannot be used: its name holds a \"\\\", which this "
                                             "program reads as a folder separator. Rename it and "
                                             "choose it again."});
    EXPECT_FALSE(std::filesystem::exists(work.File("overrides/invcap.pcx")));
}

// While the editor runs, each archive is opened once, however its path is spelled.
TEST_F(ItemPictureTest, EachArchiveIsOpenedOnceWhileTheEditorRuns) {
    ASSERT_TRUE(MakeArchive(archive, {{"data\\global\\items\\invcap.dc6", MakeDc6(40, 60, 5)}}));
    auto dlg = Open();
    dlg->show();
    dlg->PictureFrame()->m_gameArchives = {work.File("none.mpq"), work.Path() + "\\d2data.mpq",
                                           work.Path() + "/./d2data.mpq", archive};
    for (const char* name : {"Helm", "Cap", "Skull", "Cap"})
        Select(*dlg, name);
    ExpectShowsPicture(*dlg->PictureFrame(), 40, 60, 5, GameColour);
    EXPECT_EQ(dlg->PictureFrame()->ArchiveReader().Opens(), 2);
}

// An imported picture wins over the images folder, which wins over the game's own picture.
TEST_F(ItemPictureTest, PicturesComeFromOverridesThenImagesThenTheGame) {
    ASSERT_TRUE(MakeArchive(archive, {{"data\\global\\items\\invcap.dc6", MakeDc6(40, 60, 5)}}));
    Write("images/invcap.jpg", MakeJpeg(30, 20));
    Write("overrides/invcap.pcx", MakePcx(56, 84, 2));
    using Source = CItemPictureFrame::Source;
    for (const Source expected : {Source::Overrides, Source::Images, Source::Game}) {
        auto dlg = Open();
        dlg->show();
        Select(*dlg, "Cap");
        CItemPictureFrame& frame = *dlg->PictureFrame();
        EXPECT_EQ(frame.ShownSource(), expected);
        if (expected == Source::Overrides) {
            ExpectShowsPicture(frame, 56, 84, 2, PcxColour);
            std::filesystem::remove(work.File("overrides/invcap.pcx"));
        } else if (expected == Source::Images) {
            EXPECT_EQ(frame.Picture().Image().size(), QSize(30, 20));
            std::filesystem::remove(work.File("images/invcap.jpg"));
        } else {
            ExpectShowsPicture(frame, 40, 60, 5, GameColour);
        }
    }
}

// An invfile that is a path could read or write outside the picture folders: no picture, and
// the import says why without asking for a file or writing one.
TEST_F(ItemPictureTest, AnInvfileThatNamesAPathShowsNothingAndRefusesTheImport) {
    Write("x.pcx", MakePcx(28, 28, 1));
    Write("images/x.pcx", MakePcx(28, 28, 1));
    Write("x.jpg", MakeJpeg(20, 20));
    WriteTextFile(chosen.File("skull.pcx"), MakePcx(28, 28, 1));
    for (const std::string& invfile : std::vector<std::string>{
             "..\\x", "..\\images\\x", "../x", "a\\b", work.File("x"), "", "..", "C:x"}) {
        table.SetCell(table.FindColumn("invfile", 0), 3, invfile);
        CScriptedPrompts local;
        prompts = local;
        auto dlg = Open();
        Select(*dlg, "Skull");
        EXPECT_EQ(dlg->PictureFrame()->ShownSource(), CItemPictureFrame::Source::None) << invfile;
        EXPECT_TRUE(dlg->PictureFrame()->Picture().IsEmpty());
        prompts.AnswerOpenFile(chosen.File("skull.pcx"));
        PressGraphic(*dlg);
        EXPECT_EQ(prompts.TextsOf(CScriptedPrompts::Entry::Kind::OpenFile).size(), 0u);
        ASSERT_EQ(prompts.Messages().size(), 1u) << invfile;
        EXPECT_EQ(prompts.Messages()[0], "Skull cannot take an imported picture: its invfile \"" +
                                             invfile + "\" is not a plain file name.");
        EXPECT_FALSE(std::filesystem::exists(work.File("overrides")));
    }
}

TEST_F(ItemPictureTest, PicturesThatCannotBeShownOrCopiedLeaveTheFrameEmptyAndAreTold) {
    Write("overrides/invcap.pcx", MakePcx(56, 84, 2));
    Write("images/invhlm.jpg", "not a picture");
    auto dlg = Open();
    dlg->show();
    Select(*dlg, "Cap");
    const QRgb background = Shown(*dlg->PictureFrame()).pixel(100, 130);
    // The frame is repainted at once, so the last item's picture does not stay on screen.
    PaintCounter paints;
    dlg->PictureFrame()->installEventFilter(&paints);
    QApplication::processEvents();
    paints.count = 0;
    Select(*dlg, "Helm");
    QApplication::processEvents();
    EXPECT_GE(paints.count, 1);
    EXPECT_TRUE(dlg->PictureFrame()->Picture().IsEmpty());
    EXPECT_EQ(Shown(*dlg->PictureFrame()).pixel(0, 0), background);

    // A folder in the picture's place makes the copy fail.
    std::filesystem::create_directories(work.File("overrides/invhlm.pcx"));
    WriteTextFile(chosen.File("helm.pcx"), MakePcx(56, 56, 4));
    prompts.AnswerOpenFile(chosen.File("helm.pcx"));
    PressGraphic(*dlg);
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0],
              "The picture could not be copied to " + work.File("overrides/invhlm.pcx") + ".");
    EXPECT_TRUE(dlg->PictureFrame()->Picture().IsEmpty());
}

// A huge picture is decoded only as far as the frame shows it, and drawn inside the frame.
TEST_F(ItemPictureTest, AHugePictureIsDecodedAndDrawnOnlyWithinTheFrame) {
    Write("overrides/invcap.pcx", MakePcx(700, 500, 6));
    auto dlg = Open();
    dlg->show();
    Select(*dlg, "Cap");
    CItemPictureFrame& frame = *dlg->PictureFrame();
    EXPECT_EQ(frame.Picture().Image().size(),
              QSize(CItemPictureFrame::kWidth, CItemPictureFrame::kHeight));
    ExpectShowsPicture(frame, CItemPictureFrame::kWidth, CItemPictureFrame::kHeight, 6, PcxColour);
    // The frame's border is not painted over.
    const QImage whole = frame.grab().toImage();
    EXPECT_NE(whole.pixel(0, 0), PcxColour(IndexAt(0, 0, 6)));
}

TEST_F(ItemPictureTest, TheWeaponEditorImportsAndShowsPicturesToo) {
    CTxtTable weapons;
    LoadRows(weapons, {{"name", "code", "invfile", "invwidth", "invheight"},
                       {"Axe", "axe", "invaxe", "2", "3"}});
    auto dlg = std::make_unique<CWeaponDlg>(prompts);
    dlg->m_pWeaponTable = &weapons;
    dlg->m_pFuncs = &funcs;
    dlg->PictureFrame()->m_strWorkingFolder = work.Path();
    ASSERT_TRUE(dlg->OnInitDialog());
    dlg->show();
    WriteTextFile(chosen.File("axe.pcx"), MakePcx(60, 90, 8));
    prompts.AnswerOpenFile(chosen.File("axe.pcx"));
    PressGraphic(*dlg);
    ExpectShowsPicture(*dlg->PictureFrame(), 60, 90, 8, PcxColour);
    EXPECT_EQ(ReadTextFile(work.File("overrides/invaxe.pcx")), MakePcx(60, 90, 8));
}

} // namespace
