#!/usr/bin/env bash
# Renders the toolkit's images into the resource library at twice their drawing size (the controls scale them
# down, so they stay sharp on high-density screens). Run after editing an SVG here; commit both.
#
# Resource ids 1000-1099 belong to the control toolkit and the window skin:
#   1000 title wordmark, active window     (also replaceable as "app_titlename.png" by an OEM folder)
#   1001 title wordmark, inactive window   ("app_titlename_inactive.png")
#   1002 close button, normal   1003 close button, hover   1004 close button, pressed
#   1010 information icon  1011 warning icon  1012 error icon  1013 question icon
#
# The ribbon (buttons 48 x 48 unless said; four images each: normal, hover, pressed, disabled):
#   140-143 capture   144-147 video effects   148-151 privacy shade   152-155 settings   156-159 communicate
#   160-163 microphone mute, 164-167 video mute (28 x 28; the pressed image is the muted look)
#   168-171 expand/collapse toggle while collapsed (chevron down), 172-175 while expanded (chevron up), 48 x 16
#   203, 204, 205 brand logo up, hover, down   ("Ribbon_Brand_Up.png", "..._Hover.png", "..._Down.png" by OEM)
#   137 separator line between button groups (45 x 2)
#   337 background strip (63 x 1, stretched)   338 brand area background (63 x 46)
# Icons, rendered at their own size: 176 application icon (256 x 256), 177 tray icon (64 x 64).
#
# The capture window:
#   split capture buttons (154 x 40; five images each: normal, pressed, hover over the main part, hover over
#   the options part, disabled; the program writes the caption over the plain room from x 40 to x 120 in a
#   fixed dark grey, #404040 or #929292 when disabled, so these are light plates with a grey rim and dark
#   glyphs, the disabled look a flat pale plate with #929292 glyphs):
#   180-184 photo (camera glyph)   185-189 movie (movie-camera glyph)
#   190-194 movie while recording (red recording dot on a faintly red-tinted light plate)
#   gallery tabs (28 x 24; three images each: normal, hover, pressed = selected, with an accent underline):
#   195-197 pictures (landscape photo)   198-200 videos (film strip)
#   gallery buttons (24 x 24; three images each: normal, hover, pressed):
#   206-208 delete the selected captures (trash can)   209-211 print (printer)   212-214 e-mail (envelope)
#   215-217 gallery toggle while the gallery is closed (chevron down), 222-224 while it is open (chevron up)
#   225 picture shown instead of the live picture when there is no camera (320 x 240; the program writes its
#       message over the plain lower third)
#
# The settings window:
#   pan and tilt pad (82 x 80; each part's images have the size of the part's rectangle on the pad and are
#   drawn over the plate; three images each: normal, hover, pressed = the accent colour):
#   240 plate behind the parts   241-243 left arrow (20 x 25)   244-246 right arrow (21 x 25)
#   247-249 up arrow (25 x 20)   250-252 down arrow (25 x 20)   253-255 centre button (32 x 32)
#
# The settings window's tabs (60 x 44; three images each: normal, hover, pressed = the tab shown, with an
# accent underline):
#   219-221 webcam   ("SETTINGS_WEBCAMTAB_UP.png", "..._HOVER.png", "..._DOWN.png" by OEM)
#   226-228 audio   229-231 SunTune   232-234 advanced   235-237 preferences
set -euo pipefail
cd "$(dirname "$0")"
out=../library/png
render() { rsvg-convert --zoom=2 --format=png --output="$out/$2.png" "$1.svg"; }
render_1x() { rsvg-convert --format=png --output="$out/$2.png" "$1.svg"; }
# Four images of a button from <name>_normal/_hover/<pressed>/_disabled, from the first id on.
render_button() {
    local name=$1 id=$2 pressed=${3:-pressed}
    render "${name}_normal" "$id"
    render "${name}_hover" $((id + 1))
    render "${name}_${pressed}" $((id + 2))
    render "${name}_disabled" $((id + 3))
}
# Five images of a split button from <name>_normal/_pressed/_hover_main/_hover_options/_disabled.
render_split() {
    local name=$1 id=$2
    render "${name}_normal" "$id"
    render "${name}_pressed" $((id + 1))
    render "${name}_hover_main" $((id + 2))
    render "${name}_hover_options" $((id + 3))
    render "${name}_disabled" $((id + 4))
}
# Three images of a button without a disabled look from <name>_normal/_hover/_pressed.
render_three() {
    local name=$1 id=$2
    render "${name}_normal" "$id"
    render "${name}_hover" $((id + 1))
    render "${name}_pressed" $((id + 2))
}
render app_titlename 1000
render app_titlename_inactive 1001
render close_normal 1002
render close_hover 1003
render close_pressed 1004
render icon_information 1010
render icon_warning 1011
render icon_error 1012
render icon_question 1013

render_button ribbon_camera 140
render_button ribbon_effects 144
render_button ribbon_privacy 148
render_button ribbon_settings 152
render_button ribbon_communicate 156
render_button ribbon_mic 160 muted
render_button ribbon_video 164 muted
render_button ribbon_toggle_down 168
render_button ribbon_toggle_up 172
render ribbon_brand_up 203
render ribbon_brand_hover 204
render ribbon_brand_down 205
render ribbon_background 337
render ribbon_top 338
render ribbon_separator 137
render_1x app_icon 176
render_1x tray_icon 177

render_split capture_photo 180
render_split capture_movie 185
render_split capture_recording 190
render_three gallery_tab_pictures 195
render_three gallery_tab_videos 198
render_three gallery_delete 206
render_three gallery_print 209
render_three gallery_email 212
render_three gallery_toggle_down 215
render_three gallery_toggle_up 222
render capture_no_camera 225
render pan_tilt_background 240
render_three pan_tilt_left 241
render_three pan_tilt_right 244
render_three pan_tilt_up 247
render_three pan_tilt_down 250
render_three pan_tilt_centre 253
render_three settings_tab_webcam 219
render_three settings_tab_audio 226
render_three settings_tab_suntune 229
render_three settings_tab_advanced 232
render_three settings_tab_preferences 235
