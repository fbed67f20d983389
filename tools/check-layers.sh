#!/usr/bin/env bash
# Checks that the include arrows run one way, from each folder's floor down:
# the program's features reach the device through the session, never the
# window; the core library names no widget; no two parts of the program
# include each other; the drawing board knows no editor; and each wire
# constant is defined in device/ alone.
#   tools/check-layers.sh [programs built without the window library...]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
failures=0
fail() { echo "layers: $*"; failures=$((failures + 1)); }

# Quoted includes as "file included" pairs.
includes() { grep -HE '^#include "' "$@" 2>/dev/null | sed -E 's/:#include "([^"]+)".*/ \1/'; }

# 1. The folders stand on floors, and a folder includes only folders of the
#    floors below its own: the features run on the device layer, the device
#    controller runs the features, the editors and the service history run
#    their jobs on the controller, the window and the command-line tool stand
#    on all of them. The desktop places (data folder, remembered folders, the
#    keyboard walk) are the ground. The emulated device stands apart: it plays
#    the device under the hidapi calls.
floors=("desktop" "device" "firmware settings images" "control" "editors history" "app cli")
declare -A floor
for level in "${!floors[@]}"; do
  for folder in ${floors[$level]}; do floor[$folder]=$level; done
done
for folder in "${!floor[@]}"; do
  while read -r file inc; do
    to=${inc%%/*}
    [ "$to" = "$folder" ] || [ -z "${floor[$to]:-}" ] && continue
    if [ "${floor[$to]}" -ge "${floor[$folder]}" ]; then
      fail "$file includes $inc ($folder/ stands below or beside $to/)"
    fi
  done < <(includes $(find "$folder" -name '*.h' -o -name '*.cpp'))
done
# The layers below the window include no form either.
while read -r file inc; do
  case $inc in ui_*) fail "$file includes $inc (only the window and the editors use forms)";; esac
done < <(includes device/*.h device/*.cpp control/*.h control/*.cpp desktop/*.h desktop/*.cpp)

# 2. Only the window itself includes the window.
while read -r file inc; do
  [ "$inc" = app/mainwindow.h ] && fail "$file includes app/mainwindow.h (give it a signal or an interface)"
done < <(includes app/pages/* control/* desktop/* editors/* firmware/* settings/* images/* emulator/*.h emulator/*.cpp)

# 3. The core library's sources name no widget and no form.
core_sources=$(grep -oE '\$\{src\}/[^ )]+' lib/core/CMakeLists.txt | sed 's/${src}\///')
for file in $core_sources; do
  grep -nE '^#include <(QtWidgets|QtCharts|QWidget|QDialog|QMainWindow|QApplication|QLabel|QMessageBox|QFileDialog|QGraphics)' \
       "$file" && fail "$file: the core library may not use widgets"
  grep -nE '^#include "(ui_|app/)' "$file" && fail "$file: the core library may not include the window"
done

# 4. The command-line tool stands on the core library, never on the window.
while read -r file inc; do
  case $inc in app/*|ui_*|editors/*|settings/my_spinbox.h|images/my*.h|*chooser.h)
    fail "$file includes $inc (the command-line tool may not reach the window)";;
  esac
done < <(includes cli/*.h cli/*.cpp)
grep -nE '^#include <(QtWidgets|QtCharts|QWidget|QDialog|QApplication|QMessageBox|QFileDialog|QPixmap)' cli/*.h cli/*.cpp \
  && fail "cli/: the command-line tool may not use widgets or pixmaps"

# 5. No two parts (a header and its source) include each other across folders.
declare -A edge
while read -r file inc; do
  from=${file%.*}; to=${inc%.*}
  [ "$from" != "$to" ] && edge["$from>$to"]=1
done < <(includes app/* cli/* control/* desktop/* device/* editors/* firmware/* settings/* images/* emulator/*.h emulator/*.cpp)
for key in "${!edge[@]}"; do
  from=${key%%>*}; to=${key#*>}
  if [ -n "${edge[$to>$from]:-}" ] && [ "${from%%/*}" != "${to%%/*}" ] && [[ "$from" < "$to" ]]; then
    fail "$from and $to include each other"
  fi
done

# 6. The drawing board reports to its editor through signals: it knows no editor.
while read -r file inc; do
  [ "$inc" = editors/editdlg.h ] && fail "$file includes editors/editdlg.h (the board tells its editor by signals)"
done < <(includes images/myview.h images/myview.cpp)

# 7. Every wire constant has one home beside device/protocol.h; the emulator,
#    which plays the device, keeps its own copy under the same names.
wire='TransferTag|Phase(Start|Data|End)|ImageData(Offset|Bytes)|ColourScreenType|BootScreenSlot|BootAnimationFrames'
wire+='|BootFrame(Width|Height)|FirmwareChunkSize|ChunkSize|NameFieldOffset|SettingsBlock[12]Count|Block[12]Count'
wire+='|FirstCurveNumber|Curve(ByteCount|Number|WritePoints|ReplyPoints)At|CurveWriteByteCount'
while read -r line; do
  fail "${line%%:*} defines a wire constant outside device/ (${line#*constexpr })"
done < <(grep -rnE --include='*.h' --include='*.cpp' "constexpr [a-z0-9_ ]+ ($wire) =" \
           app cli control desktop editors firmware settings images fuzz bench tools)

# 8. Programs built without the window library do not load the widget toolkit;
#    the real command-line tool talks to the system's hidapi, linked dynamically.
for program in "$@"; do
  # Read whole first: grep -q leaving a pipe early would fail ldd under pipefail.
  libraries=$(ldd "$program")
  if grep -qE 'libQt[56](Widgets|Charts)' <<<"$libraries"; then
    fail "$program links the widget toolkit, but is built without the window library"
  fi
  if [ "$(basename "$program")" = tesselctl ] && ! grep -q 'libhidapi-hidraw\.so\.0' <<<"$libraries"; then
    fail "$program does not link the system's libhidapi-hidraw.so.0"
  fi
done

if [ "$failures" -gt 0 ]; then
  echo "layers: $failures problem(s)"
  exit 1
fi
echo "layers: ok"
