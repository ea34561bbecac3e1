#include <gtest/gtest.h>

#include <string>

#include "load/user_side.h"
#include "common/text.h"
#include "record/readers.h"
#include "record/strong_record.h"
#include "tests/support/reader_checks.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using test::ScriptedUi;
using test::TempDir;

struct UnamFile {
  std::string interval = "/0.01/0.01/0.01", counts = "/4/4/4", firstSample = "23:59:50",
              units = "Gal (cm/s/s)";
  int steps = 4;
  std::string badField = "";  // replaces the V value of step 2 when set
};

std::string Key(const std::string& key, const std::string& value) {
  return PadRight(key, 39) + ": " + value + "\r\n";
}

// Channels V, N00E, N90E in F10.4: V = step, N00E = -step, N90E = 1000 step.
std::string UnamText(const UnamFile& f) {
  std::string text =
      "****\r\nARCHIVO ESTANDAR DE ACELERACION:\r\n" + Key("CLAVE DE LA ESTACION", "ACAC") +
      Key("COORDENADAS DE LA ESTACION", "16.84851 LAT. N") + Key("", "99.85157 LONG. W") +
      Key("NUMERO DE CANALES", "3") + Key("ORIENTACION C1-C6 (rumbo;orientacion)", "/V/N00E/N90E") +
      Key("INTERVALO DE MUESTREO, C1-C6 (s)", f.interval) + Key("FECHA DEL SISMO [GMT]", "2017/09/20") +
      Key("HORA EPICENTRO (GMT)", "00:00:10") + Key("HORA DE LA PRIMERA MUESTRA (GMT)", f.firstSample) +
      Key("NUM. TOTAL DE MUESTRAS, C1-C6", f.counts) + Key("UNIDADES DE LOS DATOS", f.units) +
      Key("FORMATO DATOS (FORTRAN,10 campos/dato)", "3F10.4") +
      "DATOS DE ACELERACION:\r\n---------+\r\n   CANAL-1   CANAL-2   CANAL-3\r\n---------+\r\n";
  for (int i = 1; i <= f.steps; ++i) {
    std::string v = i == 2 && !f.badField.empty() ? f.badField : FormatNumber(i, "0.0000");
    text += AlignRight(v, 10) + AlignRight(FormatNumber(-i, "0.0000"), 10) +
            AlignRight(FormatNumber(1000 * i, "0.0000"), 10) + "\r\n";
  }
  return text;
}

TEST(UnamSamples, SampleGivesItsHeaderValues) {
  SKIP_WITHOUT_SAMPLES();
  test::ExpectSampleFacts({.file = "unam/ACAC1709.191",
                           .format = FormatUnam,
                           .chans = 3,
                           .count = 35600,
                           .rate = 200,
                           .date = "2017/09/19",
                           .time = "18:14:18",
                           .code = "ACAC",
                           .name = "ACAPULCO CENTRO CULTURAL",
                           .lat = "16.84851",
                           .lon = "-99.85157",
                           .labels = {"N00E", "N90E", "V"},
                           .peaks = {58.7394, 42.3377, 25.6114}});
}

TEST(Unam, HorizontalsFirstAndAFirstSampleBeforeMidnightDatedTheDayBefore) {
  TempDir dir;
  StrongRecord rec;
  ScriptedUi ui;
  ASSERT_TRUE(ReportRead(ReadUnam(dir.Write("a.191", UnamText({})), rec, ui), ui)) << ui.OnlyMessage();
  EXPECT_EQ(rec.DataCount, 4);
  EXPECT_EQ(rec.SampFreq, 100);
  EXPECT_FLOAT_EQ(rec.Acc(3, 1), -3.0f);
  EXPECT_FLOAT_EQ(rec.Acc(3, 2), 3000.0f);
  EXPECT_FLOAT_EQ(rec.Acc(3, 3), 3.0f);
  // The date is the earthquake's, at 00:00:10; the first sample came 20 s before.
  EXPECT_EQ(rec.RecDate + " " + rec.RecTime, "2017/09/19 23:59:50");
}

TEST(Unam, BrokenFilesEndInOneMessageNamingTheFile) {
  test::ExpectRefused(
      ReadUnam, "m.191",
      {{"count larger than the data", UnamText({.counts = "/5/5/5"}), " (Err#62: Input past end of file)"},
       {"count beyond the file", UnamText({.counts = "/99999999/99999999/99999999"}),
        " (Err#62: Input past end of file)"},
       {"no samples", UnamText({.counts = "/0/4/4"}), " has no effective data."},
       {"interval of 0", UnamText({.interval = "/0/0/0"}), " (Err#11: Division by zero)"},
       {"intervals that differ", UnamText({.interval = "/0.01/0.005/0.01"}),
        " has channels sampled at different rates."},
       {"text in the data", UnamText({.badField = "two"}), " (Err#13: Type mismatch)"},
       {"a time that is none", UnamText({.firstSample = "23:61"}), " (Err#13: Type mismatch)"},
       {"no data heading", "NUMERO DE CANALES : 3\n",
        " is not a UNAM acceleration file: it has no NUMERO DE CANALES or DATOS DE ACELERACION line."}});
  test::ExpectDamagedCopiesEndWell(ReadUnam, "d.191", UnamText({.counts = "/150/150/150", .steps = 150}), 31);
}

TEST(Unam, KnownByItsTitleBelowTheBanner) {
  test::ExpectDetected(
      {{"a.1", UnamText({}), FormatUnam},
       {"b.txt", std::string(1500, '*') + "\nARCHIVO ESTANDAR DE ACELERACION:\n", FormatUnam},
       {"c.txt", "ARCHIVO DE VELOCIDAD\n", FormatOther}});
}

}  // namespace
}  // namespace sism
