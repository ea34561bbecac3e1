// Every numbered text of the program, in number order.
#include <string>
#include <unordered_map>

namespace sism::detail {

const std::unordered_map<int, std::string>& StringTable() {
  static const std::unordered_map<int, std::string> table = {
      {1001, "Arial"},
      {1002, "9"},
      {8010, "Integrating accelerations..."},
      {8020, "Computing Fourier spectra..."},
      {8030, "Computing response spectra..."},
      {8040, "Computing relations..."},
      {8121,
       "Known files|*.ac;*.acs;*.ew*;*.aew;*.at2;*.raw;*.smc;*.v1;*.v2;*.evt;*.md;*.1|QBX files "
       "(*.ac;*.acs)|*.ac;*.acs|K-net/Kik-net files|*.ew*;*.1|JMA95 ascii files (*.aew)|*.aew|SMAC-MD/MDU "
       "binary files (*.md;*.smc)|*.md;*.smc|US files "
       "(*.at2;*.raw;*.smc;*.v1;*.v2)|*.at2;*.raw;*.smc;*.v1;*.v2|"
       "Altus event files (*.evt)|*.evt|CSV files (*.csv)|*.csv|Others (*.txt;*.dat)|*.txt;*.dat|All files "
       "(*.*)|*.*"},
      {8122, "Open a file"},
      {8123, "Append a file"},
      {9000, "Reading "},
      {9020, "File does not exist."},
      {9030,
       "Different sampling frequency. Appending data must have the samplig frequency in the ratios of whole "
       "numbers."},
  };
  return table;
}

}  // namespace sism::detail
