// The desktop program's application object: an exception that a slot or an event handler
// lets escape reaches the fault handler, never Qt's event loop. This test builds the
// application object itself, so it has its own main.
#include "app/guarded_application.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QTimer>
#include <filesystem>
#include <new>
#include <stdexcept>

#include "common/file_io.h"
#include "common/pending_file.h"
#include "testdata/temp_dir.h"

namespace qtk {
namespace {

std::vector<std::string>& Faults() {
  static std::vector<std::string> faults;
  return faults;
}

// An object whose event handler fails the way a save can fail deep inside.
class FailingObject : public QObject {
 public:
  explicit FailingObject(std::function<void()> fail) : fail_(std::move(fail)) {}
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User)
      fail_();
    return QObject::event(e);
  }

 private:
  std::function<void()> fail_;
};

TEST(GuardedApplication, AnEventHandlerThatThrowsReachesTheFaultHandler) {
  Faults().clear();
  FailingObject out_of_memory([] { throw std::bad_alloc(); });
  QEvent event(QEvent::User);
  EXPECT_FALSE(QCoreApplication::sendEvent(&out_of_memory, &event));
  FailingObject broken([] { throw std::runtime_error("chunk table broken"); });
  QCoreApplication::sendEvent(&broken, &event);
  EXPECT_EQ(Faults(),
            (std::vector<std::string>{
                "Not enough memory to go on; the program ends without writing anything more.",
                "Unexpected error: chunk table broken; the program ends without writing "
                "anything more."}));
}

TEST(GuardedApplication, ASlotThatThrowsInTheEventLoopLeavesNoOutputBehind) {
  Faults().clear();
  testdata::TempDir dir("qtk_guarded");
  bool folder_empty_when_reported = false;
  QTimer::singleShot(0, [&] {
    PendingFile file(dir.File("out.bin"));
    file.Write(std::vector<uint8_t>(64, 1));
    throw std::runtime_error("disk full");
  });
  QTimer::singleShot(10, [&] {
    folder_empty_when_reported = std::filesystem::is_empty(dir.path());
    QCoreApplication::quit();
  });
  QCoreApplication::exec();
  EXPECT_EQ(Faults().size(), 1u);
  EXPECT_TRUE(folder_empty_when_reported);
}

}  // namespace
}  // namespace qtk

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  qtk::GuardedApplication application(
      argc, argv, [](const std::string& description) { qtk::Faults().push_back(description); });
  return RUN_ALL_TESTS();
}
