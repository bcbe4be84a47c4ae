#pragma once

// Writes small MBTiles files for tests and benchmarks. No Qt.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct sqlite3;

namespace orvo::test_support {

class MbtilesWriter {
public:
    // Starts a new file (an existing one is replaced) with the two tables.
    explicit MbtilesWriter(const std::filesystem::path& path);
    ~MbtilesWriter();
    MbtilesWriter(const MbtilesWriter&) = delete;
    MbtilesWriter& operator=(const MbtilesWriter&) = delete;

    void SetMetadata(const std::string& name, const std::string& value);
    // y counted from the north, as web maps address tiles; stored in TMS order.
    void AddTile(int z, int x, int y, const std::vector<uint8_t>& data);
    void AddTileTmsRow(int z, int x, int tms_row, const std::vector<uint8_t>& data);
    // Commits and closes; the destructor does it too.
    void Finish();
    bool ok() const { return ok_; }

private:
    void Exec(const std::string& sql);

    sqlite3* db_ = nullptr;
    bool ok_ = true;
};

}  // namespace orvo::test_support
