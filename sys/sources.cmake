list(APPEND ZWIN_SOURCES
  sys/DynCalls.cpp
  sys/SystemLibrary.cpp
  sys/WindowsVersion.cpp
)
