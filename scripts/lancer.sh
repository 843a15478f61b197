#!/usr/bin/env bash
# Builds the program, installs it for the current user as scripts/installer.sh does, and
# starts the installed program. The logs are written in its program folder
# (~/.local/share/QEZ_Challenge_KVRT), never in a build folder that a clean would delete.
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
prefixe="${KVRT_PREFIXE:-$HOME/.local}"
bash "$racine/scripts/installer.sh"
exec "$prefixe/share/QEZ_Challenge_KVRT/QEZ_Challenge_KVRT" "$@"
