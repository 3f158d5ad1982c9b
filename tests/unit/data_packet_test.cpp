#include "refdata/data_packet.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cfenv>
#include <chrono>
#include <fstream>
#include <random>

namespace zynta::refdata {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDeclaration = "<?xml version=\"1.0\" standalone=\"yes\"?>";
constexpr const char* kUtf8Declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>";

// A packet with the given FIELD elements and ROW elements.
std::string Packet(const std::string& fields, const std::string& rows, const char* declaration = kDeclaration) {
  return std::string(declaration) + "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>" + fields +
         "</FIELDS><PARAMS/></METADATA><ROWDATA>" + rows + "</ROWDATA></DATAPACKET>";
}

// One text column "T" of the given width holding one row.
std::string TextPacket(const std::string& value, int width = 50, const char* declaration = kDeclaration) {
  return Packet("<FIELD attrname=\"T\" fieldtype=\"string\" WIDTH=\"" + std::to_string(width) + "\"/>",
                "<ROW T=\"" + value + "\"/>", declaration);
}

std::string OneText(const std::string& xml) {
  const DataPacket p = DataPacket::Parse(xml);
  EXPECT_EQ(p.rows.size(), 1u);
  return std::get<std::string>(p.rows.at(0).at(0));
}

// The message of the DataPacketError that parsing xml throws; "" when it parses.
std::string ParseError(std::string_view xml) {
  try {
    DataPacket::Parse(xml);
  } catch (const DataPacketError& e) {
    return e.what();
  }
  return {};
}

// A small packet of every column type, in the shape of the shipped size table.
const std::string kSizes = Packet(
    "<FIELD attrname=\"Index\" fieldtype=\"string\" WIDTH=\"4\"/>"
    "<FIELD attrname=\"NomSize\" fieldtype=\"r8\"/>"
    "<FIELD attrname=\"XS\" fieldtype=\"string\" WIDTH=\"2\" required=\"true\"/>"
    "<FIELD attrname=\"Maxpsi\" fieldtype=\"i4\" readonly=\"true\" hidden=\"true\"/>",
    "<ROW RowState=\"4\" Index=\"S40\" NomSize=\"0.75\" XS=\"N\" Maxpsi=\"850\"/>"
    "<ROW Index=\"S40\" NomSize=\"2\" Maxpsi=\"-12\"/>"
    "<ROW Index=\"S80\"/>");

// ---- Structure ----

TEST(DataPacketParse, ReadsColumnsInOrderAndOneValuePerColumn) {
  const DataPacket p = DataPacket::Parse(kSizes);
  ASSERT_EQ(p.columns.size(), 4u);
  EXPECT_EQ(p.columns[0].name, "Index");
  EXPECT_EQ(p.columns[0].type, FieldType::String);
  EXPECT_EQ(p.columns[0].width, 4);
  EXPECT_EQ(p.columns[1].name, "NomSize");
  EXPECT_EQ(p.columns[1].type, FieldType::Real);
  EXPECT_EQ(p.columns[2].width, 2);
  EXPECT_EQ(p.columns[3].type, FieldType::Integer);
  EXPECT_EQ(p.ColumnIndex("Maxpsi"), 3);
  EXPECT_EQ(p.ColumnIndex("maxpsi"), -1);
  EXPECT_EQ(p.ColumnIndex("RowState"), -1);

  ASSERT_EQ(p.rows.size(), 3u);
  EXPECT_EQ(p.rows[0], (std::vector<Value>{std::string("S40"), 0.75, std::string("N"), 850}));
  // Missing attributes are nulls.
  EXPECT_EQ(p.rows[1], (std::vector<Value>{std::string("S40"), 2.0, {}, -12}));
  EXPECT_EQ(p.rows[2], (std::vector<Value>{std::string("S80"), {}, {}, {}}));
}

TEST(DataPacketParse, EmptyRowDataIsATableWithoutRows) {
  const DataPacket p = DataPacket::Parse(Packet("<FIELD attrname=\"A\" fieldtype=\"r8\"/>", ""));
  EXPECT_EQ(p.columns.size(), 1u);
  EXPECT_TRUE(p.rows.empty());
}

TEST(DataPacketParse, EmptyNumberAttributeIsNullAndEmptyTextStaysText) {
  const DataPacket p =
      DataPacket::Parse(Packet("<FIELD attrname=\"R\" fieldtype=\"r8\"/><FIELD attrname=\"I\" fieldtype=\"i4\"/>"
                               "<FIELD attrname=\"T\" fieldtype=\"string\" WIDTH=\"3\"/>",
                               "<ROW R=\"\" I=\"\" T=\"\"/>"));
  EXPECT_EQ(p.rows.at(0), (std::vector<Value>{{}, {}, std::string()}));
}

struct BadPacket {
  const char* what;
  std::string xml;
  const char* message;  // part of the error's message
};

TEST(DataPacketParse, RefusesWhatIsNoDataPacket) {
  const std::string r8 = "<FIELD attrname=\"A\" fieldtype=\"r8\"/>";
  const BadPacket cases[] = {
      {"empty", "", "empty"},
      {"blanks only", " \r\n\t", "empty"},
      {"not XML", "NomSize,InDia\n2,2.067\n", "not well-formed"},
      {"cut short", std::string(kDeclaration) + "<DATAPACKET><METADATA>", "not well-formed"},
      {"unclosed attribute", std::string(kDeclaration) + "<DATAPACKET Version=\"2.0/>", "not well-formed"},
      {"two roots", Packet(r8, "") + "<DATAPACKET/>", "more than one root"},
      {"text after root", Packet(r8, "") + "junk", "text outside the root"},
      {"text before root", "junk" + Packet(r8, "", ""), "text outside the root"},
      {"wrong root",
       std::string(kDeclaration) + "<PACKET><METADATA><FIELDS/></METADATA>"
                                   "<ROWDATA/></PACKET>",
       "not DATAPACKET"},
      {"root in lower case", std::string(kDeclaration) + "<datapacket/>", "not DATAPACKET"},
      {"no METADATA", std::string(kDeclaration) + "<DATAPACKET><ROWDATA/></DATAPACKET>", "no METADATA"},
      {"no FIELDS", std::string(kDeclaration) + "<DATAPACKET><METADATA/><ROWDATA/></DATAPACKET>", "no FIELDS"},
      {"no ROWDATA", std::string(kDeclaration) + "<DATAPACKET><METADATA><FIELDS/></METADATA></DATAPACKET>",
       "no ROWDATA"},
      {"unknown fieldtype", Packet("<FIELD attrname=\"A\" fieldtype=\"r4\"/>", ""), "unknown type 'r4'"},
      {"no fieldtype", Packet("<FIELD attrname=\"A\"/>", ""), "unknown type ''"},
      {"fieldtype in upper case", Packet("<FIELD attrname=\"A\" fieldtype=\"R8\"/>", ""), "unknown type 'R8'"},
      {"no attrname", Packet("<FIELD fieldtype=\"r8\"/>", ""), "without attrname"},
      {"column twice", Packet(r8 + r8, ""), "defined twice"},
      {"text without WIDTH", Packet("<FIELD attrname=\"T\" fieldtype=\"string\"/>", ""), "WIDTH"},
      {"WIDTH zero", Packet("<FIELD attrname=\"T\" fieldtype=\"string\" WIDTH=\"0\"/>", ""), "WIDTH"},
      {"WIDTH no number", Packet("<FIELD attrname=\"T\" fieldtype=\"string\" WIDTH=\"x\"/>", ""), "WIDTH"},
      {"UTF-16 BOM", std::string("\xFF\xFE<\0D\0", 6), "UTF-16"},
      {"other encoding",
       TextPacket("x", 5, "<?xml version=\"1.0\" encoding=\"windows-1252\" standalone=\"yes\"?>"),
       "unsupported encoding 'windows-1252'"},
      {"UTF-8 declared, Latin-1 byte", TextPacket("\xB0", 5, kUtf8Declaration), "UTF-8"},
      {"UTF-8 declared, overlong form", TextPacket("\xC0\xAF", 5, kUtf8Declaration), "UTF-8"},
      {"UTF-8 declared, cut sequence", TextPacket("\xE2\x82", 5, kUtf8Declaration), "UTF-8"},
      {"reference to a surrogate", TextPacket("&#xD800;"), "character reference"},
      {"reference beyond Unicode", TextPacket("&#x110000;"), "character reference"},
  };
  for (const BadPacket& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string message = ParseError(c.xml);
    EXPECT_NE(message.find(c.message), std::string::npos) << "message: " << message;
  }
}

// ---- Values ----

struct NumberCase {
  const char* text;
  std::optional<double> expected;  // nullopt: refused
};

TEST(DataPacketParse, ReadsRealsWithPointAndExponentOnly) {
  const NumberCase cases[] = {
      {"2.067", 2.067}, {"2", 2.0},       {"-0.5", -0.5}, {"1E-5", 1e-5}, {"1.5e+3", 1500.0}, {"0", 0.0},
      {".5", 0.5},      {"1e308", 1e308}, {"abc", {}},    {"1,5", {}},    {"1.5x", {}},       {" 1.5", {}},
      {"1.5 ", {}},     {"+1.5", {}},     {"1e999", {}},  {"-1e999", {}}, {"inf", {}},        {"nan", {}},
      {"0x10", {}},     {"1..5", {}},     {"e5", {}},     {"-", {}},
  };
  for (const NumberCase& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string xml =
        Packet("<FIELD attrname=\"R\" fieldtype=\"r8\"/>", std::string("<ROW R=\"") + c.text + "\"/>");
    if (c.expected) {
      EXPECT_EQ(std::get<double>(DataPacket::Parse(xml).rows.at(0).at(0)), *c.expected);
    } else {
      const std::string message = ParseError(xml);
      EXPECT_NE(message.find("row 1:"), std::string::npos) << message;
      EXPECT_NE(message.find("not a real number"), std::string::npos) << message;
      EXPECT_NE(message.find("column 'R'"), std::string::npos) << message;
    }
  }
}

TEST(DataPacketParse, ReadsThirtyTwoBitIntegersOnly) {
  const NumberCase cases[] = {
      {"850", 850},
      {"-12", -12},
      {"0", 0},
      {"007", 7},
      {"2147483647", 2147483647.0},
      {"-2147483648", -2147483648.0},
      {"1.5", {}},
      {"2147483648", {}},
      {"-2147483649", {}},
      {"1e3", {}},
      {"abc", {}},
      {"12abc", {}},
      {"0x10", {}},
      {"+5", {}},
      {" 5", {}},
  };
  for (const NumberCase& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string xml =
        Packet("<FIELD attrname=\"I\" fieldtype=\"i4\"/>", std::string("<ROW I=\"") + c.text + "\"/>");
    if (c.expected) {
      EXPECT_EQ(std::get<std::int32_t>(DataPacket::Parse(xml).rows.at(0).at(0)), *c.expected);
    } else {
      EXPECT_NE(ParseError(xml).find("not a 32-bit integer"), std::string::npos);
    }
  }
}

TEST(DataPacketParse, ALaterBadRowNamesItsRowNumber) {
  const std::string xml =
      Packet("<FIELD attrname=\"R\" fieldtype=\"r8\"/>", "<ROW R=\"1\"/><ROW R=\"2\"/><ROW R=\"two\"/>");
  EXPECT_NE(ParseError(xml).find("row 3: 'two'"), std::string::npos);
}

TEST(DataPacketParse, ReadingRealsLeavesNoFloatingPointFlags) {
  std::feclearexcept(FE_ALL_EXCEPT);
  DataPacket::Parse(
      Packet("<FIELD attrname=\"R\" fieldtype=\"r8\"/>", "<ROW R=\"0.1\"/><ROW R=\"2.067\"/><ROW R=\"1e-320\"/>"));
  EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), 0);
}

// ---- Text ----

struct TextCase {
  const char* what;
  std::string attribute;  // as written in the file
  std::string expected;   // UTF-8
};

TEST(DataPacketParse, DecodesEntitiesAndCharacterReferences) {
  const TextCase cases[] = {
      {"named entities", "a&lt;b&gt;c&quot;d&amp;e&apos;f", "a<b>c\"d&e'f"},
      {"references for CR LF tab backslash", "1&#013;2&#010;3&#009;4&#092;5", "1\r2\n3\t4\\5"},
      {"hexadecimal reference", "&#x41;&#xB0;", "A\xC2\xB0"},
      {"decimal reference above Latin-1", "&#8364;", "\xE2\x82\xAC"},
      {"single quote without entity", "it's", "it's"},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(OneText(TextPacket(c.attribute)), c.expected);
    EXPECT_EQ(OneText(TextPacket(c.attribute, 50, kUtf8Declaration)), c.expected);
  }
}

TEST(DataPacketParse, TextWithoutDeclaredEncodingIsLatin1) {
  const TextCase cases[] = {
      {"degree sign",
       "\xB0"
       "F",
       "\xC2\xB0"
       "F"},
      {"accented letters",
       "Gl\xFD"
       "col",
       "Gl\xC3\xBD"
       "col"},
      {"empty text", "", ""},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(OneText(TextPacket(c.attribute)), c.expected);
    EXPECT_EQ(OneText(TextPacket(c.attribute, 50, "<?xml version=\"1.0\"?>")), c.expected);
    EXPECT_EQ(OneText(TextPacket(c.attribute, 50, "")), c.expected);
    EXPECT_EQ(OneText(TextPacket(c.attribute, 50, "<?xml version='1.0' encoding='iso-8859-1' standalone='yes'?>")),
              c.expected);
  }
}

TEST(DataPacketParse, Utf8TextStaysAsItIs) {
  EXPECT_EQ(OneText(TextPacket("\xC2\xB0"
                               "C",
                               50, kUtf8Declaration)),
            "\xC2\xB0"
            "C");
  EXPECT_EQ(OneText(TextPacket("\xC2\xB0", 50, "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>")),
            "\xC2\xB0");
  // A byte-order mark says UTF-8 without a declaration.
  EXPECT_EQ(OneText("\xEF\xBB\xBF" + TextPacket("\xE2\x82\xAC", 50, "")), "\xE2\x82\xAC");
}

struct WidthCase {
  std::string attribute;
  int width;
  std::string expected;
  const char* declaration;
};

TEST(DataPacketParse, CutsTextsToTheirWidthInCharacters) {
  const WidthCase cases[] = {
      {"ABCDE", 4, "ABCD", kDeclaration},
      {"ABCD", 4, "ABCD", kDeclaration},
      {"AB", 4, "AB", kDeclaration},
      {"A&amp;B", 2, "A&", kDeclaration},
      {"\xB0\xB0\xB0", 2, "\xC2\xB0\xC2\xB0", kDeclaration},  // Latin-1
      {"\xC2\xB0"
       "C\xC2\xB0",
       2,
       "\xC2\xB0"
       "C",
       kUtf8Declaration},                                                 // 2-byte
      {"\xE2\x82\xAC\xE2\x82\xAC", 1, "\xE2\x82\xAC", kUtf8Declaration},  // 3-byte
      {"\xF0\x9F\x92\xA7x", 1, "\xF0\x9F\x92\xA7", kUtf8Declaration},     // 4-byte
  };
  for (const WidthCase& c : cases) {
    SCOPED_TRACE(c.attribute);
    EXPECT_EQ(OneText(TextPacket(c.attribute, c.width, c.declaration)), c.expected);
  }
}

// ---- Files ----

class DataPacketFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("zynta-packet-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Write(const char* name, const std::string& content) {
    fs::path file = dir_ / name;
    std::ofstream(file, std::ios::binary) << content;
    return file;
  }

  static std::string LoadError(const fs::path& file) {
    try {
      DataPacket::Load(file);
    } catch (const DataPacketError& e) {
      return e.what();
    }
    return {};
  }

  fs::path dir_;
};

TEST_F(DataPacketFile, LoadsAFile) {
  const DataPacket p = DataPacket::Load(Write("PipeSize.XML", kSizes));
  EXPECT_EQ(p.columns.size(), 4u);
  EXPECT_EQ(p.rows.size(), 3u);
}

TEST_F(DataPacketFile, RefusesMissingEmptyAndUnreadableFiles) {
  EXPECT_NE(LoadError(dir_ / "Liq_prop.XML").find("not found"), std::string::npos);
  EXPECT_NE(LoadError(Write("empty.XML", "")).find("empty"), std::string::npos);
  EXPECT_NE(LoadError(Write("text.XML", "no packet")).find("not well-formed"), std::string::npos);
  fs::create_directory(dir_ / "folder.XML");
  EXPECT_NE(LoadError(dir_ / "folder.XML").find("not a regular file"), std::string::npos);
}

// ---- Size ----

// The reader's cost grows with the size of the packet, not with its square: wide packets that
// took half a minute read in a fraction of a second. The bound is generous for slow builds.
TEST(DataPacketSize, WidePacketsReadInLinearTime) {
  constexpr int kColumns = 100000;
  std::string fields;
  std::string row = "<ROW";
  for (int c = 0; c < kColumns; ++c) {
    fields += "<FIELD attrname=\"c" + std::to_string(c) + "\" fieldtype=\"i4\"/>";
    row += " c" + std::to_string(c) + "=\"" + std::to_string(c) + "\"";
  }
  row += "/>";
  std::string attributes = "<ROW";  // one column, many attributes it does not know
  for (int a = 0; a < 20000; ++a) attributes += " x" + std::to_string(a) + "=\"1\"";
  attributes += " c7=\"7\"/>";
  const auto start = std::chrono::steady_clock::now();
  const DataPacket wide = DataPacket::Parse(Packet(fields, row + attributes));
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ASSERT_EQ(wide.rows.size(), 2u);
  EXPECT_EQ(std::get<std::int32_t>(wide.rows[0][kColumns - 1]), kColumns - 1);
  EXPECT_EQ(std::get<std::int32_t>(wide.rows[1][7]), 7);
  EXPECT_TRUE(std::holds_alternative<std::monostate>(wide.rows[1][8]));
  EXPECT_LT(seconds, 5.0);
}

TEST(DataPacketParse, FirstOfRepeatedAttributesCountsAndLeftmostBadColumnIsNamed) {
  const std::string fields = "<FIELD attrname=\"A\" fieldtype=\"i4\"/><FIELD attrname=\"B\" fieldtype=\"i4\"/>";
  const DataPacket p = DataPacket::Parse(Packet(fields, "<ROW B=\"2\" A=\"1\" B=\"x\"/>"));
  EXPECT_EQ(std::get<std::int32_t>(p.rows.at(0).at(0)), 1);
  EXPECT_EQ(std::get<std::int32_t>(p.rows.at(0).at(1)), 2);
  EXPECT_NE(ParseError(Packet(fields, "<ROW B=\"y\" A=\"x\"/>")).find("column 'A'"), std::string::npos);
}

// ---- Robustness ----

// Every damaged packet either reads or is refused with DataPacketError, never anything else.
void ExpectReadsOrRefuses(const std::string& xml) {
  try {
    DataPacket::Parse(xml);
  } catch (const DataPacketError&) {
  } catch (const std::exception& e) {
    ADD_FAILURE() << "other exception: " << e.what();
  } catch (...) {
    ADD_FAILURE() << "unknown exception";
  }
}

const std::string kRich = Packet(
    "<FIELD attrname=\"Description\" fieldtype=\"string\" WIDTH=\"39\"/>"
    "<FIELD attrname=\"Temp\" fieldtype=\"r8\"/>"
    "<FIELD attrname=\"Count\" fieldtype=\"i4\"/>",
    "<ROW Description=\"Water &amp; ice &#013;&#010;\xB0\" Temp=\"60\" Count=\"1\"/>"
    "<ROW Description=\"Gl\xFD"
    "col\" Temp=\"-1.5E+2\"/>"
    "<!-- comment --><ROW RowState=\"8\" Description=\"&#x20AC;\" Count=\"-3\"/>");

TEST(DataPacketRobustness, EveryTruncationReadsOrIsRefused) {
  for (std::size_t n = 0; n <= kRich.size(); ++n) ExpectReadsOrRefuses(kRich.substr(0, n));
  EXPECT_EQ(DataPacket::Parse(kRich).rows.size(), 3u);
}

TEST(DataPacketRobustness, RandomDamageReadsOrIsRefused) {
  const std::string alphabet = std::string("<>/=\"'&#;?!-x0159.eE ") + '\0' + "\xB0\xC2\xFF\x80";
  std::mt19937 random(20240607);  // NOLINT(cert-msc32-c,cert-msc51-cpp): a fixed seed keeps the test repeatable
  for (int round = 0; round < 3000; ++round) {
    std::string xml = kRich;
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int e = 0; e < edits && !xml.empty(); ++e) {
      const std::size_t at = random() % xml.size();
      const char c = alphabet[random() % alphabet.size()];
      switch (random() % 4) {
        case 0: xml[at] = c; break;
        case 1: xml.insert(xml.begin() + static_cast<std::ptrdiff_t>(at), c); break;
        case 2: xml.erase(at, 1 + random() % 6); break;
        default: xml.insert(at, xml.substr(random() % xml.size(), random() % 20)); break;
      }
    }
    ExpectReadsOrRefuses(xml);
  }
}

}  // namespace
}  // namespace zynta::refdata
