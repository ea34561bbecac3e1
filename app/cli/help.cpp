// The help texts of sismora-cli.
#include <string>
#include <vector>

#include "app/cli/tool.h"
#include "app/shell/flatfile.h"
#include "common/text.h"
#include "record/formats.h"
#include "state/graph_kinds.h"

namespace sism::cli {
namespace {

const char* kToolHelp =
    "Usage: sismora-cli COMMAND [options] FILE...\n"
    "\n"
    "Commands:\n"
    "  info FILE...               record properties report (--summary, --json)\n"
    "  peaks KIND FILE...         peaks of a graph kind (--from S --to S)\n"
    "  export KIND FILE... -o OUT series of a graph kind as text (--format, --pair)\n"
    "  plot KIND FILE... -o OUT   graph into a .png, .svg or .pdf file (--width, --dpi)\n"
    "  convert FILE... -o OUT     record re-saved as .ac, COSMOS, SAC or miniSEED (--to)\n"
    "  metrics FILE|FOLDER... -o OUT  flatfile of ground-motion measures, one row per record\n"
    "  process FILE|FOLDER... -o OUTDIR  records processed automatically, with provenance and\n"
    "                             a flatfile\n"
    "\n"
    "sismora-cli COMMAND --help describes each command; sismora-cli --version prints the\n"
    "version.\n"
    "\n"
    "Options of every command:\n"
    "  --settings FILE.ini  load sections Graph, Calculation, PreProcess and Processing\n"
    "                       from an INI file over the stored settings\n"
    "  -hF -lF              high-cut and low-cut frequency of the band-pass filter (Hz)\n"
    "  --filter fft|butter|butter-causal  the band-pass filter: the FFT filter (the intensity\n"
    "                       weighting's curves, zero phase), Butterworth forward and backward\n"
    "                       (zero phase) or causal; --order N (1-12, default 4); --keep-pad\n"
    "                       keeps the Butterworth zero pads in the record\n"
    "  -rA                  rotate the horizontal channels by A degrees\n"
    "  -iN                  sensor group whose channels give the JMA intensity (0: the\n"
    "                       record's own, the default)\n"
    "  -sS -tS              skip S seconds at the start; keep S seconds\n"
    "  -v                   three extra header lines in exported files\n"
    "  -c-                  series not clipped to the plot rectangle\n"
    "  --                   the arguments after it are file names (a file called -h20.NS)\n"
    "  General data and CSV files (guessed when not given; the values used are shown):\n"
    "  --skip N --count N --freq F --channels N --coef C --label-line --neglect-first\n"
    "  --start S --field-width W --columns N   (fixed-width layout of general files;\n"
    "                       --width W is the same outside plot)\n"
    "  miniSEED and SAC files (counts; a station's components open together):\n"
    "  --response FILE.xml  StationXML whose sensitivities turn counts into acceleration\n"
    "                       (default: NET.STA.xml beside the data; without one, --coef C)\n"
    "  --station NET.STA.LOC.BAND  the station and band to open when the files hold several\n"
    "                       (e.g. BK.CMB.00.HN)\n"
    "  --differentiate      open velocity channels (HH?, BH?, input units m/s)\n"
    "                       differentiated into acceleration; without it they are refused\n"
    "\n"
    "Exit status: 0 success, 1 a file could not be read or written, 2 bad usage.\n";

std::string PeriodList(const std::vector<float>& periods) {
  std::string s;
  for (float t : periods) s += (s.empty() ? "" : ",") + NumberText(t);
  return s;
}

// The report page is a page of other graphs: only plot draws it.
std::string KindList(bool withReport = false) {
  std::string s = "Graph kinds:\n";
  for (const GraphKindInfo& k : GraphKinds()) {
    if (k.page == PageForm::Report && !withReport) continue;
    // The processing's spectra live in the window only.
    if (k.id == KindSnr) continue;
    s += "  " + std::to_string(k.id) + (k.id < 10 ? "   " : "  ") + KindName(k.id) + "\n";
  }
  return s;
}

}  // namespace

std::string ToolHelp() {
  return kToolHelp + ("\n" + RecordFormatList());
}

std::string CommandHelp(const std::string& cmd) {
  if (cmd == "info")
    return "Usage: sismora-cli info [options] FILE...\n"
           "Prints the record properties report of each file (several separated by an empty line).\n"
           "  --summary   the one-line summary of the status bar only\n"
           "  --json      one JSON object per file and line, keys named as the record's fields; a file\n"
           "              that cannot be read gives {FilePath, ErrorCode, Error}\n";
  if (cmd == "peaks")
    return "Usage: sismora-cli peaks KIND [options] FILE...\n"
           "Prints the peaks report of graph kind KIND (1-20, 23, 24).\n"
           "  --from X --to X   window of the horizontal axis (seconds, Hz or period seconds as\n"
           "                    the kind has it); the whole axis when not given\n"
           "  --pair X,Y        channel pair of the relation kinds (repeatable)\n\n" +
           KindList();
  if (cmd == "export")
    return "Usage: sismora-cli export KIND [options] FILE... -o OUT\n"
           "Writes the series of graph kind KIND (1-11, 15-20, 23, 24) as text. OUT '-' is standard output;\n"
           "with several files OUT is a folder. A name without extension gets .csv or .txt.\n"
           "  --format csv|fixed|tsv   comma separated (default), fixed columns, tab separated\n"
           "  --pair X,Y               channel pair of the relation kinds 15-20 (repeatable)\n"
           "  -v                       three extra header lines\n\n" +
           KindList();
  if (cmd == "plot")
    return "Usage: sismora-cli plot KIND [options] FILE... -o OUT.png|OUT.svg|OUT.pdf\n"
           "Draws graph kind KIND as the program draws it for printing. With several files OUT\n"
           "is a folder and each file gives NAME.png.\n"
           "  --dpi N     resolution of a PNG (default 96)\n"
           "  --width N   width of a PNG in pixels, to the nearest whole resolution\n"
           "  --pair X,Y  channel pair of the relation kinds (repeatable)\n"
           "  --report-page N  page N of the report (kind 21), showing channels 3N-2 to 3N\n"
           "              (default 1)\n\n" +
           KindList(true);
  if (cmd == "convert")
    return "Usage: sismora-cli convert [options] FILE... -o OUT.EXT [--to FORMAT]\n"
           "Reads each file, preprocesses it and writes all channels in the format of OUT's\n"
           "extension, or of --to:\n"
           "  ac         .ac (the default; three decimals, warned of when a channel's peak keeps\n"
           "             fewer than three significant digits)\n"
           "  cosmos-v1  .v1 .v1c  COSMOS v01.20 uncorrected acceleration, cm/s/s, one file per\n"
           "             channel: OUT.LABEL.v1\n"
           "  cosmos-v2  .v2 .v2c  COSMOS v01.20 corrected acceleration, as cosmos-v1: OUT.LABEL.v2\n"
           "  sac        .sac  SAC binary, nm/s/s, one file per channel named by its SEED code:\n"
           "             OUT.HNE.sac (a label that is no such code gives HN + its direction)\n"
           "  mseed      .mseed .miniseed .ms  miniSEED of all channels (Steim-2 counts where the\n"
           "             record holds a seismometer's counts, else float32), with OUT.xml, the\n"
           "             StationXML sensitivities that turn them back into cm/s/s\n"
           "A name without extension gets the format's first; with several files OUT is a folder\n"
           "and each file gives NAME.EXT. A value the format cannot hold is refused, naming the\n"
           "channel and step; no file is then written.\n";
  if (cmd == "metrics")
    return "Usage: sismora-cli metrics [options] FILE|FOLDER... -o OUT.csv\n"
           "Writes one CSV row per record: file, format, station, place, date, rate, length; for the\n"
           "two horizontals and the vertical of the intensity group PGA, PGV, PGD, Arias intensity,\n"
           "CAV and the 5-75 % and 5-95 % significant durations; pseudo-acceleration Sa = w^2 Sd of\n"
           "each at the periods; RotD50 and RotD100 of the horizontal pair; then the further measures\n"
           "of each (peak times, RMS, Ic, CAV5, ASI, VSI, EDA, A95, Tp, Tm, durations ...), RotD50 of\n"
           "PGA and PGV, JMA's long-period class, the pair's effective amplitude spectrum (Konno-Ohmachi\n"
           "b = 40) at 0.1, 0.2, 0.5, 1, 2, 5, 10 Hz and R_mu for mu = 2, 4 at the periods. Folders are walked\n"
           "recursively for the files a format reader recognises; the files of one set (K-NET,\n"
           "KiK-net, ESM ...) give one row. Then the start time (ISO 8601), the event and the station\n"
           "as the header gives them (origin, epicentre, depth, magnitude, network, codes, elevation,\n"
           "distances) and each component's code, azimuth, dip and filter corners. OUT '-' is standard\n"
           "output; beside OUT go OUT.columns.csv (name, unit and description of every column) and\n"
           "OUT.provenance.json (version and settings). A file that cannot be read gives a row with\n"
           "error_code and the reason in the last two columns, and the exit status is then 1.\n"
           "  --format csv|jsonl CSV with a header line (default; .csv) or one JSON object per line\n"
           "                     (.jsonl); other extensions are refused\n"
           "  --quiet            no progress line (it is shown only when standard error is a terminal)\n"
           "  --damping P        damping of the spectra in percent (default 5)\n"
           "  --periods T,T,...  periods in seconds (default " + PeriodList(StandardMetricPeriods()) + ")\n"
           "  --level L          chosen level of the bracketed and uniform durations, cm/s/s (default 5)\n"
           "  -j N               compute N records at a time (rows keep their order)\n"
           "  --shard K/N        only every N-th record starting at the K-th (1 <= K <= N); the\n"
           "                     header is written by shard 1, so the shards concatenate\n";
  if (cmd == "process")
    return "Usage: sismora-cli process [options] FILE|FOLDER... -o OUTDIR\n"
           "Processes every record automatically: checks (samples, rate, dead channels, amplitudes, clipping),\n"
           "P-wave onset, signal-to-noise ratio and the corners where it stays at or above the threshold, the\n"
           "high-pass corner raised until the displacement's polynomial fit is small, zero-phase Butterworth\n"
           "band-pass and polynomial baseline, then checks of the final velocity, displacement and tail.\n"
           "Writes into OUTDIR (made when missing) each record that passes as NAME.ac (or in the formats\n"
           "of --to), its provenance as NAME.processing.json (also when rejected; it names the files\n"
           "written), and flatfile.csv: the columns of metrics on the processed record, then the corners\n"
           "per component, the onset, the outcome and the flags.\n"
           "The chain's parameters are section Processing of the settings (--settings FILE.ini).\n"
           "  --to F,F,...       formats to write each record in, among ac, cosmos-v1, cosmos-v2, sac and\n"
           "                     mseed (default: setting OutputFormats, \"ac\"); cosmos-v2 gives one file\n"
           "                     per channel, NAME.CODE.v2, with its corners, velocity and displacement\n"
           "  --damping P, --periods T,T,..., --level L   as for metrics\n"
           "  -j N               process N records at a time (rows keep their order)\n"
           "  --shard K/N        only every N-th record starting at the K-th; the flatfile is then\n"
           "                     flatfile-K-of-N.csv, with the header in shard 1's\n"
           "  --review FILE      apply an analyst's review file: rejected records are left out, edited\n"
           "                     corners replace the automatic ones, an accepted record is kept even\n"
           "                     when a check failed; a last column reviewed marks the rows reviewed\n";
  return {};
}

}  // namespace sism::cli
