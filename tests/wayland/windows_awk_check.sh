#!/usr/bin/env bash
# The protocol reader on a log of the game window and its defeat box, with the
# time stamps as the log pads them at seven, six and five digits.
set -euo pipefail
log='[4214137.905]  -> xdg_wm_base@3.get_xdg_surface(new id xdg_surface@13, wl_surface@7)
[4214137.909]  -> xdg_surface@13.get_toplevel(new id xdg_toplevel@14)
[4214137.918]  -> xdg_toplevel@14.set_title("Game")
[4214257.452]  -> wl_surface@7.attach(wl_buffer@19, 0, 0)
[4214257.455]  -> wl_surface@7.damage_buffer(3, 30, 792, 72)
[4214257.458]  -> wl_surface@7.commit()
[4215364.399]  -> xdg_wm_base@3.get_xdg_surface(new id xdg_surface@26, wl_surface@23)
[4215364.405]  -> xdg_surface@26.get_toplevel(new id xdg_toplevel@27)
[4215364.408]  -> xdg_toplevel@27.set_parent(xdg_toplevel@14)
[4215364.430]  -> xdg_toplevel@27.set_title("vorel")
[4215367.600]  -> wl_surface@23.attach(wl_buffer@30, 0, 0)
[4215367.610]  -> wl_surface@23.commit()'
expected='game window: drawn
defeat box: drawn
box'"'"'s parent: the game window'
for stamp in 's/^\[42/[42/' 's/^\[42/[ 2/' 's/^\[42/[  /'; do
  got=$(sed "$stamp" <<<"$log" | awk -f "$(dirname "$0")/windows.awk")
  if [ "$got" != "$expected" ]; then
    printf 'time stamps %s:\n%s\n' "$stamp" "$got" >&2
    exit 1
  fi
done
