# Reads the requests of a WAYLAND_DEBUG log and says whether the game window
# ("Game") committed a 792 x 72 drawing in a buffer, whether the defeat box
# ("vorel") committed a buffer, and whose child the box is. Each line starts
# with a time stamp in milliseconds padded to a width, "[ 475740.143]" or
# "[4214137.905]": it goes before the line is read.
function number(word) { gsub(/[^0-9]/, "", word); return word }
{ sub(/^\[[^]]*\] */, "") }
$1 != "->" { next }
{ split($2, call, /[@.(]/); object = call[2]; request = call[3] }
request == "get_xdg_surface" { surface_of_xdg[number($4)] = number($5) }
request == "get_toplevel" { surface[number($4)] = surface_of_xdg[object] }
request == "set_title" && match($0, /"[^"]*"\)$/) { named[substr($0, RSTART + 1, RLENGTH - 3)] = object }
request == "set_parent" { parent[object] = number(call[5]) }
request == "attach" { buffer[object] = call[4] == "wl_buffer" }
request == "damage_buffer" && number($4) == 792 && number($5) == 72 { whole[object] = 1 }
request == "commit" && buffer[object] { drawn[object] = 1 }
END {
  game = named["Game"]; box = named["vorel"]
  print "game window: " (game != "" && drawn[surface[game]] && whole[surface[game]] ? "drawn" : "not drawn")
  print "defeat box: " (box != "" && drawn[surface[box]] ? "drawn" : "not drawn")
  print "box's parent: " (box != "" && game != "" && parent[box] == game ? "the game window" : "none")
}
