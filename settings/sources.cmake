list(APPEND ZCORE_SOURCES
  settings/DialogLogic.cpp
  settings/Registry.cpp
  settings/Settings.cpp
)
list(APPEND ZWIN_SOURCES
  settings/WinRegistry.cpp
)
list(APPEND ZWIN_SOURCES settings/Unit2.cpp)
