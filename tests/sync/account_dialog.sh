#!/usr/bin/env bash
# The sync account dialog against a Radicale of its own (radicale.sh): a
# wrong password, the right one, saving with a new calendar; then over TLS
# with a self-signed certificate, trusted from the dialog.
# account_dialog.sh SYNC_DIALOG_TESTS
source "$(dirname "$0")/radicale.sh"
export QT_QPA_PLATFORM=offscreen
radicale_start
SYNC_URL=$SYNC_URL "$1" || exit 1
radicale_stop
radicale_use_tls
radicale_start
SYNC_URL=$SYNC_URL RADICALE_FINGERPRINT=$RADICALE_FINGERPRINT "$1" untrustedCertificateCanBeTrusted
