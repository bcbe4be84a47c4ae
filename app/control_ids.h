#pragma once

#include <QString>

namespace orvo {

// Control ids of the main window and its about box. Each widget's
// objectName is its id in decimal (ControlName), so tests and other parts
// find a control with findChild<QWidget*>(ControlName(kIdcPlay)).
inline constexpr int kIdcAboutOk = 1;
inline constexpr int kIdcMaxWindow = 4;  // "[ ]": work-area mode
inline constexpr int kIdcOpen = 1001;
inline constexpr int kIdcVideo = 1002;
inline constexpr int kIdcGSensor = 1003;
inline constexpr int kIdcMapView = 1004;
inline constexpr int kIdcSave = 1005;
inline constexpr int kIdcSnap = 1006;
inline constexpr int kIdcVideoFrame = 1007;
inline constexpr int kIdcPositionSlider = 1008;
inline constexpr int kIdcInfo = 1009;
inline constexpr int kIdcGpsIndicator = 1010;
inline constexpr int kIdcDel = 1013;
inline constexpr int kIdcConf = 1014;
inline constexpr int kIdcPlay = 1015;
inline constexpr int kIdcStop = 1016;
inline constexpr int kIdcFast = 1017;
inline constexpr int kIdcSlow = 1018;
inline constexpr int kIdcVolumeSlider = 1019;
inline constexpr int kIdcPrev = 1020;
inline constexpr int kIdcLoop = 1021;
inline constexpr int kIdcFlip = 1022;
inline constexpr int kIdcKml = 1023;
inline constexpr int kIdcMap = 1024;
inline constexpr int kIdcGsr = 1025;
inline constexpr int kIdcLock = 1026;
inline constexpr int kIdcFileList = 1027;
inline constexpr int kIdcGroupList = 1028;
inline constexpr int kIdcNext = 1029;
inline constexpr int kIdcFull = 1030;
inline constexpr int kIdcMinimise = 1044;
inline constexpr int kIdcClose = 1045;
inline constexpr int kIdcVolume = 1046;
inline constexpr int kIdcLogo = 1050;
inline constexpr int kIdcAboutVersion = 1051;
inline constexpr int kIdcSmall = 1052;
inline constexpr int kIdcCompass = 1055;
inline constexpr int kIdcSpeedLabel = 1056;
inline constexpr int kIdcMedium = 1059;
inline constexpr int kIdcRestoreWindow = 1060;  // "L"
inline constexpr int kIdcStatusBoard = 1061;
inline constexpr int kIdcBanner = 1064;
inline constexpr int kIdcVolumeEdit = 1066;
inline constexpr int kIdcNote = 1069;
inline constexpr int kIdcAbout = 57670;  // "?"

inline QString ControlName(int id) {
    return QString::number(id);
}

}  // namespace orvo
