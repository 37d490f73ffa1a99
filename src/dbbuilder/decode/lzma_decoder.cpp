#include "dbbuilder/decode/lzma_decoder.h"

#include <lzma.h>

#include <algorithm>
#include <string>

#include "common/message_format.h"
#include "dbbuilder/decode/decode_messages.h"

namespace qtk::dbbuilder {
namespace {

constexpr size_t kHeaderSize = 13;  // properties byte, dictionary size, uncompressed size
constexpr uint64_t kUnknownSize = ~uint64_t{0};
// The properties byte is (pb * 5 + lp) * 9 + lc; the dictionary size follows it.
constexpr uint8_t kProperties = kLzmaStreamMagic[0];
constexpr uint32_t kLc = kProperties % 9;
constexpr uint32_t kLp = kProperties / 9 % 5;
constexpr uint32_t kPb = kProperties / 45;
constexpr uint32_t kDictionarySize =
    uint32_t{kLzmaStreamMagic[1]} | uint32_t{kLzmaStreamMagic[2]} << 8 |
    uint32_t{kLzmaStreamMagic[3]} << 16 | uint32_t{kLzmaStreamMagic[4]} << 24;
static_assert(kLc == 0 && kLp == 2 && kPb == 2 && kDictionarySize == 8u << 20);
// liblzma's smallest dictionary; a dictionary larger than the output is never reached.
constexpr uint32_t kMinDictionary = 4096;

uint64_t ReadSize(std::span<const uint8_t> header) {
  uint64_t size = 0;
  for (int i = 7; i >= 0; --i)
    size = (size << 8) | header[5 + static_cast<size_t>(i)];
  return size;
}

struct StreamEnd {
  lzma_stream* strm;
  ~StreamEnd() { lzma_end(strm); }
};

}  // namespace

bool HasLzmaStreamMagic(std::span<const uint8_t> bytes) {
  return bytes.size() >= sizeof kLzmaStreamMagic &&
         std::equal(std::begin(kLzmaStreamMagic), std::end(kLzmaStreamMagic), bytes.begin());
}

Decoded<std::vector<uint8_t>> DecompressDefaultDatabase(std::span<const uint8_t> stream) {
  using Result = Decoded<std::vector<uint8_t>>;
  if (!HasLzmaStreamMagic(stream))
    return Result::Failure(decode_msg::kNotDefaultDatabase);
  if (stream.size() < kHeaderSize)
    return Result::Failure(decode_msg::kLzmaHeaderCut);
  const uint64_t size = ReadSize(stream);
  if (size == kUnknownSize)
    return Result::Failure(decode_msg::kLzmaSizeUnknown);
  if (size > kMaxRawDefaultDatabaseSize)
    return Result::Failure(FormatMessage(decode_msg::kLzmaTooLarge, std::to_string(size)));

  lzma_options_lzma options{};
  options.dict_size =
      static_cast<uint32_t>(std::clamp<uint64_t>(size, kMinDictionary, kDictionarySize));
  options.lc = kLc;
  options.lp = kLp;
  options.pb = kPb;
  // A stream that also carries an end marker behind the announced size is still whole.
  options.ext_flags = LZMA_LZMA1EXT_ALLOW_EOPM;
  lzma_set_ext_size(options, size);
  const lzma_filter filters[] = {{LZMA_FILTER_LZMA1EXT, &options}, {LZMA_VLI_UNKNOWN, nullptr}};

  lzma_stream strm = LZMA_STREAM_INIT;
  if (lzma_raw_decoder(&strm, filters) != LZMA_OK) {
    lzma_end(&strm);
    return Result::Failure(decode_msg::kLzmaCorrupt);
  }
  StreamEnd end{&strm};

  std::vector<uint8_t> raw(static_cast<size_t>(size));
  strm.next_in = stream.data() + kHeaderSize;
  strm.avail_in = stream.size() - kHeaderSize;
  strm.next_out = raw.data();
  strm.avail_out = raw.size();
  lzma_ret ret = LZMA_OK;
  // liblzma reports a lack of progress as LZMA_BUF_ERROR, so this ends.
  while (ret == LZMA_OK)
    ret = lzma_code(&strm, LZMA_FINISH);
  if (ret == LZMA_STREAM_END && strm.total_out == size)
    return raw;
  // Running out of input before the announced size: a cut stream, or damage that made the
  // decoder read past its end; anything else it refuses is damage inside it.
  if (strm.avail_in == 0 && ret == LZMA_BUF_ERROR)
    return Result::Failure(FormatMessage(decode_msg::kLzmaTruncated, std::to_string(size)));
  return Result::Failure(decode_msg::kLzmaCorrupt);
}

}  // namespace qtk::dbbuilder
