#include "testdata/mpeg2_still.h"

#include <algorithm>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

namespace qtk::testdata {
namespace {

struct ContextFree {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
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

constexpr uint8_t kSequenceEnd[] = {0x00, 0x00, 0x01, 0xB7};

}  // namespace

RgbPicture QuadrantPicture(int width, int height, const uint32_t (&colours)[4]) {
  RgbPicture picture{width, height, {}};
  picture.rgb.reserve(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t c = colours[(y < height / 2 ? 0 : 2) + (x < width / 2 ? 0 : 1)];
      picture.rgb.push_back(static_cast<uint8_t>(c >> 16));
      picture.rgb.push_back(static_cast<uint8_t>(c >> 8));
      picture.rgb.push_back(static_cast<uint8_t>(c));
    }
  }
  return picture;
}

std::vector<uint8_t> EncodeMpeg2Still(const RgbPicture& picture, int quantizer) {
  av_log_set_level(AV_LOG_QUIET);
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MPEG2VIDEO);
  if (codec == nullptr || picture.width <= 0 || picture.height <= 0 ||
      picture.rgb.size() != static_cast<size_t>(picture.width) * picture.height * 3)
    return {};
  std::unique_ptr<AVCodecContext, ContextFree> context(avcodec_alloc_context3(codec));
  std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
  std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
  if (!context || !frame || !packet)
    return {};
  context->width = picture.width;
  context->height = picture.height;
  context->pix_fmt = AV_PIX_FMT_YUV420P;
  context->time_base = AVRational{1, 25};
  context->framerate = AVRational{25, 1};
  context->gop_size = 1;
  context->max_b_frames = 0;
  context->thread_count = 1;
  context->flags |= AV_CODEC_FLAG_QSCALE;
  context->global_quality = FF_QP2LAMBDA * quantizer;
  if (avcodec_open2(context.get(), codec, nullptr) < 0)
    return {};

  frame->format = AV_PIX_FMT_YUV420P;
  frame->width = picture.width;
  frame->height = picture.height;
  frame->quality = context->global_quality;
  frame->pts = 0;
  if (av_frame_get_buffer(frame.get(), 0) < 0)
    return {};
  std::unique_ptr<SwsContext, ScaleFree> scale(
      sws_getContext(picture.width, picture.height, AV_PIX_FMT_RGB24, picture.width, picture.height,
                     AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr));
  if (!scale)
    return {};
  const uint8_t* source[4] = {picture.rgb.data(), nullptr, nullptr, nullptr};
  const int source_stride[4] = {picture.width * 3, 0, 0, 0};
  sws_scale(scale.get(), source, source_stride, 0, picture.height, frame->data, frame->linesize);

  std::vector<uint8_t> stream;
  auto drain = [&] {
    while (avcodec_receive_packet(context.get(), packet.get()) == 0) {
      stream.insert(stream.end(), packet->data, packet->data + packet->size);
      av_packet_unref(packet.get());
    }
  };
  if (avcodec_send_frame(context.get(), frame.get()) < 0)
    return {};
  drain();
  avcodec_send_frame(context.get(), nullptr);
  drain();
  if (stream.size() < 4)
    return {};
  // A logo stream ends with the sequence end code, which the logo check looks for.
  if (!std::equal(std::end(kSequenceEnd) - 4, std::end(kSequenceEnd), stream.end() - 4))
    stream.insert(stream.end(), std::begin(kSequenceEnd), std::end(kSequenceEnd));
  return stream;
}

}  // namespace qtk::testdata
