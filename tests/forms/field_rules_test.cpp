// The range rules of the number boxes and the sentences that refuse a text.
#include <gtest/gtest.h>

#include "app/shell/forms/calc_dialog.h"
#include "app/shell/forms/field_check.h"
#include "app/shell/forms/option_dialog.h"
#include "app/shell/forms/read_data_form.h"
#include "app/shell/forms/record_param_form.h"
#include "common/strings.h"

namespace sism {
namespace {

TEST(FieldCheck, NamesAndRangesReadAsTheUserSeesThem) {
  EXPECT_EQ(FieldName("&Low-cut frequency (Hz)"), "Low-cut frequency (Hz)");
  EXPECT_EQ(FieldName("Sampling &frequency (Hz):"), "Sampling frequency (Hz)");
  EXPECT_EQ(FieldName("R&&D"), "R&D");
  EXPECT_EQ((NumberRange{0, 100}.Text()), "a number from 0 to 100");
  EXPECT_EQ((NumberRange{0, 50, false, false}.Text()), "a number above 0 and below 50");
  EXPECT_EQ((NumberRange{1, kNoLimit, true, true, true}.Text()), "a whole number of at least 1");
  EXPECT_EQ(RefusalText("Damping", "a number from 0 to 100", " abc "),
            "Damping takes a number from 0 to 100; \"abc\" is not one.");
  EXPECT_EQ(RefusalText("Damping", "a number", ""), "Damping takes a number; an empty box is not one.");
}

TEST(FieldCheck, NumberInHoldsToTheLimits) {
  const NumberRange open{0, 50, false, false};
  EXPECT_FALSE(NumberIn("0", open));
  EXPECT_FALSE(NumberIn("50", open));
  EXPECT_DOUBLE_EQ(*NumberIn(" 49.9 ", open), 49.9);
  for (const char* bad : {"abc", "", "1e999", "nan", "inf", "1,5"}) EXPECT_FALSE(NumberIn(bad, open)) << bad;
  const NumberRange whole{1, 10, true, true, true};
  EXPECT_TRUE(NumberIn("10", whole));
  EXPECT_FALSE(NumberIn("2.5", whole));
}

TEST(CalcDialogFields, DampingAndPeriodsRefuseWithTheirRange) {
  CalcDialogModel m{CalcParams{}};
  for (const char* bad : {"abc", "-5", "100.5", ""}) {
    EXPECT_FALSE(m.LeaveBox(CalcDialogModel::BoxRespDamping, bad)) << bad;
    EXPECT_NE(m.Refusal().find("Damping"), std::string::npos) << m.Refusal();
    EXPECT_NE(m.Refusal().find("from 0 to 100"), std::string::npos) << m.Refusal();
    EXPECT_NE(m.Refusal().find("It keeps 5."), std::string::npos) << m.Refusal();
  }
  EXPECT_FLOAT_EQ(m.Working().RespDamping, 5);
  EXPECT_EQ(m.Flags(), 0);
  for (const char* bad : {"0", "-3", "0.4", "lots"}) {
    EXPECT_FALSE(m.LeaveBox(CalcDialogModel::BoxRespSteps, bad)) << bad;
    EXPECT_NE(m.Refusal().find("Number of periods takes a number from 1 to 100000"), std::string::npos)
        << m.Refusal();
  }
  EXPECT_EQ(m.Working().RespSteps, 120);
  EXPECT_TRUE(m.LeaveBox(CalcDialogModel::BoxRespSteps, "1"));
  EXPECT_TRUE(m.Refusal().empty());
  EXPECT_FALSE(m.LeaveBox(CalcDialogModel::BoxCutOffFreq, "-0.1"));
  EXPECT_NE(m.Refusal().find(FieldName(7520)), std::string::npos) << m.Refusal();
}

TEST(OptionDialogFields, RefusalsNameTheFieldAndWhatItTakes) {
  AppState app;
  OptionDialogModel m(app);
  using Model = OptionDialogModel;
  EXPECT_EQ(m.LeaveField(Model::FieldWaveWidth, "-10"), Model::FieldResult::Refused);
  EXPECT_EQ(m.FieldRefusal(Model::FieldWaveWidth, "-10"),
            "Wave width (mm) takes a whole number from 1 to 1000; \"-10\" is not one.");
  m.SelectAxis(1);
  EXPECT_EQ(m.LeaveField(Model::FieldAxisMax, "abc"), Model::FieldResult::Refused);
  EXPECT_EQ(m.FieldRefusal(Model::FieldAxisMax, "abc"),
            "Maximum of the Time axis takes a number; \"abc\" is not one.");
  EXPECT_NE(m.FieldRefusal(Model::FieldMaxWaves, "2").find("Max. waves takes a whole number from 3"),
            std::string::npos);
  EXPECT_NE(m.FieldRefusal(Model::FieldRepGraphHeight, "x").find(FieldName(6188)), std::string::npos);
}

TEST(ReadDataFields, SamplingFrequencyZeroIsRefusedAndSaysSo) {
  DataFileParams params;
  params.freq = 100;
  ReadDataForm form(DataFileKind::General, params);
  form.Enter(DataBox::Freq);
  form.SetText(DataBox::Freq, "0");
  EXPECT_FALSE(form.Leave(DataBox::Freq));
  EXPECT_EQ(form.Text(DataBox::Freq), "100");
  EXPECT_EQ(form.Refusal(),
            "Sampling frequency (Hz) takes a whole number above 0 (samples per second); \"0\" is not one. "
            "It keeps 100.");
  form.SetText(DataBox::Freq, "200");
  EXPECT_TRUE(form.Leave(DataBox::Freq));
  EXPECT_TRUE(form.Refusal().empty());
  form.SetText(DataBox::Skip, "-1");
  EXPECT_FALSE(form.Leave(DataBox::Skip));
  EXPECT_NE(form.Refusal().find("at least 0"), std::string::npos);
}

TEST(RecordParamFields, DatesTimesAndCoordinates) {
  EXPECT_TRUE(IsRealDate("2018/12/31"));
  EXPECT_TRUE(IsRealDate("2024/2/29"));
  for (const char* bad : {"2018/13/45", "2023/02/29", "1900/02/29", "2018-12-31", "18/12/31", "2018/12/00", "x"})
    EXPECT_FALSE(IsRealDate(bad)) << bad;
  EXPECT_TRUE(IsRealDate("2000/02/29"));
  EXPECT_TRUE(IsTimeOfDay("23:59:59.25"));
  EXPECT_TRUE(IsTimeOfDay("7:05"));
  for (const char* bad : {"24:00:00", "12:60:00", "12:00:61", "noon", "12:00:00."})
    EXPECT_FALSE(IsTimeOfDay(bad)) << bad;
  EXPECT_TRUE(IsCoordinate("-89.5", 90, 'N', 'S'));
  EXPECT_TRUE(IsCoordinate("35.6N", 90, 'N', 'S'));
  EXPECT_TRUE(IsCoordinate("E 139.7", 180, 'E', 'W'));
  for (const char* bad : {"999", "90.1", "-35S", "35X", "north"})
    EXPECT_FALSE(IsCoordinate(bad, 90, 'N', 'S')) << bad;
  EXPECT_FALSE(IsCoordinate("180.5", 180, 'E', 'W'));
}

TEST(RecordParamFields, OnlyChangedTextsAreHeldToTheRules) {
  // What the file wrote stays acceptable, however it is written.
  const RecordTexts initial{"0000/00/00", "00:00", "ABC", "Site", "35 41 12N", ""};
  RecordParamForm form(initial);
  EXPECT_EQ(form.Refusal(initial), "");
  RecordTexts t = initial;
  t.date = "2018/13/45";
  EXPECT_EQ(form.Refusal(t), "Date takes a date that exists, as yyyy/mm/dd; \"2018/13/45\" is not one.");
  t.date = "2018/12/31";
  t.lat = "999";
  EXPECT_NE(form.Refusal(t).find("Lat. takes a latitude from -90 to 90"), std::string::npos) << form.Refusal(t);
  t.lat = "";  // blank is an unknown value
  t.lon = "200";
  EXPECT_NE(form.Refusal(t).find("Long. takes a longitude from -180 to 180"), std::string::npos);
  t.lon = "139.7";
  t.time = "25:00";
  EXPECT_NE(form.Refusal(t).find("Time takes a time of day"), std::string::npos);
  t.time = "12:00:00";
  EXPECT_EQ(form.Refusal(t), "");
}

}  // namespace
}  // namespace sism
