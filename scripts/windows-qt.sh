# shellcheck shell=bash disable=SC2154,SC2034  # root, prefix, triple, ...: build-windows.sh
# Qt for the Windows build of qtktool, sourced by scripts/build-windows.sh --gui after the other
# target libraries are in the prefix.
#
# Debian ships no Qt for mingw-w64, so Qt Base is cross-built from Debian's own qt6-base source
# (the version of the build machine's qt6-base-dev, whose moc, rcc and uic it uses) into
# $prefix/qt6, once: shared libraries, Core, Gui, Widgets and Test with the windows, offscreen
# and minimal platforms and the Windows Vista style. Nothing else: no OpenGL (qtktool paints
# with the raster engine), no network, SQL, D-Bus, printing or XML modules, no Direct2D
# platform (a second copy of the Windows one; without it the Windows platform needs the fix in
# scripts/windows-patches/) and no image format plugins (qtktool draws its pictures itself),
# and no tablet events, whose Windows code needs the wintab headers that Debian's source
# leaves out.
# The first build takes one to two hours at -j2 on two cores, at a lower priority than other
# work.
#
# Defines qt_cmake_args (what the project's configure needs to find this Qt) and
# pack_gui_zip BUILD_DIR (the second zip: qtktool.exe with every DLL it loads beside it).

qt_root=$prefix/qt6
qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
qt_host_cmake_dir=/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake
qt_patches=("$root"/scripts/windows-patches/qt6-base-*.patch)

build_qt() {
  local source
  source=$(debian_source qt6-base "$qt_version")
  local patch
  for patch in "${qt_patches[@]}"; do
    patch -d "$source" -p1 --forward <"$patch"
  done
  # A Qt left in the prefix by an earlier recipe would be found by this one's configure.
  rm -rf "$qt_root"
  # ccache, where present, with paths relative to the work folder: a rebuild after a changed
  # recipe compiles only what the change touched.
  local launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
  fi
  cmake -S "$source" -B build -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DQTK_MINGW_PREFIX="$prefix" \
    -DCMAKE_INSTALL_PREFIX="$qt_root" -DBUILD_SHARED_LIBS=ON \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$qt_host_cmake_dir" \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_tabletevent=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_zstd=OFF \
    -DFEATURE_direct2d=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF
  # Hours of compiling on a shared machine: other work goes first.
  nice -n 10 cmake --build build -j "$jobs"
  cmake --install build
}

qt_patch_sums=$(cat "${qt_patches[@]}" | sha256sum | cut -c1-16)
prefix_library qt6-base "recipe 1; qt6-base $qt_version; patches $qt_patch_sums" build_qt

qt_cmake_args=(-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$qt_host_cmake_dir")

# The DLLs a Windows program or library names in its import table.
imported_dlls() {
  "$triple"-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'
}

# Where the mingw-w64 runtime DLLs (the C++ runtime, libgcc, winpthread) of the posix thread
# model live; Windows' own DLLs are found in none of these folders.
dll_folders=("$qt_root/bin" "$(dirname "$("$triple"-g++-posix -print-libgcc-file-name)")"
  "/usr/$triple/lib")

# Copies into FOLDER the DLL NAME (a file name in any letter case, as Windows looks it up) and,
# in turn, every DLL it imports that one of dll_folders holds. Windows' own DLLs are left to
# the system.
copy_dll_closure() {
  local folder=$1 file=$2 name found
  for name in $(imported_dlls "$file"); do
    if [[ -n $(find "$folder" -maxdepth 1 -iname "$name" -print -quit) ]]; then
      continue
    fi
    found=$(find "${dll_folders[@]}" -maxdepth 1 -iname "$name" -print -quit 2>/dev/null)
    if [[ -n $found ]]; then
      cp "$found" "$folder/"
      copy_dll_closure "$folder" "$found"
    fi
  done
}

# The GUI zip beside the console one: the console programs and README, qtktool.exe, and the
# DLLs and Qt plugins they load, found by walking the import tables (Qt's deployment tool is
# not built when cross-compiling). Every DLL any file in the folder imports is then either in
# the folder or a system DLL of Windows.
pack_gui_zip() {
  local build=$1
  local name
  name=$(basename "$(ls "$build"/qtk7720x-*-windows-x86_64.zip)" .zip)-gui
  local stage=$build/gui-package
  local folder=$stage/$name
  gui_package_folder=$folder
  rm -rf "$stage"
  cmake --install "$build" --prefix "$folder" --strip >/dev/null
  cmake --install "$build" --prefix "$folder" --strip --component gui >/dev/null
  mkdir -p "$folder/platforms" "$folder/styles"
  cp "$qt_root/plugins/platforms/qwindows.dll" "$folder/platforms/"
  cp "$qt_root/plugins/styles/qwindowsvistastyle.dll" "$folder/styles/"
  local file
  for file in "$folder"/*.exe "$folder"/platforms/*.dll "$folder"/styles/*.dll; do
    copy_dll_closure "$folder" "$file"
  done
  "$triple"-strip --strip-unneeded "$folder"/*.dll "$folder"/*/*.dll
  check_dll_closure "$folder"
  rm -f "$build/$name.zip"
  (cd "$stage" && cmake -E tar cf "../$name.zip" --format=zip "$name")
  echo "build-windows: $build/$name.zip"
}

# Fails when a file in FOLDER imports a DLL that is neither in the folder nor one of Windows'
# own (an API set or a DLL of the system folder, as wine provides them).
check_dll_closure() {
  local folder=$1 file name missing=0
  local system=$WINEPREFIX/drive_c/windows/system32
  for file in "$folder"/*.exe "$folder"/*.dll "$folder"/*/*.dll; do
    for name in $(imported_dlls "$file"); do
      if [[ -n $(find "$folder" -maxdepth 1 -iname "$name" -print -quit) ||
        $name == api-ms-win-* || -n $(find "$system" -maxdepth 1 -iname "$name" -print -quit) ]]; then
        continue
      fi
      echo "build-windows: $(basename "$file") needs $name, which the package lacks" >&2
      missing=1
    done
  done
  return $missing
}

# The GUI tests run with a display of their own (Xvfb), started before wine's service
# processes so that they share it: without one, three dialog tests wait forever for events
# wine never delivers. The test programs load Qt's DLLs and the mingw runtime from the folders
# wine searches (WINEPATH).
prepare_gui_tests() {
  local number_file
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
  local tries
  for tries in $(seq 100); do
    [[ -s $number_file ]] && break
    sleep 0.1
  done
  DISPLAY=:$(cat "$number_file")
  export DISPLAY
  rm -f "$number_file"
  local path="" folder
  for folder in "${dll_folders[@]}"; do
    path+="Z:${folder//\//\\};"
  done
  export WINEPATH=$path
}

# qtktool.exe started from the unpacked GUI package with nothing but the package and Windows
# to load from: it shows the Load Firmware dialog on the display within a minute, or the
# package lacks something it needs.
check_gui_package_starts() {
  local folder=$1 seconds shown=false
  WINEPATH='' wine "$folder/qtktool.exe" </dev/null >/dev/null 2>&1 &
  local pid=$!
  for seconds in $(seq 60); do
    if xwininfo -root -tree | grep -q '"Load Firmware File  - QTK V3.0.0"'; then
      shown=true
      break
    fi
    sleep 1
  done
  kill "$pid" 2>/dev/null || true
  wine taskkill /f /im qtktool.exe </dev/null >/dev/null 2>&1 || true
  if ! $shown; then
    echo "build-windows: qtktool.exe from the package shows no Load Firmware dialog" >&2
    return 1
  fi
  echo "build-windows: qtktool.exe from the package shows its Load Firmware dialog"
}
