#!/usr/bin/env bash
# Runs WardaleCounter against simulated gates on loopback, with a demo data folder of its own.
# Under no display it runs inside Xvfb and saves demo/screenshot.png.
set -euo pipefail
BUILD=${1:-build}
HERE=$(cd "$(dirname "$0")" && pwd)
DATA="$HERE/data"
PROGRAM="$BUILD/src/wardalecounter"
SIM="$BUILD/tools/gatesim/wardale-gatesim"
SECONDS_UNDER_XVFB=${DEMO_SECONDS:-16}

rm -rf "$DATA"
mkdir -p "$DATA"
# Settings are written in the ANSI code page (CP932) like a real installation's.
iconv -f UTF-8 -t CP932 > "$DATA/options.ini" <<'INI'
[基本設定]
人数カウントのみ=NO
開始時間帯=8
終了時間帯=21
WindowLeft=40
WindowTop=40
WindowWidth=1000
WindowHeight=760
WindowState=0
終了時人数カウントCSV出力=NO

[ゲート1]
名称=正面玄関ゲート(デモ)
略称=正面玄関
通信区分=通信する
IPアドレス=127.0.0.1
ポート番号=19004
中継ポート番号=19104

[ゲート2]
名称=通用口ゲート(デモ)
略称=通用口
通信区分=通信する
IPアドレス=127.0.0.1
ポート番号=19005
中継ポート番号=19105

[ゲート3]
名称=閲覧室ゲート(デモ)
略称=閲覧室
通信区分=通信する
IPアドレス=127.0.0.1
ポート番号=19006
中継ポート番号=19106

[EEPROM監視設定]
EEPROM復元=有効
赤外線センサー動作モード=入出用
通過時の読み取り有効時間の倍率=3
音声再生回数=1

[ランプ常時点灯設定]
ランプ常時点灯モードの自動制御=YES
ランプ常時点灯モード有効時間=08:00
ランプ常時点灯モード無効時間=17:00
INI
sed -i 's/$/\r/' "$DATA/options.ini"

pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
}
trap cleanup EXIT

if [ -x "$SIM" ]; then
    "$SIM" --listen 127.0.0.1:19004 --listen 127.0.0.1:19005 --listen 127.0.0.1:19006 --config "$HERE/gatesim.conf" \
        --control 127.0.0.1:19090 \
        --log "$HERE/gatesim.log" < /dev/null > "$HERE/gatesim.out" 2>&1 &
    pids+=($!)
    sleep 1
fi

if [ -n "${DISPLAY:-}" ]; then
    "$PROGRAM" --data-dir "$DATA"
    exit 0
fi

command -v Xvfb >/dev/null || { echo "no display and no Xvfb: install xvfb (./run setup)"; exit 1; }
Xvfb :77 -screen 0 1280x900x24 -nolisten tcp > /dev/null 2>&1 &
pids+=($!)
sleep 1
DISPLAY=:77 "$PROGRAM" --data-dir "$DATA" > "$HERE/program.log" 2>&1 &
pids+=($!)
# Halfway through, the second simulated gate drops its connection; the program reconnects it.
sleep $((SECONDS_UNDER_XVFB / 2))
if [ -x "$SIM" ]; then
    exec 3<>/dev/tcp/127.0.0.1/19090 && echo "fault 1 drop" >&3 && exec 3>&-
    sleep 0.2
    DISPLAY=:77 import -window root "$HERE/screenshot-dropped.png"
fi
sleep $((SECONDS_UNDER_XVFB - SECONDS_UNDER_XVFB / 2))
DISPLAY=:77 import -window root "$HERE/screenshot.png"
echo "screenshot saved to $HERE/screenshot.png"
