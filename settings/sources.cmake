list(APPEND ZCORE_SOURCES
  settings/Registry.cpp
  settings/Settings.cpp
)
