#pragma once

#include <QImage>
#include <QString>

namespace orvo {

struct ColorMatrix;

// Owns one decoded image; null when nothing is loaded.
class CGdiPlusBitmap {
public:
    CGdiPlusBitmap() = default;
    virtual ~CGdiPlusBitmap() = default;
    CGdiPlusBitmap(const CGdiPlusBitmap&) = delete;
    CGdiPlusBitmap& operator=(const CGdiPlusBitmap&) = delete;

    bool IsNull() const { return image_.isNull(); }
    const QImage& image() const { return image_; }
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }

protected:
    QImage image_;
};

// An image loaded by numeric id from the program's own resources: type "PNG"
// is ":/png/<id>", type "BITMAP" is ":/bmp/<id>".
class CGdiPlusBitmapResource : public CGdiPlusBitmap {
public:
    CGdiPlusBitmapResource() = default;

    // Replaces any image held. False (and empty) when the resource is
    // missing, empty or cannot be decoded.
    bool Load(int id, const char* type = "PNG");

    static QString ResourcePath(int id, const char* type = "PNG");
};

// "PNG" or "BMP" when the bytes start as those files do, else null. Naming
// the format keeps the toolkit from loading every image plug-in to ask
// which of them reads the data.
const char* KnownImageFormat(const QByteArray& bytes);

// The bytes decoded (null when they are no image), through the built-in
// reader when KnownImageFormat names it.
QImage DecodeImage(const QByteArray& bytes);

// The image passed through a colour matrix (straight alpha), same size.
QImage ApplyColorMatrix(const ColorMatrix& matrix, const QImage& image);

// Makes sure the artwork compiled into the static UI library is registered.
void InitArtResources();

}  // namespace orvo
