// The boot logo decoded for the preview: stills encoded here with libavcodec's MPEG-2 encoder
// come back with their size and colours; streams that give no picture give the note instead.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "common/utf8_path.h"
#include "firmware/image/chunk_ids.h"
#include "firmware/image/image_parser.h"
#include "logo/logo_source.h"
#include "testdata/image_builder.h"
#include "testdata/mpeg2_still.h"
#include "testdata/special_files.h"
#include "testdata/temp_dir.h"

namespace qtk {
namespace {

using testdata::EncodeMpeg2Still;
using testdata::QuadrantPicture;

// The colour of the decoded picture at (x, y), as 0xRRGGBB.
uint32_t PixelAt(const LogoPicture& p, int x, int y) {
  const size_t at = (static_cast<size_t>(y) * static_cast<size_t>(p.width) + x) * 3;
  return uint32_t{p.rgb[at]} << 16 | uint32_t{p.rgb[at + 1]} << 8 | p.rgb[at + 2];
}

// Colours within what the 4:2:0 coding of a flat area keeps.
bool Near(uint32_t a, uint32_t b) {
  for (int shift : {16, 8, 0}) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
        10)
      return false;
  }
  return true;
}

std::string Hex(uint32_t c) {
  char text[16];
  std::snprintf(text, sizeof text, "%06X", c);
  return text;
}

TEST(LogoDecode, GeneratedStillsComeBackWithTheirSizeAndColours) {
  std::mt19937 random(17);
  const std::pair<int, int> sizes[] = {{16, 16}, {64, 48}, {176, 144}, {352, 288}, {720, 576}};
  for (const auto& [width, height] : sizes) {
    uint32_t colours[4];
    for (uint32_t& c : colours)
      c = random() & 0xFFFFFF;
    const std::vector<uint8_t> stream =
        EncodeMpeg2Still(QuadrantPicture(width, height, colours), 2);
    ASSERT_GE(stream.size(), 8u);
    EXPECT_EQ(std::vector<uint8_t>(stream.begin(), stream.begin() + 4),
              (std::vector<uint8_t>{0x00, 0x00, 0x01, 0xB3}));
    EXPECT_EQ(std::vector<uint8_t>(stream.end() - 4, stream.end()),
              (std::vector<uint8_t>{0x00, 0x00, 0x01, 0xB7}));

    const LogoDecoding decoded = DecodeLogo(stream);
    ASSERT_TRUE(decoded.picture) << width << "x" << height << ": " << decoded.problem;
    EXPECT_EQ(decoded.problem, "");
    const LogoPicture& p = *decoded.picture;
    EXPECT_EQ(p.width, width);
    EXPECT_EQ(p.height, height);
    ASSERT_EQ(p.rgb.size(), static_cast<size_t>(width * height * 3));
    // The middle of each quadrant, away from the edges the chroma blurs.
    const int xs[2] = {width / 4, width * 3 / 4};
    const int ys[2] = {height / 4, height * 3 / 4};
    for (int q = 0; q < 4; ++q) {
      const uint32_t got = PixelAt(p, xs[q % 2], ys[q / 2]);
      EXPECT_TRUE(Near(got, colours[q])) << width << "x" << height << " quadrant " << q << ": "
                                         << Hex(got) << " for " << Hex(colours[q]);
    }
  }
}

TEST(LogoDecode, StreamsWithoutAPictureGiveTheNote) {
  const uint32_t colours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  const std::vector<uint8_t> still = EncodeMpeg2Still(QuadrantPicture(64, 48, colours));
  std::vector<uint8_t> pattern = testdata::PatternBytes(1800, 17);
  std::copy_n(still.begin(), 4, pattern.begin());
  std::copy_n(still.end() - 4, 4, pattern.end() - 4);
  const std::vector<std::pair<const char*, std::vector<uint8_t>>> cases = {
      {"empty", {}},
      {"the logo check's two codes only", {0, 0, 1, 0xB3, 0, 0, 1, 0xB7}},
      {"the sequence header alone", std::vector<uint8_t>(still.begin(), still.begin() + 12)},
      {"pattern bytes between the two codes", pattern},
      {"zeros", std::vector<uint8_t>(4096, 0)},
  };
  for (const auto& [name, bytes] : cases) {
    const LogoDecoding decoded = DecodeLogo(bytes);
    EXPECT_FALSE(decoded.picture) << name;
    EXPECT_EQ(decoded.problem, logo_notes::kNotDecoded) << name;
  }
}

TEST(LogoDecode, CutOrDamagedStillsNeverGiveAPictureTheDecoderCalledDamaged) {
  const uint32_t colours[4] = {0x102030, 0xF0E0D0, 0x808080, 0x20C040};
  const std::vector<uint8_t> still = EncodeMpeg2Still(QuadrantPicture(176, 144, colours));
  std::mt19937 random(5);
  // Every cut and a spread of changed bytes: each gives a picture or one of the two notes,
  // never a crash or a read outside the stream (the sanitizer build checks that).
  for (size_t cut = 0; cut < still.size(); cut += 7) {
    const LogoDecoding d = DecodeLogo(std::vector<uint8_t>(still.begin(), still.begin() + cut));
    if (!d.picture) {
      EXPECT_TRUE(d.problem == logo_notes::kNotDecoded || d.problem == logo_notes::kDamaged)
          << cut << ": " << d.problem;
    }
  }
  for (int round = 0; round < 200; ++round) {
    std::vector<uint8_t> bytes = still;
    bytes[12 + random() % (bytes.size() - 16)] ^= static_cast<uint8_t>(1 + random() % 255);
    const LogoDecoding d = DecodeLogo(bytes);
    EXPECT_NE(d.picture.has_value(), !d.problem.empty()) << round;
    if (d.picture) {
      EXPECT_EQ(d.picture->width, 176);
      EXPECT_EQ(d.picture->height, 144);
    }
  }
}

TEST(LogoSource, TheLogoChunkIsReadFromTheFirmwareFileAsItsLengthWordCovers) {
  testdata::TempDir dir("qtk_logo");
  const uint32_t colours[4] = {0x0000FF, 0x00FF00, 0xFF0000, 0x000000};
  const std::vector<uint8_t> still = EncodeMpeg2Still(QuadrantPicture(64, 48, colours));
  std::vector<testdata::ChunkSpec> chunks(2);
  chunks[0].id = 0xE3000010;
  chunks[0].name = "boot";
  chunks[0].data = testdata::PatternBytes(0x100);
  chunks[0].no_crc = true;
  chunks[1].id = kLogoChunkId;
  chunks[1].name = "logo";
  chunks[1].data = still;
  chunks[1].region_size = 0x1000;
  const std::vector<uint8_t> image = testdata::BuildImage(chunks);
  const std::string path = dir.File("image.bin");
  ASSERT_TRUE(testdata::WriteFile(path, image));
  ChunkTable table;
  ASSERT_EQ(ParseImage(image, table), 2);
  const ChunkEntry& logo = table.entries[1];

  // The last chunk's length covers its filler too: the decoder takes the still and stops at
  // its end code.
  const std::optional<std::vector<uint8_t>> data = ReadChunkData(path, logo);
  ASSERT_TRUE(data);
  ASSERT_EQ(data->size(), logo.length - 112u);
  EXPECT_EQ(std::vector<uint8_t>(data->begin(), data->begin() + still.size()), still);
  const LogoDecoding decoded = DecodeLogoChunk(path, logo);
  ASSERT_TRUE(decoded.picture) << decoded.problem;
  EXPECT_EQ(decoded.picture->width, 64);
  EXPECT_TRUE(Near(PixelAt(*decoded.picture, 48, 12), 0x00FF00));

  // A firmware file shortened since the load no longer holds the chunk.
  std::filesystem::resize_file(PathFromUtf8(path), logo.file_offset + 128 + 10);
  EXPECT_FALSE(ReadChunkData(path, logo));
  EXPECT_EQ(DecodeLogoChunk(path, logo).problem, logo_notes::kCannotRead);
  EXPECT_EQ(DecodeLogoChunk(dir.File("gone.bin"), logo).problem, logo_notes::kCannotRead);
}

TEST(LogoSource, ReplacementFilesThatCannotBeReadGiveTheirNote) {
  testdata::TempDir dir("qtk_logo");
  EXPECT_EQ(DecodeLogoFile(dir.File("missing.m2v")).problem, logo_notes::kCannotRead);
  EXPECT_EQ(DecodeLogoFile(dir.path().string()).problem, logo_notes::kCannotRead);
  if (testdata::MakeFifo(dir.File("pipe.m2v"))) {
    EXPECT_EQ(DecodeLogoFile(dir.File("pipe.m2v")).problem, logo_notes::kCannotRead);
  }
  ASSERT_TRUE(testdata::MakeSparseFile(dir.File("huge.m2v"), kMaxLogoBytes + 1));
  EXPECT_EQ(DecodeLogoFile(dir.File("huge.m2v")).problem, logo_notes::kTooLarge);
  const uint32_t colours[4] = {0x0000FF, 0x00FF00, 0xFF0000, 0x000000};
  ASSERT_TRUE(testdata::WriteFile(dir.File("good.m2v"),
                                  EncodeMpeg2Still(QuadrantPicture(32, 32, colours))));
  EXPECT_EQ(DecodeLogoFile(dir.File("good.m2v")).picture->height, 32);
}

}  // namespace
}  // namespace qtk
