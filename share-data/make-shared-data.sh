#!/bin/sh
# Makes the effect models and the default privacy-shade picture the program ships, from the drawings in
# sources/. The results are committed; run this again only after changing a drawing or a model here.
# Needs rsvg-convert and gst-launch-1.0 (with the good plug-ins, for the JPEG).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
src="$here/sources"
out="$here/Brenmoor/Vidora"
models="$out/ModelData"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp "$src"/*.svg "$work/"

# picture <svg body> <output png> <width> <height>: a 320 x 240 drawing, rendered at the given size.
picture() {
    printf '<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width="320" height="240" viewBox="0 0 320 240">%s</svg>\n' "$1" > "$work/picture.svg"
    rsvg-convert -w "$3" -h "$4" "$work/picture.svg" -o "$2"
}

# describe <folder> <type> <id> <english name> <german name> <english text> <german text> [preview]
describe() {
    preview=""
    [ $# -ge 8 ] && preview="  <PreviewFile>$8</PreviewFile>
"
    cat > "$models/$1/$1.xml" <<XML
<?xml version="1.0" encoding="utf-8"?>
<EffectModel Type="$2" Id="$3">
  <ImageFile>thumbnail.png</ImageFile>
  <PackageFile>$1.vfx</PackageFile>
${preview}  <Name>
    <String LanguageId="1033" StringValue="$4"/>
    <String LanguageId="1031" StringValue="$5"/>
  </Name>
  <Description>
    <String LanguageId="1033" StringValue="$6"/>
    <String LanguageId="1031" StringValue="$7"/>
  </Description>
  <Properties>
    <ModelComplexity>1</ModelComplexity>
  </Properties>
</EffectModel>
XML
}

# overlay <folder> <drawing> <drawing width> <centerX> <centerY> <width>
overlay() {
    mkdir -p "$models/$1"
    rsvg-convert -w "$3" "$src/$2.svg" -o "$models/$1/$2.png"
    cat > "$models/$1/$1.vfx" <<JSON
{
  "format": 1,
  "overlay": { "image": "$2.png", "centerX": $4, "centerY": $5, "width": $6 }
}
JSON
    # The thumbnail and the preview: the overlay where the engine draws it, on a drawn face.
    w=$(echo "$6 * 320" | bc)
    x=$(echo "scale=2; $4 * 320 - $w / 2" | bc)
    sw=$(sed -n 's/.*<svg[^>]* width="\([0-9]*\)" height="\([0-9]*\)".*/\1/p' "$src/$2.svg")
    sh=$(sed -n 's/.*<svg[^>]* width="\([0-9]*\)" height="\([0-9]*\)".*/\2/p' "$src/$2.svg")
    h=$(echo "scale=2; $w * $sh / $sw" | bc)
    y=$(echo "scale=2; $5 * 240 - $h / 2" | bc)
    body="<image width='320' height='240' xlink:href='face.svg'/><image x='$x' y='$y' width='$w' height='$h' xlink:href='$2.svg'/>"
    picture "$body" "$models/$1/preview.png" 320 240
    picture "$body" "$models/$1/thumbnail.png" 96 72
}

# filter <folder> <filter> <SVG filter or transform attribute>
filter() {
    mkdir -p "$models/$1"
    printf '{
  "format": 1,
  "filter": "%s"
}
' "$2" > "$models/$1/$1.vfx"
    body="<defs><filter id='f'><feColorMatrix type='matrix' values='$3'/></filter></defs><image width='320' height='240' xlink:href='scene.svg' $4/>"
    picture "$body" "$models/$1/preview.png" 320 240
    picture "$body" "$models/$1/thumbnail.png" 96 72
}

rm -rf "$models"
mkdir -p "$models" "$out/PrivacyShades"

overlay RoundGlasses glasses 360 0.5 0.55 0.42
describe RoundGlasses Accessory vidora.accessory.roundglasses "Round glasses" "Runde Brille" \
    "Round glasses with light blue lenses." "Runde Brille mit hellblauen Gläsern." preview.png
overlay PartyHat partyhat 200 0.5 0.2 0.22
describe PartyHat Accessory vidora.accessory.partyhat "Party hat" "Partyhut" \
    "A striped party hat." "Ein gestreifter Partyhut." preview.png
overlay Robot robot 360 0.5 0.52 0.6
describe Robot Avatar vidora.avatar.robot "Robot" "Roboter" \
    "A friendly robot in your place." "Ein freundlicher Roboter an Ihrer Stelle." preview.png

filter Sepia sepia "0.393 0.769 0.189 0 0 0.349 0.686 0.168 0 0 0.272 0.534 0.131 0 0 0 0 0 1 0" "filter='url(#f)'"
describe Sepia Fun vidora.fun.sepia "Sepia" "Sepia" \
    "Warm brown tones, like an old photograph." "Warme Brauntöne wie auf einem alten Foto." preview.png
filter BlackAndWhite grayscale "0.299 0.587 0.114 0 0 0.299 0.587 0.114 0 0 0.299 0.587 0.114 0 0 0 0 0 1 0" "filter='url(#f)'"
describe BlackAndWhite Fun vidora.fun.blackandwhite "Black and white" "Schwarzweiß" \
    "The picture in shades of grey." "Das Bild in Grautönen." preview.png
filter Mirror mirror "1 0 0 0 0 0 1 0 0 0 0 0 1 0 0 0 0 0 1 0" "transform='matrix(-1 0 0 1 320 0)'"
describe Mirror Fun vidora.fun.mirror "Mirror" "Spiegel" \
    "The picture as in a mirror." "Das Bild wie in einem Spiegel." preview.png

rsvg-convert -w 640 -h 480 "$src/shade.svg" -o "$work/shade.png"
gst-launch-1.0 -q filesrc location="$work/shade.png" ! pngdec ! videoconvert ! jpegenc quality=88 ! \
    filesink location="$out/PrivacyShades/ps_default.jpg"
