#include "editors/ItemPictureFrame.h"

#include "editors/ModFuncs.h"
#include "graphics/GamePicture.h"
#include "graphics/PcxDrawer.h"
#include "platform/FileSystem.h"
#include "platform/UserPrompts.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

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

std::string CItemPictureFrame::OverridesPcx(const std::string& invfile) const {
    if (!IsPlainPictureName(invfile))
        return {};
    return m_strWorkingFolder + "\\overrides\\" + invfile + ".pcx";
}

void CItemPictureFrame::ShowItemPicture(const std::string& invfile) {
    m_strPcxPath.clear();
    m_Picture.Free();
    m_source = Source::None;
    // A name that is a path would read outside the picture folders: no picture then.
    if (IsPlainPictureName(invfile)) {
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
        } else if (ReadGameItemPicture(m_gameArchives, invfile, kWidth, kHeight, decoded)) {
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
    if (!CopyFileTo(*chosen, target, false))
        prompts.ShowMessage("The picture could not be copied to " + NativePath(target) + ".");
    ShowItemPicture(invfile);
}

void CItemPictureFrame::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    // Never beyond the frame's inside, whatever the picture's size.
    const QRect inside = contentsRect();
    painter.setClipRect(inside);
    painter.translate(inside.topLeft());
    m_Picture.Draw(painter);
}

CItemPictureFrame* CItemPictureFrame::PlaceBeside(QWidget* fields, QLayout* grid,
                                                  const std::function<void()>& onGraphic) {
    auto* column = new QVBoxLayout;
    column->addLayout(grid);
    column->addStretch();
    auto* frame = new CItemPictureFrame(fields);
    auto* graphic = new QPushButton("Graphic...", fields);
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
