// Numbers of the string resources that code refers to. Messages are returned
// as these numbers and shown by the caller.
#pragma once

namespace tonalis::strings {

constexpr int kAppletInformation = 1;
constexpr int kProductName = 2;

constexpr int kSameAsHardware = 3000;
constexpr int kFirstWhitePreset = 3001;  // 3001-3005, then 3006 custom
constexpr int kCustomWhite = 3006;
constexpr int kFirstPhosphorPreset = 3100;  // 3100-3105, then 3106 custom
constexpr int kCustomPhosphors = 3106;
constexpr int kFirstGammaPreset = 3200;  // 3200-3201, then 3202 custom
constexpr int kCustomGamma = 3202;

constexpr int kDisplayNeeds256Colours = 3300;
constexpr int kChangeTo256Colours = 3301;
constexpr int kNoMemory = 3302;
constexpr int kFileDialogError = 3303;
constexpr int kInternalError = 3304;
constexpr int kAdministratorRequired = 3305;

constexpr int kProfileFilterName = 3400;
constexpr int kProfileFilterPattern = 3401;
constexpr int kAllFilesFilterName = 3402;
constexpr int kAllFilesFilterPattern = 3403;
constexpr int kColorFolderName = 3404;
constexpr int kOpenProfileTitle = 3405;
constexpr int kProfileExtension = 3406;
constexpr int kDefaultDescription = 3407;
constexpr int kNotRgbMonitorProfile = 3408;
constexpr int kProfileDescriptionUnreadable = 3409;
constexpr int kProfileUnreadable = 3410;
constexpr int kNotRgbDisplayProfile = 3411;
constexpr int kEnterNumberZeroToOne = 3413;
constexpr int kEnterGammaInRange = 3414;
constexpr int kProfileWriteError = 3415;
constexpr int kLoadLosesChanges = 3419;
constexpr int kNoSystemDirectory = 3422;
constexpr int kChooseVersion = 3423;
constexpr int kDefaultProfileTail = 3424;  // registry names follow: 3425-3431, 2, 3434
constexpr int kSaveChangesPrompt = 3432;
constexpr int kChromaticitySumTooLarge = 3433;
constexpr int kWhitePointOutOfRange = 3435;
constexpr int kPhosphorsOutOfRange = 3436;
constexpr int kTableRefused = 3440;
constexpr int kLeftoverTablePutBack = 3441;
constexpr int kTableFeaturesSwitchedOff = 3442;

// Loading the calibration at logon.
constexpr int kLogonChoiceFailed = 3450;
constexpr int kKeptTablesNotLoaded = 3451;
constexpr int kKeptTableRefused = 3452;
constexpr int kKeptProfileMissing = 3453;
constexpr int kKeptProfileWithoutTable = 3454;
constexpr int kKeptNoProfile = 3455;
constexpr int kKeptTableNotHeld = 3456;
constexpr int kUnusableFileName = 3460;

// The keeper: its tooltip, balloons and menu.
constexpr int kKeeperTipKeeping = 3470;
constexpr int kKeeperTipPaused = 3471;
constexpr int kKeeperTipStoodDown = 3472;
constexpr int kKeeperStoodDown = 3473;
constexpr int kKeeperRefused = 3474;
constexpr int kKeeperMenuReload = 3480;
constexpr int kKeeperMenuPause = 3481;
constexpr int kKeeperMenuResume = 3482;
constexpr int kKeeperMenuLinear = 3483;
constexpr int kKeeperMenuOpenApplet = 3484;
constexpr int kKeeperMenuQuit = 3485;
constexpr int kReplaceInstalledProfile = 3461;
constexpr int kPathTooLong = 3462;

// Fine-tuning: the channel list.
constexpr int kFineTuneGrey = 3500;
constexpr int kFineTuneRed = 3501;

}  // namespace tonalis::strings
