list(APPEND ZWIN_SOURCES
  sys/SystemLibrary.cpp
)
