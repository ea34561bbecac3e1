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
               {5, RecalcResponse},    {6, RecalcResponse | RecalcDuctility},
               {8, 0},                 {12, RecalcDuctility}};
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

TEST(CalcDialog, DuctilitiesAreSeveralNumbersAboveOneKeptInRisingOrder) {
  CalcDialogModel m{CalcParams{}};
  EXPECT_EQ(m.BoxText(CalcDialogModel::BoxDuctilities), "1.5 2 4 6 8");
  EXPECT_TRUE(m.LeaveBox(CalcDialogModel::BoxDuctilities, " 8, 3;1.2  5 "));
  EXPECT_EQ(m.Working().Ductilities, (std::vector<float>{1.2f, 3, 5, 8}));
  EXPECT_EQ(m.BoxText(CalcDialogModel::BoxDuctilities), "1.2 3 5 8");
  EXPECT_EQ(m.Flags(), RecalcDuctility);
  // The same list again computes nothing anew.
  CalcParams applied;
  m.Apply(applied);
  EXPECT_TRUE(m.LeaveBox(CalcDialogModel::BoxDuctilities, "1.2 3 5 8"));
  EXPECT_EQ(m.Flags(), 0);

  const char* refused[] = {"1 2", "0.8", "2 2", "", "two", "2 150", "2 3 4 5 6 7 8 9 10 11 12", "2 inf"};
  for (const char* text : refused) {
    EXPECT_FALSE(m.LeaveBox(CalcDialogModel::BoxDuctilities, text)) << text;
    EXPECT_NE(m.Refusal().find("different numbers above 1"), std::string::npos) << m.Refusal();
    EXPECT_NE(m.Refusal().find("It keeps 1.2 3 5 8."), std::string::npos) << m.Refusal();
    EXPECT_EQ(m.Working().Ductilities, (std::vector<float>{1.2f, 3, 5, 8})) << text;
  }
}

TEST(CalcDialog, PostYieldRatioBelowOneDampingBelowAHundredAndTheQuantityOnlyRedraws) {
  CalcDialogModel m{CalcParams{}};
  EXPECT_EQ(m.BoxText(CalcDialogModel::BoxDuctilityAlpha), "0");
  EXPECT_EQ(m.BoxText(CalcDialogModel::BoxDuctilityDamping), "5");
  EXPECT_TRUE(m.LeaveBox(CalcDialogModel::BoxDuctilityAlpha, "0.1"));
  EXPECT_FALSE(m.LeaveBox(CalcDialogModel::BoxDuctilityAlpha, "1"));
  EXPECT_FALSE(m.LeaveBox(CalcDialogModel::BoxDuctilityAlpha, "-0.1"));
  EXPECT_NE(m.Refusal().find("It keeps 0.1."), std::string::npos) << m.Refusal();
  EXPECT_TRUE(m.LeaveBox(CalcDialogModel::BoxDuctilityDamping, "0"));
  EXPECT_FALSE(m.LeaveBox(CalcDialogModel::BoxDuctilityDamping, "100"));
  EXPECT_EQ(m.Working().DuctilityAlpha, 0.1f);
  EXPECT_EQ(m.Working().DuctilityDamping, 0);
  // The elastic response is not touched by the inelastic settings.
  EXPECT_EQ(m.Working().RespDamping, 5);
  EXPECT_EQ(m.Flags(), RecalcDuctility);

  CalcParams target;
  m.Apply(target);
  m.ChooseDuctilityQuantity(DuctSa);
  EXPECT_EQ(m.Flags(), 0);
  EXPECT_TRUE(m.ApplyEnabled());
  EXPECT_TRUE(m.Apply(target));  // a redraw, nothing recomputed
  EXPECT_EQ(target.DuctilityQuantity, DuctSa);
  EXPECT_EQ(target.RecalcFlags & RecalcDuctility, RecalcDuctility);  // still pending from before
  m.ChooseDuctilityQuantity(7);  // no such quantity
  EXPECT_FALSE(m.ApplyEnabled());
}

}  // namespace
}  // namespace sism
