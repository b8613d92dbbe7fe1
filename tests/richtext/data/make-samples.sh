#!/bin/sh
# Regenerates the LibreOffice samples: each source is exported to RTF, and the RTF to the text
# LibreOffice itself reads from it. Needs soffice (libreoffice-writer-nogui).
set -e
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for src in sources/*.html; do
    soffice --headless --infilter="HTML (StarWriter)" --convert-to rtf --outdir . "$src" >/dev/null
done
for src in sources/*.fodt; do
    soffice --headless --convert-to rtf --outdir . "$src" >/dev/null
done
for rtf in *.rtf; do
    soffice --headless --convert-to 'txt:Text (encoded):UTF8,LF,,,' --outdir "$tmp" "$rtf" >/dev/null
    cp "$tmp/${rtf%.rtf}.txt" .
done
