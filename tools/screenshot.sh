#!/usr/bin/env bash
# Runs the emulated program on the current X display until its start-up device
# query is done, then saves a picture of the main window and one of the virtual
# device window, each drawn from the window itself (nothing lying over it
# shows), prints both paths and ends the program.
# Usage: screenshot.sh PROGRAM OUTPUT.png   (the second is OUTPUT-virtual-device.png)
set -euo pipefail
program=$1
shot=$2
mkdir -p "$(dirname "$shot")"
case $shot in /*) ;; *) shot=$PWD/$shot ;; esac
TESSEL_SCREENSHOT=$shot timeout 60 "$program"
