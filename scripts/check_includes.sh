#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own, or of a layer it
# may not reach (the application never includes platform/). Layers, lowest first:
#   platform                     platform/
#   basics                       jindep/ memory, formatted text, containers, strings, debug
#   window                       jwin/ except the dialogs and menus
#   widgets                      jindep/ except the basics
#   dialogs                      jwin/J_alert*, J_filedlg*, driver_check*, toolkit_start*
#   floor                        app/document/
#   colour, gif, picture         app/colour/, app/gif/, app/picture/
#   graphs                       app/graphs/
#   shell, batch                 app/shell/, app/batch/ (neither includes the other)
# A window-layer header that includes platform/ is the window layer's own: no layer above
# includes it. The CMake libraries of the root CMakeLists.txt follow the same groups.
set -euo pipefail
cd "$(dirname "$0")/.."

basics_names='memory|Ji_prinf|Ji_at_ar|Ji_at_ta|list|string_lists|string_resources|Ji_tempm|text_scan|debug|Ji_font'

layer_of() {
  local path=$1 name
  name=${path##*/}
  name=${name%.*}
  case $path in
    platform/*) echo platform ;;
    resources/*) echo resources ;;
    jindep/*) if [[ $name =~ ^($basics_names)$ ]]; then echo basics; else echo widgets; fi ;;
    jwin/*) if [[ $name =~ ^(J_alert|J_filedlg|driver_check|toolkit_start) ]]; then echo dialogs; else echo window; fi ;;
    app/document/*) echo floor ;;
    app/colour/*) echo colour ;;
    app/gif/*) echo gif ;;
    app/picture/*) echo picture ;;
    app/graphs/*) echo graphs ;;
    app/shell/*) echo shell ;;
    app/batch/*) echo batch ;;
    *) echo other ;;
  esac
}

# The layers each layer may include besides its own.
allowed_below() {
  local toolkit='basics window widgets dialogs'
  case $1 in
    platform) echo '' ;;
    basics) echo 'resources' ;;
    window) echo 'basics platform resources' ;;
    widgets) echo 'basics window resources' ;;
    dialogs) echo 'basics window widgets resources' ;;
    floor) echo "$toolkit resources" ;;
    colour) echo "floor $toolkit" ;;
    gif) echo "colour floor $toolkit" ;;
    picture) echo "colour floor $toolkit" ;;
    graphs) echo "picture gif colour floor $toolkit" ;;
    shell) echo "graphs picture gif colour floor $toolkit" ;;
    batch) echo "graphs picture gif colour floor $toolkit" ;;
    *) echo '' ;;
  esac
}

# Window-layer headers that name platform types.
window_private=" $(grep -l '^#include "platform/' jwin/*.h | tr '\n' ' ') "

status=0
while IFS=: read -r file line target; do
  from=$(layer_of "$file")
  to=$(layer_of "$target")
  allowed=" $from $(allowed_below "$from") "
  if [[ $allowed != *" $to "* ]]; then
    echo "$file:$line: the $from layer includes $target ($to layer)"
    status=1
  elif [[ $from != window && $from != platform && $window_private == *" $target "* ]]; then
    echo "$file:$line: $target is the window layer's own (it names platform types)"
    status=1
  fi
done < <(grep -rn --include='*.h' --include='*.cpp' --include='*.inc' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' \
           platform jindep jwin app |
         sed -E 's/^([^:]+):([0-9]+):[^"]*"([^"]+)".*/\1:\2:\3/' |
         grep -E ':(platform|jindep|jwin|app|resources)/[^:]*$' | sort)

if [ $status -eq 0 ]; then echo "includes: every include points down its layers"; fi
exit $status
