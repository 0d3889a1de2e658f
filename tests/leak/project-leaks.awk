# Reads memcheck logs and prints every definitely or indirectly lost block
# whose stack has a frame in the project's own code: a source path that
# starts with one of `roots` (separated by spaces). Blocks lost wholly inside
# system libraries are not the project's and pass.
# Exit status: 0 none of the project's, 1 some, 2 no log reached its heap
# summary (the program did not run to its end under memcheck).
BEGIN { count = split(roots, root, " ") }
{
  line = $0
  sub(/^==[0-9]+== ?/, "", line)
}
line ~ /^HEAP SUMMARY:/ { summaries++ }
line ~ /are (definitely|indirectly) lost in loss record/ {
  inside = 1
  record = line
  own = 0
  next
}
inside && line == "" {
  if (own) {
    print record "\n"
    found++
  }
  inside = 0
  next
}
inside {
  record = record "\n" line
  for (i = 1; i <= count; i++) {
    if (index(line, "(" root[i]) || index(line, "in " root[i])) own = 1
  }
}
END {
  if (!summaries) {
    print "no heap summary in the memcheck log" > "/dev/stderr"
    exit 2
  }
  exit found ? 1 : 0
}
