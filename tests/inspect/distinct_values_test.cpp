// Values that fields declare distinct: key codes per column, column pairs, fields of a group,
// values that mean "not used", hidden fields.
#include "inspect/distinct_values.h"

#include <gtest/gtest.h>

namespace qtk {
namespace {

PageField Rows(std::string name, std::vector<std::string> headers, FieldRows rows) {
  return ListField(
      std::move(name), std::move(headers), [rows] { return rows; },
      [](const FieldRows&) { return std::string(); });
}

PageField Choice(std::string name, std::string value) {
  PageField f;
  f.name = std::move(name);
  f.kind = FieldKind::kChoice;
  f.get = [value] { return FieldValue(value); };
  return f;
}

TEST(DistinctValues, RepeatedKeysInAColumnNameBothRowsAndTheValue) {
  const std::vector<PageField> fields = {
      Rows("IR Key Usage", {"IR Key Usage", "Key1(in Hex)", "Key2(in Hex)"},
           {{"Power", "1a", "00"},
            {"Mute", "2B", "00"},
            {"Menu", "1A", ""},
            {"Exit", "", "00"},
            {"OK", "2b", "07"}})
          .DistinctColumns({1})
          .DistinctColumns({2}, {"00"}),
  };
  EXPECT_EQ(DistinctValueFindings("Key map", fields),
            (std::vector<Finding>{
                {"Key map / IR Key Usage", "rows 1 and 3 hold the same Key1(in Hex): \"1A\""},
                {"Key map / IR Key Usage", "rows 2 and 5 hold the same Key1(in Hex): \"2b\""},
            }));
}

TEST(DistinctValues, ColumnSetsCompareTheCellsTogether) {
  const std::vector<PageField> fields = {
      Rows("Serial Flash Device", {"Flash ID", "BitOffset", "Sector"},
           {{"C2", "3", "1"}, {"C2", "4", "1"}, {"EF", "3", "2"}, {"c2", "3", "2"}})
          .DistinctColumns({0, 1}),
  };
  EXPECT_EQ(DistinctValueFindings("Serial flash", fields),
            (std::vector<Finding>{{"Serial flash / Serial Flash Device",
                                   "rows 1 and 4 hold the same Flash ID and BitOffset: \"c2\", "
                                   "\"3\""}}));
}

TEST(DistinctValues, FieldsOfAGroupMayNotShareAValue) {
  std::vector<PageField> fields = {
      Choice("Pause window", "EPG").DistinctIn("window keys", {"None"}),
      Choice("Preview window", "none").DistinctIn("window keys", {"None"}),
      Choice("DView window", "epg").DistinctIn("window keys", {"None"}),
      Choice("Other", "EPG"),  // in no group
      Choice("Hidden", "EPG").DistinctIn("window keys").ShownWhen([] { return false; }),
  };
  EXPECT_EQ(DistinctValueFindings("Key map", fields),
            (std::vector<Finding>{
                {"Key map / DView window", "holds the same value as Pause window: \"epg\""}}));
  fields[2] = Choice("DView window", "None").DistinctIn("window keys", {"None"});
  EXPECT_TRUE(DistinctValueFindings("Key map", fields).empty());
}

TEST(DistinctValues, ListsWithoutDeclarationsAndEmptyListsFindNothing) {
  const std::vector<PageField> fields = {
      Rows("Usage", {"Usage", "GPIO No."}, {{"LED", "5"}, {"Tuner", "5"}}),
      Rows("Empty", {"A"}, {}).DistinctColumns({0}),
      Rows("Short rows", {"A", "B"}, {{"x"}, {"y"}}).DistinctColumns({1}),
  };
  EXPECT_TRUE(DistinctValueFindings("GPIO usage", fields).empty());
}

TEST(DistinctValues, OnlyTheRowsTheFieldNamesTakePart) {
  // GPIO rows first, then rows that hold plain values (a digit order, a debounce time).
  const std::vector<PageField> fields = {
      Rows("Usage", {"Usage", "GPIO No."},
           {{"Panel clock", "5"},
            {"Panel data", "63"},
            {"LNB power", "63"},
            {"Tuner reset", "5"},
            {"Digit order", "5"},
            {"Key debounce", "5"}})
          .DistinctColumns({1}, {"63"})
          .DistinctRowsWhere([](size_t row) { return row < 4; }),
  };
  EXPECT_EQ(DistinctValueFindings("GPIO usage", fields),
            (std::vector<Finding>{
                {"GPIO usage / Usage", "rows 1 and 4 hold the same GPIO No.: \"5\""}}));
}

}  // namespace
}  // namespace qtk
