list(APPEND ZCORE_SOURCES
  base/AccessibleModel.cpp
  base/GridModel.cpp
  base/IntParse.cpp
  base/JpegDecode.cpp
  base/NumberFormat.cpp
  base/Text.cpp
)
