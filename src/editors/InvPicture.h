#pragma once

#include <QImage>

#include <cstddef>
#include <string>

struct CRgbPicture;
class QPainter;

// One decoded item picture, drawn at its natural size. Pictures are decoded when loaded, never
// when painted.
class CInvPicture {
public:
    virtual ~CInvPicture() = default;

    // Decodes a file with Qt's image readers (JPEG, PNG, ...). False, and empty, when it cannot.
    bool Load(const std::string& path);
    bool LoadFromBuffer(const char* bytes, size_t count);
    void SetPicture(const CRgbPicture& picture);
    void Free();
    bool IsEmpty() const { return m_image.isNull(); }
    const QImage& Image() const { return m_image; }

    // At its natural size with its top left corner at (0, 0); false when empty.
    bool Draw(QPainter& painter) const;
    bool DrawAt(QPainter& painter, int x, int y, int width, int height) const;

private:
    QImage m_image;
};
