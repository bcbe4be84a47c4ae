#include "controls/gdi_plus_bitmap.h"

#include <cstring>

#include <QFile>

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
    QImage decoded;
    if (!decoded.loadFromData(bytes)) return false;
    image_ = decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return !image_.isNull();
}

}  // namespace orvo
