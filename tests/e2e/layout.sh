# shellcheck shell=bash
# The places of the controls that the end-to-end tests click or look at, in twips in their
# window's client area, as the programs' layout tables give them: the editor's window
# (editor/form1.cpp; the ship panel's ADD SHIP button s1 from editor/shippanel.cpp, at the panel's
# top left, which lies on the tab strip's page at 5160 + 100, 2160 + 400) and the selector's
# (selector/form1.cpp).
#
# One row a control: its window ("editor" or "selector") and object name, then left, top, width
# and height. A window's row under its own name (Form1) is its client area. The window tests
# editor_test_form1 and selector_test_selector read this table and compare every row with the
# control's real place, so a layout that changes without this table fails there.
#
# Sourced by e2e-lib.sh.

e2e_layout='
editor.Form1         0    0 8265 5610
editor.Drive1      120  120 2655  315
editor.Dir1        120  510 2655 1440
editor.File1      2880  120 2055 1845
editor.load       5040  360  855  255
editor.add        5040  720  855  255
editor.del        5040 1080  855  255
editor.save       5040 1440  855  255
editor.Command3   6480  360 1455  375
editor.Command4   6480  840 1455  375
editor.Command5   6480 1320 1455  375
editor.mapButton  6480 1800 1455  300
editor.inhalt      120 2040 4815 2790
editor.TabStrip1  5160 2160 2895 2595
editor.up          120 4920  615  255
editor.down        840 4920  615  255
editor.Command2   1920 4920  735  255
editor.Command1   2760 4920  735  255
editor.clear      3960 4920  855  255
editor.Label2     5160 4920 2895  255
editor.s1         5260 2560 2655  375
selector.Form1       0    0 2055  780
selector.Label1    120  120 1335  255
selector.Command3 1560  100  375  280
selector.Command1  120  480 1815  255
'

# e2e_control VAR NAME: VAR (an array) receives the left, top, width and height of the table's
# row NAME (for example editor.load).
e2e_control() {
    local _e2e_name _e2e_left _e2e_top _e2e_width _e2e_height
    while read -r _e2e_name _e2e_left _e2e_top _e2e_width _e2e_height; do
        if [[ "$_e2e_name" == "$2" ]]; then
            read -r -a "$1" <<<"$_e2e_left $_e2e_top $_e2e_width $_e2e_height"
            return 0
        fi
    done <<<"$e2e_layout"
    e2e_fail "no control $2 in the layout table (tests/e2e/layout.sh)"
}
