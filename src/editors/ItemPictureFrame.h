#pragma once

#include "data/ArchiveReadStore.h"
#include "data/ArchiveReaderCache.h"
#include "editors/InvPicture.h"

#include <QFrame>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

class CModFuncs;
class CUserPrompts;
class QPushButton;

// The picture frame of the armour and weapon editors: shows the selected item's inventory
// picture and imports a new one. The picture is chosen in this order: a PCX the user imported
// into the overrides folder, a JPEG in the images folder, the game's own DC6 from the archives.
// Each is decoded once when chosen; painting only draws, clipped to the frame. The archives stay
// open while the dialog runs, and pictures imported while it runs are taken back when it is
// cancelled.
class CItemPictureFrame : public QFrame {
    Q_OBJECT
public:
    enum class Source { None, Overrides, Images, Game };

    // The frame's inside: big enough for the largest item (2 x 4 cells of 28 pixels).
    static constexpr int kWidth = 112;
    static constexpr int kHeight = 140;

    explicit CItemPictureFrame(QWidget* parent = nullptr);

    // Lays out an item editor's fields: `grid` on the left, a new frame with "Graphic..." below
    // it on the right, all inside `fields`. Pressing "Graphic..." runs `onGraphic`. The frame
    // follows the end of the dialog holding `fields` (see DialogFinished).
    static CItemPictureFrame* PlaceBeside(QWidget* fields, QLayout* grid,
                                          const std::function<void()>& onGraphic);

    // The folder that holds "overrides" and "images"; set by the opener.
    std::string m_strWorkingFolder;
    // Archives searched in order for the game's own picture: the opened one, then the game's.
    std::vector<std::string> m_gameArchives;

    // The game's archives in `gameFolder` whose pictures an item shows when nothing else has
    // one, in the game's order of precedence, after `openedArchive` (any may be "").
    static std::vector<std::string> GameArchives(const std::string& openedArchive,
                                                 const std::string& gameFolder);

    // Said in the frame and on "Graphic..." for Resurrected's tables.
    static constexpr const char* kNotDc6Text =
        "Diablo II: Resurrected's item pictures are not DC6: none is shown.";
    static constexpr const char* kNoImportTip =
        "Diablo II: Resurrected does not use DC6 item pictures, so none is imported.";

    // Whether the items are Resurrected's: the frame then says that their pictures are not
    // DC6 instead of showing one, and "Graphic..." is off.
    void SetResurrectedItems(bool resurrected);
    bool ShowsResurrectedItems() const { return m_bResurrected; }
    QPushButton* GraphicButton() const { return m_pGraphic; }

    // Chooses and decodes the picture of an item; an empty frame when none can be shown.
    void ShowItemPicture(const std::string& invfile);
    // "Graphic...": lets the user choose a PCX for the item, checks its size against the item's
    // cells and copies it into the overrides folder, where the next save puts it into the
    // archive. Every refusal and failure is told; the frame then shows what is really there.
    // The overrides file it replaces is kept until the dialog ends.
    void ImportItemPicture(CUserPrompts& prompts, const CModFuncs& funcs, const std::string& name,
                           const std::string& invfile, const std::string& invwidth,
                           const std::string& invheight);

    // The dialog ended: a cancelled one takes back the pictures imported while it ran (each
    // overrides file as it was before, or none), and the archives are closed either way.
    void DialogFinished(int result);

    Source ShownSource() const { return m_source; }
    const CInvPicture& Picture() const { return m_Picture; }
    // The full path of the PCX shown; "" when the picture comes from elsewhere.
    const std::string& PcxPath() const { return m_strPcxPath; }
    // The overrides PCX of an item ("" for a name that is not plain).
    std::string OverridesPcx(const std::string& invfile) const;
    const CArchiveReaderCache& ArchiveReader() const { return m_archiveReader; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Keeps what the overrides folder holds at `target` before the first import there; false,
    // after a message, when it cannot be kept.
    bool KeepBeforeImport(CUserPrompts& prompts, const std::string& target);

    std::string m_strPcxPath;
    CInvPicture m_Picture;
    Source m_source = Source::None;
    // The game's archives as stores, remade for each picture from m_gameArchives.
    std::vector<const CModStore*> GameStores();

    CArchiveReaderCache m_archiveReader;
    std::vector<CArchiveReadStore> m_stores;
    // Each overrides PCX imported while the dialog runs, with its bytes before the first import
    // (nothing when there was no file).
    std::map<std::string, std::optional<std::string>> m_beforeImports;
    CUserPrompts* m_pImportPrompts = nullptr;
    QPushButton* m_pGraphic = nullptr;
    bool m_bResurrected = false;
};
