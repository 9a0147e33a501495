list(APPEND ZCORE_SOURCES
  base/GridModel.cpp
  base/IntParse.cpp
  base/JpegDecode.cpp
  base/NumberFormat.cpp
  base/Text.cpp
)
