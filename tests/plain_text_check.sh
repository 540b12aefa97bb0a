#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Text from outside the program reaches the screen only through the plain-text
# helpers (ui/look.h, ui/message.h). Fails on any other way to set a tooltip,
# a caption, a box or a label's format anywhere in ui/, so a new window
# cannot forget them.
set -uo pipefail
cd "$(dirname "$0")/../ui" || exit 2
status=0
# forbid PATTERN ALLOWED-FILE-REGEX WHY
forbid() {
    local hits
    hits=$(grep -rnP --include='*.cpp' --include='*.h' -- "$1" . | grep -vE "^\./($2):" || true)
    if [[ -n $hits ]]; then
        printf '%s\n%s\n\n' "$3" "$hits"
        status=1
    fi
}
forbid 'setToolTip\(|ToolTipRole' 'look\.h' 'Tooltips go through setPlainToolTip:'
forbid 'setWindowTitle\(' 'look\.cpp' 'Captions go through setPlainWindowTitle:'
forbid 'QMessageBox|QErrorMessage|QInputDialog' 'message\.cpp' 'Boxes go through showWarning:'
forbid 'setTextFormat\((?!Qt::PlainText\))|Qt::RichText|Qt::AutoText|setHtml\(|insertHtml\(|QTextBrowser|WhatsThis' \
    'look\.h|message\.cpp' 'Nothing is shown as markup:'
# A label is made plain by place(), so every one is placed where it is made.
hits=$(grep -rnE --include='*.cpp' --include='*.h' 'new QLabel\b' . | grep -v 'place(' || true)
if [[ -n $hits ]]; then
    printf 'Labels are made inside place():\n%s\n' "$hits"
    status=1
fi
exit $status
