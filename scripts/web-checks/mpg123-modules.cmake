# mpg123's CMake files call check_type_size without including its module; a native configure
# gets it by accident from another module, an emscripten one does not.
include(CheckTypeSize)
