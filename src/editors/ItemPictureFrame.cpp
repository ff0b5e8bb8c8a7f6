#include "editors/ItemPictureFrame.h"

#include "editors/ModFuncs.h"
#include "graphics/GamePicture.h"
#include "graphics/PcxDrawer.h"
#include "platform/FileSystem.h"
#include "platform/UnusablePath.h"
#include "platform/UserPrompts.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

namespace {

// An overrides picture kept for Cancel is a converter's PCX; a bigger file is no such picture.
constexpr std::uint64_t kMaxKeptPicture = 64 * 1024 * 1024;

} // namespace

CItemPictureFrame::CItemPictureFrame(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Sunken);
    setAccessibleName("Item picture");
    const int border = 2 * frameWidth();
    setFixedSize(kWidth + border, kHeight + border);
}

std::vector<std::string> CItemPictureFrame::GameArchives(const std::string& openedArchive,
                                                         const std::string& gameFolder) {
    std::vector<std::string> archives;
    if (!openedArchive.empty())
        archives.push_back(openedArchive);
    if (!gameFolder.empty())
        for (const char* name : {"Patch_D2.mpq", "d2exp.mpq", "d2data.mpq"})
            if (std::optional<std::string> path = FindFileIgnoringCase(gameFolder, name))
                archives.push_back(*path);
    return archives;
}

std::vector<const CModStore*> CItemPictureFrame::GameStores() {
    // Stores of the archives named now, all reading through the one reader that keeps them open.
    m_stores.clear();
    for (const std::string& archive : m_gameArchives)
        if (!archive.empty())
            m_stores.emplace_back(archive, m_archiveReader);
    std::vector<const CModStore*> stores;
    for (const CArchiveReadStore& store : m_stores)
        stores.push_back(&store);
    return stores;
}

std::string CItemPictureFrame::OverridesPcx(const std::string& invfile) const {
    if (!IsPlainPictureName(invfile))
        return {};
    return m_strWorkingFolder + "\\overrides\\" + invfile + ".pcx";
}

void CItemPictureFrame::SetResurrectedItems(bool resurrected) {
    m_bResurrected = resurrected;
    if (m_pGraphic) {
        m_pGraphic->setEnabled(!resurrected);
        m_pGraphic->setToolTip(resurrected ? kNoImportTip : "");
    }
    setAccessibleDescription(resurrected ? kNotDc6Text : "");
    update();
}

void CItemPictureFrame::ShowItemPicture(const std::string& invfile) {
    m_strPcxPath.clear();
    m_Picture.Free();
    m_source = Source::None;
    // A name that is a path would read outside the picture folders: no picture then.
    if (IsPlainPictureName(invfile) && !m_bResurrected) {
        const std::string pcx = OverridesPcx(invfile);
        CPcxDrawer drawer;
        drawer.m_nMaxWidth = kWidth;
        drawer.m_nMaxHeight = kHeight;
        CRgbPicture decoded;
        if (IsRegularFile(pcx)) {
            // An imported picture wins even when it cannot be drawn: it is what the save uses.
            m_strPcxPath = pcx;
            m_source = Source::Overrides;
            if (drawer.DecodeFile(pcx, decoded))
                m_Picture.SetPicture(decoded);
        } else if (m_Picture.Load(m_strWorkingFolder + "\\images\\" + invfile + ".jpg")) {
            m_source = Source::Images;
        } else if (ReadGameItemPicture(GameStores(), invfile, kWidth, kHeight, decoded)) {
            m_Picture.SetPicture(decoded);
            m_source = Source::Game;
        }
    }
    // Repainted at once, so that no earlier item's picture stays on screen.
    update();
}

void CItemPictureFrame::ImportItemPicture(CUserPrompts& prompts, const CModFuncs& funcs,
                                          const std::string& name, const std::string& invfile,
                                          const std::string& invwidth,
                                          const std::string& invheight) {
    if (!IsPlainPictureName(invfile)) {
        prompts.ShowMessage(name + " cannot take an imported picture: its invfile \"" + invfile +
                            "\" is not a plain file name.");
        return;
    }
    std::optional<std::string> chosen = prompts.ChooseFileToOpen(
        "Import pcx graphic", "PCX Graphic Files (*.pcx)|*.pcx||", "pcx", "");
    if (!chosen)
        return;
    if (const std::optional<std::string> message = UnusablePathMessage(*chosen, false)) {
        prompts.ShowMessage(*message);
        return;
    }
    const int32_t wide = LeadingInteger(invwidth);
    const int32_t high = LeadingInteger(invheight);
    if (!funcs.CheckPcxSize(wide, high, *chosen)) {
        char text[200];
        std::snprintf(text, sizeof text,
                      "The imported graphic does not match the size of the existing one. It must "
                      "be %d pixels wide, and %d pixels high",
                      static_cast<int>(static_cast<int64_t>(wide) * 28),
                      static_cast<int>(static_cast<int64_t>(high) * 28));
        prompts.ShowMessage(text);
        return;
    }
    const std::string folder = m_strWorkingFolder + "\\overrides";
    if (!IsFolder(folder))
        MakeFolder(folder);
    const std::string target = OverridesPcx(invfile);
    if (!KeepBeforeImport(prompts, target))
        return;
    if (!CopyFileTo(*chosen, target, false))
        prompts.ShowMessage("The picture could not be copied to " + NativePath(target) + ".");
    ShowItemPicture(invfile);
}

bool CItemPictureFrame::KeepBeforeImport(CUserPrompts& prompts, const std::string& target) {
    m_pImportPrompts = &prompts;
    if (m_beforeImports.count(target) != 0)
        return true; // Cancel goes back to what was there before the first import
    std::optional<std::string> before;
    if (IsRegularFile(target)) {
        before.emplace();
        if (!ReadWholeFile(target, *before, kMaxKeptPicture)) {
            prompts.ShowMessage("The picture " + NativePath(target) +
                                " could not be read, so importing over it could not be undone. "
                                "Nothing was imported.");
            return false;
        }
    } else if (FileExists(target)) {
        return true; // not a file: the copy fails and says so
    }
    m_beforeImports.emplace(target, std::move(before));
    return true;
}

void CItemPictureFrame::DialogFinished(int result) {
    if (result != QDialog::Accepted) {
        for (const auto& [target, before] : m_beforeImports) {
            const bool undone = before ? WriteFileAtomically(target, *before, true)
                                       : !FileExists(target) || RemoveRegularFile(target);
            if (!undone && m_pImportPrompts)
                m_pImportPrompts->ShowMessage("The imported picture " + NativePath(target) +
                                              " could not be taken back; the next save puts it "
                                              "into the archive.");
        }
    }
    m_beforeImports.clear();
    m_archiveReader.Close();
}

void CItemPictureFrame::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    // Never beyond the frame's inside, whatever the picture's size.
    const QRect inside = contentsRect();
    painter.setClipRect(inside);
    if (m_bResurrected) {
        painter.drawText(inside, Qt::AlignCenter | Qt::TextWordWrap, kNotDc6Text);
        return;
    }
    painter.translate(inside.topLeft());
    m_Picture.Draw(painter);
}

CItemPictureFrame* CItemPictureFrame::PlaceBeside(QWidget* fields, QLayout* grid,
                                                  const std::function<void()>& onGraphic) {
    auto* column = new QVBoxLayout;
    column->addLayout(grid);
    column->addStretch();
    auto* frame = new CItemPictureFrame(fields);
    if (auto* dialog = qobject_cast<QDialog*>(fields->window()))
        QObject::connect(dialog, &QDialog::finished, frame, &CItemPictureFrame::DialogFinished);
    auto* graphic = new QPushButton("Graphic...", fields);
    frame->m_pGraphic = graphic;
    graphic->setAutoDefault(false);
    QObject::connect(graphic, &QPushButton::clicked, fields, onGraphic);
    auto* pictureColumn = new QVBoxLayout;
    pictureColumn->addWidget(frame);
    pictureColumn->addWidget(graphic);
    pictureColumn->addStretch();
    auto* sides = new QHBoxLayout(fields);
    sides->addLayout(column);
    sides->addLayout(pictureColumn);
    return frame;
}
