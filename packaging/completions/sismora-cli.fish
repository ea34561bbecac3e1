# fish completion for sismora-cli
set -l commands info peaks export plot convert metrics
set -l kinds 1\tacceleration 2\tvelocity 3\tdisplacement 4\t'Fourier spectrum' 5\t'power spectrum' \
    6\tauto-correlation 7\t'acceleration response' 8\t'velocity response' 9\t'displacement response' \
    10\t'pseudo-velocity response' 11\t'energy spectrum' 12\t'acceleration orbit' 13\t'velocity orbit' \
    14\t'displacement orbit' 15\t'Fourier spectral ratio' 16\t'phase difference' 17\t'cross spectrum' \
    18\tcross-correlation 19\tcoherence 20\t'response-spectrum ratio' \
    23\t'constant-ductility spectra' 24\t'effective amplitude spectrum'

complete -c sismora-cli -f
complete -c sismora-cli -n "not __fish_seen_subcommand_from $commands" -a info -d 'record properties report'
complete -c sismora-cli -n "not __fish_seen_subcommand_from $commands" -a peaks -d 'peaks of a graph kind'
complete -c sismora-cli -n "not __fish_seen_subcommand_from $commands" -a export -d 'series of a graph kind as text'
complete -c sismora-cli -n "not __fish_seen_subcommand_from $commands" -a plot -d 'graph into an image file'
complete -c sismora-cli -n "not __fish_seen_subcommand_from $commands" -a convert -d 'record re-saved as .ac'
complete -c sismora-cli -n "not __fish_seen_subcommand_from $commands" -a metrics -d 'flatfile of ground-motion measures'
# The graph kind right after the commands that take one.
complete -c sismora-cli -n "__fish_seen_subcommand_from peaks export; and test (count (commandline -opc)) -eq 2" -a "$kinds"
complete -c sismora-cli -n "__fish_seen_subcommand_from plot; and test (count (commandline -opc)) -eq 2" -a "$kinds 21\t'report page'"
complete -c sismora-cli -n "__fish_seen_subcommand_from $commands" -F

complete -c sismora-cli -l help -d 'show the help'
complete -c sismora-cli -l version -d 'print the version'
complete -c sismora-cli -l settings -r -F -d 'INI file of settings'
complete -c sismora-cli -s o -l output -r -F -d 'output file or folder'
complete -c sismora-cli -l summary -d 'one-line summary'
complete -c sismora-cli -l json -d 'one JSON object per file'
complete -c sismora-cli -l from -x -d 'start of the window'
complete -c sismora-cli -l to -x -d 'end of the window'
complete -c sismora-cli -l format -x -a 'csv jsonl fixed tsv' -d 'output format'
complete -c sismora-cli -l pair -x -d 'channel pair X,Y'
complete -c sismora-cli -l report-page -x -d 'page of the report'
complete -c sismora-cli -l dpi -x -d 'resolution'
complete -c sismora-cli -l width -x -d 'width'
complete -c sismora-cli -l field-width -x -d 'field width'
complete -c sismora-cli -l skip -x -d 'lines to skip'
complete -c sismora-cli -l count -x -d 'steps'
complete -c sismora-cli -l freq -x -d 'sampling frequency'
complete -c sismora-cli -l channels -x -d 'channels'
complete -c sismora-cli -l coef -x -d 'factor to cm/s/s'
complete -c sismora-cli -l start -x -d 'first column'
complete -c sismora-cli -l columns -x -d 'columns per line'
complete -c sismora-cli -l damping -x -d 'damping in percent'
complete -c sismora-cli -l periods -x -d 'periods T,T,...'
complete -c sismora-cli -l level -x -d 'duration level in cm/s/s'
complete -c sismora-cli -s j -l jobs -x -d 'records at a time'
complete -c sismora-cli -l shard -x -d 'shard K/N'
complete -c sismora-cli -l station -x -d 'NET.STA.LOC.BAND'
complete -c sismora-cli -l response -r -F -d 'StationXML file'
complete -c sismora-cli -l differentiate -d 'differentiate velocity channels'
complete -c sismora-cli -l label-line -d 'CSV label line'
complete -c sismora-cli -l neglect-first -d 'neglect the first CSV column'
complete -c sismora-cli -l filter -x -a 'fft butter butter-causal' -d 'band-pass filter'
complete -c sismora-cli -l order -x -d 'filter order'
complete -c sismora-cli -l keep-pad -d 'keep the filter pads'
complete -c sismora-cli -s q -l quiet -d 'no progress line'
