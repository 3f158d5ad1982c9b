#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include "temp_folder.h"

#include <atomic>
#include <fstream>
#include <sstream>

namespace zynta::settings {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// ---- Integers and booleans ----

struct IntegerCase {
  const char* text;
  std::optional<std::int32_t> expected;
};

TEST(IniInteger, ParsesAcceptedFormsAndRejectsTheRest) {
  const IntegerCase cases[] = {
      {"0", 0},
      {"123", 123},
      {"+7", 7},
      {"-42", -42},
      {"-0", 0},
      {"007", 7},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"$1F", 31},
      {"$1f", 31},
      {"0x10", 16},
      {"0XfF", 255},
      {"$7FFFFFFF", 2147483647},
      {"0x00000000000000000001", 1},
      {"", std::nullopt},
      {"+", std::nullopt},
      {"-", std::nullopt},
      {"$", std::nullopt},
      {"0x", std::nullopt},
      {"1.5", std::nullopt},
      {"12abc", std::nullopt},
      {"abc", std::nullopt},
      {"1e3", std::nullopt},
      {" 5", std::nullopt},
      {"5 ", std::nullopt},
      {"--5", std::nullopt},
      {"+-5", std::nullopt},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999999", std::nullopt},
      {"0x80000000", std::nullopt},
      {"$FFFFFFFF", std::nullopt},
      {"-0x10", std::nullopt},
      {"+$10", std::nullopt},
      {"$-1", std::nullopt},
      {"0x-5", std::nullopt},
      {"0x+5", std::nullopt},
      {"$0x10", std::nullopt},
      {"0x1G", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseIniInteger(c.text), c.expected) << "text \"" << c.text << "\"";
  }
}

// ---- Temporary folder per test ----

class IniFileTest : public ::testing::Test {
 protected:
  fs::path File(const char* name = "zynta.ini") const { return dir_ / name; }

  static void Put(const fs::path& path, std::string_view text) { zynta::testing::PutFile(path, text); }
  static std::string Get(const fs::path& path) { return zynta::testing::FileText(path); }
  Strings Entries() const {
    Strings names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  static bool IsRoot() { return ::geteuid() == 0; }

  zynta::testing::TempFolder folder_{"zynta-ini-test"};
  const fs::path& dir_ = folder_.Path();
};

struct BoolCase {
  const char* line;  // line under [S]; empty for no key at all
  bool def;
  bool expected;
};

TEST_F(IniFileTest, ReadBoolTakesAnyNonZeroWholeNumberAsTrue) {
  const BoolCase cases[] = {
      {"b=1", false, true},   {"b=0", true, false},   {"b=-1", false, true},    {"b=2", false, true},
      {"b=$0", true, false},  {"b=0x1", false, true}, {"b=  0  ", true, false}, {"b=yes", false, false},
      {"b=true", true, true}, {"b=", true, true},     {"b=", false, false},     {"b=1.0", false, false},
      {"", true, true},       {"", false, false},
  };
  for (const auto& c : cases) {
    Put(File(), std::string("[S]\n") + c.line + "\n");
    EXPECT_EQ(IniFile(File()).ReadBool("S", "b", c.def), c.expected)
        << "line \"" << c.line << "\" default " << c.def;
  }
}

TEST_F(IniFileTest, ReadIntegerFallsBackToDefaultForNonNumbers) {
  Put(File(), "[S]\nhex=$1F\nneg= -12 \nreal=1.5\nempty=\nbig=4294967296\n");
  const IniFile ini(File());
  EXPECT_EQ(ini.ReadInteger("S", "hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("S", "neg", 0), -12);
  EXPECT_EQ(ini.ReadInteger("S", "real", 9), 9);
  EXPECT_EQ(ini.ReadInteger("S", "empty", 9), 9);
  EXPECT_EQ(ini.ReadInteger("S", "big", 9), 9);
  EXPECT_EQ(ini.ReadInteger("S", "missing", -3), -3);
}

TEST_F(IniFileTest, ReadsLinesEndedByCrsBeforeTheLineEnd) {
  Put(File(), "[S]\r\r\nDecimals=3\r\r\nValue=2.067\r\r\n");
  const IniFile ini(File());
  EXPECT_EQ(ini.ReadInteger("S", "Decimals", 9), 3);
  EXPECT_EQ(ini.ReadString("S", "Value", ""), "2.067");
}

// ---- Reading the text model ----

struct LookupCase {
  const char* what;
  const char* text;
  const char* section;
  const char* key;
  std::optional<std::string> expected;
};

TEST(IniDocument, LooksUpValues) {
  const LookupCase cases[] = {
      {"plain", "[S]\nk=v\n", "S", "k", "v"},
      {"section case", "[Flow]\nk=v\n", "fLOW", "k", "v"},
      {"key case", "[S]\nUnitIndex=1\n", "S", "UNITINDEX", "1"},
      {"blanks trimmed", "[S]\n  Flow  =  100 \n", "S", "Flow", "100"},
      {"tabs trimmed", "\t[ S ]\t\n\tk\t=\tv\t\n", "S", "k", "v"},
      {"inner blanks kept", "[Head Loss]\nPipe Roughness=a  b\n", "head loss", "pipe roughness", "a  b"},
      {"empty value is a value", "[S]\nValue=\n", "S", "Value", ""},
      {"second '=' is value", "[S]\nk=a=b\n", "S", "k", "a=b"},
      {"quotes kept", "[S]\nk=\"x\"\n", "S", "k", "\"x\""},
      {"';' inside value kept", "[S]\nk=5 ; note\n", "S", "k", "5 ; note"},
      {"text after ']' ignored", "[S] ; note\nk=v\n", "S", "k", "v"},
      {"crlf", "[S]\r\nk=v\r\n", "S", "k", "v"},
      {"crs before the line end", "[S]\r\r\nk=v\r\r\n", "S", "k", "v"},
      {"crs at the end of the text", "[S]\nk=v\r\r", "S", "k", "v"},
      {"bom", "\xEF\xBB\xBF[S]\nk=v\n", "S", "k", "v"},
      {"no final line end", "[S]\nk=v", "S", "k", "v"},
      {"first duplicate wins", "[S]\nk=1\nK=2\n", "S", "k", "1"},
      {"duplicate sections merge", "[S]\na=1\n[s]\nk=2\n", "S", "k", "2"},
      {"first section holding key wins", "[S]\nk=1\n[S]\nk=2\n", "S", "k", "1"},
      {"missing key", "[S]\nk=v\n", "S", "x", std::nullopt},
      {"missing section", "[S]\nk=v\n", "T", "k", std::nullopt},
      {"key of other section", "[S]\n[T]\nk=v\n", "S", "k", std::nullopt},
      {"comment not a key", "[S]\n;k=v\n", "S", "k", std::nullopt},
      {"indented comment", "[S]\n  ; k=v\n", "S", ";k", std::nullopt},
      {"before first section", "k=v\n[S]\n", "S", "k", std::nullopt},
      {"line without '='", "[S]\nk\n", "S", "k", std::nullopt},
      {"empty key name", "[S]\n=v\n", "S", "", std::nullopt},
      {"empty text", "", "S", "k", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IniDocument::Parse(c.text).Get(c.section, c.key), c.expected) << c.what;
  }
}

struct ListingCase {
  const char* what;
  const char* text;
  const char* section;
  Strings keys;
};

TEST(IniDocument, ListsKeysInFileOrderAsSpelled) {
  const ListingCase cases[] = {
      {"file order", "[U]\nin=1\nft=2\nmm=3\n", "U", {"in", "ft", "mm"}},
      {"spelling kept", "[U]\n  cSt =1\nFT2/s=2\n", "u", {"cSt", "FT2/s"}},
      {"comments and stray lines skipped", "[U]\n; base\nin=1\nnot a key\n\nft=2\n", "U", {"in", "ft"}},
      {"duplicate sections in file order", "[U]\na=1\n[V]\nx=0\n[u]\nb=2\n", "U", {"a", "b"}},
      {"duplicate key listed each time", "[U]\na=1\na=2\n", "U", {"a", "a"}},
      {"empty section", "[U]\n[V]\nx=1\n", "U", {}},
      {"missing section", "[V]\nx=1\n", "U", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IniDocument::Parse(c.text).Keys(c.section), c.keys) << c.what;
  }
}

struct ExistsCase {
  const char* text;
  const char* section;
  bool exists;
};

TEST(IniDocument, SectionExistsOnlyWithAKey) {
  const ExistsCase cases[] = {
      {"[S]\nk=v\n", "S", true},
      {"[S]\nk=v\n", "s", true},
      {"[S]\n", "S", false},
      {"[S]\n; only a comment\n\n", "S", false},
      {"[S]\n[s]\nk=v\n", "S", true},
      {"[T]\nk=v\n", "S", false},
      {"[S]\nno equals sign\n", "S", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IniDocument::Parse(c.text).HasSection(c.section), c.exists) << c.text;
  }
}

TEST(IniDocument, TextGivesBackWhatWasParsed) {
  const char* texts[] = {
      "",
      "; head\n\n[S]\nk=v\n\n; tail\n",
      "; head\r\n\r\n[S]\r\n  k = v \r\n",
      "\xEF\xBB\xBF[S]\nk=v\n",
      "\xEF\xBB\xBF",
      "stray before sections\n[S]\nno equals\n",
  };
  for (const char* text : texts) {
    EXPECT_EQ(IniDocument::Parse(text).Text(), text);
  }
}

// The text a document writes reads back as the same document, also when it was not written
// the way the document writes it.
TEST(IniDocument, TextReadsBackAsTheSameDocument) {
  const LookupCase cases[] = {
      {"crs before the line end, lf file", "[S]\nk=v\r\r\n", "S", "k", "v"},
      {"crs at the end of the text", "[S]\nk=v\r\r", "S", "k", "v"},
      {"crs before the line end, crlf file", "[S]\r\nk=v\r\r\n", "S", "k", "v"},
      {"mixed line ends", "[S]\nk=v\r\nj=w\n", "S", "j", "w"},
  };
  for (const auto& c : cases) {
    const IniDocument doc = IniDocument::Parse(c.text);
    const IniDocument again = IniDocument::Parse(doc.Text());
    EXPECT_EQ(again.Get(c.section, c.key), c.expected) << c.what;
    EXPECT_EQ(again.Text(), doc.Text()) << c.what;
  }
}

// ---- Editing the text model ----

struct EditCase {
  const char* what;
  const char* before;
  const char* section;
  const char* key;
  const char* value;
  const char* after;
};

TEST(IniDocument, SetReplacesAppendsOrAddsSection) {
  const EditCase cases[] = {
      {"replace in place, spelling kept", "[S]\na=1\nFlow=1\nb=2\n", "s", "FLOW", "9", "[S]\na=1\nFlow=9\nb=2\n"},
      {"replace drops blanks around", "[S]\n  Flow  =  100 \n", "S", "Flow", "200", "[S]\nFlow=200\n"},
      {"replace only the first duplicate", "[S]\nk=1\nk=2\n", "S", "k", "3", "[S]\nk=3\nk=2\n"},
      {"replace in later same-name section", "[S]\na=1\n[T]\n[s]\nk=2\n", "S", "k", "3",
       "[S]\na=1\n[T]\n[s]\nk=3\n"},
      {"replace with empty value", "[S]\nk=1\n", "S", "k", "", "[S]\nk=\n"},
      {"append after last key line", "[S]\na=1\n; note\nb=2\n\n; about T\n[T]\nx=1\n", "S", "c", "3",
       "[S]\na=1\n; note\nb=2\nc=3\n\n; about T\n[T]\nx=1\n"},
      {"append to section without keys", "[S]\n\n[T]\nx=1\n", "S", "k", "v", "[S]\nk=v\n\n[T]\nx=1\n"},
      {"append into first same-name section", "[S]\na=1\n[s]\nb=2\n", "S", "k", "v", "[S]\na=1\nk=v\n[s]\nb=2\n"},
      {"append keeps key as given", "[S]\na=1\n", "S", "NewKey", "v", "[S]\na=1\nNewKey=v\n"},
      {"new section at end", "; top\n[S]\na=1\n\n", "Units Flow", "gpm", "1",
       "; top\n[S]\na=1\n\n[Units Flow]\ngpm=1\n"},
      {"new section in empty text", "", "S", "k", "v", "[S]\nk=v\n"},
      {"key before sections is not in one", "k=1\n", "S", "k", "2", "k=1\n[S]\nk=2\n"},
      {"commented key is not replaced", "[S]\n;k=1\n", "S", "k", "2", "[S]\nk=2\n;k=1\n"},
      {"no final line end", "[S]\na=1", "S", "b", "2", "[S]\na=1\nb=2\n"},
      {"crlf kept on replace", "[S]\r\nk=1\r\n", "S", "k", "2", "[S]\r\nk=2\r\n"},
      {"crlf kept on append", "[S]\r\na=1\r\n\r\n", "S", "b", "2", "[S]\r\na=1\r\nb=2\r\n\r\n"},
      {"crlf kept on new section", "[S]\r\na=1\r\n", "T", "b", "2", "[S]\r\na=1\r\n[T]\r\nb=2\r\n"},
      {"bom kept", "\xEF\xBB\xBF[S]\nk=1\n", "S", "k", "2", "\xEF\xBB\xBF[S]\nk=2\n"},
      {"crs before line ends go with them", "[S]\nk=1\r\r\na=2\r\r", "S", "a", "3", "[S]\nk=1\na=3\n"},
  };
  for (const auto& c : cases) {
    IniDocument doc = IniDocument::Parse(c.before);
    doc.Set(c.section, c.key, c.value);
    EXPECT_EQ(doc.Text(), c.after) << c.what;
  }
}

TEST(IniDocument, SetReadsBackWhatItWrote) {
  IniDocument doc;
  doc.Set("S", "k", "  padded  ");
  doc.Set("S", "Other", "x");
  doc.Set("s", "K", "2");
  EXPECT_EQ(doc.Text(), "[S]\nk=2\nOther=x\n");
  EXPECT_EQ(doc.Get("S", "other"), "x");
}

struct BadNameCase {
  const char* section;
  const char* key;
  const char* value;
};

TEST(IniDocument, SetRefusesWhatCouldNotBeReadBack) {
  const BadNameCase cases[] = {
      {"", "k", "v"},    {"  ", "k", "v"},  {"a]b", "k", "v"},  {"a\nb", "k", "v"},
      {"S", "", "v"},    {"S", " \t", "v"}, {"S", "a=b", "v"},  {"S", ";k", "v"},
      {"S", " [k", "v"}, {"S", "k\r", "v"}, {"S", "k", "a\nb"}, {"S", "k", "a\rb"},
  };
  for (const auto& c : cases) {
    IniDocument doc = IniDocument::Parse("[S]\nk=1\n");
    EXPECT_THROW(doc.Set(c.section, c.key, c.value), std::invalid_argument)
        << "[" << c.section << "] " << c.key << "=" << c.value;
    EXPECT_EQ(doc.Text(), "[S]\nk=1\n");
  }
}

// ---- Files on disk ----

TEST_F(IniFileTest, MissingFileReadsAsEmpty) {
  const IniFile ini(File("absent.ini"));
  EXPECT_EQ(ini.ReadString("S", "k", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadInteger("S", "k", 42), 42);
  EXPECT_TRUE(ini.ReadBool("S", "k", true));
  EXPECT_EQ(ini.ReadSection("S"), Strings{});
  EXPECT_FALSE(ini.SectionExists("S"));
  EXPECT_EQ(ini.Path(), File("absent.ini"));
}

TEST_F(IniFileTest, UnreadableFileReadsAsEmpty) {
  fs::create_directory(File());  // a folder where the file should be
  const IniFile ini(File());
  EXPECT_EQ(ini.ReadString("S", "k", "dflt"), "dflt");
  EXPECT_FALSE(ini.SectionExists("S"));
}

TEST_F(IniFileTest, ReadsTheFileAsItIsOnDisk) {
  Put(File(), "\xEF\xBB\xBF; settings\r\n[MainForm]\r\n  Version = 1.1 \r\nSound=0\r\n");
  const IniFile ini(File());
  EXPECT_EQ(ini.ReadString("mainform", "VERSION", ""), "1.1");
  EXPECT_EQ(ini.ReadString("MainForm", "Missing", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadSection("MAINFORM"), (Strings{"Version", "Sound"}));
  EXPECT_FALSE(ini.ReadBool("MainForm", "Sound", true));
}

TEST_F(IniFileTest, FileReplacedOnDiskIsSeenAtOnce) {
  Put(File(), "[S]\nk=old\n");
  const IniFile ini(File());
  EXPECT_EQ(ini.ReadString("S", "k", ""), "old");
  Put(File("other.ini"), "[S]\nk=new\n[T]\nx=1\n");
  fs::rename(File("other.ini"), File());
  EXPECT_EQ(ini.ReadString("S", "k", ""), "new");
  EXPECT_TRUE(ini.SectionExists("T"));
  fs::remove(File());
  EXPECT_EQ(ini.ReadString("S", "k", "gone"), "gone");
}

TEST_F(IniFileTest, FirstWriteCreatesTheFile) {
  IniFile ini(File());
  ini.WriteString("MainForm", "HLEq", "Hazen-Williams");
  ini.WriteInteger("MainForm", "SolveFor", -5);
  ini.WriteBool("MainForm", "Sound", true);
  ini.WriteBool("MainForm", "StayonTop", false);
  ini.WriteInteger("Flow", "UnitIndex", 2147483647);
  EXPECT_EQ(Get(File()),
            "[MainForm]\nHLEq=Hazen-Williams\nSolveFor=-5\nSound=1\nStayonTop=0\n"
            "[Flow]\nUnitIndex=2147483647\n");
  EXPECT_EQ(ini.ReadInteger("MainForm", "SolveFor", 0), -5);
  EXPECT_TRUE(ini.ReadBool("MainForm", "Sound", false));
  EXPECT_EQ(Entries(), Strings{"zynta.ini"});
}

TEST_F(IniFileTest, WriteKeepsCommentsBlankLinesAndLineEnds) {
  Put(File(), "\xEF\xBB\xBF; user settings\r\n\r\n[MainForm]\r\nSound=0\r\n\r\n; end\r\n");
  IniFile ini(File());
  ini.WriteBool("MainForm", "Sound", true);
  ini.WriteString("MainForm", "Version", "1.1");
  EXPECT_EQ(Get(File()),
            "\xEF\xBB\xBF; user settings\r\n\r\n[MainForm]\r\nSound=1\r\nVersion=1.1\r\n"
            "\r\n; end\r\n");
}

TEST_F(IniFileTest, WriteSeesAFileReplacedSinceTheLastCall) {
  IniFile ini(File());
  ini.WriteString("S", "a", "1");
  Put(File(), "[S]\nb=2\n");
  ini.WriteString("S", "c", "3");
  EXPECT_EQ(Get(File()), "[S]\nb=2\nc=3\n");
}

TEST_F(IniFileTest, WriteIntoMissingFolderThrowsAndLeavesNothing) {
  const fs::path path = dir_ / "no such folder" / "zynta.ini";
  IniFile ini(path);
  try {
    ini.WriteString("S", "k", "v");
    FAIL() << "no exception";
  } catch (const IniWriteError& error) {
    EXPECT_STREQ(error.what(), ("Unable to write to " + path.string()).c_str());
  }
  EXPECT_THROW(ini.WriteInteger("S", "k", 1), std::runtime_error);
  EXPECT_THROW(ini.WriteBool("S", "k", true), IniWriteError);
  EXPECT_EQ(Entries(), Strings{});
}

TEST(IniFileError, NamesThePathAsGiven) {
  const fs::path path = fs::path("zynta-ini-missing-folder-xyz") / ".." / "nope" / "a.ini";
  try {
    IniFile(path).WriteString("S", "k", "v");
    FAIL() << "no exception";
  } catch (const IniWriteError& error) {
    EXPECT_STREQ(error.what(), "Unable to write to zynta-ini-missing-folder-xyz/../nope/a.ini");
  }
}

TEST_F(IniFileTest, FailedReplaceLeavesNoTemporaryFile) {
  fs::create_directory(File());  // renaming over a folder fails
  fs::create_directory(File() / "inside");
  IniFile ini(File());
  EXPECT_THROW(ini.WriteString("S", "k", "v"), IniWriteError);
  EXPECT_EQ(Entries(), Strings{"zynta.ini"});
  EXPECT_TRUE(fs::is_directory(File() / "inside"));
}

TEST_F(IniFileTest, ManyWritesLeaveOnlyTheFile) {
  IniFile ini(File());
  for (int i = 0; i < 20; ++i) ini.WriteInteger("S", "k" + std::to_string(i % 5), i);
  EXPECT_EQ(Entries(), Strings{"zynta.ini"});
  EXPECT_EQ(ini.ReadSection("S"), (Strings{"k0", "k1", "k2", "k3", "k4"}));
  EXPECT_EQ(ini.ReadInteger("S", "k4", 0), 19);
}

TEST_F(IniFileTest, WriteKeepsPermissionBits) {
  Put(File(), "[S]\nk=1\n");
  const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(File(), mode);
  IniFile(File()).WriteString("S", "k", "2");
  EXPECT_EQ(fs::status(File()).permissions(), mode);
}

TEST_F(IniFileTest, WriteThroughSymlinkUpdatesItsTarget) {
  Put(File("real.ini"), "[S]\nk=1\n");
  fs::create_symlink("real.ini", File("link.ini"));
  IniFile(File("link.ini")).WriteString("S", "k", "2");
  EXPECT_TRUE(fs::is_symlink(File("link.ini")));
  EXPECT_EQ(Get(File("real.ini")), "[S]\nk=2\n");
  EXPECT_EQ(Entries(), (Strings{"link.ini", "real.ini"}));
}

TEST_F(IniFileTest, BadNameThrowsBeforeTouchingTheFile) {
  Put(File(), "[S]\nk=1\n");
  IniFile ini(File());
  EXPECT_THROW(ini.WriteString("S", "a=b", "v"), std::invalid_argument);
  EXPECT_EQ(Get(File()), "[S]\nk=1\n");
  EXPECT_EQ(Entries(), Strings{"zynta.ini"});
}

// Permission checks mean nothing to the superuser.
TEST_F(IniFileTest, RefusedWritesLeaveTheFileAlone) {
  if (IsRoot()) GTEST_SKIP() << "running as root";
  struct Case {
    const char* what;
    fs::perms file_mode;
    fs::perms folder_mode;
  };
  const Case cases[] = {
      {"read-only file", fs::perms::owner_read, fs::perms::owner_all},
      {"unreadable file", fs::perms::owner_write, fs::perms::owner_all},
      {"read-only folder", fs::perms::owner_read | fs::perms::owner_write,
       fs::perms::owner_read | fs::perms::owner_exec},
  };
  for (const auto& c : cases) {
    Put(File(), "[S]\nk=1\n");
    fs::permissions(File(), c.file_mode);
    fs::permissions(dir_, c.folder_mode);
    EXPECT_THROW(IniFile(File()).WriteString("S", "k", "2"), IniWriteError) << c.what;
    fs::permissions(dir_, fs::perms::owner_all);
    fs::permissions(File(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Get(File()), "[S]\nk=1\n") << c.what;
    EXPECT_EQ(Entries(), Strings{"zynta.ini"}) << c.what;
  }
}

}  // namespace
}  // namespace zynta::settings
