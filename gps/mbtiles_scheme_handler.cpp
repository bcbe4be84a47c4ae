#include "gps/mbtiles_scheme_handler.h"

#include <vector>

#include <QBuffer>
#include <QStringList>
#include <QWebEngineUrlRequestJob>

namespace orvo {

namespace {

struct TileAddress {
    int generation = 0;
    int z = 0;
    int x = 0;
    int y = 0;
};

// "/<generation>/<z>/<x>/<y>", each a plain decimal number; a file
// extension after y is allowed, since address templates often carry one.
bool ParseTileAddress(const QString& path, TileAddress* address) {
    const QStringList parts = path.split(QLatin1Char('/'));
    if (parts.size() != 5 || !parts[0].isEmpty()) return false;
    QString last = parts[4];
    const qsizetype dot = last.indexOf(QLatin1Char('.'));
    if (dot >= 0) last.truncate(dot);
    int* fields[] = {&address->generation, &address->z, &address->x, &address->y};
    const QString texts[] = {parts[1], parts[2], parts[3], last};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        // toInt takes a sign and surrounding blanks; an address has neither.
        if (texts[i].isEmpty() || !texts[i].front().isDigit()) return false;
        *fields[i] = texts[i].toInt(&ok);
        if (!ok) return false;
    }
    return true;
}

QByteArray ContentType(const std::vector<uint8_t>& data, const std::string& format) {
    const std::string sniffed = TileContentType(data);
    if (!sniffed.empty()) return QByteArray::fromStdString(sniffed);
    if (format == "jpg" || format == "jpeg") return "image/jpeg";
    if (format == "webp") return "image/webp";
    return "image/png";
}

}  // namespace

CMbtilesSchemeHandler::CMbtilesSchemeHandler(QObject* parent)
    : QWebEngineUrlSchemeHandler(parent) {}

MbtilesStatus CMbtilesSchemeHandler::OpenFile(const std::filesystem::path& path) {
    const MbtilesStatus status = reader_.Open(path);
    if (status == MbtilesStatus::kOk) ++generation_;
    return status;
}

void CMbtilesSchemeHandler::CloseFile() {
    reader_.Close();
}

void CMbtilesSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
    TileAddress address;
    std::vector<uint8_t> data;
    if (job->requestMethod() != "GET" || !reader_.IsOpen() ||
        !ParseTileAddress(job->requestUrl().path(), &address) ||
        address.generation != generation_ ||
        !reader_.ReadTile(address.z, address.x, address.y, &data)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    // The job owns the buffer and reads it after this call has returned.
    auto* buffer = new QBuffer(job);
    buffer->setData(reinterpret_cast<const char*>(data.data()),
                    static_cast<qsizetype>(data.size()));
    job->reply(ContentType(data, reader_.info().format), buffer);
    ++tiles_served_;
}

}  // namespace orvo
