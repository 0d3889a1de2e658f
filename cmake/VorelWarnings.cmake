# Warnings are errors in the project's own code, on every compiler used here.
add_library(vorel_warnings INTERFACE)
target_compile_options(vorel_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wnon-virtual-dtor
  -Wold-style-cast -Woverloaded-virtual -Werror
  # Design tables use designated initializers and rely on member defaults.
  -Wno-missing-field-initializers)
