# Sourced by the test and run scripts: a throw-away Wine prefix under the build
# folder, with the Simplified Chinese locale (ANSI code page 936).
# setup_wine DIR unmanaged: windows are not handed to a window manager. With
# none running, Wine otherwise waits for one each time a window is activated
# or closed, which makes every dialog test seconds slower.
setup_wine() {
    local build_dir=$1 management=${2:-managed}
    mkdir -p "$build_dir"
    build_dir=$(cd "$build_dir" && pwd)
    export WINEPREFIX="$build_dir/wineprefix"
    export WINEARCH=win32
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export LANG=zh_CN.UTF-8
    export LC_ALL=zh_CN.UTF-8 2>/dev/null  # glibc may lack it; Wine only reads the name
    if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
        wineboot --init >/dev/null 2>&1 || true
        wineserver -w
    fi
    local managed=Y
    [[ $management == unmanaged ]] && managed=N
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f >/dev/null 2>&1 || true
    wineserver -w
}
