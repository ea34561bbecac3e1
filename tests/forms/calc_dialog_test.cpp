#include <gtest/gtest.h>

#include "app/shell/forms/calc_dialog.h"

namespace sism {
namespace {

TEST(CalcDialog, IntegrationMethodEnablesItsBoxes) {
  CalcDialogModel m{CalcParams{}};
  struct Case {
    int32_t method;
    bool cutOff, frontRear;
  } cases[] = {{0, true, false}, {1, false, false}, {2, false, true}, {3, false, false}, {4, true, false}};
  for (const auto& c : cases) {
    m.ChooseIntegrationMethod(c.method);
    EXPECT_EQ(m.CutOffEnabled(), c.cutOff) << c.method;
    EXPECT_EQ(m.FrontRearEnabled(), c.frontRear) << c.method;
  }
  EXPECT_EQ(m.Flags(), RecalcIntegration);
  m.ChooseFourDurationType(2);
  EXPECT_TRUE(m.LengthStartEnabled());
  m.ChooseFourDurationType(1);
  EXPECT_FALSE(m.LengthStartEnabled());
}

TEST(CalcDialog, BoxesStoreNumbersAndSetTheirBits) {
  struct Case {
    int box;
    int32_t bit;
  } cases[] = {{0, RecalcIntegration}, {1, RecalcIntegration}, {7, RecalcIntegration},
               {2, RecalcFourier},     {3, RecalcFourier},     {4, RecalcFourier},
               {5, RecalcResponse},    {6, RecalcResponse},    {8, 0}};
  for (const auto& c : cases) {
    CalcDialogModel m{CalcParams{}};
    EXPECT_TRUE(m.LeaveBox(c.box, " 12.5 ")) << c.box;
    EXPECT_EQ(m.Flags(), c.bit) << c.box;
    EXPECT_TRUE(m.ApplyEnabled()) << c.box;
  }
  CalcDialogModel m{CalcParams{}};
  EXPECT_TRUE(m.LeaveBox(CalcDialogModel::BoxRespSteps, "120.5"));
  EXPECT_EQ(m.Working().RespSteps, 120);  // nearest, halves to even
  EXPECT_FALSE(m.LeaveBox(CalcDialogModel::BoxRespDamping, "five"));
  EXPECT_FLOAT_EQ(m.Working().RespDamping, 5);
  for (const char* outside : {"-5", "100.5", "1e9"}) {
    EXPECT_FALSE(m.LeaveBox(CalcDialogModel::BoxRespDamping, outside)) << outside;
    EXPECT_FLOAT_EQ(m.Working().RespDamping, 5) << outside;
  }
  EXPECT_TRUE(m.LeaveBox(CalcDialogModel::BoxRespDamping, "100"));
  EXPECT_EQ(m.BoxText(CalcDialogModel::BoxFourLength), "81.92");
}

TEST(CalcDialog, PeaksBetweenSamplesIsOnByDefaultAndRecomputesTheResponse) {
  CalcParams target;
  EXPECT_TRUE(target.RespPeaksBetweenSamples);
  CalcDialogModel m{target};
  m.SetRespPeaksBetweenSamples(false);
  EXPECT_EQ(m.Flags(), RecalcResponse);
  EXPECT_TRUE(m.Apply(target));
  EXPECT_FALSE(target.RespPeaksBetweenSamples);
  EXPECT_EQ(target.RecalcFlags, RecalcResponse | RecalcRelations);  // the spectrum ratio follows
}

TEST(CalcDialog, ApplyAddsRelationsAndClearsTheFlags) {
  CalcParams target;
  CalcDialogModel m{target};
  EXPECT_FALSE(m.ApplyEnabled());
  m.LeaveBox(CalcDialogModel::BoxWindowWidth, "0.4");
  EXPECT_TRUE(m.Apply(target));
  EXPECT_FLOAT_EQ(target.WindowWidth, 0.4f);
  EXPECT_EQ(target.RecalcFlags, RecalcFourier | RecalcRelations);
  EXPECT_EQ(m.Flags(), 0);
  EXPECT_FALSE(m.ApplyEnabled());
  m.LeaveBox(CalcDialogModel::BoxStartThreshold, "2");  // no recalculation, still applied
  EXPECT_TRUE(m.ApplyEnabled());
  EXPECT_FALSE(m.Apply(target));
  EXPECT_FLOAT_EQ(target.StartThreshold, 2);
}

}  // namespace
}  // namespace sism

namespace sism {
namespace {

TEST(CalcDialog, KonnoOhmachiBesideParzen) {
  CalcDialogModel m{CalcParams{}};
  EXPECT_EQ(m.Working().FourierSmoothing, kSmoothParzen);  // Parzen stays the default
  EXPECT_TRUE(m.WindowWidthEnabled());
  EXPECT_FALSE(m.KonnoEnabled());
  EXPECT_EQ(m.BoxText(CalcDialogModel::BoxKonnoB), "40");
  m.ChooseSmoothing(kSmoothKonno);
  EXPECT_FALSE(m.WindowWidthEnabled());
  EXPECT_TRUE(m.KonnoEnabled());
  EXPECT_EQ(m.Flags(), RecalcFourier);
  EXPECT_TRUE(m.LeaveBox(CalcDialogModel::BoxKonnoB, "188.5"));
  EXPECT_FALSE(m.LeaveBox(CalcDialogModel::BoxKonnoB, "10"));  // outside 20-188.5
  EXPECT_FALSE(m.LeaveBox(CalcDialogModel::BoxKonnoB, "200"));
  EXPECT_EQ(m.Working().KonnoB, 188.5f);
}

}  // namespace
}  // namespace sism
