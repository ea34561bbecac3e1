/* sismcalc: numeric kernels for strong-motion records, behind a flat C interface.
 *
 * Every argument is a pointer, also for pure inputs. Arrays are contiguous float
 * vectors; the documentation numbers elements from 1 (element 1 is the first in
 * memory). P is the padded length of N: the smallest power of two >= N and >= 2;
 * NH = P/2. Sums and products run in double precision; outputs are rounded to float.
 * No function allocates memory for the caller, prints or throws; rejected arguments
 * give the documented failure result (0) and leave the outputs untouched. */
#ifndef SISMCALC_H
#define SISMCALC_H

#include <stdint.h>

#if defined(SISMCALC_BUILDING)
#define SISMCALC_API __attribute__((visibility("default")))
#else
#define SISMCALC_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Fourier coefficients RE, IM [NH] of X [N], divided by P; returns NH. */
SISMCALC_API int32_t FFTRI(const int32_t* N, const float* X, float* RE, float* IM);
/* Fourier amplitude AMP [NH] (divided by P) and phase PH [NH] (radians) of X [N]; returns NH. */
SISMCALC_API int32_t FFTAP(const int32_t* N, const float* X, float* AMP, float* PH);
/* Circular auto-correlation R [NH+1] of X [N] through its power spectrum, R(1) = P; NH+1 or 0. */
SISMCALC_API int32_t AUTO(const int32_t* N, const float* X, float* R);

/* Relative displacement, velocity and absolute acceleration responses SD, SV, SA [NP] at periods PRD, damping H; 1 or 0. */
SISMCALC_API int32_t RESPEC(const int32_t* NP, const float* PRD, const float* H, const int32_t* N, const float* DT,
                            const float* ACC, float* SD, float* SV, float* SA);
/* As RESPEC, plus the energy spectrum VE [NP]; 1 or 0. */
SISMCALC_API int32_t RESPEC2(const int32_t* NP, const float* PRD, const float* H, const int32_t* N, const float* DT,
                             const float* ACC, float* SD, float* SV, float* SA, float* VE);
/* As RESPEC2, with NSTEP > 0 the maxima of the continuous response (the acceleration linear between
 * the samples, as before) also between the samples, within 0.2 % at any period, damping and sampling
 * rate: each sample interval that can hold a peak above those so far is searched exactly. NSTEP = 0
 * keeps the maxima at the samples (RESPEC2's results); 0 <= NSTEP <= 1000, its value beyond that
 * choice no longer matters. VE is summed at the samples, as in RESPEC2. 1 or 0. */
SISMCALC_API int32_t RESPECSUB(const int32_t* NP, const float* PRD, const float* H, const int32_t* N,
                               const float* DT, const float* ACC, float* SD, float* SV, float* SA, float* VE,
                               const int32_t* NSTEP);
/* Energy spectrum VE [NP] alone; 1 or 0. */
SISMCALC_API int32_t ENGSPEC(const int32_t* NP, const float* PRD, const float* H, const int32_t* N, const float* DT,
                             const float* ACC, float* VE);
/* Spectrum intensity over periods T1..T2 sampled at NP periods. */
SISMCALC_API float SPINT(const int32_t* NP, const float* T1, const float* T2, const float* H, const int32_t* N,
                         const float* DT, const float* ACC);
/* Spectrum intensity, second form. */
SISMCALC_API float SPECINT(const int32_t* NP, const float* T1, const float* T2, const float* H, const int32_t* N,
                           const float* DT, const float* ACC);
/* N periods PRD [N] evenly spaced in logarithm from T1 to T2; 1 or 0. */
SISMCALC_API int32_t LOGPRD(const float* T1, const float* T2, const int32_t* N, float* PRD);

/* Parzen smoothing of the spectrum S [N] (step DF Hz) with band width BW Hz, in place; 1 or 0. */
SISMCALC_API int32_t PARZEN(const int32_t* N, const float* DF, const float* BW, float* S);
/* Parzen smoothing of the phase spectrum PH [N] (radians) through its unit vectors; 1 or 0. */
SISMCALC_API int32_t PARZENP(const int32_t* N, const float* DF, const float* BW, float* PH);
/* PH [N] = atan2(IM, RE) with atan2(0, 0) = 0; returns 0. */
SISMCALC_API int32_t REIMPH(const int32_t* N, const float* RE, const float* IM, float* PH);

/* JMA instrumental seismic intensity of the components X, Y, Z [N] at step DT, whole record at once. */
SISMCALC_API float SIJMA(const int32_t* N, const float* DT, const float* X, const float* Y, const float* Z);
/* JMA instrumental seismic intensity, the largest over tapered 10-second windows. */
SISMCALC_API float SIJMA10(const int32_t* N, const float* DT, const float* X, const float* Y, const float* Z);

/* Band-pass X [N] in place between FL and FH Hz (a corner <= 0 is off); returns P. */
SISMCALC_API int32_t FILTER(const int32_t* N, const float* DT, const float* FL, const float* FH, float* X);
/* Rotates the horizontal pair X, Y [N] by ANG degrees, in place. */
SISMCALC_API void ROTATE(const int32_t* N, const float* ANG, float* X, float* Y);

/* Largest value of X [N]. */
SISMCALC_API float GETMAX(const int32_t* N, const float* X);
/* Value of largest magnitude of X [N], with its sign (the first on ties). */
SISMCALC_API float GETPEAK(const int32_t* N, const float* X);
/* Largest vector magnitude of the pair X, Y [N]. */
SISMCALC_API float GETVECPEAK2(const int32_t* N, const float* X, const float* Y);
/* Largest vector magnitude of the triple X, Y, Z [N]. */
SISMCALC_API float GETVECPEAK3(const int32_t* N, const float* X, const float* Y, const float* Z);
/* Value of largest magnitude PEAK and its index IPOS among X(I1..I2). */
SISMCALC_API void FINDPEAKAT(const int32_t* I1, const int32_t* I2, const float* X, float* PEAK, int32_t* IPOS);
/* Largest value XMAX and its index IPOS among X(I1..I2). */
SISMCALC_API void FINDMAXAT(const int32_t* I1, const int32_t* I2, const float* X, float* XMAX, int32_t* IPOS);

/* Velocity and displacement VEL, DISP [N] of ACC [N] by time-domain METHOD with fitting window T1..T2; break index or 0. */
SISMCALC_API int32_t INTEGTRA(const int32_t* N, const float* DT, const float* ACC, float* VEL, float* DISP,
                              const int32_t* METHOD, const float* T1, const float* T2);
/* Velocity and displacement by integration in the frequency domain with low cut FC Hz; returns 0. */
SISMCALC_API int32_t INTEGFFT(const int32_t* N, const float* DT, const float* ACC, float* VEL, float* DISP,
                              const float* FC);
/* Velocity and displacement by lattice-filter integration with low cut FC Hz; returns 0. */
SISMCALC_API int32_t INTEGLAT(const int32_t* N, const float* DT, const float* ACC, float* VEL, float* DISP,
                              const float* FC);

/* Strong-motion duration of X [N] in seconds. */
SISMCALC_API float DURATION(const int32_t* N, const float* DT, const float* X);

/* RotD percentiles of the pseudo-acceleration spectrum w^2*Sd of the horizontal pair X, Y [N] (cm/s/s) at periods
 * PRD [NP] (s), damping H: for each period the peak of x*cos(t) + y*sin(t) of the two oscillators' relative
 * displacements for t = 0..179 degrees, then percentile PCT(j) (0..100, linear between ranks) over the angles into
 * ROTD(k + NP*(j-1)) [NP*NPCT]; ANG100 [NP] the first angle (degrees from X toward Y) of the largest; PEAKS
 * [NP*180] w^2 times the peak at angle t in PEAKS(k + NP*t) (t = 0: X's own, t = 90: Y's own). ANG100 and PEAKS
 * may be null. NSTEP > 0 walks each sample interval in the fewest power-of-two sub-steps (at most 1024) of at
 * most PRD(k)/NSTEP, taking the peaks at them (0: at the samples); a period <= 0 gives the rotated ground
 * acceleration. 1 or 0. */
SISMCALC_API int32_t ROTDSPEC(const int32_t* NP, const float* PRD, const float* H, const int32_t* N,
                              const float* DT, const float* X, const float* Y, const int32_t* NPCT,
                              const float* PCT, float* ROTD, float* ANG100, float* PEAKS, const int32_t* NSTEP);
/* Arias intensity pi/(2g) * integral of ACC^2 dt of ACC [N] (cm/s/s), in m/s, g = 980.665 cm/s/s; 0 on bad arguments. */
SISMCALC_API float ARIAS(const int32_t* N, const float* DT, const float* ACC);
/* Normalised Husid curve H [N] (0 to 1): integral of ACC^2 up to each sample over its total; 1, or 0 for no motion. */
SISMCALC_API int32_t HUSID(const int32_t* N, const float* DT, const float* ACC, float* H);
/* Significant duration (s) between the instants the Husid curve of ACC [N] reaches F1 and F2 (0 <= F1 < F2 <= 1). */
SISMCALC_API float SIGDUR(const int32_t* N, const float* DT, const float* ACC, const float* F1, const float* F2);
/* Cumulative absolute velocity, integral of |ACC| dt of ACC [N] (cm/s/s), in cm/s. */
SISMCALC_API float CAV(const int32_t* N, const float* DT, const float* ACC);

/* Butterworth filters and Konno-Ohmachi smoothing. */
/* Zeros BUTTER pads each end with: half of 1.5*ORDER/fc seconds in samples (rounded up), fc = FL, or FH
 * without a low cut; -1 for arguments BUTTER rejects. */
SISMCALC_API int32_t BUTTERPAD(const float* DT, const float* FL, const float* FH, const int32_t* ORDER);
/* Butterworth filter of X [N] in place: high-pass at FL Hz (FL <= 0: none) then low-pass at FH Hz (FH <= 0 or
 * at or above half the sampling rate: none), each of ORDER (1..12), in second-order sections with the corners
 * prewarped (gain 1/sqrt(2) at each). PASSES 1 is causal; 2 runs forward and then backward (zero phase, gain
 * 1/2 at the corners). The record is padded with BUTTERPAD zeros at both ends first; KEEPPAD 0 writes back
 * the N samples of the record, KEEPPAD 1 the N + 2*pad samples with the pads (X must hold them). Returns the
 * number of samples written, 0 if rejected (no corner, FL >= FH, FL at or above half the sampling rate). */
SISMCALC_API int32_t BUTTER(const int32_t* N, const float* DT, const float* FL, const float* FH,
                            const int32_t* ORDER, const int32_t* PASSES, const int32_t* KEEPPAD, float* X);
/* Konno-Ohmachi smoothing of the spectrum S [N], S(k) at (k-1)*DF Hz, at the NO frequencies FO (Hz, any
 * order; LOGPRD(0.01, 100, 401) gives the common log grid): SO(j) = sum W S / sum W over the bins above 0 Hz,
 * W = (sin(x)/x)^4, x = B*log10(f/FO(j)), B the band width coefficient (commonly 20 to 188.5, 40 by
 * default). A frequency <= 0 gives 0. 1, or 0 if rejected (N < 2, DF <= 0, B <= 0). */
SISMCALC_API int32_t KONNO(const int32_t* N, const float* DF, const float* S, const float* B,
                           const int32_t* NO, const float* FO, float* SO);
/* Effective amplitude spectrum of the horizontal pair X, Y [N] at step DT: the quadratic mean
 * sqrt((|F_X|^2 + |F_Y|^2)/2) of their Fourier amplitudes (continuous transform: coefficients times the
 * padded length in seconds, cm/s for cm/s/s), Konno-Ohmachi smoothed with B at the NO frequencies FO into SO.
 * 1 or 0. */
SISMCALC_API int32_t EAS(const int32_t* N, const float* DT, const float* X, const float* Y, const float* B,
                         const int32_t* NO, const float* FO, float* SO);
/* Ground-motion measures. ACC is acceleration (cm/s/s), VEL velocity (cm/s), N >= 2 samples at step
 * DT > 0 s; g = 980.665 cm/s/s. Integrals take the samples as linear between them. 0 on bad arguments. */
/* Root mean square of X(I1..I2), 1 <= I1 <= I2. */
SISMCALC_API float RMSAT(const int32_t* I1, const int32_t* I2, const float* X);
/* The samples I1..I2 inside the Husid window from fraction F1 to F2 of ACC [N] (0 <= F1 < F2 <= 1); 1, or 0
 * for no motion. */
SISMCALC_API int32_t SIGWIN(const int32_t* N, const float* ACC, const float* F1, const float* F2, int32_t* I1,
                            int32_t* I2);
/* Characteristic intensity a_rms^1.5 * sqrt(t_d) over the 5-95 % Husid window (t_d = D5-95 s), in
 * (cm/s/s)^1.5 s^0.5. */
SISMCALC_API float CHARINT(const int32_t* N, const float* DT, const float* ACC);
/* Specific energy density, integral of VEL^2 dt, in cm^2/s. */
SISMCALC_API float SEDENS(const int32_t* N, const float* DT, const float* VEL);
/* CAV counting only the time where |ACC| >= THR (cm/s/s; THR = 5 gives CAV5), in cm/s. */
SISMCALC_API float CAVTHR(const int32_t* N, const float* DT, const float* ACC, const float* THR);
/* Standardised CAV: the integral of |ACC| dt over the whole seconds from the start whose largest |ACC|
 * reaches 0.025 g, in cm/s. */
SISMCALC_API float CAVSTD(const int32_t* N, const float* DT, const float* ACC);
/* At damping H, by the trapezoid rule over the periods 0.1-0.5 s by 0.025 s and 0.55-2.5 s by 0.05 s:
 * ASI = integral of SA over 0.1-0.5 s (cm/s), VSI of SV over 0.1-2.5 s (cm), HI of pSv = w*SD over
 * 0.1-2.5 s (cm); TP the period of the largest SA over those and 0.02-0.08 s by 0.02 s and 2.6-4 s by
 * 0.1 s (0 for no motion). 1 or 0. */
SISMCALC_API int32_t SPECMEAS(const float* H, const int32_t* N, const float* DT, const float* ACC, float* ASI,
                              float* VSI, float* HI, float* TP);
/* Sustained maximum: the third largest of the peaks |X| of the half cycles (runs of one sign) of X [N];
 * 0 with fewer than three half cycles. */
SISMCALC_API float SUSTMAX(const int32_t* N, const float* X);
/* Effective design acceleration: the peak |ACC| after a zero-phase low-pass at FC Hz with the gain
 * 1/sqrt(1 + (f/FC)^8) (FC = 9 in the usual definition). */
SISMCALC_API float EDA(const int32_t* N, const float* DT, const float* ACC, const float* FC);
/* A95: the smallest |ACC(i)| such that the samples at or below it hold 95 % of the sum of ACC^2. */
SISMCALC_API float A95(const int32_t* N, const float* ACC);
/* Mean period sum(C^2/f) / sum(C^2) over the Fourier amplitudes C of ACC at 0.25 <= f <= 20 Hz, in s. */
SISMCALC_API float MEANPRD(const int32_t* N, const float* DT, const float* ACC);
/* Bracketed duration: from the first to the last sample with |ACC| >= LEVEL > 0, in s (0 if none). */
SISMCALC_API float BRACKDUR(const int32_t* N, const float* DT, const float* ACC, const float* LEVEL);
/* Uniform duration: the number of samples with |ACC| >= LEVEL > 0 times DT, in s. */
SISMCALC_API float UNIFDUR(const int32_t* N, const float* DT, const float* ACC, const float* LEVEL);
/* Time (s from the first sample) of the first largest |X| of X [N]. */
SISMCALC_API float PEAKTIME(const int32_t* N, const float* DT, const float* X);
/* Absolute velocity response SVA [NP] = max |relative velocity + ground velocity| at periods PRD, damping
 * H; the ground velocity is VEL [N], or the trapezoid integral of ACC from 0 when VEL is null. 1 or 0. */
SISMCALC_API int32_t SVASPEC(const int32_t* NP, const float* PRD, const float* H, const int32_t* N,
                             const float* DT, const float* ACC, const float* VEL, float* SVA);
/* JMA long-period ground-motion class CLASS (0 below class 1, 1 to 4) of the horizontal pair X, Y [N] from
 * SVAMAX, the largest 5 %-damped SVA of either over 1.6-7.8 s in 0.2 s steps (limits 5, 15, 50, 100 cm/s);
 * VX, VY their ground velocities or null, as in SVASPEC. 1 or 0. */
SISMCALC_API int32_t LPGMCLASS(const int32_t* N, const float* DT, const float* X, const float* Y, const float* VX,
                               const float* VY, float* SVAMAX, int32_t* CLASS);
/* Constant-ductility spectra of a bilinear oscillator (damping H, post-yield stiffness ratio ALPHA, 0 <= ALPHA
 * < 1) under ACC [N]: for each period PRD(k) and target ductility MU(j) >= 1 the largest yield strength whose
 * peak displacement is MU(j) times the yield displacement, into element k + NP*(j-1) [NP*NMU] of: R, the
 * strength reduction factor (elastic strength w^2*SD over the yield strength); SAY, the yield strength per
 * unit mass w^2*uy (cm/s/s); SDM, the peak inelastic displacement MU*uy (cm); SDY, the yield displacement uy
 * (cm). MU = 1 and periods <= 0 give the elastic values (R = 1). 1 or 0. */
SISMCALC_API int32_t CDSPEC(const int32_t* NP, const float* PRD, const float* H, const float* ALPHA,
                            const int32_t* NMU, const float* MU, const int32_t* N, const float* DT,
                            const float* ACC, float* R, float* SAY, float* SDM, float* SDY);
/* CDSPEC of NCH channels at once: ACC [N*NCH] holds channel c (1..NCH) in elements N*(c-1)+1..N*c, and
 * channel c's values go to element k + NP*(j-1) + NP*NMU*(c-1) [NP*NMU*NCH] of R, SAY, SDM, SDY; each equals
 * CDSPEC of that channel alone (the channels' searches share the work). 1 or 0. */
SISMCALC_API int32_t CDSPECN(const int32_t* NCH, const int32_t* NP, const float* PRD, const float* H,
                             const float* ALPHA, const int32_t* NMU, const float* MU, const int32_t* N,
                             const float* DT, const float* ACC, float* R, float* SAY, float* SDM, float* SDY);

/* Automatic processing: onset pickers, signal-to-noise ratio, baselines and quality checks. Indices are
 * 1-based; ACC is acceleration (cm/s/s) at step DT (s), frequencies in Hz. */
/* Onset of X [N] by the Akaike information criterion of the record itself (Maeda): the sample after the k
 * that minimises k*log(var(X(1..k))) + (N-k-1)*log(var(X(k+1..N))); 0 for N < 4 or a constant record. */
SISMCALC_API int32_t AICPICK(const int32_t* N, const float* X);
/* P-wave onset of ACC [N] from the damping energy 2*XI*w*v^2 of an oscillator of period TN s (0.01 s for
 * 100 Hz and faster, 0.1 s slower) and damping XI (0 < XI < 1, 0.6 usual): the energy's histogram in NBINS
 * bins (>= 4, 2/DT usual) gives the lower state level (the fullest bin of the lower half but the first);
 * the pick is the last zero crossing of ACC before the energy first exceeds it. The index, or 0. */
SISMCALC_API int32_t PPHASEPICK(const int32_t* N, const float* DT, const float* ACC, const float* TN, const float* XI,
                                const int32_t* NBINS);
/* Fourier amplitudes (continuous transform, cm/s for cm/s/s) of the noise window X(N1..N2) and the signal
 * window X(S1..S2), each less its mean and with 5 % cosine tapers, both padded to the padded length of the
 * longer; the noise times sqrt(signal samples / noise samples); both Konno-Ohmachi smoothed with B (KONNO)
 * at the NO frequencies FO into SIG and NOI [NO]; SNR [NO] = SIG/NOI (1e30 where NOI is 0 and SIG is not).
 * 1, or 0 if rejected (windows of fewer than 2 samples or outside 1..N). */
SISMCALC_API int32_t SNRSPEC(const int32_t* N, const float* DT, const float* X, const int32_t* N1, const int32_t* N2,
                             const int32_t* S1, const int32_t* S2, const float* B, const int32_t* NO,
                             const float* FO, float* SIG, float* NOI, float* SNR);
/* The usable band of SNR [NO] at the rising frequencies FO: of the runs of grid points inside FMIN..FMAX
 * with SNR >= THR, the one spanning most decades; FHP and FLP its ends, where the ratio crosses THR
 * (linear in log frequency between grid points), kept within FMIN..FMAX. 1, or 0 when no point passes. */
SISMCALC_API int32_t SNRBAND(const int32_t* NO, const float* FO, const float* SNR, const float* THR,
                             const float* FMIN, const float* FMAX, float* FHP, float* FLP);
/* Baseline of ACC [N] in place: the polynomial c2*t^2 + ... + cDEG*t^DEG (2 <= DEG <= 10, no constant or
 * linear term) fitted by least squares to its displacement (trapezoid rule from rest), differentiated
 * twice and subtracted. COEF [DEG-1] (cm/s^k, may be null) gets c2..cDEG. 1 or 0. */
SISMCALC_API int32_t POLYBASE(const int32_t* N, const float* DT, float* ACC, const int32_t* DEG, float* COEF);
/* Residual criterion of the displacement of ACC [N] (trapezoid rule from rest): the largest |fit| of that
 * polynomial of POLYBASE over the largest |displacement|; 0 for no motion or bad arguments. */
SISMCALC_API float DISPRATIO(const int32_t* N, const float* DT, const float* ACC, const int32_t* DEG);
/* The lowest high-pass corner FC in FC0..FCMAX (Hz) whose processed ACC [N] (less its mean, Hann tapers over
 * the fraction TAPER (0..0.5) at each end, BUTTER's zero-phase high-pass at FC of ORDER with its pads; a
 * low-pass would not change the displacement) has a DISPRATIO of at most TARGET, by Ridders' method to within TOL Hz in at most MAXITER steps; RATIO its
 * ratio. 1 found (FC0 itself when it meets the target), -1 when FCMAX does not meet it (FC = FCMAX), 0 if
 * rejected. */
SISMCALC_API int32_t RIDDERFC(const int32_t* N, const float* DT, const float* ACC, const float* FC0,
                              const float* FCMAX, const int32_t* ORDER, const float* TAPER,
                              const int32_t* DEG, const float* TARGET, const float* TOL, const int32_t* MAXITER,
                              float* FC, float* RATIO);
/* Clipping signs in X [N]: NRUNS, the runs of at least RUNLEN (>= 2) equal samples at or above NEAR (0..1]
 * times the largest |X|; HRATIO, of the NBINS (>= 3) bins of X's histogram, the count of an outermost
 * bin holding at least RUNLEN samples over that of its inner neighbour (at least 1), the larger end. 1 or 0. */
SISMCALC_API int32_t CLIPTEST(const int32_t* N, const float* X, const int32_t* RUNLEN, const float* NEAR,
                              const int32_t* NBINS, int32_t* NRUNS, float* HRATIO);
/* The largest |X| over the last TAIL s of X [N] over the largest |X| of all; 0 for no motion. */
SISMCALC_API float TAILRATIO(const int32_t* N, const float* DT, const float* X, const float* TAIL);

#ifdef __cplusplus
}
#endif

#endif /* SISMCALC_H */
