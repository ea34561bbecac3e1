#include "sismcalc/binding/calc.h"

#include <dlfcn.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <vector>

#include "common/errors.h"
#include "sismcalc.h"

namespace sism::calc {
namespace {

// The SONAME (libsismcalc.so.1) and where the library folder of an installation is seen from
// its program folder (../lib), both from the build.
constexpr const char* kLibraryName = SISMCALC_SONAME;
constexpr const char* kLibraryFromProgram = SISMCALC_FROM_BINDIR;

// The address of one library function, known after its first call.
struct Entry {
  const char* name;
  std::atomic<void*> address{nullptr};
};

struct Loader {
  std::mutex mutex;
  std::string file = kLibraryName;
  void* handle = nullptr;
  std::vector<Entry*> resolved;  // entries to forget when the file changes
};

Loader& TheLoader() {
  static Loader loader;
  return loader;
}

void* OpenLibrary(const std::string& file) {
  if (file.find('/') != std::string::npos) return dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    // The build tree has the library beside the program; an installation in any prefix has
    // it in the prefix's library folder.
    for (const std::filesystem::path& dir : {exe.parent_path(), exe.parent_path() / kLibraryFromProgram}) {
      const std::string path = (dir / file).string();
      if (void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return h;
    }
  }
  return dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* Resolve(Entry& entry) {
  Loader& loader = TheLoader();
  std::lock_guard lock(loader.mutex);
  if (void* known = entry.address.load(std::memory_order_acquire)) return known;
  if (!loader.handle) {
    loader.handle = OpenLibrary(loader.file);
    if (!loader.handle) Raise(ErrLibraryLoad);
  }
  void* address = dlsym(loader.handle, entry.name);
  if (!address) Raise(ErrEntryPointNotFound);
  loader.resolved.push_back(&entry);
  entry.address.store(address, std::memory_order_release);
  return address;
}

template <typename Fn>
Fn Bind(Entry& entry) {
  void* address = entry.address.load(std::memory_order_acquire);
  if (!address) address = Resolve(entry);
  return reinterpret_cast<Fn>(address);
}

}  // namespace

void SetLibraryPathForTesting(std::string file) {
  Loader& loader = TheLoader();
  std::lock_guard lock(loader.mutex);
  loader.file = file.empty() ? kLibraryName : std::move(file);
  // The old library stays loaded: a caller may still hold one of its addresses.
  loader.handle = nullptr;
  for (Entry* entry : loader.resolved) entry->address.store(nullptr, std::memory_order_release);
  loader.resolved.clear();
}

int32_t FFTRI(const int32_t* n, const float* x, float* re, float* im) {
  static Entry entry{"FFTRI"};
  return Bind<decltype(&::FFTRI)>(entry)(n, x, re, im);
}

int32_t FFTAP(const int32_t* n, const float* x, float* amp, float* ph) {
  static Entry entry{"FFTAP"};
  return Bind<decltype(&::FFTAP)>(entry)(n, x, amp, ph);
}

int32_t AUTO(const int32_t* n, const float* x, float* r) {
  static Entry entry{"AUTO"};
  return Bind<decltype(&::AUTO)>(entry)(n, x, r);
}

int32_t RESPEC(const int32_t* np, const float* prd, const float* h, const int32_t* n, const float* dt,
               const float* acc, float* sd, float* sv, float* sa) {
  static Entry entry{"RESPEC"};
  return Bind<decltype(&::RESPEC)>(entry)(np, prd, h, n, dt, acc, sd, sv, sa);
}

int32_t RESPEC2(const int32_t* np, const float* prd, const float* h, const int32_t* n, const float* dt,
                const float* acc, float* sd, float* sv, float* sa, float* ve) {
  static Entry entry{"RESPEC2"};
  return Bind<decltype(&::RESPEC2)>(entry)(np, prd, h, n, dt, acc, sd, sv, sa, ve);
}

int32_t RESPECSUB(const int32_t* np, const float* prd, const float* h, const int32_t* n, const float* dt,
                  const float* acc, float* sd, float* sv, float* sa, float* ve, const int32_t* nstep) {
  static Entry entry{"RESPECSUB"};
  return Bind<decltype(&::RESPECSUB)>(entry)(np, prd, h, n, dt, acc, sd, sv, sa, ve, nstep);
}

int32_t ENGSPEC(const int32_t* np, const float* prd, const float* h, const int32_t* n, const float* dt,
                const float* acc, float* ve) {
  static Entry entry{"ENGSPEC"};
  return Bind<decltype(&::ENGSPEC)>(entry)(np, prd, h, n, dt, acc, ve);
}

float SPINT(const int32_t* np, const float* t1, const float* t2, const float* h, const int32_t* n,
            const float* dt, const float* acc) {
  static Entry entry{"SPINT"};
  return Bind<decltype(&::SPINT)>(entry)(np, t1, t2, h, n, dt, acc);
}

float SPECINT(const int32_t* np, const float* t1, const float* t2, const float* h, const int32_t* n,
              const float* dt, const float* acc) {
  static Entry entry{"SPECINT"};
  return Bind<decltype(&::SPECINT)>(entry)(np, t1, t2, h, n, dt, acc);
}

int32_t LOGPRD(const float* t1, const float* t2, const int32_t* n, float* prd) {
  static Entry entry{"LOGPRD"};
  return Bind<decltype(&::LOGPRD)>(entry)(t1, t2, n, prd);
}

int32_t PARZEN(const int32_t* n, const float* df, const float* bw, float* s) {
  static Entry entry{"PARZEN"};
  return Bind<decltype(&::PARZEN)>(entry)(n, df, bw, s);
}

int32_t PARZENP(const int32_t* n, const float* df, const float* bw, float* ph) {
  static Entry entry{"PARZENP"};
  return Bind<decltype(&::PARZENP)>(entry)(n, df, bw, ph);
}

int32_t REIMPH(const int32_t* n, const float* re, const float* im, float* ph) {
  static Entry entry{"REIMPH"};
  return Bind<decltype(&::REIMPH)>(entry)(n, re, im, ph);
}

float SIJMA(const int32_t* n, const float* dt, const float* x, const float* y, const float* z) {
  static Entry entry{"SIJMA"};
  return Bind<decltype(&::SIJMA)>(entry)(n, dt, x, y, z);
}

float SIJMA10(const int32_t* n, const float* dt, const float* x, const float* y, const float* z) {
  static Entry entry{"SIJMA10"};
  return Bind<decltype(&::SIJMA10)>(entry)(n, dt, x, y, z);
}

int32_t FILTER(const int32_t* n, const float* dt, const float* fl, const float* fh, float* x) {
  static Entry entry{"FILTER"};
  return Bind<decltype(&::FILTER)>(entry)(n, dt, fl, fh, x);
}

void ROTATE(const int32_t* n, const float* ang, float* x, float* y) {
  static Entry entry{"ROTATE"};
  Bind<decltype(&::ROTATE)>(entry)(n, ang, x, y);
}

float GETMAX(const int32_t* n, const float* x) {
  static Entry entry{"GETMAX"};
  return Bind<decltype(&::GETMAX)>(entry)(n, x);
}

float GETPEAK(const int32_t* n, const float* x) {
  static Entry entry{"GETPEAK"};
  return Bind<decltype(&::GETPEAK)>(entry)(n, x);
}

float GETVECPEAK2(const int32_t* n, const float* x, const float* y) {
  static Entry entry{"GETVECPEAK2"};
  return Bind<decltype(&::GETVECPEAK2)>(entry)(n, x, y);
}

float GETVECPEAK3(const int32_t* n, const float* x, const float* y, const float* z) {
  static Entry entry{"GETVECPEAK3"};
  return Bind<decltype(&::GETVECPEAK3)>(entry)(n, x, y, z);
}

void FINDPEAKAT(const int32_t* i1, const int32_t* i2, const float* x, float* peak, int32_t* ipos) {
  static Entry entry{"FINDPEAKAT"};
  Bind<decltype(&::FINDPEAKAT)>(entry)(i1, i2, x, peak, ipos);
}

void FINDMAXAT(const int32_t* i1, const int32_t* i2, const float* x, float* xmax, int32_t* ipos) {
  static Entry entry{"FINDMAXAT"};
  Bind<decltype(&::FINDMAXAT)>(entry)(i1, i2, x, xmax, ipos);
}

int32_t INTEGTRA(const int32_t* n, const float* dt, const float* acc, float* vel, float* disp,
                 const int32_t* method, const float* t1, const float* t2) {
  static Entry entry{"INTEGTRA"};
  return Bind<decltype(&::INTEGTRA)>(entry)(n, dt, acc, vel, disp, method, t1, t2);
}

int32_t INTEGFFT(const int32_t* n, const float* dt, const float* acc, float* vel, float* disp,
                 const float* fc) {
  static Entry entry{"INTEGFFT"};
  return Bind<decltype(&::INTEGFFT)>(entry)(n, dt, acc, vel, disp, fc);
}

int32_t INTEGLAT(const int32_t* n, const float* dt, const float* acc, float* vel, float* disp,
                 const float* fc) {
  static Entry entry{"INTEGLAT"};
  return Bind<decltype(&::INTEGLAT)>(entry)(n, dt, acc, vel, disp, fc);
}

float DURATION(const int32_t* n, const float* dt, const float* x) {
  static Entry entry{"DURATION"};
  return Bind<decltype(&::DURATION)>(entry)(n, dt, x);
}

int32_t ROTDSPEC(const int32_t* np, const float* prd, const float* h, const int32_t* n, const float* dt,
                 const float* x, const float* y, const int32_t* npct, const float* pct, float* rotd, float* ang100,
                 float* peaks, const int32_t* nstep) {
  static Entry entry{"ROTDSPEC"};
  return Bind<decltype(&::ROTDSPEC)>(entry)(np, prd, h, n, dt, x, y, npct, pct, rotd, ang100, peaks, nstep);
}

float ARIAS(const int32_t* n, const float* dt, const float* acc) {
  static Entry entry{"ARIAS"};
  return Bind<decltype(&::ARIAS)>(entry)(n, dt, acc);
}

int32_t HUSID(const int32_t* n, const float* dt, const float* acc, float* h) {
  static Entry entry{"HUSID"};
  return Bind<decltype(&::HUSID)>(entry)(n, dt, acc, h);
}

float SIGDUR(const int32_t* n, const float* dt, const float* acc, const float* f1, const float* f2) {
  static Entry entry{"SIGDUR"};
  return Bind<decltype(&::SIGDUR)>(entry)(n, dt, acc, f1, f2);
}

float CAV(const int32_t* n, const float* dt, const float* acc) {
  static Entry entry{"CAV"};
  return Bind<decltype(&::CAV)>(entry)(n, dt, acc);
}

int32_t BUTTERPAD(const float* dt, const float* fl, const float* fh, const int32_t* order) {
  static Entry entry{"BUTTERPAD"};
  return Bind<decltype(&::BUTTERPAD)>(entry)(dt, fl, fh, order);
}

int32_t BUTTER(const int32_t* n, const float* dt, const float* fl, const float* fh, const int32_t* order,
               const int32_t* passes, const int32_t* keepPad, float* x) {
  static Entry entry{"BUTTER"};
  return Bind<decltype(&::BUTTER)>(entry)(n, dt, fl, fh, order, passes, keepPad, x);
}

int32_t KONNO(const int32_t* n, const float* df, const float* s, const float* b, const int32_t* no,
              const float* fo, float* so) {
  static Entry entry{"KONNO"};
  return Bind<decltype(&::KONNO)>(entry)(n, df, s, b, no, fo, so);
}

int32_t EAS(const int32_t* n, const float* dt, const float* x, const float* y, const float* b, const int32_t* no,
            const float* fo, float* so) {
  static Entry entry{"EAS"};
  return Bind<decltype(&::EAS)>(entry)(n, dt, x, y, b, no, fo, so);
}

float RMSAT(const int32_t* i1, const int32_t* i2, const float* x) {
  static Entry entry{"RMSAT"};
  return Bind<decltype(&::RMSAT)>(entry)(i1, i2, x);
}

int32_t SIGWIN(const int32_t* n, const float* acc, const float* f1, const float* f2, int32_t* i1, int32_t* i2) {
  static Entry entry{"SIGWIN"};
  return Bind<decltype(&::SIGWIN)>(entry)(n, acc, f1, f2, i1, i2);
}

float CHARINT(const int32_t* n, const float* dt, const float* acc) {
  static Entry entry{"CHARINT"};
  return Bind<decltype(&::CHARINT)>(entry)(n, dt, acc);
}

float SEDENS(const int32_t* n, const float* dt, const float* vel) {
  static Entry entry{"SEDENS"};
  return Bind<decltype(&::SEDENS)>(entry)(n, dt, vel);
}

float CAVTHR(const int32_t* n, const float* dt, const float* acc, const float* thr) {
  static Entry entry{"CAVTHR"};
  return Bind<decltype(&::CAVTHR)>(entry)(n, dt, acc, thr);
}

float CAVSTD(const int32_t* n, const float* dt, const float* acc) {
  static Entry entry{"CAVSTD"};
  return Bind<decltype(&::CAVSTD)>(entry)(n, dt, acc);
}

int32_t SPECMEAS(const float* h, const int32_t* n, const float* dt, const float* acc, float* asi, float* vsi, float* hi, float* tp) {
  static Entry entry{"SPECMEAS"};
  return Bind<decltype(&::SPECMEAS)>(entry)(h, n, dt, acc, asi, vsi, hi, tp);
}

float SUSTMAX(const int32_t* n, const float* x) {
  static Entry entry{"SUSTMAX"};
  return Bind<decltype(&::SUSTMAX)>(entry)(n, x);
}

float EDA(const int32_t* n, const float* dt, const float* acc, const float* fc) {
  static Entry entry{"EDA"};
  return Bind<decltype(&::EDA)>(entry)(n, dt, acc, fc);
}

float A95(const int32_t* n, const float* acc) {
  static Entry entry{"A95"};
  return Bind<decltype(&::A95)>(entry)(n, acc);
}

float MEANPRD(const int32_t* n, const float* dt, const float* acc) {
  static Entry entry{"MEANPRD"};
  return Bind<decltype(&::MEANPRD)>(entry)(n, dt, acc);
}

float BRACKDUR(const int32_t* n, const float* dt, const float* acc, const float* level) {
  static Entry entry{"BRACKDUR"};
  return Bind<decltype(&::BRACKDUR)>(entry)(n, dt, acc, level);
}

float UNIFDUR(const int32_t* n, const float* dt, const float* acc, const float* level) {
  static Entry entry{"UNIFDUR"};
  return Bind<decltype(&::UNIFDUR)>(entry)(n, dt, acc, level);
}

float PEAKTIME(const int32_t* n, const float* dt, const float* x) {
  static Entry entry{"PEAKTIME"};
  return Bind<decltype(&::PEAKTIME)>(entry)(n, dt, x);
}

int32_t SVASPEC(const int32_t* np, const float* prd, const float* h, const int32_t* n, const float* dt, const float* acc, const float* vel, float* sva) {
  static Entry entry{"SVASPEC"};
  return Bind<decltype(&::SVASPEC)>(entry)(np, prd, h, n, dt, acc, vel, sva);
}

int32_t LPGMCLASS(const int32_t* n, const float* dt, const float* x, const float* y, const float* vx, const float* vy, float* svamax, int32_t* cls) {
  static Entry entry{"LPGMCLASS"};
  return Bind<decltype(&::LPGMCLASS)>(entry)(n, dt, x, y, vx, vy, svamax, cls);
}

int32_t CDSPEC(const int32_t* np, const float* prd, const float* h, const float* alpha, const int32_t* nmu, const float* mu, const int32_t* n, const float* dt, const float* acc, float* r, float* say, float* sdm, float* sdy) {
  static Entry entry{"CDSPEC"};
  return Bind<decltype(&::CDSPEC)>(entry)(np, prd, h, alpha, nmu, mu, n, dt, acc, r, say, sdm, sdy);
}

int32_t CDSPECN(const int32_t* nch, const int32_t* np, const float* prd, const float* h, const float* alpha, const int32_t* nmu, const float* mu, const int32_t* n, const float* dt, const float* acc, float* r, float* say, float* sdm, float* sdy) {
  static Entry entry{"CDSPECN"};
  return Bind<decltype(&::CDSPECN)>(entry)(nch, np, prd, h, alpha, nmu, mu, n, dt, acc, r, say, sdm, sdy);
}

int32_t AICPICK(const int32_t* n, const float* x) {
  static Entry entry{"AICPICK"};
  return Bind<decltype(&::AICPICK)>(entry)(n, x);
}

int32_t PPHASEPICK(const int32_t* n, const float* dt, const float* acc, const float* tn, const float* xi, const int32_t* nbins) {
  static Entry entry{"PPHASEPICK"};
  return Bind<decltype(&::PPHASEPICK)>(entry)(n, dt, acc, tn, xi, nbins);
}

int32_t SNRSPEC(const int32_t* n, const float* dt, const float* x, const int32_t* n1, const int32_t* n2, const int32_t* s1, const int32_t* s2, const float* b, const int32_t* no, const float* fo, float* sig, float* noi, float* snr) {
  static Entry entry{"SNRSPEC"};
  return Bind<decltype(&::SNRSPEC)>(entry)(n, dt, x, n1, n2, s1, s2, b, no, fo, sig, noi, snr);
}

int32_t SNRBAND(const int32_t* no, const float* fo, const float* snr, const float* thr, const float* fmin, const float* fmax, float* fhp, float* flp) {
  static Entry entry{"SNRBAND"};
  return Bind<decltype(&::SNRBAND)>(entry)(no, fo, snr, thr, fmin, fmax, fhp, flp);
}

int32_t POLYBASE(const int32_t* n, const float* dt, float* acc, const int32_t* deg, float* coef) {
  static Entry entry{"POLYBASE"};
  return Bind<decltype(&::POLYBASE)>(entry)(n, dt, acc, deg, coef);
}

float DISPRATIO(const int32_t* n, const float* dt, const float* acc, const int32_t* deg) {
  static Entry entry{"DISPRATIO"};
  return Bind<decltype(&::DISPRATIO)>(entry)(n, dt, acc, deg);
}

int32_t RIDDERFC(const int32_t* n, const float* dt, const float* acc, const float* fc0, const float* fcmax, const int32_t* order, const float* taper, const int32_t* deg, const float* target, const float* tol, const int32_t* maxiter, float* fc, float* ratio) {
  static Entry entry{"RIDDERFC"};
  return Bind<decltype(&::RIDDERFC)>(entry)(n, dt, acc, fc0, fcmax, order, taper, deg, target, tol, maxiter, fc, ratio);
}

int32_t CLIPTEST(const int32_t* n, const float* x, const int32_t* runlen, const float* near, const int32_t* nbins, int32_t* nruns, float* hratio) {
  static Entry entry{"CLIPTEST"};
  return Bind<decltype(&::CLIPTEST)>(entry)(n, x, runlen, near, nbins, nruns, hratio);
}

float TAILRATIO(const int32_t* n, const float* dt, const float* x, const float* tail) {
  static Entry entry{"TAILRATIO"};
  return Bind<decltype(&::TAILRATIO)>(entry)(n, dt, x, tail);
}

}  // namespace sism::calc
