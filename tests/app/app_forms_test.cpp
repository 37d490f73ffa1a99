#include <gtest/gtest.h>

#include "app/console_lines.h"
#include "app/file_filter.h"
#include "app/load_firmware_form.h"
#include "app/widgets/seven_segment_codes.h"
#include "app/window_title.h"
#include "common/recording_dialogs.h"

namespace qtk {
namespace {

TEST(SevenSegmentCodes, DigitsMinusAndDot) {
  const std::pair<char, std::uint8_t> table[] = {
      {'0', 0xFC}, {'1', 0x60}, {'2', 0xDA}, {'3', 0xF2}, {'4', 0x66}, {'5', 0xB6},
      {'6', 0xBE}, {'7', 0xE0}, {'8', 0xFE}, {'9', 0xF6}, {'-', 0x02}, {'.', 0x01}};
  for (const auto& [c, bits] : table)
    EXPECT_EQ(SegmentBitsFor(c), bits) << c;
}

TEST(SevenSegmentCodes, SingleSegmentBytesLightAThroughH) {
  const std::uint8_t expected[8] = {kSegmentA, kSegmentB, kSegmentC, kSegmentD,
                                    kSegmentE, kSegmentF, kSegmentG, kSegmentH};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(SegmentBitsFor(static_cast<char>(0xC0 + i)), expected[i]) << i;
  }
  EXPECT_EQ(SegmentBitsFor(static_cast<char>(0xC0)), 0x80);
  EXPECT_EQ(SegmentBitsFor(static_cast<char>(0xC7)), 0x01);
}

TEST(SevenSegmentCodes, EverythingElseLightsNothing) {
  for (int byte = 0; byte < 256; ++byte) {
    const char c = static_cast<char>(byte);
    const bool known =
        (byte >= '0' && byte <= '9') || c == '-' || c == '.' || (byte >= 0xC0 && byte <= 0xC7);
    if (!known) {
      EXPECT_EQ(SegmentBitsFor(c), 0) << byte;
    }
  }
  EXPECT_EQ(SegmentBitsFor(static_cast<char>(0xBF)), 0);
  EXPECT_EQ(SegmentBitsFor(static_cast<char>(0xC8)), 0);
  EXPECT_TRUE(IsColonCharacter(':'));
  EXPECT_FALSE(IsColonCharacter('.'));
  EXPECT_EQ(SegmentBitsFor(':'), 0);
}

TEST(SevenSegmentCodes, MetricsTruncateAndStayAtLeastOne) {
  EXPECT_EQ(SegmentMetricsFor(100).thickness, 6);
  EXPECT_EQ(SegmentMetricsFor(100).length, 35);
  EXPECT_EQ(SegmentMetricsFor(50).thickness, 3);
  EXPECT_EQ(SegmentMetricsFor(50).length, 17);
  EXPECT_EQ(SegmentMetricsFor(60).length, 21);
  EXPECT_EQ(SegmentMetricsFor(20).length, 7);
  EXPECT_EQ(SegmentMetricsFor(16).thickness, 1);  // 0.96 rounds up to the minimum
  EXPECT_EQ(SegmentMetricsFor(17).thickness, 1);
  EXPECT_EQ(SegmentMetricsFor(33).thickness, 1);  // 1.98 truncates
  EXPECT_EQ(SegmentMetricsFor(34).thickness, 2);
  EXPECT_EQ(SegmentMetricsFor(2).length, 1);
  EXPECT_EQ(SegmentMetricsFor(0).thickness, 1);
  EXPECT_EQ(SegmentMetricsFor(0).length, 1);
  EXPECT_EQ(SegmentMetricsFor(-5).length, 1);
}

TEST(SevenSegmentCodes, DefaultUnlitIsAThirdOfEachChannel) {
  EXPECT_EQ(DefaultUnlitColour(0x00FF00), 0x005500u);
  EXPECT_EQ(DefaultUnlitColour(0xFF8001), 0x552A00u);
  EXPECT_EQ(DefaultUnlitColour(0x000000), 0x000000u);
}

TEST(FileFilter, ConvertsBarPairsToQtForm) {
  EXPECT_EQ(ConvertFileFilter("Firmware Files(*.bin)|*.bin|All Files (*.*)|*.*||"),
            "Firmware Files(*.bin);;All Files (*.*)");
  EXPECT_EQ(ConvertFileFilter("Config Files(*.ini)|*.ini|All Files (*.*)|*.*||"),
            "Config Files(*.ini);;All Files (*.*)");
  EXPECT_EQ(ConvertFileFilter("Setting Files(*.set)|*.set||"), "Setting Files(*.set)");
}

TEST(FileFilter, DescriptionWithoutPatternGetsOne) {
  EXPECT_EQ(ConvertFileFilter("Logo|*.m2v;*.mpg||"), "Logo (*.m2v *.mpg)");
  EXPECT_EQ(ConvertFileFilter("Text(*.txt)|*.txt|Images|*.bin"), "Text(*.txt);;Images (*.bin)");
}

TEST(FileFilter, EmptyAndDegenerateInput) {
  EXPECT_EQ(ConvertFileFilter(""), "");
  EXPECT_EQ(ConvertFileFilter("||"), "");
  EXPECT_EQ(ConvertFileFilter("Only a description"), "Only a description");
}

class LoadFirmwareFormTest : public ::testing::Test {
 protected:
  LoadFirmwareMemory memory;
  LoadFirmwareForm form{memory, "/home/engineer/tool\\QTK_K7720X.ini"};
  RecordingDialogs dialogs;
};

TEST_F(LoadFirmwareFormTest, StartsEmptyAndPathsNeedAFirmware) {
  form.Open();
  EXPECT_EQ(form.firmware_path, "");
  EXPECT_EQ(form.config_path, "");
  EXPECT_FALSE(form.use_external);
  EXPECT_FALSE(form.retry_mark);
  std::string fw = "x", cfg = "x";
  EXPECT_FALSE(form.GetLoadPaths(fw, cfg));
  EXPECT_EQ(fw, "");
  EXPECT_EQ(cfg, "/home/engineer/tool\\QTK_K7720X.ini");
}

TEST_F(LoadFirmwareFormTest, DefaultDescriptionUnlessExternal) {
  form.firmware_path = "a.bin";
  form.config_path = "mine.ini";
  std::string fw, cfg;
  EXPECT_TRUE(form.GetLoadPaths(fw, cfg));
  EXPECT_EQ(fw, "a.bin");
  EXPECT_EQ(cfg, "/home/engineer/tool\\QTK_K7720X.ini");
  form.use_external = true;
  EXPECT_TRUE(form.GetLoadPaths(fw, cfg));
  EXPECT_EQ(cfg, "mine.ini");
  form.config_path.clear();
  EXPECT_FALSE(form.GetLoadPaths(fw, cfg));
  // Only a zero length counts as empty.
  form.config_path = " ";
  EXPECT_TRUE(form.GetLoadPaths(fw, cfg));
}

TEST_F(LoadFirmwareFormTest, AcceptRemembersClippedValuesAndOpenPrefills) {
  form.Open();
  form.firmware_path = std::string(300, 'f');
  form.config_path = "ext.ini";
  form.use_external = true;
  form.password = "123456789";
  form.Accept();
  EXPECT_EQ(memory.last_firmware_path, std::string(256, 'f'));
  EXPECT_EQ(memory.last_config_path, "ext.ini");
  EXPECT_TRUE(memory.last_use_external);
  EXPECT_EQ(memory.entered_password, "12345678");

  LoadFirmwareForm next(memory, "default.ini");
  next.password = "left over";
  next.Open();
  EXPECT_EQ(next.firmware_path, std::string(256, 'f'));
  EXPECT_EQ(next.config_path, "ext.ini");
  EXPECT_TRUE(next.use_external);
  EXPECT_EQ(next.password, "");
}

TEST_F(LoadFirmwareFormTest, CancelChangesNothingRemembered) {
  memory.last_firmware_path = "old.bin";
  memory.entered_password = "pw";
  form.Open();
  form.firmware_path = "typed.bin";
  form.password = "new";
  // Closing without Accept.
  EXPECT_EQ(memory.last_firmware_path, "old.bin");
  EXPECT_EQ(memory.entered_password, "pw");
}

TEST_F(LoadFirmwareFormTest, FocusFollowsRetryMarkAndLoadStatus) {
  EXPECT_EQ(form.InitialFocus(), LoadFirmwareForm::FocusTarget::DialogDefault);
  form.load_status = -3;
  EXPECT_EQ(form.InitialFocus(), LoadFirmwareForm::FocusTarget::DialogDefault);
  form.retry_mark = true;
  EXPECT_EQ(form.InitialFocus(), LoadFirmwareForm::FocusTarget::Password);
  for (int status : {0, -1, -2, -4, 1}) {
    form.load_status = status;
    EXPECT_EQ(form.InitialFocus(), LoadFirmwareForm::FocusTarget::FirmwareBrowse) << status;
  }
}

TEST_F(LoadFirmwareFormTest, BrowseAsksWithFiltersAndTrims) {
  form.firmware_path = "cur.bin";
  form.config_path = "cur.ini";
  dialogs.chosen_paths = {std::string("  /data/new image.bin \t"), std::nullopt,
                          std::string(" /data/k.ini ")};
  EXPECT_TRUE(form.BrowseFirmware(dialogs));
  EXPECT_EQ(form.firmware_path, "/data/new image.bin");
  EXPECT_FALSE(form.BrowseConfig(dialogs));
  EXPECT_EQ(form.config_path, "cur.ini");
  EXPECT_TRUE(form.BrowseConfig(dialogs));
  EXPECT_EQ(form.config_path, "/data/k.ini");

  ASSERT_EQ(dialogs.file_requests.size(), 3u);
  const FileDialogRequest& fw = dialogs.file_requests[0];
  EXPECT_EQ(fw.filter, "Binary Files(*.bin)|*.bin|All Files (*.*)|*.*||");
  EXPECT_EQ(fw.initial_path, "cur.bin");
  EXPECT_TRUE(fw.must_exist);
  EXPECT_TRUE(fw.read_only_ticked);
  const FileDialogRequest& cfg = dialogs.file_requests[1];
  EXPECT_EQ(cfg.filter, "Config Files(*.ini)|*.ini|All Files (*.*)|*.*||");
  EXPECT_EQ(cfg.initial_path, "cur.ini");
  EXPECT_TRUE(cfg.must_exist);
  EXPECT_TRUE(cfg.read_only_ticked);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(LoadFirmwareFormTest, ADroppedFileFillsOnlyTheNextOpeningAndLeadsToThePassword) {
  memory.last_firmware_path = "/fw/old.bin";
  memory.last_config_path = "ext.ini";
  memory.last_use_external = true;
  form.PrefillFirmwarePath("/drop/new image.bin");
  form.Open();
  EXPECT_EQ(form.firmware_path, "/drop/new image.bin");
  EXPECT_EQ(form.config_path, "ext.ini");
  EXPECT_TRUE(form.use_external);
  EXPECT_EQ(form.InitialFocus(), LoadFirmwareForm::FocusTarget::Password);
  // Nothing is remembered before OK: a cancel keeps the old path for the next opening.
  EXPECT_EQ(memory.last_firmware_path, "/fw/old.bin");
  form.Open();
  EXPECT_EQ(form.firmware_path, "/fw/old.bin");
  EXPECT_EQ(form.InitialFocus(), LoadFirmwareForm::FocusTarget::DialogDefault);

  // After OK and a failed load, the retry shows the dropped file from memory and the focus
  // follows the failure.
  form.PrefillFirmwarePath("/drop/new image.bin");
  form.Open();
  form.password = "0000";
  form.Accept();
  EXPECT_EQ(memory.last_firmware_path, "/drop/new image.bin");
  form.retry_mark = true;
  form.load_status = -1;
  form.Open();
  EXPECT_EQ(form.firmware_path, "/drop/new image.bin");
  EXPECT_EQ(form.InitialFocus(), LoadFirmwareForm::FocusTarget::FirmwareBrowse);
}

TEST(MainWindowTitle, NamesTheLoadedFileBeforeTheProgram) {
  EXPECT_EQ(MainWindowTitle("/data/images/box v2.bin"),
            "box v2.bin - qtktool - QTK for K7720X Ver 3.0.0");
  EXPECT_EQ(MainWindowTitle("relative.bin"), "relative.bin - qtktool - QTK for K7720X Ver 3.0.0");
  EXPECT_EQ(MainWindowTitle(""), "qtktool - QTK for K7720X Ver 3.0.0");
  EXPECT_EQ(MainWindowTitle("/data/images/"), "qtktool - QTK for K7720X Ver 3.0.0");
}

TEST(MainWindowTitle, TheUnsavedMarkFollowsTheFileNameAndALiteralMarkStaysLiteral) {
  EXPECT_EQ(MarkableWindowTitle("/data/images/box v2.bin"),
            "box v2.bin[*] - qtktool - QTK for K7720X Ver 3.0.0");
  EXPECT_EQ(MarkableWindowTitle(""), "qtktool - QTK for K7720X Ver 3.0.0[*]");
  EXPECT_EQ(MarkableWindowTitle("/x/a[*]b[*].bin"),
            "a[*][*]b[*][*].bin[*] - qtktool - QTK for K7720X Ver 3.0.0");
}

TEST(ConsoleLines, PiecesOfAnySizeGiveWholeLinesWithoutTheirEnds) {
  const std::string output = "Start\r\nhalf\n\nno end";
  const std::vector<std::string> expected = {"Start", "half", ""};
  // Every way to cut the output in two gives the same lines.
  for (size_t cut = 0; cut <= output.size(); ++cut) {
    ConsoleLines lines;
    std::vector<std::string> got = lines.Add(std::string_view(output).substr(0, cut));
    for (std::string& l : lines.Add(std::string_view(output).substr(cut)))
      got.push_back(std::move(l));
    EXPECT_EQ(got, expected) << cut;
    EXPECT_EQ(lines.Finish(), std::vector<std::string>{"no end"}) << cut;
    EXPECT_TRUE(lines.Finish().empty());
  }
  ConsoleLines bytes;
  std::vector<std::string> got;
  for (char c : std::string("a\rb\r\n\r\nc\r\r\n"))
    for (std::string& l : bytes.Add(std::string_view(&c, 1)))
      got.push_back(std::move(l));
  // A CR inside a line is kept; the CRs before LF belong to the line end (CR CR LF is what a
  // Windows program's CR LF becomes through a stream in text mode).
  EXPECT_EQ(got, (std::vector<std::string>{"a\rb", "", "c"}));
  EXPECT_TRUE(bytes.Finish().empty());
}

TEST(LoadFirmwareText, ClipAndTrim) {
  EXPECT_EQ(ClipCharacters("abc", 3), "abc");
  EXPECT_EQ(ClipCharacters("abcd", 3), "abc");
  EXPECT_EQ(ClipCharacters("", 0), "");
  // Two-byte characters are counted, not split.
  EXPECT_EQ(ClipCharacters("\xC3\xA4\xC3\xB6\xC3\xBC", 2), "\xC3\xA4\xC3\xB6");
  EXPECT_EQ(TrimWhiteSpace(" \t a b \r\n"), "a b");
  EXPECT_EQ(TrimWhiteSpace("   "), "");
}

}  // namespace
}  // namespace qtk
