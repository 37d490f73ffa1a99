#include "logo/logo_picture.h"

#include <memory>
#include <mutex>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

namespace qtk {
namespace {

struct ContextFree {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct ParserFree {
  void operator()(AVCodecParserContext* p) const { av_parser_close(p); }
};
struct PacketFree {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameFree {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct ScaleFree {
  void operator()(SwsContext* s) const { sws_freeContext(s); }
};

// The library would print every complaint about a damaged stream on standard error; the
// preview says it in its own note instead.
void QuietLibrary() {
  static std::once_flag once;
  std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

LogoDecoding Problem(const char* note) {
  return LogoDecoding{std::nullopt, note};
}

std::optional<LogoPicture> ToRgb(const AVFrame& frame) {
  if (frame.width <= 0 || frame.height <= 0)
    return std::nullopt;
  std::unique_ptr<SwsContext, ScaleFree> scale(sws_getContext(
      frame.width, frame.height, static_cast<AVPixelFormat>(frame.format), frame.width,
      frame.height, AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr, nullptr, nullptr));
  if (!scale)
    return std::nullopt;
  LogoPicture picture;
  picture.width = frame.width;
  picture.height = frame.height;
  picture.rgb.resize(static_cast<size_t>(frame.width) * 3 * static_cast<size_t>(frame.height));
  uint8_t* planes[4] = {picture.rgb.data(), nullptr, nullptr, nullptr};
  int strides[4] = {frame.width * 3, 0, 0, 0};
  if (sws_scale(scale.get(), frame.data, frame.linesize, 0, frame.height, planes, strides) !=
      frame.height)
    return std::nullopt;
  return picture;
}

}  // namespace

LogoDecoding DecodeLogo(const std::vector<uint8_t>& stream) {
  QuietLibrary();
  if (stream.size() > kMaxLogoBytes)
    return Problem(logo_notes::kTooLarge);
  const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_MPEG2VIDEO);
  if (codec == nullptr)
    return Problem(logo_notes::kNotDecoded);
  std::unique_ptr<AVCodecParserContext, ParserFree> parser(av_parser_init(codec->id));
  std::unique_ptr<AVCodecContext, ContextFree> context(avcodec_alloc_context3(codec));
  std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
  std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
  if (!parser || !context || !packet || !frame)
    return Problem(logo_notes::kNotDecoded);
  // One still, decoded where it is asked for: no decoder threads.
  context->thread_count = 1;
  if (avcodec_open2(context.get(), codec, nullptr) < 0)
    return Problem(logo_notes::kNotDecoded);

  // The parser and decoder read a little beyond the end of their input: the copy has the
  // zeroed padding they may touch.
  std::vector<uint8_t> input = stream;
  input.resize(stream.size() + AV_INPUT_BUFFER_PADDING_SIZE, 0);

  bool damaged = false;
  // Takes every picture the decoder has ready; true once one good picture is there.
  auto receive = [&]() -> bool {
    while (avcodec_receive_frame(context.get(), frame.get()) == 0) {
      if (frame->decode_error_flags != 0 || (frame->flags & AV_FRAME_FLAG_CORRUPT) != 0) {
        damaged = true;
        av_frame_unref(frame.get());
        continue;
      }
      return true;
    }
    return false;
  };
  auto send = [&](AVPacket* p) -> bool {
    if (avcodec_send_packet(context.get(), p) < 0)
      damaged = true;
    return receive();
  };

  const uint8_t* data = input.data();
  int left = static_cast<int>(stream.size());
  bool have = false;
  // The parser cuts the stream into pictures.
  while (left > 0 && !have) {
    uint8_t* out = nullptr;
    int out_size = 0;
    const int used = av_parser_parse2(parser.get(), context.get(), &out, &out_size, data, left,
                                      AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
    if (used < 0 || (used == 0 && out_size == 0))
      break;
    data += used;
    left -= used;
    if (out_size > 0) {
      packet->data = out;
      packet->size = out_size;
      have = send(packet.get());
    }
  }
  if (!have) {
    // An empty input hands over the picture still inside the parser; an empty packet then
    // drains the decoder's reorder delay.
    uint8_t* out = nullptr;
    int out_size = 0;
    av_parser_parse2(parser.get(), context.get(), &out, &out_size, nullptr, 0, AV_NOPTS_VALUE,
                     AV_NOPTS_VALUE, 0);
    if (out_size > 0) {
      packet->data = out;
      packet->size = out_size;
      have = send(packet.get());
    }
    if (!have)
      have = send(nullptr);
  }
  if (!have)
    return Problem(damaged ? logo_notes::kDamaged : logo_notes::kNotDecoded);
  std::optional<LogoPicture> picture = ToRgb(*frame);
  if (!picture)
    return Problem(logo_notes::kNotDecoded);
  return LogoDecoding{std::move(picture), {}};
}

}  // namespace qtk
