// qtktool from the Load Firmware dialog's OK to the main window on the screen, for a 16 MiB
// image with a full-size boot logo: the load (description, image, record, password), the
// main window with its twelve pages, and its showing up to the first paint.
//
//   qtktool_load_bench [--runs N] [--pattern-logo]
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise. The first run meets a
// fresh program (fonts, styles and the decoder loaded for the first time), as a user does at
// start-up; the later runs show what a reload through "Load FW..." costs. Goal: the first
// run within 0.2 s. --pattern-logo leaves a pattern in the logo chunk (no picture to decode).
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/pages/page_registry.h"
#include "bench/sixteen_mib_image.h"
#include "common/recording_dialogs.h"
#include "firmware/firmware_loader.h"
#include "testdata/config_writer.h"
#include "testdata/mpeg2_still.h"
#include "testdata/temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

// Notes the first paint of the window it watches.
class FirstPaint : public QObject {
 public:
  bool painted = false;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint)
      painted = true;
    return QObject::eventFilter(watched, event);
  }
};

struct Phases {
  double load = 0;
  double window = 0;
  double shown = 0;
  double Total() const { return load + window + shown; }
};

// A full-screen boot logo, as a box's firmware carries it.
std::vector<uint8_t> FullSizeLogo() {
  const uint32_t colours[4] = {0x102860, 0xF0F0F0, 0xD02020, 0x20A040};
  return qtk::testdata::EncodeMpeg2Still(qtk::testdata::QuadrantPicture(720, 576, colours), 6);
}

bool OpenOnce(const qtk::testdata::TempDir& dir, Phases& phases) {
  qtk::RecordingDialogs dialogs;
  qtk::LoadSession session;
  const auto start = Clock::now();
  auto project =
      qtk::OpenFirmware(dir.File("image.bin"), dir.File(qtk::testdata::kDefaultDescriptionName),
                        qtk::bench::kSixteenMiBPassword, session, dialogs);
  const auto loaded = Clock::now();
  if (!project) {
    std::fprintf(stderr, "the load failed: %s\n",
                 dialogs.messages.empty() ? "?" : dialogs.messages.back().text.c_str());
    return false;
  }
  qtk::MainWindowSetup setup;
  setup.dialogs = &dialogs;
  setup.application_directory = dir.path();
  setup.page_models = qtk::CreatePageModel;
  setup.page_views = qtk::CreatePageView;
  auto window = std::make_unique<qtk::MainWindow>(std::move(*project), session, std::move(setup));
  const auto built = Clock::now();

  FirstPaint paint;
  window->installEventFilter(&paint);
  window->show();
  QElapsedTimer limit;
  limit.start();
  while (!paint.painted && limit.elapsed() < 10000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  const auto shown = Clock::now();
  window->removeEventFilter(&paint);
  if (!paint.painted || !dialogs.messages.empty()) {
    std::fprintf(stderr, "the window %s\n",
                 paint.painted ? "showed a message" : "was not painted within 10 s");
    return false;
  }
  phases = {Seconds(start, loaded), Seconds(loaded, built), Seconds(built, shown)};
  return true;
}

void PrintRow(const char* what, const Phases& p) {
  std::printf("%-26s %8.4f s %8.4f s %8.4f s %8.4f s\n", what, p.load, p.window, p.shown,
              p.Total());
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  int runs = 5;
  bool pattern_logo = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--pattern-logo") == 0) {
      pattern_logo = true;
    } else {
      std::fprintf(stderr, "usage: %s [--runs N] [--pattern-logo]\n", argv[0]);
      return 2;
    }
  }
  QApplication application(argc, argv);

  qtk::testdata::TempDir dir("qtk_window_bench");
  const std::vector<uint8_t> logo = pattern_logo ? std::vector<uint8_t>{} : FullSizeLogo();
  if (!pattern_logo && logo.empty()) {
    std::fprintf(stderr, "the MPEG-2 encoder is missing\n");
    return 1;
  }
  if (!qtk::bench::WriteSixteenMiBFolder(dir.path(), logo)) {
    std::fprintf(stderr, "cannot write the image and its description\n");
    return 1;
  }

  std::vector<Phases> all;
  for (int i = 0; i < runs; ++i) {
    Phases phases;
    if (!OpenOnce(dir, phases))
      return 1;
    all.push_back(phases);
  }
  Phases best = all.size() > 1 ? all[1] : all[0];
  for (size_t i = 1; i < all.size(); ++i) {
    if (all[i].Total() < best.Total())
      best = all[i];
  }

  std::printf("image: %u bytes, logo chunk: %s; platform %s\n", qtk::bench::kSixteenMiB,
              pattern_logo ? "pattern" : "720x576 MPEG-2 still",
              qPrintable(QGuiApplication::platformName()));
  std::printf("%-26s %10s %10s %10s %10s\n", "run", "load", "window", "shown", "total");
  PrintRow("first (program start)", all[0]);
  if (all.size() > 1)
    PrintRow("fastest later (reload)", best);
  std::printf("goal: first run total <= 0.2 s\n");
  return 0;
}
