#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "common/text.h"
#include "record/dispatch.h"
#include "record/readers.h"
#include "record/strong_record.h"
#include "tests/support/damaged_files.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using test::ScriptedUi;
using test::TempDir;

struct UnamFile {
  std::string interval = "/0.01/0.01/0.01";
  std::string counts = "";  // "/steps/steps/steps" when empty
  std::string firstSample = "23:59:50";
  std::string units = "Gal (cm/s/s)";
  int steps = 4;
  std::string badField = "";  // replaces the V value of step 2 when set
};

std::string Key(const std::string& key, const std::string& value) {
  return PadRight(key, 39) + ": " + value + "\r\n";
}

// Channels V, N00E, N90E in F10.4: V = step, N00E = -step, N90E = 1000 step.
std::string UnamText(const UnamFile& f) {
  std::string n = std::to_string(f.steps);
  std::string text = "****\r\n              INSTITUTO DE INGENIERIA, UNAM\r\n****\r\nARCHIVO ESTANDAR DE ACELERACION:\r\n" +
                     Key("VERSION DEL FORMATO", "2.0") + "=====\r\nDATOS DE LA ESTACION:\r\n" +
                     Key("NOMBRE DE LA ESTACION", "ACAPULCO CENTRO CULTURAL") + Key("CLAVE DE LA ESTACION", "ACAC") +
                     Key("COORDENADAS DE LA ESTACION", "16.84851 LAT. N") + Key("", "99.85157 LONG. W") +
                     Key("NUMERO DE CANALES", "3") + Key("ORIENTACION C1-C6 (rumbo;orientacion)", "/V/N00E/N90E") +
                     Key("INTERVALO DE MUESTREO, C1-C6 (s)", f.interval) + Key("FECHA DEL SISMO [GMT]", "2017/09/20") +
                     Key("HORA EPICENTRO (GMT)", "00:00:10") + Key("HORA DE LA PRIMERA MUESTRA (GMT)", f.firstSample) +
                     Key("NUM. TOTAL DE MUESTRAS, C1-C6", f.counts.empty() ? "/" + n + "/" + n + "/" + n : f.counts) +
                     Key("UNIDADES DE LOS DATOS", f.units) + Key("FORMATO DATOS (FORTRAN,10 campos/dato)", "3F10.4") +
                     "=====\r\nDATOS DE ACELERACION:\r\n---------+\r\n   CANAL-1   CANAL-2   CANAL-3\r\n"
                     "         V      N00E      N90E\r\n---------+\r\n";
  for (int i = 1; i <= f.steps; ++i) {
    std::string v = i == 2 && !f.badField.empty() ? f.badField : FormatNumber(i, "0.0000");
    text += AlignRight(v, 10) + AlignRight(FormatNumber(-i, "0.0000"), 10) +
            AlignRight(FormatNumber(1000 * i, "0.0000"), 10) + "\r\n";
  }
  return text;
}

TEST(UnamSamples, SampleOpensWithItsHeaderValuesUnderAnyName) {
  SKIP_WITHOUT_SAMPLES();
  TempDir dir;
  std::string renamed = dir.File("acac.txt");
  std::filesystem::copy_file(test::SamplesDir() / "unam" / "ACAC1709.191", renamed);
  for (const std::string& path : {(test::SamplesDir() / "unam" / "ACAC1709.191").string(), renamed}) {
    StrongRecord rec;
    ScriptedUi ui;
    ASSERT_TRUE(ReadRecordFile(path, rec, ui)) << ui.OnlyMessage();
    EXPECT_EQ(rec.FileFormat, FormatUnam);
    EXPECT_EQ(rec.ChanCount, 3);
    EXPECT_EQ(rec.DataCount, 35600);
    EXPECT_EQ(rec.SampFreq, 200);
    EXPECT_EQ(rec.RecDate, "2017/09/19");
    EXPECT_EQ(rec.RecTime, "18:14:18");
    EXPECT_EQ(rec.SiteCode, "ACAC");
    EXPECT_EQ(rec.SiteName, "ACAPULCO CENTRO CULTURAL");
    EXPECT_EQ(rec.SiteLat, "16.84851");
    EXPECT_EQ(rec.SiteLong, "-99.85157");
    const char* labels[] = {"N00E", "N90E", "V"};
    const double peaks[] = {58.7394, -42.3377, 25.6114};  // ACEL. MAX.(Gal) of each channel
    for (int32_t ch = 1; ch <= 3; ++ch) {
      EXPECT_EQ(rec.Label(ch), labels[ch - 1]);
      EXPECT_NEAR(rec.Peak(ch), peaks[ch - 1], std::fabs(peaks[ch - 1]) * 1e-3) << labels[ch - 1];
    }
  }
}

TEST(Unam, ChannelsHorizontalFirstAndAFirstSampleBeforeMidnightOnTheDayBefore) {
  TempDir dir;
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReadUnam(dir.Write("a.191", UnamText({})), rec, ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.DataCount, 4);
  EXPECT_EQ(rec.SampFreq, 100);
  EXPECT_FLOAT_EQ(rec.Acc(3, 1), -3.0f);
  EXPECT_FLOAT_EQ(rec.Acc(3, 2), 3000.0f);
  EXPECT_FLOAT_EQ(rec.Acc(3, 3), 3.0f);
  // The date is the earthquake's (00:00:10); the first sample came 20 s before it.
  EXPECT_EQ(rec.RecDate, "2017/09/19");
  EXPECT_EQ(rec.RecTime, "23:59:50");
}

TEST(Unam, MalformedFilesEndInOneMessageNamingTheFile) {
  struct Case {
    const char* what;
    std::string text;
    std::string message;
  } cases[] = {
      {"count larger than the data", UnamText({.counts = "/5/5/5"}), " (Err#62: Input past end of file)"},
      {"count beyond the file", UnamText({.counts = "/99999999/99999999/99999999"}),
       " (Err#62: Input past end of file)"},
      {"no samples", UnamText({.counts = "/0/4/4"}), " has no effective data."},
      {"interval of 0", UnamText({.interval = "/0/0/0"}), " (Err#11: Division by zero)"},
      {"intervals that differ", UnamText({.interval = "/0.01/0.005/0.01"}),
       " has channels sampled at different rates."},
      {"text in the data", UnamText({.badField = "two"}), " (Err#13: Type mismatch)"},
      {"a time that is none", UnamText({.firstSample = "23:61"}), " (Err#13: Type mismatch)"},
      {"units of no acceleration", UnamText({.units = "cm"}), " gives its samples in \"cm\", not as an acceleration."},
      {"no data heading", "ARCHIVO ESTANDAR DE ACELERACION:\nNUMERO DE CANALES : 3\n",
       " is not a UNAM acceleration file: it has no NUMERO DE CANALES or DATOS DE ACELERACION line."},
  };
  for (const auto& c : cases) {
    TempDir dir;
    std::string path = dir.Write("m.191", c.text);
    StrongRecord rec;
    ScriptedUi ui;
    EXPECT_FALSE(ReadUnam(path, rec, ui)) << c.what;
    std::string expected = (StartsWith(c.message, " (") ? "Failed to read " : "") + path + c.message;
    EXPECT_EQ(ui.OnlyMessage(), expected) << c.what;
  }
}

TEST(Unam, DamagedFilesEndInARecordOrOneMessage) {
  UnamFile f{.steps = 150};
  test::ExpectEveryTenthCutRefused(ReadUnam, "d.191", UnamText(f));
  test::ExpectDamageEndsInRecordOrOneMessage(ReadUnam, "d.191", UnamText(f), 31);
}

TEST(Unam, DetectedByItsTitleBelowTheBanner) {
  TempDir dir;
  EXPECT_EQ(DetectFormat(dir.Write("a.1", UnamText({}))), FormatUnam);
  EXPECT_EQ(DetectFormat(dir.Write("b.txt", std::string(1500, '*') + "\nARCHIVO ESTANDAR DE ACELERACION:\n")),
            FormatUnam);
  EXPECT_EQ(DetectFormat(dir.Write("c.txt", "ARCHIVO DE VELOCIDAD\n")), FormatOther);
}

}  // namespace
}  // namespace sism
