# Sourced by the test and run scripts: a throw-away Wine prefix under the build
# folder, with the Simplified Chinese locale (ANSI code page 936).
setup_wine() {
    local build_dir=$1
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
}
