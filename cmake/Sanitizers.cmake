if(QTK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
# The fuzz build: every library instrumented for libFuzzer's coverage, AddressSanitizer and
# UndefinedBehaviorSanitizer, at -O1 with debug information, and any UBSan report fatal so
# that the fuzzer stops on it.
if(QTK_BUILD_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer -O1 -g)
  add_link_options(-fsanitize=address,undefined)
endif()
