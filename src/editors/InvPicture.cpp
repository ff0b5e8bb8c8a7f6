#include "editors/InvPicture.h"

#include "graphics/PcxDrawer.h"
#include "platform/FileSystem.h"

#include <QPainter>

namespace {

// Pictures for the frame are small; a bigger file is not read at all.
constexpr std::uint64_t kMaxPictureFile = 64 * 1024 * 1024;

} // namespace

bool CInvPicture::Load(const std::string& path) {
    Free();
    std::string bytes;
    if (!IsRegularFile(path) || !ReadWholeFile(path, bytes, kMaxPictureFile) || bytes.empty())
        return false;
    return LoadFromBuffer(bytes.data(), bytes.size());
}

bool CInvPicture::LoadFromBuffer(const char* bytes, size_t count) {
    Free();
    if (bytes == nullptr || count == 0)
        return false;
    return m_image.loadFromData(reinterpret_cast<const uchar*>(bytes),
                                static_cast<int>(std::min<size_t>(count, INT32_MAX)));
}

void CInvPicture::SetPicture(const CRgbPicture& picture) {
    Free();
    if (picture.width <= 0 || picture.height <= 0)
        return;
    m_image = QImage(picture.width, picture.height, QImage::Format_ARGB32);
    for (int32_t y = 0; y < picture.height; ++y)
        std::copy_n(picture.pixels.data() + static_cast<size_t>(y) * picture.width, picture.width,
                    reinterpret_cast<uint32_t*>(m_image.scanLine(y)));
}

void CInvPicture::Free() {
    m_image = QImage();
}

bool CInvPicture::Draw(QPainter& painter) const {
    return DrawAt(painter, 0, 0, m_image.width(), m_image.height());
}

bool CInvPicture::DrawAt(QPainter& painter, int x, int y, int width, int height) const {
    if (IsEmpty())
        return false;
    painter.drawImage(QRect(x, y, width, height), m_image);
    return true;
}
