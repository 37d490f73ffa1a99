# Every project target gets the same warning set through this interface target.
add_library(qtk_warnings INTERFACE)
target_compile_options(qtk_warnings INTERFACE -Wall -Wextra -Wshadow -Wnon-virtual-dtor
  -Wcast-align -Wunused -Woverloaded-virtual)
