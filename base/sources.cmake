list(APPEND ZCORE_SOURCES
  base/AccessibleModel.cpp
  base/GridModel.cpp
  base/IntParse.cpp
  base/JpegDecode.cpp
  base/NumberFormat.cpp
  base/Text.cpp
)

# Screen readers' child ids, names and events: not a hot path, built for size.
set_source_files_properties(base/AccessibleModel.cpp PROPERTIES COMPILE_OPTIONS -Os)
