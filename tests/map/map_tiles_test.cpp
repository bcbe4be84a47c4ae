// Tiles of the map page with the real browser and page: from an MBTiles file
// written here, and from a tile server of the test's own on the loopback
// address, whose tiles must show again from the disk cache once it is gone.
// Colours are read from the screen.
#include <fstream>
#include <memory>
#include <vector>

#include <QBuffer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPixmap>
#include <QScreen>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include "app/qor_settings.h"
#include "gps/html_map_dlg.h"
#include "gps/map_browser.h"
#include "gps/mbtiles_reader.h"
#include "gps/mbtiles_scheme_handler.h"
#include "platform/private_profile.h"
#include "tests/map/page_state.h"
#include "tests/support/mbtiles_writer.h"
#include "tests/support/temp_dir.h"

namespace orvo {
namespace {

using testing::Evaluate;
using testing::PageState;

constexpr int kWaitMs = testing::kPageWaitMs;
// The page starts at zoom 15; the track's tile lies a few tiles away from
// the page's start, so the map has to follow the vehicle to show it.
constexpr int kZoom = 15;
constexpr int kX = 29110;
constexpr int kY = 12898;

const QColor kTrackTile(200, 40, 40);
const QColor kNorthTile(40, 160, 60);
const QColor kSouthTile(40, 60, 200);
const QColor kOtherTile(180, 170, 60);
const QColor kParentTile(240, 140, 0);
const QColor kOutsideTile(220, 0, 220);
const QColor kServerTile(0, 150, 150);
const QColor kBackground(0xe9, 0xe6, 0xdf);

std::vector<uint8_t> Png(const QColor& colour) {
    QImage image(256, 256, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// A point inside tile (x, y) of zoom kZoom, fx and fy its share across.
struct Place {
    double lat;
    double lng;
};
Place InTile(double x, double y) {
    return {TileYToLatitude(y, kZoom), TileXToLongitude(x, kZoom)};
}

bool Near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) <= 4 && std::abs(a.green() - b.green()) <= 4 &&
           std::abs(a.blue() - b.blue()) <= 4;
}

std::string Name(const QColor& c) {
    return c.name().toStdString();
}

// Serves one colour for every tile address, with a day's freshness, and
// notes what the browser said of itself.
class TileServer {
public:
    bool Start() {
        QObject::connect(&server_, &QTcpServer::newConnection, [this] { Accept(); });
        return server_.listen(QHostAddress::LocalHost);
    }
    void Stop() { server_.close(); }
    quint16 port() const { return server_.serverPort(); }
    int requests = 0;
    QByteArray user_agent;

private:
    void Accept() {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                buffer->append(socket->readAll());
                if (!buffer->contains("\r\n\r\n")) return;
                Answer(socket, *buffer);
                buffer->clear();
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }
    void Answer(QTcpSocket* socket, const QByteArray& request) {
        ++requests;
        for (const QByteArray& line : request.split('\n')) {
            if (line.toLower().startsWith("user-agent:")) user_agent = line.mid(11).trimmed();
        }
        static const std::vector<uint8_t> png = Png(kServerTile);
        QByteArray reply =
            "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nCache-Control: max-age=86400\r\n"
            "Connection: close\r\nContent-Length: " +
            QByteArray::number(static_cast<qsizetype>(png.size())) + "\r\n\r\n";
        reply.append(reinterpret_cast<const char*>(png.data()), static_cast<qsizetype>(png.size()));
        socket->write(reply);
        socket->disconnectFromHost();
    }
    QTcpServer server_;
};

class MapTilesTest : public ::testing::Test {
protected:
    void SetUp() override { OpenViewer(); }

    void TearDown() override {
        CloseViewer();
        // The next test starts from the default tiles.
        PrivateProfile profile(CQorSettings::Instance().path());
        profile.WriteString("UI", "MAP_TILES", "");
        profile.WriteString("UI", "MAP_TILE_URL", "");
        profile.WriteString("UI", "MAP_ATTRIBUTION", "");
    }

    void OpenViewer() {
        window_ = std::make_unique<QWidget>();
        window_->resize(1000, 600);
        map_ = new CHtmlMapDlg(window_.get());
        map_->setGeometry(0, 0, 1000, 600);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    void CloseViewer() {
        window_.reset();
        map_ = nullptr;
    }

    void LoadAndWait() {
        QSignalSpy loaded(map_, &CHtmlMapDlg::PageLoaded);
        map_->LoadPage();
        ASSERT_TRUE(loaded.wait(kWaitMs));
        ASSERT_TRUE(loaded.takeFirst().at(0).toBool());
        blank_ = GrabMap();
    }

    QImage GrabMap() {
        const QRect area(testing::WebView(*map_)->mapToGlobal(QPoint(0, 0)),
                         testing::WebView(*map_)->size());
        return window_->screen()
            ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
            .toImage();
    }

    // Runs the script, then waits until the tile layer has loaded and
    // painted what the view now shows.
    void RunAndWaitForTiles(const std::string& script) {
        map_->RunScript(script);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const QJsonObject state = PageState(*map_);
                return !state.value("tilesLoading").toBool() &&
                       state.value("tilesPainted").toInt() == state.value("tileLoads").toInt() &&
                       state.value("tileLoads").toInt() > 0;
            },
            kWaitMs));
        // The screen follows the page's paint later, much later on a busy
        // machine: wait until two grabs of the map, some time apart, agree
        // and differ from the blank map the page showed before.
        QImage last;
        const bool in_time = QTest::qWaitFor(
            [&] {
                QTest::qWait(200);
                const QImage now = GrabMap();
                const bool settled = !last.isNull() && now == last && now != blank_;
                last = now;
                return settled;
            },
            kWaitMs);
        // Late or not, the colour checks that follow say what the screen shows.
        static_cast<void>(in_time);
        blank_ = last;
    }

    QColor ColourAt(const Place& place) {
        const QString script = QStringLiteral(
                                   "(function(){var p = map.latLngToContainerPoint([%1, %2]);"
                                   "return JSON.stringify([p.x, p.y]);})()")
                                   .arg(place.lat, 0, 'f', 9)
                                   .arg(place.lng, 0, 'f', 9);
        const QJsonArray xy =
            QJsonDocument::fromJson(Evaluate(testing::WebPage(*map_), script).toString().toUtf8())
                .array();
        const QPoint local(qRound(xy[0].toDouble()), qRound(xy[1].toDouble()));
        EXPECT_TRUE(testing::WebView(*map_)->rect().contains(local))
            << local.x() << "," << local.y();
        const QPoint global = testing::WebView(*map_)->mapToGlobal(local);
        const QImage pixel =
            window_->screen()->grabWindow(0, global.x(), global.y(), 1, 1).toImage();
        return pixel.pixelColor(0, 0);
    }

    std::string MovPos(const Place& p) {
        return "movpos(" + std::to_string(p.lat) + ", " + std::to_string(p.lng) + ")";
    }

    test_support::TempFolder folder_;
    QImage blank_;  // the map area before the latest tile change
    std::unique_ptr<QWidget> window_;
    CHtmlMapDlg* map_ = nullptr;
};

// The region of the file: the 3 x 3 tiles around the track's at zoom 15,
// their parent at zoom 14, and one tile east of the bounds that must never
// be shown.
std::filesystem::path WriteRegionFile(const std::filesystem::path& path) {
    test_support::MbtilesWriter w(path);
    w.SetMetadata("name", "Test region");
    w.SetMetadata("format", "png");
    w.SetMetadata("attribution", "<a href='https://x.invalid'>Test survey</a>");
    w.SetMetadata("minzoom", "14");
    w.SetMetadata("maxzoom", "15");
    constexpr double kInset = 1e-6;
    const std::string bounds = std::to_string(TileXToLongitude(kX - 1, kZoom) + kInset) + "," +
                               std::to_string(TileYToLatitude(kY + 2, kZoom) + kInset) + "," +
                               std::to_string(TileXToLongitude(kX + 2, kZoom) - kInset) + "," +
                               std::to_string(TileYToLatitude(kY - 1, kZoom) - kInset);
    w.SetMetadata("bounds", bounds);
    for (int x = kX - 1; x <= kX + 1; ++x) {
        for (int y = kY - 1; y <= kY + 1; ++y) {
            QColor c = kOtherTile;
            if (x == kX && y == kY) c = kTrackTile;
            if (x == kX && y == kY - 1) c = kNorthTile;
            if (x == kX && y == kY + 1) c = kSouthTile;
            w.AddTile(kZoom, x, y, Png(c));
        }
    }
    w.AddTile(kZoom, kX + 2, kY, Png(kOutsideTile));
    for (int x = (kX - 1) / 2; x <= (kX + 1) / 2; ++x) {
        for (int y = (kY - 1) / 2; y <= (kY + 1) / 2; ++y)
            w.AddTile(kZoom - 1, x, y, Png(kParentTile));
    }
    w.Finish();
    EXPECT_TRUE(w.ok());
    return path;
}

TEST_F(MapTilesTest, FileTilesShowUnderTheTrackAndNothingBeyondTheBounds) {
    const auto file = WriteRegionFile(folder_.path() / "region.mbtiles");
    ASSERT_TRUE(CQorSettings::Instance().WriteMapTiles(file.string()));
    LoadAndWait();
    ASSERT_EQ(map_->tile_source().kind, MapTileSource::Kind::kFile);
    EXPECT_EQ(PageState(*map_).value("tileKind").toString(), "file");

    // A track along the middle row of the track's tile, the vehicle on it.
    for (double fx = 0.1; fx < 0.95; fx += 0.1) {
        const Place p = InTile(kX + fx, kY + 0.5);
        map_->RunScript("path_plot(" + std::to_string(p.lat) + "," + std::to_string(p.lng) + ")");
    }
    RunAndWaitForTiles(MovPos(InTile(kX + 0.5, kY + 0.5)));
    EXPECT_EQ(PageState(*map_).value("zoom").toInt(), kZoom);

    // Beside the line and the marker, the tile's own colour; the rows are
    // in the file's order (north above).
    EXPECT_EQ(Name(ColourAt(InTile(kX + 0.2, kY + 0.3))), Name(kTrackTile));
    EXPECT_EQ(Name(ColourAt(InTile(kX + 0.2, kY - 0.2))), Name(kNorthTile));
    EXPECT_EQ(Name(ColourAt(InTile(kX + 0.2, kY + 1.2))), Name(kSouthTile));
    EXPECT_EQ(Name(ColourAt(InTile(kX - 0.6, kY + 0.3))), Name(kOtherTile));
    // East of the bounds the file has a tile, but the page does not ask.
    const QColor beyond = ColourAt(InTile(kX + 2.4, kY + 0.35));
    EXPECT_TRUE(Near(beyond, kBackground)) << Name(beyond);
    EXPECT_GT(MapTileHandler()->TilesServed(), 0);
    const QString attribution = Evaluate(testing::WebPage(*map_),
                                         "document.querySelector('.leaflet-control-attribution')"
                                         ".innerHTML")
                                    .toString();
    EXPECT_TRUE(attribution.contains("Test survey")) << attribution.toStdString();
    EXPECT_FALSE(attribution.contains("x.invalid")) << attribution.toStdString();

    // Past the file's deepest level its tiles are scaled up; at its first
    // level the parent tile shows.
    RunAndWaitForTiles("map.setZoom(17)");
    EXPECT_EQ(Name(ColourAt(InTile(kX + 0.4, kY + 0.4))), Name(kTrackTile));
    RunAndWaitForTiles("map.setZoom(14)");
    EXPECT_EQ(Name(ColourAt(InTile(kX + 0.2, kY + 0.3))), Name(kParentTile));
}

TEST_F(MapTilesTest, AFileThatIsGoneOrNoTileSetMeansOnlineTiles) {
    const std::filesystem::path broken = folder_.path() / "broken.mbtiles";
    { std::ofstream(broken) << "not a database"; }
    for (const std::filesystem::path& file : {broken, folder_.path() / "gone.mbtiles"}) {
        ASSERT_TRUE(CQorSettings::Instance().WriteMapTiles(file.string()));
        LoadAndWait();
        EXPECT_EQ(map_->tile_source().kind, MapTileSource::Kind::kOnline) << file;
        EXPECT_EQ(map_->tile_source().url, kDefaultMapTileUrl);
        EXPECT_EQ(PageState(*map_).value("tileKind").toString(), "online");
        EXPECT_FALSE(MapTileHandler()->IsOpen());
    }
}

TEST_F(MapTilesTest, WithoutTilesAGridAndAScaleBarRemain) {
    // A port nobody listens on: every tile fails.
    TileServer closed;
    ASSERT_TRUE(closed.Start());
    const quint16 port = closed.port();
    closed.Stop();
    PrivateProfile(CQorSettings::Instance().path())
        .WriteString("UI", "MAP_TILE_URL",
                     "http://127.0.0.1:" + std::to_string(port) + "/{z}/{x}/{y}.png");
    LoadAndWait();
    RunAndWaitForTiles(MovPos(InTile(kX + 0.5, kY + 0.5)));
    EXPECT_GT(PageState(*map_).value("tileErrors").toInt(), 0);

    const QColor open_ground = ColourAt(InTile(kX + 0.4, kY + 0.35));
    EXPECT_TRUE(Near(open_ground, kBackground)) << Name(open_ground);
    // Along a tile edge the grid line is darker than the ground.
    bool line_seen = false;
    for (double dx : {-0.003, 0.0, 0.003}) {
        const QColor c = ColourAt(InTile(kX + 1 + dx, kY + 0.35));
        line_seen = line_seen || (c.lightness() < kBackground.lightness() - 8);
    }
    EXPECT_TRUE(line_seen);
    const QString scale =
        Evaluate(testing::WebPage(*map_),
                 "document.querySelector('.leaflet-control-scale-line').textContent")
            .toString();
    EXPECT_TRUE(scale.endsWith(" m") || scale.endsWith(" km")) << scale.toStdString();
}

TEST_F(MapTilesTest, OnlineTilesShowAgainFromTheCacheWhenTheServerIsGone) {
    TileServer server;
    ASSERT_TRUE(server.Start());
    PrivateProfile settings(CQorSettings::Instance().path());
    settings.WriteString("UI", "MAP_TILE_URL",
                         "http://127.0.0.1:" + std::to_string(server.port()) + "/{z}/{x}/{y}.png");
    settings.WriteString("UI", "MAP_ATTRIBUTION", "Loopback <b>tiles</b>");
    LoadAndWait();
    ASSERT_EQ(map_->tile_source().kind, MapTileSource::Kind::kOnline);
    const Place where = InTile(kX + 0.5, kY + 0.5);
    RunAndWaitForTiles(MovPos(where));
    EXPECT_EQ(Name(ColourAt(InTile(kX + 0.2, kY + 0.3))), Name(kServerTile));
    EXPECT_GT(server.requests, 0);
    EXPECT_EQ(server.user_agent, MapUserAgent().toUtf8());
    EXPECT_TRUE(server.user_agent.startsWith("OrvoPlayer/1.")) << server.user_agent.toStdString();

    // The server goes, the viewer is closed and opened again.
    server.Stop();
    CloseViewer();
    QTest::qWait(300);
    OpenViewer();
    LoadAndWait();
    RunAndWaitForTiles(MovPos(where));
    EXPECT_EQ(Name(ColourAt(InTile(kX + 0.2, kY + 0.3))), Name(kServerTile));
    EXPECT_EQ(PageState(*map_).value("tileErrors").toInt(), 0);
}

}  // namespace
}  // namespace orvo
