#include "dbbuilder/decode/lzma_decoder.h"

#include <gtest/gtest.h>

#include <string>

#include "dbbuilder/lzma_compressor.h"
#include "decode_test_support.h"
#include "demo/demo_set.h"

namespace qtk::dbbuilder {
namespace {

std::vector<uint8_t> DemoRaw() {
  return test::Build(demo::DemoProgramList()).raw_default;
}

std::vector<uint8_t> Compressed(const std::vector<uint8_t>& raw) {
  std::optional<std::vector<uint8_t>> z = CompressLzmaAlone(raw);
  EXPECT_TRUE(z.has_value());
  return z.value_or(std::vector<uint8_t>{});
}

// The header of a stream announcing `size` bytes, and no data.
std::vector<uint8_t> Header(uint64_t size) {
  std::vector<uint8_t> h(std::begin(kLzmaStreamMagic), std::end(kLzmaStreamMagic));
  for (int i = 0; i < 8; ++i)
    h.push_back(static_cast<uint8_t>(size >> (8 * i)));
  return h;
}

TEST(LzmaDecoder, GivesBackWhatTheBuilderCompressedAndIgnoresTheChunkFiller) {
  const std::vector<uint8_t> raw = DemoRaw();
  std::vector<uint8_t> stream = Compressed(raw);
  ASSERT_TRUE(HasLzmaStreamMagic(stream));
  Decoded<std::vector<uint8_t>> out = DecompressDefaultDatabase(stream);
  ASSERT_TRUE(out) << out.message();
  EXPECT_EQ(*out, raw);

  stream.insert(stream.end(), 300, 0xFF);
  out = DecompressDefaultDatabase(stream);
  ASSERT_TRUE(out) << out.message();
  EXPECT_EQ(*out, raw);

  // An empty database (no satellite) and a stream of no bytes at all.
  for (const std::vector<uint8_t>& small : {std::vector<uint8_t>{0, 0}, std::vector<uint8_t>{}}) {
    out = DecompressDefaultDatabase(Compressed(small));
    ASSERT_TRUE(out) << out.message();
    EXPECT_EQ(*out, small);
  }
}

TEST(LzmaDecoder, OnlyTheBuildersHeaderIsTaken) {
  std::vector<uint8_t> stream = Compressed(DemoRaw());
  EXPECT_FALSE(HasLzmaStreamMagic(std::vector<uint8_t>(stream.begin(), stream.begin() + 4)));
  for (size_t i = 0; i < 5; ++i) {
    std::vector<uint8_t> other = stream;
    other[i] ^= 0x01;  // another properties byte or dictionary size
    EXPECT_FALSE(HasLzmaStreamMagic(other)) << i;
    Decoded<std::vector<uint8_t>> out = DecompressDefaultDatabase(other);
    ASSERT_FALSE(out);
    EXPECT_EQ(out.message(),
              "The default database chunk holds neither an LZMA stream as dfv_k7720x writes it "
              "(header 6C 00 00 80 00) nor a raw default database.");
  }
}

TEST(LzmaDecoder, HeaderFaults) {
  auto message = [](const std::vector<uint8_t>& bytes) {
    Decoded<std::vector<uint8_t>> out = DecompressDefaultDatabase(bytes);
    return out ? std::string("decoded") : out.message();
  };
  std::vector<uint8_t> header = Header(100);
  header.pop_back();
  EXPECT_EQ(message(header), "The default database's LZMA header is cut short.");
  EXPECT_EQ(message(Header(~uint64_t{0})),
            "The default database's LZMA header gives no uncompressed size.");
  EXPECT_EQ(message(Header(kMaxRawDefaultDatabaseSize + 1)),
            "The default database's LZMA header gives an uncompressed size of 4194305 bytes, more "
            "than a default database can hold.");
  EXPECT_EQ(message(Header(kMaxRawDefaultDatabaseSize)),
            "The default database's LZMA stream ends before the 4194304 bytes its header "
            "announces.");
}

TEST(LzmaDecoder, EveryCutOfTheStreamIsRefused) {
  const std::vector<uint8_t> stream = Compressed(DemoRaw());
  const std::string announced = std::to_string(DemoRaw().size());
  for (size_t n = 13; n < stream.size(); ++n) {
    Decoded<std::vector<uint8_t>> out =
        DecompressDefaultDatabase(std::vector<uint8_t>(stream.begin(), stream.begin() + n));
    ASSERT_FALSE(out) << n;
    EXPECT_EQ(out.message(), "The default database's LZMA stream ends before the " + announced +
                                 " bytes its header announces.")
        << n;
  }
}

TEST(LzmaDecoder, EveryChangedBitOfTheStreamIsRefused) {
  const std::vector<uint8_t> stream = Compressed(DemoRaw());
  for (size_t i = 13; i < stream.size(); ++i) {
    for (int bit = 0; bit < 8; ++bit) {
      std::vector<uint8_t> changed = stream;
      changed[i] ^= static_cast<uint8_t>(1u << bit);
      EXPECT_FALSE(DecompressDefaultDatabase(changed)) << i << ":" << bit;
    }
  }
  // The range coder's first byte is always 0: anything else is damage at once.
  std::vector<uint8_t> changed = stream;
  changed[13] = 0x01;
  EXPECT_EQ(DecompressDefaultDatabase(changed).message(),
            "The default database's LZMA stream is corrupt.");
}

TEST(LzmaDecoder, AnnouncedSizeMustMatchTheStream) {
  const std::vector<uint8_t> raw = DemoRaw();
  std::vector<uint8_t> stream = Compressed(raw);
  stream[5] = static_cast<uint8_t>(raw.size() - 1);  // one byte less than the stream holds
  EXPECT_EQ(DecompressDefaultDatabase(stream).message(),
            "The default database's LZMA stream is corrupt.");
}

}  // namespace
}  // namespace qtk::dbbuilder
