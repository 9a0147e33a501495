list(APPEND ZCORE_SOURCES
  base/GridModel.cpp
  base/Text.cpp
)
