#pragma once

#include <gtest/gtest.h>

#include <string>

#include "common/utf8_path.h"
#include "config/config_description.h"
#include "testdata/config_writer.h"
#include "testdata/temp_dir.h"

namespace qtk {

// A realistic description in a fresh directory; tests break it, write it and load it.
class DescriptionTest : public ::testing::Test {
 protected:
  bool Load() {
    EXPECT_TRUE(spec_.Write(PathFromUtf8(path_)));
    config_.SetDescriptionPath(path_);
    return config_.Load();
  }

  // The message of a -3 fault with that text, for this description's path.
  std::string SectionMessage(const std::string& text) const {
    return "Error: " + path_ + ":\r\n[" + text + "] data is error.\r\n";
  }
  std::string OtherMessage(const std::string& text) const {
    return "Error: " + path_ + ":\r\n" + text;
  }

  // Loads and expects a failure with that code and message.
  void ExpectLoadFails(int32_t code, const std::string& message) {
    EXPECT_FALSE(Load());
    LoadError error = config_.GetLoadError();
    EXPECT_EQ(error.code, code);
    EXPECT_EQ(error.number, 0u);
    EXPECT_EQ(error.message, message);
  }

  testdata::TempDir dir_{"qtk_config"};
  std::string path_ = dir_.File(testdata::kDefaultDescriptionName);
  testdata::DescriptionSpec spec_ = testdata::RealisticDescription();
  ConfigDescription config_;
};

}  // namespace qtk
