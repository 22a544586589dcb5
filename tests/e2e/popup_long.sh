#!/usr/bin/env bash
# A long message comes up whole: the popup grows with its wrapped text (up to
# half the screen's height) and its last line, a bar of block characters, is
# seen above the buttons. The screenshot is docs/screenshots/popup-long.png.
#
# usage: popup_long.sh KELVO_BINARY OUTPUT_DIR
source "$(dirname "$0")/lib.sh"
e2e_init popup_long "$1" "$2"
e2e_start_desktop
e2e_write_config 1
e2e_write_autostart
bar=$(printf '█%.0s' {1..22})
message="部门周会：九点半在五楼大会议室，请各组组长带上本周的进度表和下周的计划；\
财务部请准备上个季度的报表，人事部介绍两位新同事。会后十点半起评审新版本的界面，\
请设计组提前把样稿发到群里。午饭后两点整与客户通电话，确认交付日期与验收的细节。\
记得带上笔记本电脑和充电器。$bar"
# Every day at 09:30, and at every start.
e2e_write_items Hour=9 Min=30 Year=0 Month=0 Day=0 ReMinded=0 RdBefore=0 MindMethod=2 \
    "Message=$message" Music=
e2e_start_kelvo

popup=$(e2e_wait_window 30 提醒) || e2e_fail "the reminder popup did not appear"
grown() {
    local height
    read -r _ _ _ height < <(e2e_frame "$popup")
    [ "$height" -gt 197 ]
}
e2e_wait 10 grown && e2e_wait 10 e2e_settled "$popup" || e2e_fail "the popup did not grow"
e2e_shot popup-long "$popup"
read -r _ _ width height < <(e2e_frame "$popup")
e2e_log "popup ${width}x$height"
[ "$height" -gt 197 ] || e2e_fail "the popup did not grow for the long message ($height)"
[ "$height" -le 384 ] || e2e_fail "the popup is higher than half the screen ($height)"

# The message area: below the title strip, above the remind-later buttons.
# Each of its rows, thresholded, averaged to one pixel: the share of light
# pixels. The bar's rows are mostly dark; no row of text is.
shot=$E2E_OUT/popup-long.png
rows=$(convert "$shot" -crop "$((width - 40))x$((height - 100))+20+36" +repage \
    -colorspace Gray -threshold 50% -scale '1x!' -depth 8 txt:- |
    awk -F'[(,)]' 'NR > 1 { print $3 }')
dark=$(echo "$rows" | awk '$1 < 120 { n++ } END { print n + 0 }')
e2e_log "rows of the bar: $dark"
[ "$dark" -ge 8 ] || e2e_fail "the message's last line is not seen whole in the popup"
e2e_kelvo_running || e2e_fail "the program ended"
e2e_log "passed"
