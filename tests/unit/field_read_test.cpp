// An input read again when nothing it depends on has changed is not parsed or shown again: the
// read keeps what it gave. Whatever changes in between, the read gives what a read of the same
// field without that memory gives.
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "calc/field_io.h"
#include "calc/record_store.h"

namespace zynta::calc {
namespace {

RecordStore HeadLossStore() {
  RecordStore store;
  store.equation = Equation::DarcyWeisbach;
  FieldRecord& hl = store.Field(HL);
  hl.text = "12.345";
  hl.unit = "ftliq";
  hl.decimals = 2;
  store.Field(SG).text = "1";
  return store;
}

struct ReadCase {
  const char* name;
  std::function<void(RecordStore&)> change;  // between the reads
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class KeptRead : public testing::TestWithParam<ReadCase> {};

TEST_P(KeptRead, GivesWhatAFreshReadGives) {
  RecordStore store = HeadLossStore();
  ReadInput(store, HL);  // "12.345" read and rewritten as "12.35"
  ReadInput(store, HL);  // the rewritten text read: kept from here
  ASSERT_EQ(store.Field(HL).text, "12.35");
  GetParam().change(store);
  RecordStore fresh = store;
  fresh.Field(HL).shown = {};
  const double kept = ReadInput(store, HL);
  const double read = ReadInput(fresh, HL);
  EXPECT_EQ(kept, read);
  EXPECT_EQ(store.Field(HL).text, fresh.Field(HL).text);
  EXPECT_EQ(store.Value(HL), fresh.Value(HL));
}

INSTANTIATE_TEST_SUITE_P(
    Changes, KeptRead,
    testing::Values(ReadCase{"Nothing", [](RecordStore&) {}},
                    ReadCase{"TextTyped", [](RecordStore& s) { s.Field(HL).text = "7.125"; }},
                    ReadCase{"SameNumberOtherText", [](RecordStore& s) { s.Field(HL).text = "12.350"; }},
                    ReadCase{"UnitFactor", [](RecordStore& s) { s.Field(HL).factor = 0.3048; }},
                    ReadCase{"Decimals", [](RecordStore& s) { s.Field(HL).decimals = 0; }},
                    ReadCase{"UnitNeedingGravity",
                             [](RecordStore& s) {
                               s.Field(HL).unit = "psi";
                               s.Field(SG).text = "0.8";
                             }},
                    ReadCase{"ValueWrittenOver", [](RecordStore& s) { WriteResult(s, HL, 3.0); }}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

// The gravity of a kept read is the one read with it: a new specific gravity reads anew.
TEST(KeptRead, FollowsTheSpecificGravity) {
  RecordStore store = HeadLossStore();
  store.Field(HL).unit = "psi";
  store.Field(SG).text = "0.8";
  ReadInput(store, HL);
  const double before = ReadInput(store, HL);
  store.Field(SG).text = "1.6";
  EXPECT_DOUBLE_EQ(ReadInput(store, HL), before / 2.0);
}

}  // namespace
}  // namespace zynta::calc
