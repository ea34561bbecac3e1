#include "load/read_file.h"

#include "common/path.h"
#include "load/pipeline.h"

namespace sism {

ReadFileResult ReadFile(AppState& state, OpenFileState& files, const std::string& path, bool append,
                        UserInterface& ui) {
  return ReadFile(state, files, path, append, ui, DefaultReaders());
}

ReadFileResult ReadFile(AppState& state, OpenFileState& files, const std::string& path, bool append,
                        UserInterface& ui, const ReaderTable& readers) {
  files.LastFolder = SplitPath(path).folder;
  ReadFileResult r;
  const int32_t before = state.view.ViewChanCount;
  const bool appending = append && before >= 1;
  const int32_t count =
      appending ? AppendAccFile(state, path, ui, readers) : ReadAccFile(state, path, ui, readers);
  // A missing file or a cancelled dialog keeps the record and the count that goes with it;
  // a refused or failed append keeps the record as it was, without the new file in the
  // caption or the recent list.
  r.refresh = count > 0 && (!appending || count > before);
  if (r.refresh) state.view.ViewChanCount = count;
  r.noRecord = state.record.ChanCount == 0;
  if (r.noRecord) state.view.ViewChanCount = 0;
  r.chanCount = state.view.ViewChanCount;
  if (r.refresh)
    files.CaptionFilePart = appending ? files.CaptionFilePart + "+" + FileNameOf(path) : FileNameOf(path);
  if (r.noRecord) files.CaptionFilePart.clear();
  r.twoChannelViews = r.chanCount >= 2;
  return r;
}

}  // namespace sism
