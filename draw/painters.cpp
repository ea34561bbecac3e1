#include "draw/draw_graph.h"
#include "draw/inelastic.h"
#include "draw/orbit.h"
#include "draw/relation.h"
#include "draw/report.h"
#include "draw/snr.h"
#include "draw/spectrum.h"
#include "draw/time_history.h"

namespace sism {

std::map<int32_t, Painter> DefaultPainters() {
  return {
      {KindAcc, TimeHistoryPainter},
      {KindVel, TimeHistoryPainter},
      {KindDisp, TimeHistoryPainter},
      {KindFourier, SpectrumPainter},
      {KindPower, SpectrumPainter},
      {KindAutoCorrelation, SpectrumPainter},
      {KindSa, SpectrumPainter},
      {KindSv, SpectrumPainter},
      {KindSd, SpectrumPainter},
      {KindPSv, SpectrumPainter},
      {KindEnergy, SpectrumPainter},
      {KindAccOrbit, OrbitPainter},
      {KindVelOrbit, OrbitPainter},
      {KindDispOrbit, OrbitPainter},
      {KindSpectralRatio, RelationPainter},
      {KindPhaseDifference, RelationPainter},
      {KindCrossSpectrum, RelationPainter},
      {KindCrossCorrelation, RelationPainter},
      {KindCoherence, RelationPainter},
      {KindResponseRatio, RelationPainter},
      {KindReport, ReportPainter},
      {KindSnr, SnrPainter},
      {KindDuctility, DuctilityPainter},
      {KindEas, EasPainter},
  };
}

}  // namespace sism
