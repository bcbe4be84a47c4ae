#include "app/ui_strings.h"

// Texts of the capabilities beyond the original window, ids 200 and up, one
// block per capability. Each table stays sorted by id; the loader falls back
// to the Japanese table as it does for 101..199.

namespace orvo {
namespace {

constexpr UiStringEntry kEnglish[] = {
    // 200..229: ticking, file-list menu, evidence package
    {200, "Play"},
    {201, "Tick"},
    {202, "Untick"},
    {203, "Tick the whole trip"},
    {204, "Untick all"},
    {205, "Save as…"},
    {206, "Unlock"},
    {207, "Delete…"},
    {208, "Export KML"},
    {209, "Export GPX…"},
    {210, "Export evidence…"},
    {211, "Open containing folder"},
    {212, "Save GPX"},
    {213, "Save GPX file: %s OK."},
    {214, "Save GPX file: %s failed."},
    {215, "Evidence package"},
    {216, "Copying and verifying %s"},
    {217, "The evidence package was written and every copy verified:\n%s"},
    {218, "The evidence package is incomplete:\n%s"},
    {219, "The export was cancelled; the unfinished package was removed."},
    {220, "Evidence report"},
    {221, "Trip %1 of %2"},
    {222, "Track"},
    {223, "Speed (km/h)"},
    {224, "G-sensor (g)"},
    {225, "Locked"},
    {226, "Peak G %1 g at %2, %3"},
    {227, "Checksums of every file of this package are in %1; check them with: sha256sum -c %1"},
    {228, "INCOMPLETE: not in this package (copy failed): %1"},
    {229, "no position"},

    // 230..249: clip export
    {230, "Set start here"},
    {231, "Set end here"},
    {232, "Clear"},
    {233, "Export clip…"},
    {234, "Export clip"},
    {235, "Writing %s"},
    {236, "The clip was written:\n%s"},
    {237, "The clip could not be written to %s.\n"},
    {238, "The export was cancelled; nothing was written."},
    {239, "Mark the start (I) and the end (O) of the clip first."},
    {240, "The end must lie after the start."},
    {241, "The end must lie in the start's recording or in one that follows it without a gap."},
    {242, "This recording is not on the loaded card."},
    {243, "MOV video (*.MOV *.mov)"},
    {244, "A recording cannot be read."},
    {245, "The recordings' pictures differ and cannot be joined without re-encoding."},
    {246, "The file name is one of the recordings."},
    {247, "The file could not be written completely (is the disk full?); nothing was left behind."},
    {248, "There is nothing between the start and the end."},
    {249, "A file of that name exists."},

    // 250..269: keyboard, frame time, drag and drop, open dialog
    {250, "No recordings were found in %s."},

    // 270..289: incidents and trips
    {270, "Trip of %1 recordings"},
    {271, "Trip of one recording"},
    {272, "Start: %1"},
    {273, "End: %1"},
    {274, "Duration: %1"},
    {275, "Distance: %1"},
    {276, "Maximum speed: %1 km/h"},
    {277, "Average moving speed: %1 km/h"},
    {278, "No GPS position was recorded on this trip."},
    {279, "Reading the trip's GPS data…"},

    // 290..299: offline map
    {290, "Offline map"},
    {291, "Online map tiles"},
    {292, "Choose file..."},
    {293, "Use online map"},
    {294, "This file cannot be used as a map."},
    {295, "The file cannot be opened or is not a database."},
    {296, "The file holds no map tiles."},
    {297, "The file holds vector tiles; only picture tiles (PNG, JPEG, WebP) can be shown."},
    {298, "Choose a map file"},
    {299, "MBTiles map files (*.mbtiles);;All files (*)"},

    // 300..319: damaged and changing cards, skipped files
    {300, "%d files were left out:"},
    {301, "not a regular file"},
    {302, "cannot be opened"},
    {303, "empty file"},
    {304, "not a recording this viewer can read"},
    {305, "the player could not show it"},
    {306, "the player did not open it"},
    {307, "This file could not be read:"},
    {308, "%d recordings could not be copied:"},

    // 320..339: packaging, command line
};

constexpr UiStringEntry kJapanese[] = {
    // 200..229: ticking, file-list menu, evidence package
    {200, "再生"},
    {201, "チェックを付ける"},
    {202, "チェックを外す"},
    {203, "この走行をすべてチェック"},
    {204, "すべてのチェックを外す"},
    {205, "名前を付けて保存…"},
    {206, "ロック解除"},
    {207, "削除…"},
    {208, "KML をエクスポート"},
    {209, "GPX をエクスポート…"},
    {210, "証拠パッケージをエクスポート…"},
    {211, "保存先のフォルダーを開く"},
    {212, "GPX の保存"},
    {213, "GPX ファイルを保存しました: %s"},
    {214, "GPX ファイルを保存できませんでした: %s"},
    {215, "証拠パッケージ"},
    {216, "%s をコピーして検証しています"},
    {217, "証拠パッケージを書き出し、すべてのコピーを検証しました:\n%s"},
    {218, "証拠パッケージは不完全です:\n%s"},
    {219, "エクスポートを取り消しました。未完成のパッケージは削除しました。"},
    {220, "証拠レポート"},
    {221, "走行 %1 / %2"},
    {222, "走行経路"},
    {223, "速度 (km/h)"},
    {224, "G センサー (g)"},
    {225, "ロック"},
    {226, "最大 G %1 g (%2、%3)"},
    {227, "このパッケージの全ファイルのチェックサムは %1 にあります。確認方法: sha256sum -c %1"},
    {228, "不完全: コピーに失敗したためこのパッケージに含まれていません: %1"},
    {229, "位置なし"},

    // 230..249: clip export
    {230, "ここを開始点にする"},
    {231, "ここを終了点にする"},
    {232, "クリア"},
    {233, "クリップをエクスポート…"},
    {234, "クリップのエクスポート"},
    {235, "%s を書き出しています"},
    {236, "クリップを書き出しました:\n%s"},
    {237, "クリップを %s に書き出せませんでした。\n"},
    {238, "エクスポートを取り消しました。何も書き出していません。"},
    {239, "先にクリップの開始点 (I) と終了点 (O) を設定してください。"},
    {240, "終了点は開始点より後にしてください。"},
    {241, "終了点は開始点の録画か、それに途切れなく続く録画に設定してください。"},
    {242, "この録画は読み込んだカードにありません。"},
    {243, "MOV 動画 (*.MOV *.mov)"},
    {244, "録画ファイルを読み取れません。"},
    {245, "録画の映像形式が異なるため、再エンコードせずにつなげられません。"},
    {246, "ファイル名が録画ファイルのいずれかと同じです。"},
    {247,
     "ファイルを最後まで書き込めませんでした "
     "(ディスクがいっぱいではありませんか)。途中のファイルは残していません。"},
    {248, "開始点と終了点の間に何もありません。"},
    {249, "同じ名前のファイルがあります。"},

    // 250..269: keyboard, frame time, drag and drop, open dialog
    {250, "%s に録画ファイルが見つかりませんでした。"},

    // 270..289: incidents and trips
    {270, "走行 (録画 %1 件)"},
    {271, "走行 (録画 1 件)"},
    {272, "開始: %1"},
    {273, "終了: %1"},
    {274, "所要時間: %1"},
    {275, "走行距離: %1"},
    {276, "最高速度: %1 km/h"},
    {277, "平均走行速度: %1 km/h"},
    {278, "この走行には GPS の位置が記録されていません。"},
    {279, "走行の GPS データを読み込んでいます…"},

    // 290..299: offline map
    {290, "オフライン地図"},
    {291, "オンライン地図タイル"},
    {292, "ファイルを選択..."},
    {293, "オンライン地図を使う"},
    {294, "このファイルは地図として使えません。"},
    {295, "ファイルを開けないか、データベースではありません。"},
    {296, "ファイルに地図タイルがありません。"},
    {297, "ベクタータイルのファイルです。画像タイル (PNG、JPEG、WebP) のみ表示できます。"},
    {298, "地図ファイルを選択"},
    {299, "MBTiles 地図ファイル (*.mbtiles);;すべてのファイル (*)"},

    // 300..319: damaged and changing cards, skipped files
    {300, "読み込めなかったファイル: %d 件"},
    {301, "通常のファイルではありません"},
    {302, "開けません"},
    {303, "空のファイルです"},
    {304, "読み取れる録画ではありません"},
    {305, "再生できませんでした"},
    {306, "プレーヤーが開けませんでした"},
    {307, "このファイルは読み込めません:"},
    {308, "%d 件の録画をコピーできませんでした:"},

    // 320..339: packaging, command line
};

}  // namespace

std::span<const UiStringEntry> FeatureUiStringTable(int language_index) {
    switch (language_index) {
        case 0:
            return kEnglish;
        case 1:
            return kJapanese;
        default:
            return {};
    }
}

}  // namespace orvo
