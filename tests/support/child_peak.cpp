#include "tests/support/child_peak.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>

namespace sism::test {

int64_t PeakResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6));
  return -1;
}

ChildRun RunInChild(const std::function<std::string()>& work) {
  int fds[2];
  ChildRun run;
  if (::pipe(fds) != 0) return run;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    // The peak starts again from what the child holds now.
    if (FILE* clear = std::fopen("/proc/self/clear_refs", "w")) {
      std::fputs("5", clear);
      std::fclose(clear);
    }
    const int64_t before = PeakResidentKb();
    std::string text = work();
    const std::string out = std::to_string(PeakResidentKb() - before) + "\n" + text;
    for (std::size_t at = 0; at < out.size();) {
      const ssize_t n = ::write(fds[1], out.data() + at, out.size() - at);
      if (n <= 0) break;
      at += static_cast<std::size_t>(n);
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string got;
  char buf[4096];
  for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) got.append(buf, static_cast<std::size_t>(n));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  const std::size_t eol = got.find('\n');
  run.finished = WIFEXITED(status) && WEXITSTATUS(status) == 0 && eol != std::string::npos;
  if (run.finished) {
    run.peakGrowthKb = std::stoll(got.substr(0, eol));
    run.text = got.substr(eol + 1);
  }
  return run;
}

}  // namespace sism::test
