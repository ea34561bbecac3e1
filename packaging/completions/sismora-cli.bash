# bash completion for sismora-cli
_sismora_cli() {
  local cur prev cmd i
  cur=${COMP_WORDS[COMP_CWORD]}
  prev=${COMP_WORDS[COMP_CWORD-1]}
  local commands="info peaks export plot convert metrics process"
  local options="--help --version --settings -o --output --summary --json --from --to --format --pair
    --report-page --dpi --width --field-width --skip --count --freq --channels --coef --start --columns
    --damping --periods --level -j --jobs --shard --review --station --response --differentiate --label-line --neglect-first
    --filter --order --keep-pad --quiet -q"
  cmd=""
  for ((i = 1; i < COMP_CWORD; i++)); do
    case ${COMP_WORDS[i]} in
      info|peaks|export|plot|convert|metrics|process) cmd=${COMP_WORDS[i]}; break ;;
    esac
  done
  case $prev in
    --format)
      if [[ $cmd == metrics ]]; then COMPREPLY=($(compgen -W "csv jsonl" -- "$cur"))
      else COMPREPLY=($(compgen -W "csv fixed tsv" -- "$cur")); fi
      return ;;
    --filter) COMPREPLY=($(compgen -W "fft butter butter-causal" -- "$cur")); return ;;
    --to) [[ $cmd == convert ]] && { COMPREPLY=($(compgen -W "ac cosmos-v1 cosmos-v2 sac mseed" -- "$cur")); return; } ;;
    -o|--output|--settings|--response|--review) COMPREPLY=($(compgen -f -- "$cur")); return ;;
    peaks|export) COMPREPLY=($(compgen -W "$(seq 1 20) 23 24" -- "$cur")); return ;;
    plot) COMPREPLY=($(compgen -W "$(seq 1 21) 23 24" -- "$cur")); return ;;
  esac
  if [[ -z $cmd ]]; then
    COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
  elif [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
  else
    COMPREPLY=($(compgen -f -- "$cur"))
  fi
}
complete -o filenames -F _sismora_cli sismora-cli
