# Builds the programs for WebAssembly (wasm32-wasi) with Debian's clang 14
# and its packages wasi-libc, libc++-14-dev-wasm32, libc++abi-14-dev-wasm32,
# libclang-rt-14-dev-wasm32 and lld-14. The programs run under a WASI host:
# tests/web/run.mjs in node, or the page in a browser.
set(CMAKE_SYSTEM_NAME WASI) # described by Platform/WASI.cmake beside this file
set(CMAKE_SYSTEM_PROCESSOR wasm32)
list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})

find_program(CMAKE_CXX_COMPILER NAMES clang++-14 clang++ REQUIRED)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
# Nothing to run the compiler's checks with: a static library needs no linking.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

find_program(node NAMES node nodejs REQUIRED)
get_filename_component(runner ${CMAKE_CURRENT_LIST_DIR}/../tests/web/run.mjs ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${node} ${runner})
