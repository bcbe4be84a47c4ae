#include "tests/support/mbtiles_writer.h"

#include <sqlite3.h>

#include <system_error>

namespace orvo::test_support {

MbtilesWriter::MbtilesWriter(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) {
        ok_ = false;
        return;
    }
    Exec("CREATE TABLE metadata (name TEXT, value TEXT)");
    Exec(
        "CREATE TABLE tiles (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, "
        "tile_data BLOB)");
    Exec("CREATE UNIQUE INDEX tile_index ON tiles (zoom_level, tile_column, tile_row)");
    Exec("BEGIN");
}

MbtilesWriter::~MbtilesWriter() {
    Finish();
}

void MbtilesWriter::Exec(const std::string& sql) {
    if (db_ == nullptr || sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        ok_ = false;
    }
}

void MbtilesWriter::SetMetadata(const std::string& name, const std::string& value) {
    sqlite3_stmt* insert = nullptr;
    if (db_ == nullptr || sqlite3_prepare_v2(db_, "INSERT INTO metadata VALUES (?1, ?2)", -1,
                                             &insert, nullptr) != SQLITE_OK) {
        ok_ = false;
        return;
    }
    sqlite3_bind_text(insert, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 2, value.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(insert) != SQLITE_DONE) ok_ = false;
    sqlite3_finalize(insert);
}

void MbtilesWriter::AddTile(int z, int x, int y, const std::vector<uint8_t>& data) {
    AddTileTmsRow(z, x, (1 << z) - 1 - y, data);
}

void MbtilesWriter::AddTileTmsRow(int z, int x, int tms_row, const std::vector<uint8_t>& data) {
    sqlite3_stmt* insert = nullptr;
    if (db_ == nullptr || sqlite3_prepare_v2(db_, "INSERT INTO tiles VALUES (?1, ?2, ?3, ?4)", -1,
                                             &insert, nullptr) != SQLITE_OK) {
        ok_ = false;
        return;
    }
    sqlite3_bind_int(insert, 1, z);
    sqlite3_bind_int(insert, 2, x);
    sqlite3_bind_int(insert, 3, tms_row);
    sqlite3_bind_blob(insert, 4, data.data(), static_cast<int>(data.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(insert) != SQLITE_DONE) ok_ = false;
    sqlite3_finalize(insert);
}

void MbtilesWriter::Finish() {
    if (db_ == nullptr) return;
    Exec("COMMIT");
    if (sqlite3_close(db_) != SQLITE_OK) ok_ = false;
    db_ = nullptr;
}

}  // namespace orvo::test_support
