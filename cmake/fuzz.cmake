# QH_FUZZ: libFuzzer builds. Everything is compiled with coverage for the fuzzer and with
# AddressSanitizer and UndefinedBehaviorSanitizer, so that a fault in any module the targets
# reach is found; only clang has libFuzzer.
set(QH_FUZZ_ENGINE OFF)
if(QH_FUZZ)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    set(QH_FUZZ_ENGINE ON)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
  else()
    message(WARNING "QH_FUZZ needs clang (CMAKE_CXX_COMPILER=clang++); the fuzz targets are not built")
  endif()
endif()
