#include "io/config_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "sheet/program_settings.h"
#include "support/test_session.h"

namespace tabulon {
namespace {

namespace fs = std::filesystem;

ConfigSettings Parsed(std::string_view text) {
  ConfigSettings c = DefaultConfig("/prog/", "TBL");
  ParseSettings(text, c);
  return c;
}

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

struct TempDir {
  fs::path path;
  TempDir() {
    path = fs::temp_directory_path() /
           ("tabulon_cfg_" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + "_" +
            std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  std::string File(const char* name) const { return (path / name).string(); }
};

TEST(ConfigFile, DefaultsWithoutAFile) {
  ConfigSettings c = DefaultConfig("/prog/", "TBL");
  ReadSettings("/nonexistent/dir/TBL.INI", c);
  EXPECT_EQ(c.autoexec, "/prog/AUTOEXEC.WKS");
  EXPECT_EQ(c.toolMacros, "/prog/TBL.MAC");
  EXPECT_EQ(c.formats, DefaultFormatList());
  EXPECT_EQ(c.formats.front(), "F2,Fixed");
  EXPECT_TRUE(c.banding);
  EXPECT_FALSE(c.protect);
  EXPECT_EQ(c.historySize, 5);
  EXPECT_EQ(c.colours[0], 0x00FFFFFFu);
  EXPECT_EQ(c.colours[6], 0x0FFF0000u);
}

TEST(ConfigFile, FlagsKeysAndComments) {
  ConfigSettings c = Parsed(
      "[Flags]\npro=TRUE\nNEG=True\nZERO=TRUE\nBAND=FALSE\nUNDO=xTRUEx\n"
      "HSIZE=3 ; keep three\nMCALC=FALSE;TRUE\n");
  EXPECT_FALSE(c.protect) << "lower-case keys are not keys";
  EXPECT_FALSE(c.negativeColour) << "the flag test looks for upper-case TRUE";
  EXPECT_TRUE(c.hideZeros);
  EXPECT_FALSE(c.banding);
  EXPECT_TRUE(c.undo) << "TRUE anywhere in the value";
  EXPECT_EQ(c.historySize, 3);
  EXPECT_FALSE(c.manualRecalc) << "the comment is removed before the value is read";
}

TEST(ConfigFile, ColoursHexOrDecimal) {
  EXPECT_EQ(Parsed("BKCLR=$000000FF\n").colours[0], 0xFFu);
  EXPECT_EQ(Parsed("BKCLR=255\n").colours[0], 0xFFu);
  EXPECT_EQ(Parsed("CURCLR=$0fff0000\n").colours[6], 0x0FFF0000u);
  EXPECT_EQ(Parsed("BKCLR=$1FFFFFFFF\n").colours[0], 0x00FFFFFFu) << "too large: default";
  EXPECT_EQ(Parsed("BKCLR=-4\n").colours[0], 0x00FFFFFFu);
}

TEST(ConfigFile, GarbageAndEnormousValuesKeepDefaults) {
  ConfigSettings c = Parsed(
      "HSIZE=99999999999999999999999\nGFORM=abc\nGSIZE=1e308\nPORIENT=7\nMTTR=nan\n"
      "MLTR=1e400\nPRELOAD=\nPREFIX=x\nSEP=\nCOMMA=\nPERIOD=\n=TRUE\nnothing here\n"
      "\x01\x02\xff=\x00junk\nSCALE=50\nSTART=/elsewhere/\nRDTSC=TRUE\n");
  EXPECT_EQ(c.historySize, 5);
  EXPECT_EQ(c.defaultFormat, 113);
  EXPECT_EQ(c.graphFontSize, 12);
  EXPECT_EQ(c.orientation, 0);
  EXPECT_DOUBLE_EQ(c.margins[0], 0.5);
  EXPECT_DOUBLE_EQ(c.margins[1], 0.5);
  EXPECT_EQ(c.preload, 1);
  EXPECT_EQ(c.labelPrefix, '\'');
  EXPECT_EQ(c.argSeparator, ',');
  EXPECT_EQ(c.decimalChar, '.');
  EXPECT_EQ(c.scale, 100) << "SCALE= is written only";
  EXPECT_EQ(c.startDir, "/prog/") << "START= is written only";
  EXPECT_FALSE(c.rdtsc);
}

TEST(ConfigFile, RepeatedKeysFormatsAndHistory) {
  ConfigSettings c = Parsed(
      "FORMAT=F0,Whole\nFORMAT=P1,Pct\nHSIZE=2\nHIST=/a.wks\nHIST=/b.wks\nHIST=/c.wks\n");
  ASSERT_EQ(c.formats.size(), 2u);
  EXPECT_EQ(c.formats[1], "P1,Pct");
  ASSERT_EQ(c.history.size(), 2u) << "at most HSIZE entries, the newest kept";
  EXPECT_EQ(c.history[0], "/b.wks");
  std::string many;
  for (int i = 0; i < 15; ++i) many += "HIST=/f" + std::to_string(i) + "\n";
  ConfigSettings d = Parsed("HSIZE=10\n" + many);
  ASSERT_EQ(d.history.size(), 10u);
  EXPECT_EQ(d.history.back(), "/f14");
}

TEST(ConfigFile, CharsAndTexts) {
  ConfigSettings c = Parsed("PREFIX=^\nCURR=EUR\nCURS=\nSEP=;\nPERIOD=,\nCOMMA=.\nGFONT=" +
                            std::string(60, 'F') + "\nSAVE=/home/u/docs\n");
  EXPECT_EQ(c.labelPrefix, '^');
  EXPECT_EQ(c.currencyPrefix, "EU") << "at most two characters";
  EXPECT_EQ(c.currencySuffix, "");
  EXPECT_EQ(c.argSeparator, ';');
  EXPECT_EQ(c.decimalChar, ',');
  EXPECT_EQ(c.thousandsChar, '.');
  EXPECT_EQ(c.graphFont.size(), 40u);
  EXPECT_EQ(c.saveDir, "/home/u/docs");
}

// A decimal character or separator that could be mistaken for part of an
// entry would make typing store something else (PERIOD=5 turned a typed 5
// into 0) or break every function call (SEP=(): it is refused, said so,
// and the previous character stays.
TEST(ConfigFile, NumberCharactersThatClashAreRefused) {
  for (char c : std::string("0123456789eEaZ+-*/^=<>&#()@$!%\"'^\\|:~ \x01\x7f")) {
    for (const char* key : {"PERIOD=", "SEP=", "COMMA="}) {
      if (c == ' ' && std::string(key) == "COMMA=") continue;  // a space groups thousands
      ConfigSettings cfg = DefaultConfig("/p/", "TBL");
      std::vector<std::string> messages = ParseSettings(std::string(key) + c + "\n", cfg);
      SCOPED_TRACE(std::string(key) + c);
      EXPECT_EQ(cfg.decimalChar, '.');
      EXPECT_EQ(cfg.argSeparator, ',');
      EXPECT_EQ(cfg.thousandsChar, ',');
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_EQ(messages[0].rfind(std::string(key) + '"' + c + "\" refused", 0), 0u) << messages[0];
    }
  }
  ConfigSettings cfg = DefaultConfig("/p/", "TBL");
  std::vector<std::string> m = ParseSettings("PERIOD=5\nSEP=(\n", cfg);
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0],
            "PERIOD=\"5\" refused: the decimal character must be \".\" or \",\"; \".\" is kept");
  ProgramSettings program;
  ApplyConfig(cfg, program);
  testing::TestSheet sheet;
  sheet.session.settings() = program;
  ASSERT_TRUE(sheet.Enter("A1", "5"));
  EXPECT_EQ(sheet.Number("A1"), 5);
  ASSERT_TRUE(sheet.Enter("A2", "@MAX(1,7)"));
  EXPECT_EQ(sheet.Number("A2"), 7);

  // The usual sets are taken as they are.
  EXPECT_TRUE(ParseSettings("PERIOD=,\nSEP=;\nCOMMA=.\n", cfg).empty());
  EXPECT_EQ(cfg.decimalChar, ',');
  ConfigSettings spaced = DefaultConfig("/p/", "TBL");
  EXPECT_TRUE(ParseSettings("PERIOD=,\nSEP=;\nCOMMA= \n", spaced).empty());
  EXPECT_EQ(spaced.thousandsChar, ' ');

  // Two of them the same: the whole set stays as it was.
  for (const char* text : {"PERIOD=,\n", "PERIOD=,\nSEP=,\nCOMMA=.\n", "COMMA=.\n",
                           "PERIOD=,\nSEP=;\n"}) {
    ConfigSettings d = DefaultConfig("/p/", "TBL");
    std::vector<std::string> why = ParseSettings(text, d);
    SCOPED_TRACE(text);
    ASSERT_EQ(why.size(), 1u);
    EXPECT_NE(why[0].find("is also the"), std::string::npos) << why[0];
    EXPECT_EQ(d.decimalChar, '.');
    EXPECT_EQ(d.argSeparator, ',');
    EXPECT_EQ(d.thousandsChar, ',');
  }
}

TEST(ConfigFile, WrittenTextReadsBackTheSame) {
  ConfigSettings c = DefaultConfig("/p/", "TBL");
  c.formats = {"F3,Three"};
  c.protect = true;
  c.colours[2] = 0x12345678;
  c.history = {"/x/one.wks", "/x/two.wks"};
  c.margins[3] = 1.25;
  c.labelPrefix = '"';
  std::string text = SettingsText(c);
  EXPECT_NE(text.find("\n[Colors]\nBKCLR=$00FFFFFF\nBDCLR=$00E0FFFF\nVALCLR=$12345678\n"),
            std::string::npos);
  EXPECT_NE(text.find("MBTR=1.25\n"), std::string::npos);
  EXPECT_NE(text.find("TOOLGL=\n"), std::string::npos);
  EXPECT_EQ(text.find("COLOR="), std::string::npos);
  EXPECT_EQ(text.rfind("\n[Directories]\nSTART=/p/\n", 0), 0u);
  ConfigSettings back = DefaultConfig("/other/", "TBL");
  ParseSettings(text, back);
  EXPECT_EQ(back.formats, c.formats);
  EXPECT_TRUE(back.protect);
  EXPECT_EQ(back.colours, c.colours);
  EXPECT_EQ(back.history, c.history);
  EXPECT_DOUBLE_EQ(back.margins[3], 1.25);
  EXPECT_EQ(back.labelPrefix, '"');
  EXPECT_EQ(back.saveDir, "/p/");
}

TEST(ConfigFile, WriteKeepsThePreviousFileAsBackup) {
  TempDir dir;
  std::string file = dir.File("TBL.INI");
  ConfigSettings c = DefaultConfig("/p/", "TBL");
  c.historySize = 3;
  ASSERT_TRUE(WriteSettings(file, c));
  EXPECT_FALSE(fs::exists(dir.File("TBL.INb")));
  c.historySize = 4;
  ASSERT_TRUE(WriteSettings(file, c));
  EXPECT_EQ(SettingsBackupName(file), dir.File("TBL.INb"));
  EXPECT_NE(Slurp(dir.File("TBL.INb")).find("HSIZE=3"), std::string::npos);
  EXPECT_NE(Slurp(file).find("HSIZE=4"), std::string::npos);
  ConfigSettings back = DefaultConfig("/p/", "TBL");
  ReadSettings(file, back);
  EXPECT_EQ(back.historySize, 4);
  EXPECT_FALSE(WriteSettings(dir.File("missing/TBL.INI"), c));
}

TEST(ConfigFile, UnreadableOrHugeFilesAreHarmless) {
  TempDir dir;
  ConfigSettings c = DefaultConfig("/p/", "TBL");
  ReadSettings(dir.path.string(), c);  // a directory, not a file
  EXPECT_EQ(c.formats, DefaultFormatList());
  std::string big = dir.File("BIG.INI");
  {
    std::ofstream out(big, std::ios::binary);
    std::string chunk(1 << 16, 'A');
    for (int i = 0; i < 40; ++i) out << chunk;  // 2.5 MB on one line
    out << "\nPRO=TRUE\n";
  }
  ReadSettings(big, c);
  EXPECT_FALSE(c.protect) << "reading stops at the size bound";
}

TEST(ConfigFile, BaseNameOfTheProgram) {
  EXPECT_EQ(ConfigBaseName("/usr/bin/TBL32.EXE"), "TBL32");
  EXPECT_EQ(ConfigBaseName("/usr/bin/tabulon"), "TBL");
  EXPECT_EQ(ConfigBaseName("averyveryverylongname.x"), "averyveryver");
}

TEST(UserFunctions, PairsOfLines) {
  auto f = ParseUserFunctionFile(
      "myfn,12 ; too many\n@A(1)*2 ; doubled\n\nsq,1\n@A(1)^2\n\n\nnoargs\n42\nlast,2");
  ASSERT_EQ(f.size(), 3u);
  EXPECT_EQ(f[0].name, "MYFN");
  EXPECT_EQ(f[0].argCount, 10);
  EXPECT_EQ(f[0].definition, "@A(1)*2 ");
  EXPECT_EQ(f[1].name, "SQ") << "an empty header line is skipped";
  EXPECT_EQ(f[1].definition, "@A(1)^2");
  EXPECT_EQ(f[2].name, "NOARGS");
  EXPECT_EQ(f[2].argCount, 0);
}

TEST(UserFunctions, LimitsOfNamesBodiesAndCount) {
  std::string text = "averyverylongname,99999999999999999999\n" + std::string(400, 'x') + "\n";
  for (int i = 0; i < 300; ++i) text += "F" + std::to_string(i) + ",1\n1\n";
  auto f = ParseUserFunctionFile(text);
  ASSERT_EQ(f.size(), 255u);
  EXPECT_EQ(f[0].name, "AVERYVERYLON");
  EXPECT_EQ(f[0].argCount, 10) << "larger counts are taken as 10";
  EXPECT_EQ(f[0].definition.size(), 255u);
  EXPECT_EQ(f.back().name, "F253");
}

TEST(ConfigFile, AppliedToTheProgramSettings) {
  ConfigSettings c = Parsed("PERIOD=,\nSEP=;\nCOMMA=.\nPRO=TRUE\nGFORM=2\nPREFIX=^\nUNDO=FALSE\n");
  ProgramSettings p;
  ApplyConfig(c, p);
  EXPECT_EQ(p.decimalChar, ',');
  EXPECT_EQ(p.argSeparator, ';');
  EXPECT_TRUE(p.sheetDefaults.protect);
  EXPECT_EQ(p.sheetDefaults.defaultFormat, 2);
  EXPECT_EQ(p.sheetDefaults.labelPrefix, '^');
  EXPECT_FALSE(p.undoEnabled);
  p.sheetDefaults.banding = false;
  ConfigSettings out = c;
  CaptureConfig(p, out);
  EXPECT_FALSE(out.banding);
  EXPECT_EQ(out.decimalChar, ',');
}

}  // namespace
}  // namespace tabulon
