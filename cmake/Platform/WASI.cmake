# The WASI platform, which CMake 3.25 does not know: programs are .wasm files
# linked statically, with no shared libraries.
set(CMAKE_EXECUTABLE_SUFFIX .wasm)
set(CMAKE_STATIC_LIBRARY_PREFIX lib)
set(CMAKE_STATIC_LIBRARY_SUFFIX .a)
set_property(GLOBAL PROPERTY TARGET_SUPPORTS_SHARED_LIBS FALSE)

# Linked without the compile flags: clang runs binaryen's wasm-opt, where it
# happens to be installed, whenever it links with an -O flag, and the output
# would then differ from machine to machine.
set(CMAKE_CXX_LINK_EXECUTABLE
    "<CMAKE_CXX_COMPILER> --target=wasm32-wasi <LINK_FLAGS> <OBJECTS> -o <TARGET> <LINK_LIBRARIES>")
