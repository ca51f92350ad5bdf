// The control IDs by which the tests find their way through the setup's dialogs. Buttons that
// answer carry the answer's result number as their ID, so a choice page's buttons and a message
// box's buttons are named by the results the engine knows (6102 full mode, 6 Yes, ...).
#pragma once

namespace tarvium::test::ids {

inline constexpr int kHeading = 1000;
inline constexpr int kNext = 1;    // OK on the disk, processes and restart pages, Yes on the terms
inline constexpr int kCancel = 2;  // No on the terms of use
inline constexpr int kBack = 998;
inline constexpr int kSkip = 996;

inline constexpr int kModeFull = 6102;
inline constexpr int kModeStandard = 6105;
inline constexpr int kModeCustom = 6108;

inline constexpr int kDirectory = 6201;
inline constexpr int kBrowse = 6205;
inline constexpr int kUserName = 6305;
inline constexpr int kCompany = 6307;
inline constexpr int kValue = 6801;
inline constexpr int kDiskDirectory = 6601;
inline constexpr int kDiskBrowse = 6605;
inline constexpr int kFromCDLocal = 7102;
inline constexpr int kFromCDStart = 7105;
inline constexpr int kAdminFileServer = 7202;
inline constexpr int kAdminWorkstation = 7205;
inline constexpr int kSharedLocal = 6905;
inline constexpr int kSharedFromServer = 6902;
inline constexpr int kSameAddRemove = 7004;
inline constexpr int kSameRepeat = 7005;
inline constexpr int kSameNew = 7006;
inline constexpr int kSameUninstall = 7007;
inline constexpr int kTermsText = 7301;

inline constexpr int kOptionsTree = 6401;
inline constexpr int kOptionsCount = 6402;
inline constexpr int kOptionsSize = 6403;
inline constexpr int kOptionsDescription = 6405;

inline constexpr int kProcessesList = 7601;
inline constexpr int kProcessesCountdown = 7602;
inline constexpr int kProcessesMeter = 7603;
inline constexpr int kRestartText = 7701;
inline constexpr int kRestartCountdown = 7702;
inline constexpr int kRestartMeter = 7703;

inline constexpr int kBoxText = 1001;
inline constexpr int kBoxIcon = 1002;
inline constexpr int kBoxOK = 1;
inline constexpr int kBoxOKResultTwo = 2;  // the OK of the catalog's boxes answers 2
inline constexpr int kBoxYes = 6;
inline constexpr int kBoxNo = 7;

inline constexpr int kProgressCopyingLabel = 6501;
inline constexpr int kProgressSource = 6502;
inline constexpr int kProgressToLabel = 6503;
inline constexpr int kProgressDestination = 6504;
inline constexpr int kProgressBar = 6505;
inline constexpr int kProgressPercent = 6506;

}  // namespace tarvium::test::ids
