# Compiler settings shared by every target: linked as an interface library so
# nothing is set globally.
add_library(tabulor_options INTERFACE)
target_compile_options(tabulor_options INTERFACE -Wall -Wextra -Wpedantic)
if(TABULOR_WERROR)
  target_compile_options(tabulor_options INTERFACE -Werror)
endif()
# MinGW's GCC 12 warns of overlapping copies and unset members inside std::string that cannot
# happen (GCC bugs 105329 and 107138).
if(MINGW)
  target_compile_options(tabulor_options INTERFACE -Wno-restrict -Wno-maybe-uninitialized)
endif()
if(TABULOR_SANITIZE)
  set(_tabulor_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=undefined
                          -fno-omit-frame-pointer)
  target_compile_options(tabulor_options INTERFACE ${_tabulor_sanitizers})
  target_link_options(tabulor_options INTERFACE ${_tabulor_sanitizers})
endif()
if(TABULOR_BUILD_FUZZERS)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "The fuzzers need clang: configure with CXX=clang++")
  endif()
  # Coverage for libFuzzer in every library the targets reach, under ASan and UBSan.
  set(_tabulor_fuzz_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=undefined
                               -fno-omit-frame-pointer)
  target_compile_options(tabulor_options INTERFACE -fsanitize=fuzzer-no-link
                                                   ${_tabulor_fuzz_sanitizers})
  target_link_options(tabulor_options INTERFACE ${_tabulor_fuzz_sanitizers})
endif()
