#pragma once

#include <filesystem>

#include <QWebEngineUrlSchemeHandler>

#include "gps/mbtiles_reader.h"

namespace orvo {

// Serves the tiles of one MBTiles file to the map page under the program's
// own scheme ("orvo-tiles:/<generation>/<z>/<x>/<y>", rows counted from the
// north as the page asks for them). A request for another generation than
// the open file's, a malformed address or an absent tile fails as not
// found, and the page shows its background there. Runs on the UI thread.
class CMbtilesSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT

public:
    explicit CMbtilesSchemeHandler(QObject* parent = nullptr);

    // Opens the file in place of the current one; a new generation on
    // success, nothing open on failure.
    MbtilesStatus OpenFile(const std::filesystem::path& path);
    void CloseFile();
    bool IsOpen() const { return reader_.IsOpen(); }
    const MbtilesInfo& info() const { return reader_.info(); }
    int generation() const { return generation_; }
    // Tiles handed out so far (for tests and benchmarks).
    int TilesServed() const { return tiles_served_; }

    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    CMbtilesReader reader_;
    int generation_ = 0;
    int tiles_served_ = 0;
};

}  // namespace orvo
