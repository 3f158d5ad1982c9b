#include "refdata/table.h"

#include <gtest/gtest.h>

#include "units/number_text.h"

namespace zynta::refdata {
namespace {

using Strings = std::vector<std::string>;

DataPacket Packet(const std::string& fields, const std::string& rows) {
  return DataPacket::Parse(
      "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\">"
      "<METADATA><FIELDS>" +
      fields + "</FIELDS></METADATA><ROWDATA>" + rows + "</ROWDATA></DATAPACKET>");
}

// Pipe schedules stored out of order; "CU" has no sizes.
DataPacket Specs() {
  return Packet(
      "<FIELD attrname=\"Index\" fieldtype=\"string\" WIDTH=\"4\"/>"
      "<FIELD attrname=\"Description\" fieldtype=\"string\" WIDTH=\"50\"/>"
      "<FIELD attrname=\"HWCoef\" fieldtype=\"r8\"/>",
      "<ROW Index=\"S80\" Description=\"Schedule 80\" HWCoef=\"130\"/>"
      "<ROW Index=\"S40\" Description=\"Schedule 40\" HWCoef=\"140\"/>"
      "<ROW Index=\"CU\" Description=\"Copper\" HWCoef=\"150\"/>");
}

// Sizes stored out of order; "10" sorts after "2" by value.
DataPacket Sizes() {
  return Packet(
      "<FIELD attrname=\"Index\" fieldtype=\"string\" WIDTH=\"4\"/>"
      "<FIELD attrname=\"NomSize\" fieldtype=\"r8\"/>"
      "<FIELD attrname=\"InDia\" fieldtype=\"r8\"/>",
      "<ROW Index=\"S80\" NomSize=\"2\" InDia=\"1.939\"/>"
      "<ROW Index=\"S40\" NomSize=\"1\" InDia=\"1.049\"/>"
      "<ROW Index=\"S40\" NomSize=\"10\" InDia=\"10.02\"/>"
      "<ROW Index=\"S80\" NomSize=\"0.5\" InDia=\"0.546\"/>"
      "<ROW Index=\"S40\" NomSize=\"0.5\" InDia=\"0.622\"/>"
      "<ROW Index=\"S40\" NomSize=\"2\" InDia=\"2.067\"/>"
      "<ROW Index=\"S80\" NomSize=\"1\" InDia=\"0.957\"/>");
}

Table SpecTable() { return Table(Specs(), {"Index"}); }
Table SizeTable() { return Table(Sizes(), {"Index", "NomSize"}); }

// The column's texts from First to the end.
Strings Walk(Table& t, std::string_view column) {
  Strings seen;
  for (t.First(); !t.Eof(); t.Next()) seen.push_back(t.AsString(column));
  return seen;
}

// The column's texts from the current row to the end, without First.
Strings WalkOn(Table& t, std::string_view column) {
  Strings seen;
  for (; !t.Eof(); t.Next()) seen.push_back(t.AsString(column));
  return seen;
}

std::string Key(const Table& t) { return t.AsString("Index") + " " + t.AsString("NomSize"); }

class SeparatorGuard {
 public:
  explicit SeparatorGuard(char sep) { units::SetDecimalSeparator(sep); }
  ~SeparatorGuard() { units::SetDecimalSeparator('.'); }
  SeparatorGuard(const SeparatorGuard&) = delete;
  SeparatorGuard& operator=(const SeparatorGuard&) = delete;
};

// ---- Order ----

TEST(TableOrder, SortsByTheIndexColumnsAscending) {
  Table sizes = SizeTable();
  Strings keys;
  for (sizes.First(); !sizes.Eof(); sizes.Next()) keys.push_back(Key(sizes));
  EXPECT_EQ(keys, (Strings{"S40 0.5", "S40 1", "S40 2", "S40 10", "S80 0.5", "S80 1", "S80 2"}));
  Table specs = SpecTable();
  EXPECT_EQ(Walk(specs, "Index"), (Strings{"CU", "S40", "S80"}));
}

TEST(TableOrder, OrdersTextsByTheirBytesWithNullsFirst) {
  Table t(Packet("<FIELD attrname=\"T\" fieldtype=\"string\" WIDTH=\"9\"/>"
                 "<FIELD attrname=\"N\" fieldtype=\"i4\"/>",
                 "<ROW T=\"b\" N=\"1\"/><ROW T=\"a\" N=\"2\"/><ROW T=\"B\" N=\"3\"/>"
                 "<ROW T=\"\xE9\" N=\"4\"/><ROW T=\"ab\" N=\"5\"/><ROW N=\"6\"/>"
                 "<ROW T=\"Z\" N=\"7\"/><ROW T=\"\" N=\"8\"/><ROW T=\"a b\" N=\"9\"/>"),
          {"T"});
  // null, "", "B", "Z", "a", "a b", "ab", "b", "é" (UTF-8 C3 A9 after every ASCII byte)
  EXPECT_EQ(Walk(t, "N"), (Strings{"6", "8", "3", "7", "2", "9", "5", "1", "4"}));
}

TEST(TableOrder, OrdersNumbersByValueAndKeepsTheFileOrderOfEqualKeys) {
  Table t(Packet("<FIELD attrname=\"R\" fieldtype=\"r8\"/><FIELD attrname=\"I\" fieldtype=\"i4\"/>"
                 "<FIELD attrname=\"N\" fieldtype=\"i4\"/>",
                 "<ROW R=\"10\" I=\"5\" N=\"1\"/><ROW R=\"-1\" I=\"-20\" N=\"2\"/>"
                 "<ROW R=\"2\" I=\"5\" N=\"3\"/><ROW R=\"1E-3\" I=\"100\" N=\"4\"/>"
                 "<ROW R=\"2\" I=\"3\" N=\"5\"/><ROW R=\"2\" I=\"5\" N=\"6\"/>"),
          {"R"});
  EXPECT_EQ(Walk(t, "N"), (Strings{"2", "4", "3", "5", "6", "1"}));
  Table byInteger(Packet("<FIELD attrname=\"I\" fieldtype=\"i4\"/><FIELD attrname=\"N\" "
                         "fieldtype=\"i4\"/>",
                         "<ROW I=\"5\" N=\"1\"/><ROW I=\"-20\" N=\"2\"/><ROW I=\"100\" N=\"3\"/>"
                         "<ROW N=\"4\"/><ROW I=\"5\" N=\"5\"/>"),
                  {"I"});
  EXPECT_EQ(Walk(byInteger, "N"), (Strings{"4", "2", "1", "5", "3"}));
}

TEST(TableOrder, WithoutIndexColumnsKeepsTheFileOrder) {
  Table t(Sizes(), {});
  EXPECT_EQ(Walk(t, "InDia"), (Strings{"1.939", "1.049", "10.02", "0.546", "0.622", "2.067", "0.957"}));
}

TEST(TableOrder, RefusesAMissingIndexColumn) {
  const Strings cases[] = {{"Description"}, {"Index", "NomSiz"}, {"index"}};
  for (const Strings& index : cases) {
    SCOPED_TRACE(index.back());
    try {
      Table t(Sizes(), index);
      ADD_FAILURE() << "no error";
    } catch (const DataPacketError& e) {
      EXPECT_NE(std::string(e.what()).find("'" + index.back() + "'"), std::string::npos);
    }
  }
}

// ---- Current row ----

TEST(TableCursor, FirstNextAndEndOfTable) {
  Table specs = SpecTable();
  // Opening makes the first row current.
  EXPECT_FALSE(specs.Eof());
  EXPECT_EQ(specs.AsString("Index"), "CU");
  specs.Next();
  specs.Next();
  EXPECT_EQ(specs.AsString("Index"), "S80");
  EXPECT_FALSE(specs.Eof());
  // Next on the last row stays there and puts the table at its end.
  specs.Next();
  EXPECT_TRUE(specs.Eof());
  EXPECT_EQ(specs.AsString("Index"), "S80");
  specs.Next();
  EXPECT_TRUE(specs.Eof());
  EXPECT_EQ(specs.AsString("Index"), "S80");
  specs.First();
  EXPECT_FALSE(specs.Eof());
  EXPECT_EQ(specs.AsString("Index"), "CU");
  EXPECT_EQ(specs.RowCount(), 3u);
}

TEST(TableCursor, ATableWithoutRowsIsAtItsEnd) {
  Table t(Packet("<FIELD attrname=\"T\" fieldtype=\"string\" WIDTH=\"4\"/>"
                 "<FIELD attrname=\"R\" fieldtype=\"r8\"/>",
                 ""),
          {"T"});
  EXPECT_TRUE(t.Eof());
  t.First();
  EXPECT_TRUE(t.Eof());
  t.Next();
  EXPECT_TRUE(t.Eof());
  EXPECT_EQ(t.RowCount(), 0u);
  EXPECT_EQ(t.AsString("T"), "");
  EXPECT_EQ(t.AsFloat("R"), 0.0);
  EXPECT_FALSE(t.Locate("T", "x"));
  EXPECT_FALSE(t.FindKey({"x"}));
  EXPECT_TRUE(t.Eof());
}

TEST(TableCursor, ASingleRowIsFirstAndLast) {
  Table t(Packet("<FIELD attrname=\"T\" fieldtype=\"string\" WIDTH=\"4\"/>", "<ROW T=\"x\"/>"), {"T"});
  EXPECT_FALSE(t.Eof());
  t.Next();
  EXPECT_TRUE(t.Eof());
  EXPECT_EQ(t.AsString("T"), "x");
  t.First();
  EXPECT_FALSE(t.Eof());
}

// ---- Field values ----

struct ValueCase {
  const char* field;    // the FIELD element's fieldtype and WIDTH
  const char* written;  // the attribute in the file; nullptr: missing
  const char* asString;
  double asFloat;
};

TEST(TableField, ReadsValuesAsTextAndAsNumber) {
  const ValueCase cases[] = {
      {"fieldtype=\"r8\"", "2.067", "2.067", 2.067},
      {"fieldtype=\"r8\"", "2.0", "2", 2.0},
      {"fieldtype=\"r8\"", "0.1", "0.1", 0.1},
      {"fieldtype=\"r8\"", "-0.5", "-0.5", -0.5},
      {"fieldtype=\"r8\"", "1E-5", "1E-5", 1e-5},
      {"fieldtype=\"r8\"", "1500000", "1500000", 1500000.0},
      {"fieldtype=\"r8\"", "0.33333333333333331", "0.333333333333333", 0.33333333333333331},
      {"fieldtype=\"r8\"", "123456789012345678", "1.23456789012346E17", 123456789012345678.0},
      {"fieldtype=\"r8\"", nullptr, "", 0.0},
      {"fieldtype=\"i4\"", "-7", "-7", -7.0},
      {"fieldtype=\"i4\"", "850", "850", 850.0},
      {"fieldtype=\"i4\"", nullptr, "", 0.0},
      {"fieldtype=\"string\" WIDTH=\"9\"", "Water", "Water", 0.0},
      {"fieldtype=\"string\" WIDTH=\"9\"", "2.5", "2.5", 2.5},
      {"fieldtype=\"string\" WIDTH=\"9\"", "1E3", "1E3", 1000.0},
      {"fieldtype=\"string\" WIDTH=\"9\"", "2,5", "2,5", 0.0},
      {"fieldtype=\"string\" WIDTH=\"9\"", "", "", 0.0},
      {"fieldtype=\"string\" WIDTH=\"9\"", nullptr, "", 0.0},
  };
  for (const ValueCase& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " " + (c.written ? c.written : "(missing)"));
    const std::string row = c.written ? std::string("<ROW V=\"") + c.written + "\"/>" : std::string("<ROW/>");
    Table t(Packet(std::string("<FIELD attrname=\"V\" ") + c.field + "/>", row), {});
    EXPECT_EQ(t.AsString("V"), c.asString);
    EXPECT_EQ(t.AsFloat("V"), c.asFloat);
  }
}

TEST(TableField, TextsReadAsNumbersWithThePointWhateverTheUsersSeparator) {
  const SeparatorGuard comma(',');
  Table t(Packet("<FIELD attrname=\"T\" fieldtype=\"string\" WIDTH=\"9\"/>"
                 "<FIELD attrname=\"R\" fieldtype=\"r8\"/>",
                 "<ROW T=\"2.5\" R=\"0.25\"/>"),
          {});
  EXPECT_EQ(t.AsFloat("T"), 2.5);
  EXPECT_EQ(t.AsString("R"), "0.25");
}

TEST(TableField, RefusesAnUnknownColumn) {
  Table specs = SpecTable();
  EXPECT_THROW(specs.AsString("Desc"), DataPacketError);
  EXPECT_THROW(specs.AsFloat("hwcoef"), DataPacketError);
  EXPECT_THROW(specs.Locate("description", "Copper"), DataPacketError);
}

// ---- Locate ----

TEST(TableLocate, FindsTheExactTextOnly) {
  struct LocateCase {
    const char* text;
    bool found;
    const char* index;  // current Index afterwards
  };
  const LocateCase cases[] = {
      {"Schedule 40", true, "S40"},
      {"Copper", true, "CU"},
      {"schedule 40", false, "S80"},
      {"SCHEDULE 40", false, "S80"},
      {"Schedule 4", false, "S80"},
      {"Schedule 40 ", false, "S80"},
      {"", false, "S80"},
  };
  for (const LocateCase& c : cases) {
    SCOPED_TRACE(c.text);
    Table specs = SpecTable();
    specs.Next();
    specs.Next();
    specs.Next();  // at the end of the table, on S80
    EXPECT_EQ(specs.Locate("Description", c.text), c.found);
    EXPECT_EQ(specs.AsString("Index"), c.index);
    EXPECT_EQ(specs.Eof(), !c.found);
  }
}

TEST(TableLocate, TakesTheFirstMatchInTableOrder) {
  Table t(Packet("<FIELD attrname=\"K\" fieldtype=\"i4\"/>"
                 "<FIELD attrname=\"D\" fieldtype=\"string\" WIDTH=\"9\"/>",
                 "<ROW K=\"3\" D=\"same\"/><ROW K=\"1\" D=\"other\"/><ROW K=\"2\" D=\"same\"/>"),
          {"K"});
  t.Next();
  t.Next();
  ASSERT_TRUE(t.Locate("D", "same"));
  EXPECT_EQ(t.AsString("K"), "2");
}

TEST(TableLocate, ANumberColumnComparesTheTextAsANumber) {
  Table specs = SpecTable();
  EXPECT_TRUE(specs.Locate("HWCoef", "140.0"));
  EXPECT_EQ(specs.AsString("Index"), "S40");
  EXPECT_FALSE(specs.Locate("HWCoef", "abc"));
  EXPECT_FALSE(specs.Locate("HWCoef", "141"));
  EXPECT_EQ(specs.AsString("Index"), "S40");
}

// ---- FindKey ----

struct FindKeyCase {
  Strings values;
  const char* found;  // "Index NomSize" of the row made current; nullptr: none
};

void ExpectFindKey(const FindKeyCase& c) {
  std::string trace;
  for (const std::string& v : c.values) trace += "[" + v + "]";
  SCOPED_TRACE(trace);
  Table sizes = SizeTable();
  sizes.Next();  // on S40 1
  EXPECT_EQ(sizes.FindKey(c.values), c.found != nullptr);
  // Without a match the current row stays.
  EXPECT_EQ(Key(sizes), c.found ? c.found : "S40 1");
}

TEST(TableFindKey, OneValueTakesTheSmallestSizeOfThePipeSchedule) {
  const FindKeyCase cases[] = {
      {{"S40"}, "S40 0.5"}, {{"S80"}, "S80 0.5"}, {{"CU"}, nullptr},   {{"s40"}, nullptr},
      {{"S4"}, nullptr},    {{""}, nullptr},      {{"S40 "}, nullptr},
  };
  for (const FindKeyCase& c : cases) ExpectFindKey(c);
}

TEST(TableFindKey, TwoValuesReadTheSizeAsANumber) {
  const FindKeyCase cases[] = {
      {{"S40", "2"}, "S40 2"},     {{"S40", "2.0"}, "S40 2"},  {{"S40", "10"}, "S40 10"},
      {{"S80", "0.5"}, "S80 0.5"}, {{"S40", ".5"}, "S40 0.5"}, {{"S40", "5E-1"}, "S40 0.5"},
      {{"S80", "2"}, "S80 2"},     {{"S80", "10"}, nullptr},   {{"S40", "2.067"}, nullptr},
      {{"S40", "3"}, nullptr},     {{"S40", ""}, nullptr},     {{"S40", "abc"}, nullptr},
      {{"S40", "2,0"}, nullptr},   {{"", "2"}, nullptr},       {{"S40", "2", "2.067"}, nullptr},
  };
  for (const FindKeyCase& c : cases) ExpectFindKey(c);
}

TEST(TableFindKey, ReadsTheSizeWithTheUsersDecimalSeparator) {
  const SeparatorGuard comma(',');
  const FindKeyCase cases[] = {
      {{"S40", "2,0"}, "S40 2"}, {{"S40", "0,5"}, "S40 0.5"}, {{"S40", "2"}, "S40 2"},
      {{"S40", "0.5"}, nullptr}, {{"S40", "2.0"}, nullptr},
  };
  for (const FindKeyCase& c : cases) ExpectFindKey(c);
}

TEST(TableFindKey, FindsByATextIndex) {
  Table liquids(Packet("<FIELD attrname=\"Description\" fieldtype=\"string\" WIDTH=\"39\"/>"
                       "<FIELD attrname=\"Spec_Grav\" fieldtype=\"r8\"/>",
                       "<ROW Description=\"Water 60F\" Spec_Grav=\"1\"/>"
                       "<ROW Description=\"Gasoline\" Spec_Grav=\"0.72\"/>"),
                {"Description"});
  EXPECT_EQ(liquids.AsString("Description"), "Gasoline");
  EXPECT_TRUE(liquids.FindKey({"Water 60F"}));
  EXPECT_EQ(liquids.AsFloat("Spec_Grav"), 1.0);
  EXPECT_FALSE(liquids.FindKey({"water 60F"}));
  EXPECT_FALSE(liquids.FindKey({""}));
  EXPECT_EQ(liquids.AsString("Description"), "Water 60F");
}

// ---- Master and detail ----

TEST(TableMasterDetail, TheDetailShowsTheSizesOfTheMastersRow) {
  Table specs = SpecTable();
  Table sizes = SizeTable();
  sizes.SetMaster(specs, "Index");
  // CU, the first pipe schedule, has no sizes.
  EXPECT_TRUE(sizes.Eof());
  EXPECT_EQ(sizes.RowCount(), 0u);
  EXPECT_EQ(sizes.AsString("NomSize"), "");
  EXPECT_EQ(sizes.AsFloat("InDia"), 0.0);
  EXPECT_TRUE(Walk(sizes, "NomSize").empty());

  specs.Next();
  EXPECT_EQ(sizes.RowCount(), 4u);
  EXPECT_FALSE(sizes.Eof());
  EXPECT_EQ(Walk(sizes, "NomSize"), (Strings{"0.5", "1", "2", "10"}));
  EXPECT_EQ(Walk(sizes, "InDia"), (Strings{"0.622", "1.049", "2.067", "10.02"}));

  specs.Next();
  EXPECT_EQ(sizes.RowCount(), 3u);
  EXPECT_EQ(Walk(sizes, "NomSize"), (Strings{"0.5", "1", "2"}));
}

TEST(TableMasterDetail, EveryMoveOfTheMasterPutsTheDetailOnItsFirstRow) {
  Table specs = SpecTable();
  Table sizes = SizeTable();
  sizes.SetMaster(specs, "Index");
  ASSERT_TRUE(specs.Locate("Description", "Schedule 80"));
  EXPECT_EQ(Key(sizes), "S80 0.5");
  sizes.Next();
  sizes.Next();
  sizes.Next();
  EXPECT_TRUE(sizes.Eof());

  ASSERT_TRUE(specs.Locate("Description", "Schedule 40"));
  EXPECT_FALSE(sizes.Eof());
  EXPECT_EQ(Key(sizes), "S40 0.5");
  sizes.Next();
  // Back to the same pipe schedule: the detail starts again at its first size.
  ASSERT_TRUE(specs.Locate("Description", "Schedule 40"));
  EXPECT_EQ(Key(sizes), "S40 0.5");
  sizes.Next();
  ASSERT_TRUE(specs.FindKey({"S40"}));
  EXPECT_EQ(WalkOn(sizes, "NomSize"), (Strings{"0.5", "1", "2", "10"}));
  sizes.First();
  sizes.Next();
  specs.First();
  specs.Next();
  EXPECT_EQ(Key(sizes), "S40 0.5");
}

TEST(TableMasterDetail, AMasterThatDoesNotMoveLeavesTheDetailWhereItIs) {
  Table specs = SpecTable();
  Table sizes = SizeTable();
  sizes.SetMaster(specs, "Index");
  specs.Next();
  specs.Next();  // S80, the last pipe schedule
  sizes.Next();
  EXPECT_EQ(Key(sizes), "S80 1");
  specs.Next();  // stays on S80, at its end
  EXPECT_EQ(Key(sizes), "S80 1");
  EXPECT_FALSE(specs.Locate("Description", "none"));
  EXPECT_FALSE(specs.FindKey({"XX"}));
  EXPECT_EQ(Key(sizes), "S80 1");
}

TEST(TableMasterDetail, LookUpsOfTheDetailStayWithinTheMastersRow) {
  Table specs = SpecTable();
  Table sizes = SizeTable();
  sizes.SetMaster(specs, "Index");
  ASSERT_TRUE(specs.Locate("Index", "S40"));
  EXPECT_FALSE(sizes.FindKey({"S80"}));
  EXPECT_FALSE(sizes.FindKey({"S80", "2"}));
  EXPECT_FALSE(sizes.Locate("InDia", "1.939"));
  ASSERT_TRUE(sizes.FindKey({"S40", "2"}));
  EXPECT_EQ(sizes.AsFloat("InDia"), 2.067);
  ASSERT_TRUE(sizes.FindKey({"S40"}));
  EXPECT_EQ(Key(sizes), "S40 0.5");
  // The size list's second entry: FindKey with the pipe schedule, then Next once.
  sizes.Next();
  EXPECT_EQ(sizes.AsFloat("InDia"), 1.049);
}

TEST(TableMasterDetail, AMasterWithoutRowsShowsNoDetailRows) {
  Table specs(Packet("<FIELD attrname=\"Index\" fieldtype=\"string\" WIDTH=\"4\"/>", ""), {"Index"});
  Table sizes = SizeTable();
  sizes.SetMaster(specs, "Index");
  EXPECT_TRUE(sizes.Eof());
  EXPECT_EQ(sizes.RowCount(), 0u);
  sizes.First();
  EXPECT_TRUE(sizes.Eof());
  EXPECT_FALSE(sizes.FindKey({"S40"}));
}

TEST(TableMasterDetail, RefusesALinkColumnMissingOnEitherSide) {
  Table specs = SpecTable();
  Table sizes = SizeTable();
  EXPECT_THROW(sizes.SetMaster(specs, "NomSize"), DataPacketError);
  EXPECT_THROW(sizes.SetMaster(specs, "Description"), DataPacketError);
  EXPECT_THROW(sizes.SetMaster(specs, "index"), DataPacketError);
  // The failed links left the table as it was.
  EXPECT_EQ(sizes.RowCount(), 7u);
}

}  // namespace
}  // namespace zynta::refdata
