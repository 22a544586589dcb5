#!/usr/bin/env bash
# The sync account dialog against a Radicale of its own (radicale.sh):
# a wrong password, the right one, saving with a new calendar.
# account_dialog.sh SYNC_DIALOG_TESTS
source "$(dirname "$0")/radicale.sh"
radicale_start
export SYNC_URL
QT_QPA_PLATFORM=offscreen "$1"
