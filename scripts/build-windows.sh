#!/usr/bin/env bash
# Builds the Windows zip, build-windows/velmora-windows.zip: velmora.exe cross-compiled with
# mingw-w64, the DLLs it needs, and the data files of the Linux build in build/game/.
#   scripts/build-windows.sh [--test]     (--test then plays the zip under Wine)
#
# Allegro 4.4, SDL2, SDL2_mixer, libopenmpt and pixman are cross-built from Debian's source
# packages of the versions the Linux build links, fetched with apt-get source, into a cache
# outside the clone: VELMORA_WINDOWS_CACHE, by default ~/.cache/velmora-windows. A later run with
# the same versions and Allegro patches reuses it; others get a folder of their own.
set -euo pipefail
shopt -s inherit_errexit
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh --windows

triplet=x86_64-w64-mingw32
cc=$triplet-gcc-posix
cxx=$triplet-g++-posix
toolchain=$root/cmake/mingw-w64-x86_64.cmake
# Allegro's keyboard and mouse under Wine, its windowed driver's shutdown, the pointer's place
# in a window and the case of fast capitals.
allegro_patches=("$root"/scripts/allegro4.4-{directinput,window-lock}.patch
    "$root"/scripts/allegro4.4-{mouse-position,key-modifiers}.patch)
linux_build=$root/build
out=$root/build-windows
cache=${VELMORA_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velmora-windows}
jobs=$(nproc)
# Raise when the way the libraries are built below changes, so that old caches are not used.
recipe=2

say() { echo "build-windows: $*" >&2; }
die() { echo "build-windows: $*" >&2; exit 1; }

# "source-package version" for each library the Linux build links.
source_versions() {
    dpkg-query -W -f '${source:Package} ${source:Version}\n' \
        liballegro4-dev libsdl2-dev libsdl2-mixer-dev libopenmpt-dev libpixman-1-dev
}

# --- sources -------------------------------------------------------------------------

# apt with deb-src lines for the Debian archive this machine installs from, and its own
# lists and cache: the system's sources and state stay untouched.
private_apt() {
    local dir=$cache/apt
    mkdir -p "$dir/lists/partial" "$dir/cache/archives/partial" "$dir/parts" "$dir/src"
    apt-get indextargets --format 'deb-src $(REPO_URI) $(RELEASE) $(COMPONENT)' \
        'Identifier: Packages' 'Origin: Debian' | sort -u >"$dir/sources.list"
    [ -s "$dir/sources.list" ] || die "the machine's apt sources name no Debian archive"
    cat >"$dir/apt.conf" <<EOF
Dir::Etc::SourceList "$dir/sources.list";
Dir::Etc::SourceParts "$dir/parts";
Dir::State::Lists "$dir/lists";
Dir::Cache "$dir/cache";
APT::Sandbox::User "$(id -un)";
EOF
    APT_CONFIG=$dir/apt.conf apt-get update -qq
}

# fetch_orig PACKAGE VERSION: prints the path of the upstream tarball of that source package.
# Only the .orig tarball is used, so a Debian patch file the archive fails to serve (a 404
# has been seen for one) does not stop the build.
fetch_orig() {
    local dir=$cache/apt upstream=${2#*:}
    upstream=${upstream%-*}
    (cd "$dir/src" && APT_CONFIG=$dir/apt.conf apt-get source -qq --download-only "$1=$2") >&2 ||
        say "apt-get source $1=$2 reported a failure; going on with its upstream tarball"
    local orig
    orig=$(find "$dir/src" -maxdepth 1 -name "${1}_${upstream}.orig.tar.*" ! -name '*.asc' \
        -print -quit)
    [ -n "$orig" ] || die "no upstream tarball of $1 $2 was fetched"
    echo "$orig"
}

# unpack TARBALL: unpacks into a new folder of the scratch folder; prints the folder the
# tarball holds.
unpack() {
    local dir tops
    dir=$(mktemp -d "$scratch/src.XXXXXX")
    tar -xf "$1" -C "$dir"
    tops=("$dir"/*/)
    echo "${tops[0]%/}"
}

# --- the libraries ---------------------------------------------------------------------

cmake_cross() {  # cmake_cross SOURCE_DIR options...: configure, build and install
    local src=$1
    shift
    cmake -S "$src" -B "$src/cross" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DVELMORA_WINDOWS_DEPS="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_BUILD_TYPE=Release -Wno-dev "$@" >"$src/configure.log" 2>&1 &&
        cmake --build "$src/cross" -j "$jobs" >"$src/build.log" 2>&1 &&
        cmake --install "$src/cross" >"$src/install.log" 2>&1
}

configure_cross() {  # configure_cross SOURCE_DIR options...: configure, make, make install
    local src=$1
    shift
    (cd "$src" && ./configure --host=$triplet --prefix="$prefix" CC=$cc CXX=$cxx \
        CFLAGS=-O2 CXXFLAGS=-O2 --disable-static "$@" >configure.log 2>&1 &&
        make -j "$jobs" >build.log 2>&1 && make install >install.log 2>&1)
}

build_allegro() {
    local patch_file
    for patch_file in "${allegro_patches[@]}"; do
        patch -d "$1" -p1 --forward --quiet <"$patch_file" || return
    done
    cmake_cross "$1" -DSHARED=ON -DWANT_ALLEGROGL=OFF -DWANT_LOADPNG=OFF -DWANT_LOGG=OFF \
        -DWANT_JPGALLEG=OFF -DWANT_EXAMPLES=OFF -DWANT_TOOLS=OFF -DWANT_TESTS=OFF \
        -DWANT_DOCS=OFF || return
    # Allegro writes its pkg-config file on Unix only.
    cat >"$prefix/lib/pkgconfig/allegro.pc" <<EOF
prefix=$prefix
Name: allegro
Description: Allegro game programming library
Version: $(basename "$1" | sed 's/^allegro-//')
Libs: -L\${prefix}/lib -lalleg44.dll
Cflags: -I\${prefix}/include
EOF
}

# Only SDL's audio is used: the game's screen, input and timers are Allegro's. SDL's video
# stays, as its Windows build needs it.
build_sdl2() {
    configure_cross "$1" --disable-render --disable-video-opengl --disable-video-opengles \
        --disable-video-vulkan --disable-joystick --disable-haptic --disable-hidapi \
        --disable-sensor --disable-power
}

# WAV only: the modules go through libopenmpt.
build_sdl2_mixer() {
    cmake_cross "$1" -DCMAKE_PREFIX_PATH="$prefix" -DBUILD_SHARED_LIBS=ON \
        -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_CMD=OFF \
        -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MP3=OFF -DSDL2MIXER_MIDI=OFF \
        -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS= -DSDL2MIXER_WAVE=ON
}

build_libopenmpt() {
    configure_cross "$1" --without-zlib --without-mpg123 --without-ogg --without-vorbis \
        --without-vorbisfile --without-portaudio --without-portaudiocpp --without-pulseaudio \
        --without-sndfile --without-flac --disable-openmpt123 --disable-examples \
        --disable-tests --disable-doxygen-doc
}

# The scaler of the game's picture, with its x86 fast paths; only the library itself, not its
# tests and demos.
build_pixman() {
    (cd "$1" && ./configure --host=$triplet --prefix="$prefix" CC=$cc CFLAGS=-O2 \
        --disable-static --disable-gtk --disable-libpng --disable-openmp >configure.log 2>&1 &&
        make -C pixman -j "$jobs" >build.log 2>&1 &&
        make -C pixman install >install.log 2>&1 && make install-pkgconfigDATA >>install.log 2>&1)
}

# keep_notice PACKAGE SOURCE_DIR: keeps the licence text the library asks to ship with its
# binaries in $prefix/notices.
keep_notice() {
    local file
    case $1 in
    allegro4.4) file=docs/txt/license.txt ;;
    libsdl2 | libsdl2-mixer) file=LICENSE.txt ;;
    libopenmpt) file=LICENSE ;;
    pixman) file=COPYING ;;
    esac
    mkdir -p "$prefix/notices"
    cp "$2/$file" "$prefix/notices/$1.txt"
}

# Builds the five libraries into $prefix unless a complete build of the same versions is
# there already. key.txt, written last, marks a complete build.
build_libraries() {
    local key
    key=$(printf '%s\n' "$(source_versions)" "recipe $recipe" \
        "allegro patches $(cat "${allegro_patches[@]}" | sha256sum | cut -c1-16)" \
        "$(dpkg-query -W -f '${Package} ${Version}\n' g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev)")
    prefix=$cache/deps-$(echo "$key" | sha256sum | cut -c1-16)
    if [ -f "$prefix/key.txt" ]; then
        say "libraries cached in $prefix"
        return
    fi
    say "building the libraries into $prefix"
    rm -rf "$prefix"
    mkdir -p "$prefix/lib/pkgconfig"
    scratch=$(mktemp -d)
    export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH=
    private_apt
    local -A versions
    local package version orig src started
    while read -r package version; do versions[$package]=$version; done < <(source_versions)
    # Each after the ones it builds against.
    for package in allegro4.4 libsdl2 libsdl2-mixer libopenmpt pixman; do
        version=${versions[$package]}
        started=$SECONDS
        orig=$(fetch_orig "$package" "$version")
        src=$(unpack "$orig")
        case $package in
        allegro4.4) build_allegro "$src" ;;
        libsdl2) build_sdl2 "$src" ;;
        libsdl2-mixer) build_sdl2_mixer "$src" ;;
        libopenmpt) build_libopenmpt "$src" ;;
        pixman) build_pixman "$src" ;;
        esac || die "$package failed: see the logs in $src"
        keep_notice "$package" "$src"
        say "$package $version built in $((SECONDS - started)) s"
    done
    rm -rf "$scratch"
    echo "$key" >"$prefix/key.txt"
}

# --- the game --------------------------------------------------------------------------

# The data files come from the Linux build, so both platforms ship the very same bytes.
build_linux_assets() {
    [ -f "$linux_build/CMakeCache.txt" ] ||
        cmake -S "$root" -B "$linux_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$linux_build" -j "$jobs" --target velmora_assets >/dev/null
}

# The exe's icon: the Linux build's drawings, and the small sizes Windows shows in title bars
# and lists scaled down from the smallest.
make_icon() {
    local icons=$linux_build/icons
    mkdir -p "$out"
    convert "$icons"/{256x256,128x128,64x64,48x48}/apps/velmora.png \
        \( "$icons/48x48/apps/velmora.png" -resize 32x32 \) \
        \( "$icons/48x48/apps/velmora.png" -resize 16x16 \) "$out/velmora.ico"
}

build_game() {
    local launcher=()
    command -v ccache >/dev/null &&
        launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$root" -B "$out/cmake" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DVELMORA_WINDOWS_DEPS="$prefix" -DCMAKE_BUILD_TYPE=Release \
        -DVELMORA_ASSETS=OFF -DVELMORA_TESTS=OFF -DVELMORA_WINDOWS_ICON="$out/velmora.ico" \
        "${launcher[@]}" >/dev/null
    cmake --build "$out/cmake" -j "$jobs" --target velmora
}

# dll_path NAME: where a DLL the package needs is found, or nothing for Windows' own DLLs.
dll_path() {
    if [ -f "$prefix/bin/$1" ]; then
        echo "$prefix/bin/$1"
        return
    fi
    local found
    found=$($cxx -print-file-name="$1")
    [ "$found" != "$1" ] && echo "$found"
    return 0
}

# copy_dlls FILE: copies every DLL that FILE imports, and theirs in turn, beside it.
copy_dlls() {
    local name path
    for name in $($triplet-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'); do
        path=$(dll_path "$name")
        [ -n "$path" ] && [ ! -f "$package/$name" ] || continue
        cp "$path" "$package/$name"
        copy_dlls "$package/$name"
    done
}

# Text files for Windows readers: CRLF line ends.
crlf() { sed 's/\r*$/\r/'; }

# The licence notice of each DLL in the zip, in its licenses folder: what the library's
# licence asks to ship with its binaries. A DLL missing here stops the build.
declare -A dll_notices=(
    [alleg44.dll]=allegro.txt
    [SDL2.dll]=SDL2.txt
    [SDL2_mixer.dll]=SDL2_mixer.txt
    [libopenmpt-0.dll]=libopenmpt.txt
    [libpixman-1-0.dll]=pixman.txt
    [libstdc++-6.dll]=gcc-runtime.txt
    [libgcc_s_seh-1.dll]=gcc-runtime.txt
    [libwinpthread-1.dll]=mingw-w64.txt
)

# write_notices: the game's licence, and every notice the zip's binaries need, in licenses/.
write_notices() {
    local notices=$package/licenses
    mkdir -p "$notices"
    crlf <LICENSE >"$package/LICENSE.txt"
    crlf <"$prefix/notices/allegro4.4.txt" >"$notices/allegro.txt"
    crlf <"$prefix/notices/libsdl2.txt" >"$notices/SDL2.txt"
    crlf <"$prefix/notices/libsdl2-mixer.txt" >"$notices/SDL2_mixer.txt"
    crlf <"$prefix/notices/libopenmpt.txt" >"$notices/libopenmpt.txt"
    crlf <"$prefix/notices/pixman.txt" >"$notices/pixman.txt"
    {
        echo "libstdc++ and libgcc, the runtime libraries of GCC, the GNU Compiler Collection."
        echo "Copyright (C) Free Software Foundation, Inc."
        echo "Licensed under the GNU General Public License, version 3 or later, with version"
        echo "3.1 of the GCC Runtime Library Exception. Both texts follow."
        echo
        sed -n '/^GCC RUNTIME LIBRARY EXCEPTION$/,/license of GCC\.$/p' \
            /usr/share/doc/gcc-mingw-w64-base/copyright
        echo
        cat /usr/share/common-licenses/GPL-3
    } | crlf >"$notices/gcc-runtime.txt"
    # winpthreads, and the mingw-w64 start-up code linked into velmora.exe itself.
    {
        echo "libwinpthread-1.dll (winpthreads) and the start-up code in velmora.exe come from"
        echo "mingw-w64. Their copyright and licence notices, as Debian ships them:"
        echo
        cat /usr/share/doc/mingw-w64-x86-64-dev/copyright
    } | crlf >"$notices/mingw-w64.txt"
    {
        echo "The two fonts in velmora.dat and the texts in its pictures are rendered from the"
        echo "DejaVu fonts, which are based on Bitstream Vera. Copyright (c) 2003 by Bitstream,"
        echo "Inc. All Rights Reserved. Bitstream Vera is a trademark of Bitstream, Inc. The"
        echo "DejaVu changes are in the public domain. The Bitstream Vera licence:"
        echo
        sed -n '/^License: bitstream-vera$/,$p' dist/copyright.in | sed '1d; s/^ //; s/^\.$//'
    } | crlf >"$notices/dejavu-fonts.txt"
}

# The zip's DLLs and their notices, for README.txt.
notice_table() {
    local dll
    for dll in "${!dll_notices[@]}"; do
        [ -f "$package/$dll" ] && printf '  %-22s licenses\\%s\n' "$dll" "${dll_notices[$dll]}"
    done | sort
}

pack() {
    package=$out/velmora
    rm -rf "$package" "$out/velmora-windows.zip"
    mkdir -p "$package"
    cp "$out/cmake/game/velmora.exe" "$package/"
    copy_dlls "$package/velmora.exe"
    local dll
    for dll in "$package"/*.dll; do
        dll=$(basename "$dll")
        [ -n "${dll_notices[$dll]:-}" ] || die "no licence notice is known for $dll"
    done
    $triplet-strip --strip-unneeded "$package"/*.exe "$package"/*.dll
    cp -r "$linux_build/game/"{velmora.dat,Sound,Music} "$package/"
    write_notices
    crlf >"$package/README.txt" <<EOF
Velmora
=======

A small typing game: write five love letters against the clock.

To play, double-click velmora.exe. It fills the screen, its picture enlarged with its shape
kept, without changing the screen's resolution; F11 or Alt+Enter switch to a window and back.
Nothing needs installing; keep the files of this folder together.

Your best result is kept in cool.dat, next to velmora.exe, while this folder can be written
to (a copy on a USB stick keeps its record with it). Where it cannot, as under Program
Files, the record is kept in %APPDATA%\\velmora\\cool.dat instead. Delete it to start afresh.

Velmora is free software under the MIT License: see LICENSE.txt. The libraries that come
with it have licences of their own, whose texts are in the licenses folder:
$(notice_table)
The fonts in velmora.dat are drawn from the DejaVu fonts: licenses\\dejavu-fonts.txt.
EOF
    (cd "$out" && cmake -E tar cf velmora-windows.zip --format=zip velmora)
    say "$out/velmora-windows.zip: $(stat -c %s "$out/velmora-windows.zip") bytes;" \
        "DLLs: $(cd "$package" && echo *.dll)"
}

started=$SECONDS
mkdir -p "$cache"
# One build of the libraries at a time: a second run waits, then finds them made.
{ flock 9; build_libraries; } 9>"$cache/lock"
say "libraries ready after $((SECONDS - started)) s"
build_linux_assets
make_icon
build_game
pack

if [ "${1:-}" = --test ]; then
    cmake --build "$linux_build" -j "$jobs" --target letter_keys game_facts >/dev/null
    "$root/tests/e2e/wine_player.sh" "$out/velmora-windows.zip" "$linux_build/game" \
        "$linux_build/tests/e2e/letter_keys" "$out/shots"
fi
