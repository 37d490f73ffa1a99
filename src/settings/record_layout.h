#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace qtk::record {

// The customer settings record: 1452 bytes (363 little-endian words) at data offset 0 of the
// common data chunk. This file is the one place that lists where each field lives; pages,
// copy operations, the setting file and the tests all use these names.
inline constexpr size_t kSize = 1452;
inline constexpr size_t kWordCount = kSize / 4;
static_assert(kWordCount * 4 == kSize);

// Byte 1: bits 0-3 configuration version, bits 4-7 builder selector.
inline constexpr size_t kConfigVersion = 1;
// Clock and pad block, mirrored with image offset 258 (data offset 130 of the first chunk).
inline constexpr size_t kClockPadBlock = 2;
inline constexpr size_t kClockPadBlockSize = 6;
inline constexpr size_t kCpuClock = 2;
inline constexpr size_t kMemClock = 3;
inline constexpr size_t kClockDelayChain = 4;
inline constexpr size_t kClockTreeDelay = 5;
inline constexpr size_t kDataPadDriver = 6;
inline constexpr size_t kCommandPadDriver = 7;
// Languages.
inline constexpr size_t kLanguageCount = 8;
inline constexpr size_t kCurrentLanguage = 9;
inline constexpr size_t kLanguageEnableMask = 10;  // u16
inline constexpr size_t kLanguageTable = 12;       // 16 bytes
inline constexpr size_t kLanguageTableSize = 16;
// Common page and AV set page bytes.
inline constexpr size_t kMaxVolume = 28;
inline constexpr size_t kDefaultVolume = 29;
inline constexpr size_t kTvModeCount = 30;
inline constexpr size_t kTvMode = 31;
inline constexpr size_t kPaletteCount = 32;
inline constexpr size_t kPaletteStyle = 33;
inline constexpr size_t kTransparenceCount = 34;
inline constexpr size_t kTransparence = 35;
inline constexpr size_t kProgramMode = 36;
inline constexpr size_t kRfMode = 37;
inline constexpr size_t kRfChannel = 38;
inline constexpr size_t kAutoScanMode = 40;
inline constexpr size_t kTpScanMode = 41;
inline constexpr size_t kContinueKey = 42;
inline constexpr size_t kSignalQualityZoom = 43;
inline constexpr size_t kSystemMode = 44;
inline constexpr size_t kPauseWindowKey = 45;
inline constexpr size_t kPreviewWindowKey = 46;
inline constexpr size_t kDViewWindowKey = 47;
inline constexpr size_t kSysPassword1 = 48;  // 6 bytes
inline constexpr size_t kSysPassword2 = 54;  // 6 bytes
inline constexpr size_t kSysPasswordSize = 6;
inline constexpr size_t kVersionText = 60;  // 24 bytes, byte 83 always 0
inline constexpr size_t kVersionTextSize = 24;
inline constexpr size_t kPowerOnText = 84;  // 8 bytes
inline constexpr size_t kStandbyText = 92;  // 8 bytes
inline constexpr size_t kPanelTextSize = 8;
inline constexpr size_t kPasswordWord0 = 100;    // u32
inline constexpr size_t kPasswordWord1 = 104;    // u32
inline constexpr size_t kNewProgramAudio = 108;  // bits 0-2 TV, 3-5 radio, bit 7 cleared
inline constexpr size_t kLogoShowDelay = 109;
inline constexpr size_t kSignalIntensityZoom = 110;
// AV set page video output table: 5 entries of 4 bytes.
inline constexpr size_t kVideoOutputTable = 124;
inline constexpr size_t kVideoOutputEntries = 5;
// Tuner page.
inline constexpr size_t kTunerFlags = 144;  // Q, I, I/Q, I/Q enable, crystal, polarity, diff
inline constexpr size_t kTunerType = 145;
inline constexpr size_t kUserCrystal = 146;  // u16
inline constexpr size_t kOfferedTunerCount = 148;
inline constexpr size_t kOfferedTunerCodes = 149;  // 15 bytes
inline constexpr size_t kOfferedTunerCodesSize = 15;
// Panel page, GPIO usage page.
inline constexpr size_t kPanelScanType = 164;
inline constexpr size_t kLedDigits = 165;       // bits 4-7
inline constexpr size_t kGpioBusType = 166;     // bits 2-7
inline constexpr size_t kGpioUsageBlock = 168;  // 24 bytes
inline constexpr size_t kGpioUsageBlockSize = 24;
inline constexpr size_t kKeyRepeatFirst = 192;       // u32
inline constexpr size_t kKeyRepeatNormal = 196;      // u32
inline constexpr size_t kCharacterTableCount = 204;  // u32
inline constexpr size_t kCharacterTable = 208;       // 2 bytes per entry
inline constexpr size_t kLedDotEnable = 336;
inline constexpr size_t kLedDotCom = 337;
inline constexpr size_t kLedDotPosition = 338;
inline constexpr size_t kLedDotPolarity = 339;
inline constexpr size_t kSignalLedEnable = 340;
inline constexpr size_t kSignalLedCom = 341;
inline constexpr size_t kSignalLedPatterns = 342;  // 9 bytes
inline constexpr size_t kSignalLedScopes = 351;    // 9 bytes
// Key map page.
inline constexpr size_t kPanelKeyMap = 364;  // 8 entries of 4 bytes
inline constexpr size_t kPanelKeyEntries = 8;
inline constexpr size_t kIrKeyMap = 396;  // 96 entries of 4 bytes
inline constexpr size_t kIrKeyEntries = 96;
inline constexpr size_t kIrUserCode = 780;  // u16
// Program set page.
inline constexpr size_t kAutoscanTpCount = 782;
inline constexpr size_t kForbiddenCount = 783;
inline constexpr size_t kAutoscanTps = 784;  // 10 entries of 4 bytes
inline constexpr size_t kAutoscanTpEntries = 10;
inline constexpr size_t kForbiddenEntries = 824;  // 15 entries of 8 bytes
inline constexpr size_t kForbiddenEntryCount = 15;
// Serial flash device list.
inline constexpr size_t kFlashDeviceCount = 944;         // u16
inline constexpr size_t kFlashDeviceIdSlots = 948;       // 60 x (flash id, bit offset)
inline constexpr size_t kFlashDeviceSectorSlots = 1068;  // 60 x sector structure number
inline constexpr size_t kFlashDeviceSlots = 60;
inline constexpr size_t kFlashDeviceAreaEnd = 1128;
inline constexpr size_t kSecondIrUserCode = 1128;  // u16
// Extended tuner parameters (configuration version 2 and later).
inline constexpr size_t kTunerParameters = 1160;  // 15 entries of 16 bytes
inline constexpr size_t kTunerParameterEntries = 15;
inline constexpr size_t kTunerParameterSize = 16;
inline constexpr size_t kExtTunerIndex = 1400;
inline constexpr size_t kExtTunerCodes = 1401;  // 15 bytes
// Fields of one 16-byte tuner parameter entry, from the entry's start (u16 little-endian
// unless noted).
namespace tuner_entry {
inline constexpr size_t kFrequencyLow = 0;     // MHz
inline constexpr size_t kFrequencyHigh = 2;    // MHz
inline constexpr size_t kFilterBandwidth = 4;  // kHz
inline constexpr size_t kFlags = 6;            // u8: the I/Q bits of record byte 144
inline constexpr size_t kAgcThreshold1 = 8;    // u8
inline constexpr size_t kAgcThreshold2 = 9;    // u8
inline constexpr size_t kQpskConfig = 10;
inline constexpr size_t kUserCrystal = 12;  // kHz
inline constexpr size_t kBaseAddress = 14;  // u8
inline constexpr size_t kDiffSingle = 15;   // u8: flags bits 6-7
}  // namespace tuner_entry
// OTA block: the last 36 bytes, also mirrored at image offset 0x30000.
inline constexpr size_t kOtaBlock = 1416;
inline constexpr size_t kOtaBlockSize = 36;
inline constexpr size_t kOtaFrequency = 1416;
inline constexpr size_t kOtaSymbolRate = 1418;
inline constexpr size_t kOtaPid = 1420;
inline constexpr size_t kOtaLnbFrequencyH = 1422;
inline constexpr size_t kOtaSystemOui = 1424;  // u32
inline constexpr size_t kOtaHardwareModel = 1428;
inline constexpr size_t kOtaHardwareVersion = 1430;
inline constexpr size_t kOtaSoftwareModel = 1432;
inline constexpr size_t kOtaSoftwareVersion = 1434;
inline constexpr size_t kOtaLnbFrequencyV = 1436;
inline constexpr size_t kOtaLnbType = 1438;
inline constexpr size_t kOtaPolarity = 1439;
inline constexpr size_t kOtaDiseqcInUse = 1441;
inline constexpr size_t kOtaDiseqcPort = 1442;
inline constexpr size_t kOta22kTone = 1443;
inline constexpr size_t kOtaEnable = 1444;
inline constexpr size_t kOtaMarker = 1450;  // u16, 0x544F
static_assert(kOtaBlock + kOtaBlockSize == kSize);

// The ranges that the page imports of a setting file take from the file.
struct ByteRange {
  size_t offset;
  size_t size;
};
inline constexpr std::array<ByteRange, 6> kTunerImportRanges = {{
    {kSignalQualityZoom, 1},
    {kSignalIntensityZoom, 1},
    {kTunerFlags, 20},        // 144-163
    {kTunerParameters, 240},  // 1160-1399
    {kExtTunerIndex, 1},
    {kExtTunerCodes, 15},  // 1401-1415
}};
inline constexpr ByteRange kKeyMapImportRange = {kIrKeyMap, 384};               // 396-779
inline constexpr ByteRange kPanelImportRange = {kPanelScanType, 232};           // 164-395, 58 words
inline constexpr ByteRange kSerialFlashImportRange = {kFlashDeviceCount, 184};  // 944-1127
inline constexpr ByteRange kOtaImportRange = {kOtaBlock, kOtaBlockSize};
static_assert(kPanelImportRange.size == 58 * 4);
static_assert(kSerialFlashImportRange.size == 46 * 4);
static_assert(kOtaImportRange.size == 9 * 4);

// The character table must stay inside the Panel page's range (164-395).
inline constexpr size_t kMaxCharacterTableEntries =
    (kPanelImportRange.offset + kPanelImportRange.size - kCharacterTable) / 2;
static_assert(kMaxCharacterTableEntries == 94);

}  // namespace qtk::record
