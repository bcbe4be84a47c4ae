#include "controls/gdi_plus_bitmap.h"

#include <cstring>

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include "controls/color_matrix.h"

// The artwork lives in a static library, whose resource initialiser the linker
// would drop unless something references it.
static void InitResourcesOnce() {
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)done;
}

namespace orvo {

void InitArtResources() {
    InitResourcesOnce();
}

QImage ApplyColorMatrix(const ColorMatrix& matrix, const QImage& image) {
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<uint32_t*>(result.scanLine(y));
        ApplyColorMatrix(matrix, line, static_cast<size_t>(result.width()));
    }
    return result;
}

const char* KnownImageFormat(const QByteArray& bytes) {
    static const char kPng[] = "\x89PNG\r\n\x1a\n";
    if (bytes.startsWith(QByteArray::fromRawData(kPng, sizeof kPng - 1))) return "PNG";
    if (bytes.startsWith("BM")) return "BMP";
    return nullptr;
}

QImage DecodeImage(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly)) return QImage();
    const char* format = KnownImageFormat(bytes);
    QImageReader reader(&buffer, format);
    // Even with the format named, the reader would first ask every plug-in.
    if (format != nullptr) reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QString CGdiPlusBitmapResource::ResourcePath(int id, const char* type) {
    const bool bitmap = type != nullptr && std::strcmp(type, "BITMAP") == 0;
    return QStringLiteral(":/%1/%2")
        .arg(bitmap ? QStringLiteral("bmp") : QStringLiteral("png"))
        .arg(id);
}

bool CGdiPlusBitmapResource::Load(int id, const char* type) {
    InitArtResources();
    image_ = QImage();
    QFile file(ResourcePath(id, type));
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty()) return false;
    const QImage decoded = DecodeImage(bytes);
    if (decoded.isNull()) return false;
    image_ = decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return !image_.isNull();
}

}  // namespace orvo
