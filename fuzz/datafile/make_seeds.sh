#!/bin/bash
# Seeds for datafile_fuzz: small resource files made with Allegro's own dat tool, one or two
# objects of each kind the loader builds (bitmaps at each depth, sprites, a sample, a MIDI
# tune, mono and colour fonts, a palette, raw data, a nested file), with and without their
# properties; and the game's velmora.dat when one is given.
#   make_seeds.sh OUT_DIR [VELMORA_DAT]
set -eu
out=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# A colour font sheet as Allegro reads it: three 6x8 glyph boxes on a yellow ground, drawn in
# two colours. Mono fonts come from BIOS-style files: 256 glyphs of 8x8 or 8x16.
convert -size 22x10 xc:yellow +antialias -fill black -draw 'rectangle 1,1 6,8' \
    -draw 'rectangle 8,1 13,8' -draw 'rectangle 15,1 20,8' -fill red -draw 'line 2,2 5,7' \
    -fill blue -draw 'point 10,4' -draw 'line 16,8 20,1' BMP3:colour.bmp
yes velmora | head -c 2048 >bios8.fnt
yes Velmora | head -c 4096 >bios16.fnt
printf 'bios8.fnt 0x20 0x7F\nbios16.fnt 0x100 0x17F\n' >ranges.txt
for bits in 8 16 24 32; do convert -size 5x3 plasma:fractal -depth 8 "BMP3:picture$bits.bmp"; done
# 8-bit mono and 16-bit stereo WAV, 16 frames each
wav() {  # wav FILE CHANNELS BITS
    local bytes=$((16 * $2 * $3 / 8)) align=$(($2 * $3 / 8))
    printf 'RIFF%bWAVEfmt \x10\0\0\0\x01\0%b\0\x44\xac\0\0\x44\xac\0\0%b\0%b\0data%b\0\0\0' \
        "\\x$(printf %02x $((36 + bytes)))\\0\\0\\0" "\\x0$2" "\\x0$align" \
        "\\x$(printf %02x "$3")" "\\x$(printf %02x $bytes)" >"$1"
    yes wave | head -c "$bytes" >>"$1"
}
wav mono8.wav 1 8
wav stereo16.wav 2 16
printf 'MThd\0\0\0\6\0\0\0\1\0\140MTrk\0\0\0\x0c\0\x90\x3c\x40\x60\x80\x3c\0\0\xff\x2f\0' >tune.mid
printf 'some raw bytes' >raw.txt

# seed NAME INPUT TYPE [DAT OPTIONS]: adds INPUT as an object of TYPE to the seed NAME.dat,
# uncompressed.
seed() { dat -c0 "${@:4}" -t "$3" -a "$out/$1.dat" "$2" >/dev/null; }
seed font-mono bios16.fnt FONT -s1
seed font-colour colour.bmp FONT -s1
seed font-ranges ranges.txt FONT -s2
for bits in 8 16 24 32; do seed "bitmap$bits" "picture$bits.bmp" BMP -s1 -bpp "$bits"; done
seed sprites picture16.bmp CMP -s2 -bpp 16
seed sprites picture32.bmp XCMP -s2 -bpp 32
seed sample-mono mono8.wav SAMP -s1
seed sample-stereo stereo16.wav SAMP
seed midi tune.mid MIDI -s1
seed palette picture8.bmp PAL -s1
seed raw raw.txt DATA
cp "$out/font-mono.dat" nested.dat
dat -c0 -s1 -bpp 16 -t BMP -a nested.dat picture16.bmp >/dev/null
seed nested nested.dat FILE -s1
seed nested colour.bmp FONT -s1
[ -z "${2:-}" ] || [ ! -f "$2" ] || cp "$2" "$out/velmora.dat"
