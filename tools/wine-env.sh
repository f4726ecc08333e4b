# Sourced by the project's scripts: one Wine prefix and one private X display for a whole session of runs.
# Callers set WINEPREFIX first; wine_session_start and wine_session_stop bracket the work.

export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
export LANG=en_US.UTF-8
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# Makes the prefix once: Wine's own fonts, "Comic Sans MS" served by Comic Neue, one shared virtual
# desktop (so that programs started one after another see each other's windows), en-US short dates.
wine_prefix_prepare() {
  local stamp="$WINEPREFIX/.tamberlyn-prefix"
  [ -f "$stamp" ] && return 0
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
  local reg
  reg=$(mktemp --suffix=.reg)
  cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Comic Sans MS"="Comic Neue"

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="shell"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"shell"="1024x768"

[HKEY_CURRENT_USER\Control Panel\International]
"Locale"="00000409"
"sShortDate"="M/d/yyyy"
"sDate"="/"
REG
  wine reg import "$(winepath -w "$reg")" /reg:64 >/dev/null 2>&1
  wineserver -w
  rm -f "$reg"
  touch "$stamp"
}

# Names in other scripts drawn as letters: each face the program draws with is linked to Debian's fonts for
# Greek, Cyrillic and Arabic (DejaVu Sans), Devanagari (Lohit) and CJK (WenQuanYi Micro Hei). Windows draws a
# character its font lacks from a font it picks for the character's script, and from the fonts linked to the
# face's name under FontLink\SystemLink; Wine 8 only follows the links, and keys them by the face's full name
# ("Comic Neue Bold", not "Comic Sans MS"); it puts its own links back on "Tahoma" whenever a program of
# another code page starts. A stamp of its own, so that a prefix made before gets the links too.
wine_prefix_link_fonts() {
  local stamp="$WINEPREFIX/.tamberlyn-font-links"
  [ -f "$stamp" ] && return 0
  local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
  local links='DejaVuSans.ttf,DejaVu Sans\0Lohit-Devanagari.ttf,Lohit Devanagari\0wqy-microhei.ttc,WenQuanYi Micro Hei'
  local face
  for face in 'Comic Neue Regular' 'Comic Neue Bold' 'Comic Neue Italic' 'Comic Neue Bold Italic' \
    'MS Sans Serif Regular' 'Tahoma' 'Tahoma Bold'; do
    wine reg add "$key" /v "$face" /t REG_MULTI_SZ /d "$links" /f </dev/null >/dev/null 2>&1
  done
  wineserver -w
  touch "$stamp"
}

# Starts a private Xvfb (unless told to use the caller's display) and a persistent wineserver.
wine_session_start() {
  if [ "${TAMBERLYN_USE_DISPLAY:-0}" != 1 ] || [ -z "${DISPLAY:-}" ]; then
    local n
    for n in $(seq 91 140); do
      [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
    done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    WINE_SESSION_XVFB=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
  fi
  wine_prefix_prepare
  wine_prefix_link_fonts
  wineserver -p
  # The first program of a session starts Wine's services, which inherit its output handles; start
  # them here, writing nowhere, so that no later caller waits for a pipe a service keeps open.
  wine cmd.exe /c exit </dev/null >/dev/null 2>&1
  # A test that sets another short date format puts the old one back when it ends; one that was killed
  # could not, so every session starts from the pinned format.
  wine reg add 'HKCU\Control Panel\International' /v sShortDate /d M/d/yyyy /f </dev/null >/dev/null 2>&1
}

wine_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  if [ -n "${WINE_SESSION_XVFB:-}" ]; then
    kill "$WINE_SESSION_XVFB" 2>/dev/null || true
    wait "$WINE_SESSION_XVFB" 2>/dev/null || true
  fi
}
