list(APPEND ZWIN_SOURCES
  sys/DynCalls.cpp
  sys/Locale.cpp
  sys/SystemLibrary.cpp
  sys/WindowsVersion.cpp
)
