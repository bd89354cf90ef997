#!/usr/bin/env bash
# Renders the toolkit's images into the resource library at twice their drawing size (the controls scale them
# down, so they stay sharp on high-density screens). Run after editing an SVG here; commit both.
#
# Resource ids 1000-1099 belong to the control toolkit and the window skin:
#   1000 title wordmark, active window     (also replaceable as "app_titlename.png" by an OEM folder)
#   1001 title wordmark, inactive window   ("app_titlename_inactive.png")
#   1002 close button, normal   1003 close button, hover   1004 close button, pressed
#   1010 information icon  1011 warning icon  1012 error icon  1013 question icon
set -euo pipefail
cd "$(dirname "$0")"
out=../library/png
render() { rsvg-convert --zoom=2 --format=png --output="$out/$2.png" "$1.svg"; }
render app_titlename 1000
render app_titlename_inactive 1001
render close_normal 1002
render close_hover 1003
render close_pressed 1004
render icon_information 1010
render icon_warning 1011
render icon_error 1012
render icon_question 1013
