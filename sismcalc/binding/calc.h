// The program's binding to libsismcalc: one function per library function, same name and
// arguments, doing what the function of that name in sismcalc.h does. The library is loaded by name on the
// first call of any of them (the program's own folder first, then the library folder of the prefix it is
// installed in, then the normal search) by its SONAME, libsismcalc.so.1, and each address is
// looked up once. A missing library raises RuntimeError(ErrLibraryLoad), a missing function
// RuntimeError(ErrEntryPointNotFound), at the call that needs it.
#pragma once

#include <cstdint>
#include <string>

namespace sism::calc {

int32_t FFTRI(const int32_t* n, const float* x, float* re, float* im);
int32_t FFTAP(const int32_t* n, const float* x, float* amp, float* ph);
int32_t AUTO(const int32_t* n, const float* x, float* r);
int32_t RESPEC(const int32_t* np, const float* prd, const float* h, const int32_t* n, const float* dt,
               const float* acc, float* sd, float* sv, float* sa);
int32_t RESPEC2(const int32_t* np, const float* prd, const float* h, const int32_t* n, const float* dt,
                const float* acc, float* sd, float* sv, float* sa, float* ve);
int32_t RESPECSUB(const int32_t* np, const float* prd, const float* h, const int32_t* n, const float* dt,
                  const float* acc, float* sd, float* sv, float* sa, float* ve, const int32_t* nstep);
int32_t ENGSPEC(const int32_t* np, const float* prd, const float* h, const int32_t* n, const float* dt,
                const float* acc, float* ve);
float SPINT(const int32_t* np, const float* t1, const float* t2, const float* h, const int32_t* n,
            const float* dt, const float* acc);
float SPECINT(const int32_t* np, const float* t1, const float* t2, const float* h, const int32_t* n,
              const float* dt, const float* acc);
int32_t LOGPRD(const float* t1, const float* t2, const int32_t* n, float* prd);
int32_t PARZEN(const int32_t* n, const float* df, const float* bw, float* s);
int32_t PARZENP(const int32_t* n, const float* df, const float* bw, float* ph);
int32_t REIMPH(const int32_t* n, const float* re, const float* im, float* ph);
float SIJMA(const int32_t* n, const float* dt, const float* x, const float* y, const float* z);
float SIJMA10(const int32_t* n, const float* dt, const float* x, const float* y, const float* z);
int32_t FILTER(const int32_t* n, const float* dt, const float* fl, const float* fh, float* x);
void ROTATE(const int32_t* n, const float* ang, float* x, float* y);
float GETMAX(const int32_t* n, const float* x);
float GETPEAK(const int32_t* n, const float* x);
float GETVECPEAK2(const int32_t* n, const float* x, const float* y);
float GETVECPEAK3(const int32_t* n, const float* x, const float* y, const float* z);
void FINDPEAKAT(const int32_t* i1, const int32_t* i2, const float* x, float* peak, int32_t* ipos);
void FINDMAXAT(const int32_t* i1, const int32_t* i2, const float* x, float* xmax, int32_t* ipos);
int32_t INTEGTRA(const int32_t* n, const float* dt, const float* acc, float* vel, float* disp,
                 const int32_t* method, const float* t1, const float* t2);
int32_t INTEGFFT(const int32_t* n, const float* dt, const float* acc, float* vel, float* disp,
                 const float* fc);
int32_t INTEGLAT(const int32_t* n, const float* dt, const float* acc, float* vel, float* disp,
                 const float* fc);
float DURATION(const int32_t* n, const float* dt, const float* x);
int32_t ROTDSPEC(const int32_t* np, const float* prd, const float* h, const int32_t* n, const float* dt,
                 const float* x, const float* y, const int32_t* npct, const float* pct, float* rotd, float* ang100,
                 float* peaks, const int32_t* nstep);
float ARIAS(const int32_t* n, const float* dt, const float* acc);
int32_t HUSID(const int32_t* n, const float* dt, const float* acc, float* h);
float SIGDUR(const int32_t* n, const float* dt, const float* acc, const float* f1, const float* f2);
float CAV(const int32_t* n, const float* dt, const float* acc);

// Butterworth filters and Konno-Ohmachi smoothing.
int32_t BUTTERPAD(const float* dt, const float* fl, const float* fh, const int32_t* order);
int32_t BUTTER(const int32_t* n, const float* dt, const float* fl, const float* fh, const int32_t* order,
               const int32_t* passes, const int32_t* keepPad, float* x);
int32_t KONNO(const int32_t* n, const float* df, const float* s, const float* b, const int32_t* no,
              const float* fo, float* so);
int32_t EAS(const int32_t* n, const float* dt, const float* x, const float* y, const float* b, const int32_t* no,
            const float* fo, float* so);
// Ground-motion measures and constant-ductility spectra.
float RMSAT(const int32_t* i1, const int32_t* i2, const float* x);
int32_t SIGWIN(const int32_t* n, const float* acc, const float* f1, const float* f2, int32_t* i1, int32_t* i2);
float CHARINT(const int32_t* n, const float* dt, const float* acc);
float SEDENS(const int32_t* n, const float* dt, const float* vel);
float CAVTHR(const int32_t* n, const float* dt, const float* acc, const float* thr);
float CAVSTD(const int32_t* n, const float* dt, const float* acc);
int32_t SPECMEAS(const float* h, const int32_t* n, const float* dt, const float* acc, float* asi, float* vsi, float* hi, float* tp);
float SUSTMAX(const int32_t* n, const float* x);
float EDA(const int32_t* n, const float* dt, const float* acc, const float* fc);
float A95(const int32_t* n, const float* acc);
float MEANPRD(const int32_t* n, const float* dt, const float* acc);
float BRACKDUR(const int32_t* n, const float* dt, const float* acc, const float* level);
float UNIFDUR(const int32_t* n, const float* dt, const float* acc, const float* level);
float PEAKTIME(const int32_t* n, const float* dt, const float* x);
int32_t SVASPEC(const int32_t* np, const float* prd, const float* h, const int32_t* n, const float* dt, const float* acc, const float* vel, float* sva);
int32_t LPGMCLASS(const int32_t* n, const float* dt, const float* x, const float* y, const float* vx, const float* vy, float* svamax, int32_t* cls);
int32_t CDSPEC(const int32_t* np, const float* prd, const float* h, const float* alpha, const int32_t* nmu, const float* mu, const int32_t* n, const float* dt, const float* acc, float* r, float* say, float* sdm, float* sdy);
int32_t CDSPECN(const int32_t* nch, const int32_t* np, const float* prd, const float* h, const float* alpha, const int32_t* nmu, const float* mu, const int32_t* n, const float* dt, const float* acc, float* r, float* say, float* sdm, float* sdy);

// Automatic processing: onset pickers, signal-to-noise ratio, baselines and quality checks.
int32_t AICPICK(const int32_t* n, const float* x);
int32_t PPHASEPICK(const int32_t* n, const float* dt, const float* acc, const float* tn, const float* xi, const int32_t* nbins);
int32_t SNRSPEC(const int32_t* n, const float* dt, const float* x, const int32_t* n1, const int32_t* n2, const int32_t* s1, const int32_t* s2, const float* b, const int32_t* no, const float* fo, float* sig, float* noi, float* snr);
int32_t SNRBAND(const int32_t* no, const float* fo, const float* snr, const float* thr, const float* fmin, const float* fmax, float* fhp, float* flp);
int32_t POLYBASE(const int32_t* n, const float* dt, float* acc, const int32_t* deg, float* coef);
float DISPRATIO(const int32_t* n, const float* dt, const float* acc, const int32_t* deg);
int32_t RIDDERFC(const int32_t* n, const float* dt, const float* acc, const float* fc0, const float* fcmax, const int32_t* order, const float* taper, const int32_t* deg, const float* target, const float* tol, const int32_t* maxiter, float* fc, float* ratio);
int32_t CLIPTEST(const int32_t* n, const float* x, const int32_t* runlen, const float* near, const int32_t* nbins, int32_t* nruns, float* hratio);
float TAILRATIO(const int32_t* n, const float* dt, const float* x, const float* tail);

// Makes the next call load `file` instead of libsismcalc.so.1 (a bare name is searched like the
// library, a path is taken as it stands; empty restores the default) and forgets every address.
void SetLibraryPathForTesting(std::string file);

}  // namespace sism::calc
