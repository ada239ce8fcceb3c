#!/usr/bin/env bash
# Makes a real print queue for the print tests: starts the CUPS scheduler when it is not running and
# adds the CUPS-PDF queues OfdTestPdf (the default) and OfdTestPdf2, which write their jobs as PDF
# files into one known folder. Quick and idempotent; never fails the caller (the print tests fall
# back to a PDF file printer and say so when no queue is there).
set -uo pipefail

OUT_DIR=/var/spool/cups-pdf-ofdtest
CONF=/etc/cups/cups-pdf.conf
QUEUES=(OfdTestPdf OfdTestPdf2)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then SUDO="sudo -n"; else
    echo "ensure-printer: not root and no sudo; print tests will use a PDF file printer"
    exit 0
  fi
fi

if ! command -v cupsd >/dev/null || ! command -v lpadmin >/dev/null || [ ! -e /usr/lib/cups/backend/cups-pdf ]; then
  echo "ensure-printer: CUPS or CUPS-PDF missing; print tests will use a PDF file printer"
  exit 0
fi

# Output folder of CUPS-PDF: one fixed folder for every user, so the tests know where to look.
changed=0
if [ -f "$CONF" ] && ! grep -qx "Out $OUT_DIR" "$CONF"; then
  $SUDO sed -i -E 's|^#?[[:space:]]*Out[[:space:]].*$|Out '"$OUT_DIR"'|' "$CONF"
  grep -qx "Out $OUT_DIR" "$CONF" || echo "Out $OUT_DIR" | $SUDO tee -a "$CONF" >/dev/null
  changed=1
fi
$SUDO mkdir -p "$OUT_DIR"
$SUDO chmod 1777 "$OUT_DIR"

# The scheduler: no systemd in containers, so start cupsd itself when lpstat says it is not running.
if ! lpstat -r 2>/dev/null | grep -q "is running"; then
  $SUDO cupsd
  for _ in $(seq 1 50); do
    lpstat -r 2>/dev/null | grep -q "is running" && break
    sleep 0.1
  done
fi
if ! lpstat -r 2>/dev/null | grep -q "is running"; then
  echo "ensure-printer: the CUPS scheduler does not run; print tests will use a PDF file printer"
  exit 0
fi

ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
model=()
if [ -f "$ppd" ]; then model=(-P "$ppd"); else model=(-m "$(lpinfo -m 2>/dev/null | grep -i 'cups-pdf' | head -1 | cut -d' ' -f1)"); fi
for q in "${QUEUES[@]}"; do
  if ! lpstat -p "$q" >/dev/null 2>&1; then
    $SUDO lpadmin -p "$q" -E -v cups-pdf:/ "${model[@]}" || echo "ensure-printer: could not add $q"
  fi
  # The pdftocairo renderer keeps the text of the jobs as text (the default one turns it into
  # glyph drawings without their characters), so the tests can read the pages back.
  $SUDO lpadmin -p "$q" -o pdftops-renderer-default=pdftocairo 2>/dev/null || true
  $SUDO cupsenable "$q" 2>/dev/null || true
  $SUDO cupsaccept "$q" 2>/dev/null || true
done
$SUDO lpadmin -d "${QUEUES[0]}" >/dev/null 2>&1 || true
[ "$changed" = 1 ] && echo "ensure-printer: CUPS-PDF writes to $OUT_DIR"
lpstat -p "${QUEUES[0]}" 2>/dev/null | head -1
exit 0
